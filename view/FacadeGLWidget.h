#ifndef TESSIVO_FACADEGLWIDGET_H
#define TESSIVO_FACADEGLWIDGET_H

#include "Failure.h"
#include "GLImageCache.h"

#include <QGLWidget>
#include <QImage>
#include <QPoint>

#include <map>
#include <string>

class QWindowData2D;
class TessivoDemo;
struct FacadeWindow;

// The OpenGL view that draws the loaded facade model, rectified or warped into
// the original photograph, and turns mouse input into edits of that model.
// It never owns the model. It knows nothing of the dialog's controls: it tells
// what a selection means for them with shutterSelectionChanged.
class FacadeGLWidget : public QGLWidget
{
    Q_OBJECT

public:
    explicit FacadeGLWidget(QWidget *parent = nullptr);
    ~FacadeGLWidget() override;

    void setDemoDialog(TessivoDemo *dialog);
    void setWindowData(QWindowData2D *data);
    void loadShutterTextures(const std::string &folder, const std::string &fileName);
    void bindWindowTextures();
    void setImage(QImage *image);
    // False, with the reason (Failure.h), when there is no model or the file
    // cannot be written.
    bool saveScreenshot(const QString &fileName, Failure *failure = nullptr);
    void resetSelection();
    int selectedWindowIndex() const;
    // Finishes a mouse edit still open, for a popup about to take the mouse
    // (its release would not reach the view).
    void endMouseEdit();

    // Display options. The three that change the picture repaint when they change it.
    void setShowGrid(bool flag);
    void setShowInOriginalView(bool flag);
    void setShowOriginalImage(bool flag);
    void setDragAllBlinds(bool flag);

    // Index in window group 0 of the first window hit at rectified (px, py), or -1.
    int windowAt(int px, int py) const;

signals:
    // Sent by every left press on a model, before the view repaints: whether a
    // window of a shutter test case is now selected, and if so its two leaf
    // angles as shutter-slider values (degrees rounded to 10, 0 to 180).
    void shutterSelectionChanged(bool enabled, int leftDegrees, int rightDegrees);
    // A mouse edit, from the left press (before the selection changes) to
    // its release: whatever the press, the drag and the release change in
    // the model lies between the two, so a listener can take it as one edit.
    // Every started edit is finished once: by its release, by the next press
    // when its release went elsewhere, or by endMouseEdit.
    void mouseEditStarted();
    void mouseEditFinished();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private:
    // Facade drawing, in paint order (FacadeRendering.cpp). Each step draws in
    // the rectified frame or, with inOriginalView, warped into the photograph.
    void drawFacade();
    void drawImageAt(const QImage &converted, int x, int y);
    void drawWindowImages(bool inOriginalView);
    void drawWindowOutlines(bool inOriginalView);
    void drawShutters(bool inOriginalView);
    void drawHoverHighlight(bool inOriginalView);

    // Mouse editing helpers (MouseEditing.cpp).
    QPoint pointerPosition(const QPoint &widgetPos) const;
    void announceShutterSelection();
    void armEdit(const FacadeWindow &selected, const QPoint &pointer);
    void dragBlind(const QPoint &pointer);
    void showBlindLevel(int index, int level);
    void moveSelectedWindow(const QPoint &widgetPos);
    void alignRowAndColumn();

    // Textures (FacadeGLWidget.cpp).
    void bindShutterTextures(const QWindowData2D &model);
    void deleteShutterTextures();
    void deleteWindowTextures();

public:
    int viewWidth = 0;
    int viewHeight = 0;
    TessivoDemo *demoDialog = nullptr;
    float clearColor[3] = {1.0f, 1.0f, 1.0f};
    GLuint leftShutterTexture = 0;
    GLuint rightShutterTexture = 0;
    std::map<int, GLuint> windowTextures;
    int selectedWindow = -1;
    int hoveredWindow = -1;
    bool draggingBlind = false;
    bool movingWindow = false;
    QPoint lastMousePos{0, 0};
    bool showGrid = true;
    bool showInOriginalView = false;
    bool showOriginalImage = false;
    bool dragAllBlinds = false;
    QImage *loadedImage = nullptr;
    QImage glImage;
    QWindowData2D *windowData = nullptr;

private:
    // GL-layout copies of the images drawn by the last repaint.
    GLImageCache m_imageCache;
    // Set by loadShutterTextures: the next model handed over brings the leaf
    // images whose textures the shutters are drawn with.
    bool m_shutterTexturesPending = false;
    // A left press started a mouse edit that no release has finished yet.
    bool m_mouseEditOpen = false;
};

#endif
