#include "FacadeGLWidget.h"

#include "PathText.h"
#include "QWindowData2D.h"

#include <QPixmap>

FacadeGLWidget::FacadeGLWidget(QWidget *parent)
    : QGLWidget(QGLFormat(QGL::SampleBuffers), parent)
{
    setMouseTracking(true);
}

// Neither the model, the dialog, the loaded image nor any texture is ours to
// delete: the textures go with the GL context.
FacadeGLWidget::~FacadeGLWidget() = default;

void FacadeGLWidget::setDemoDialog(TessivoDemo *dialog)
{
    demoDialog = dialog;
}

// Stores the model; the leaf textures that loadShutterTextures asked for are
// made from the first model that arrives after it.
void FacadeGLWidget::setWindowData(QWindowData2D *data)
{
    windowData = data;
    if (data && m_shutterTexturesPending) {
        m_shutterTexturesPending = false;
        bindShutterTextures(*data);
    }
}

// The leaf textures of the test case folder/fileName. The model of that case
// has read both leaf images already, so the textures are made from the model
// handed over next (setWindowData) rather than from the files again. The
// previous case's leaf textures are deleted now, so repeated loads do not pile
// up GPU memory.
void FacadeGLWidget::loadShutterTextures(const std::string &, const std::string &)
{
    deleteShutterTextures();
    m_shutterTexturesPending = true;
}

// A null leaf image gives texture name 0, as a leaf file that cannot be read
// would. Called from dialog slots, outside paintGL: the context is made current.
void FacadeGLWidget::bindShutterTextures(const QWindowData2D &model)
{
    makeCurrent();
    glEnable(GL_TEXTURE_2D);
    leftShutterTexture = bindTexture(QPixmap::fromImage(model.leftShutterImage), GL_TEXTURE_2D, GL_RGBA);
    rightShutterTexture = bindTexture(QPixmap::fromImage(model.rightShutterImage), GL_TEXTURE_2D, GL_RGBA);
    glDisable(GL_TEXTURE_2D);
}

void FacadeGLWidget::deleteShutterTextures()
{
    makeCurrent();
    for (GLuint *texture : {&leftShutterTexture, &rightShutterTexture}) {
        if (*texture != 0)
            deleteTexture(*texture);
        *texture = 0;
    }
}

// Rebuilds the map from image key to texture: key i for entry i of windowImages,
// (s + 1) * N + j for blind level s of detected window j (N blind image lists).
// The previous textures are deleted; a key already present keeps its texture.
void FacadeGLWidget::bindWindowTextures()
{
    makeCurrent();
    deleteWindowTextures();
    if (!windowData)
        return;
    if (windowData->currentImages.size() != std::size_t(windowData->windowCount()))
        return;

    const auto bindKey = [this](int key, const QImage *image) {
        if (!image)
            return;
        const GLuint texture = bindTexture(QPixmap::fromImage(*image), GL_TEXTURE_2D, GL_RGBA);
        if (!windowTextures.emplace(key, texture).second && texture != 0)
            deleteTexture(texture); // the key's first texture stays; this one would leak
    };

    glEnable(GL_TEXTURE_2D);
    const auto &windowImages = windowData->windowImages;
    for (std::size_t i = 0; i < windowImages.size(); ++i)
        bindKey(int(i), windowImages[i].get());
    const auto &blindImages = windowData->blindImages;
    const int blindCount = int(blindImages.size());
    for (int j = 0; j < blindCount; ++j) {
        for (std::size_t s = 0; s < blindImages[j].size(); ++s)
            bindKey(int(s + 1) * blindCount + j, blindImages[j][s].get());
    }
    glDisable(GL_TEXTURE_2D);
}

void FacadeGLWidget::deleteWindowTextures()
{
    for (const auto &entry : windowTextures) {
        if (entry.second != 0)
            deleteTexture(entry.second);
    }
    windowTextures.clear();
}

// Borrows the image (its owner frees it) and sizes the view to it; what is drawn
// always comes from the model.
void FacadeGLWidget::setImage(QImage *image)
{
    loadedImage = image;
    if (!image)
        return;
    glImage = convertToGLFormat(*image);
    resize(image->size());
}

// Saves the part of the frame covered by the shown background image as a PNG.
// The frame is rendered again into the back buffer and read with
// grabFrameBuffer(): grabbing a QGLWidget as a widget yields a blank picture,
// and the back buffer's content after a buffer swap is undefined.
bool FacadeGLWidget::saveScreenshot(const QString &fileName, Failure *failure)
{
    if (!windowData)
        return fail(failure, "no facade is shown");
    makeCurrent();
    paintGL();
    glFinish();
    const QImage frame = grabFrameBuffer();

    const QImage &shown = (showOriginalImage || showInOriginalView) ? windowData->originalImage
                                                                     : windowData->background;
    // The image-sized part of the frame; where the image reaches beyond a
    // smaller view, copy() fills the rest with zeros, so the size is always W x H.
    const QRect area(QPoint(0, 0), shown.size());
    return frame.copy(area).save(fileName, "PNG", -1)
        || failAndLog(failure, "Can't save screenshot to " + toNarrowPath(fileName));
}

// The edit shapes of the cursor belong to a selection; without one the
// pointer shows the arrow at once, not only after the next move.
void FacadeGLWidget::resetSelection()
{
    selectedWindow = -1;
    hoveredWindow = -1;
    draggingBlind = false;
    movingWindow = false;
    setCursor(Qt::ArrowCursor);
}

int FacadeGLWidget::selectedWindowIndex() const
{
    return selectedWindow;
}

// The display options that change the picture repaint at once, as every
// repaint of the view does, and only when the option really changes.
void FacadeGLWidget::setShowGrid(bool flag)
{
    if (showGrid == flag)
        return;
    showGrid = flag;
    updateGL();
}

void FacadeGLWidget::setShowInOriginalView(bool flag)
{
    if (showInOriginalView == flag)
        return;
    showInOriginalView = flag;
    updateGL();
}

void FacadeGLWidget::setShowOriginalImage(bool flag)
{
    if (showOriginalImage == flag)
        return;
    showOriginalImage = flag;
    updateGL();
}

void FacadeGLWidget::setDragAllBlinds(bool flag)
{
    dragAllBlinds = flag;
}

void FacadeGLWidget::initializeGL() {}

// One GL unit per widget pixel, origin at the top-left corner, y downwards.
void FacadeGLWidget::resizeGL(int w, int h)
{
    viewWidth = w;
    viewHeight = h;
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
}

// Only the colour buffer is cleared: no drawing step tests depth or stencil,
// so their contents never reach a pixel, and on a software renderer with
// multisampling clearing them costs as much as drawing all window images.
void FacadeGLWidget::paintGL()
{
    glClearColor(clearColor[0], clearColor[1], clearColor[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawFacade();
    m_imageCache.endFrame();
}
