#include "QWindowData2D.h"

QWindowData2D::QWindowData2D(QObject *parent) : QObject(parent) {}

QWindowData2D::~QWindowData2D()
{
    clearWindowImages();
}

void QWindowData2D::clearWindowImages()
{
    currentImages.clear();
    imageKeys.clear();
    windowImages.clear();
    blindImages.clear();
}
