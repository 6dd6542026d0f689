#include "FacadeGLWidget.h"

FacadeGLWidget::FacadeGLWidget(QWidget *parent)
    : QGLWidget(QGLFormat(QGL::SampleBuffers), parent)
{
    setMouseTracking(true);
}

FacadeGLWidget::~FacadeGLWidget() = default;
void FacadeGLWidget::mousePressEvent(QMouseEvent *) {}
void FacadeGLWidget::mouseReleaseEvent(QMouseEvent *) {}
void FacadeGLWidget::mouseMoveEvent(QMouseEvent *) {}
void FacadeGLWidget::initializeGL() {}
void FacadeGLWidget::resizeGL(int, int) {}
void FacadeGLWidget::paintGL() {}
