// What the facade view draws on every repaint: background, window images,
// outlines with the selection, shutter leaves and the hover highlight.
#include "FacadeGLWidget.h"

#include "FacadeViewMath.h"
#include "QWindowData2D.h"

#include <QPointF>

#include <array>
#include <cmath>

namespace {

constexpr int blindCase = int(TestCaseKind::Blind);
constexpr int shutterCase = int(TestCaseKind::Shutter);

// Left, top, width and height of the area a window image covers.
struct ImageBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Corners c0..c3 of a window's rectangle: top-left, top-right, bottom-right, bottom-left.
std::array<QPoint, 4> windowCorners(const FacadeWindow &w)
{
    const int right = FacadeViewMath::addClamped(w.x, w.width);
    const int bottom = FacadeViewMath::addClamped(w.y, w.height);
    return {QPoint(w.x, w.y), QPoint(right, w.y), QPoint(right, bottom), QPoint(w.x, bottom)};
}

// The window's rectangle in a blind test case; in a shutter test case the
// bounding box of the four hinge points of its two leaves.
ImageBox imageBox(const QWindowData2D &model, std::size_t index)
{
    const FacadeWindow &w = model.windows[0][index];
    if (model.caseKind != shutterCase)
        return {w.x, w.y, w.width, w.height};
    const ShutterPair &pair = model.shutters[index];
    const std::array<QPoint, 4> hinges = {pair.left.hinge1, pair.left.hinge2,
                                          pair.right.hinge1, pair.right.hinge2};
    int left = hinges[0].x(), right = left, top = hinges[0].y(), bottom = top;
    for (const QPoint &p : hinges) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return {left, top, right - left, bottom - top};
}

bool isFinite(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Window group 0, or null when the model has no group.
const std::vector<FacadeWindow> *firstGroup(const QWindowData2D &model)
{
    return model.windows.empty() ? nullptr : &model.windows[0];
}

// Per-window images are drawn only for blind and shutter test cases whose image
// lists (and, for shutters, leaf pairs) match window group 0 one to one.
bool windowImagesDrawable(const QWindowData2D &model)
{
    const auto *windows = firstGroup(model);
    if (!windows || model.currentImages.size() != windows->size())
        return false;
    if (model.caseKind == blindCase)
        return true;
    return model.caseKind == shutterCase && model.shutters.size() == windows->size();
}

} // namespace

void FacadeGLWidget::drawFacade()
{
    if (!windowData)
        return;
    const QWindowData2D &model = *windowData;

    const QImage &background = showOriginalImage    ? model.originalImage
                               : showInOriginalView ? model.originalBackground
                                                    : model.background;
    glImage = imageCache.converted(background);
    drawImageAt(glImage, 0, 0);
    if (showOriginalImage)
        return;

    if (showInOriginalView)
        drawWindowImagesInOriginalView();
    else
        drawWindowImages();
    if (showGrid) {
        if (showInOriginalView)
            drawWindowOutlinesInOriginalView();
        else
            drawWindowOutlines();
    }
    if (model.caseKind == shutterCase)
        drawShutters(showInOriginalView);
    drawHoverHighlight(showInOriginalView);
}

// Draws an image already in GL layout with its top-left corner at (x, y), one
// image pixel per widget pixel. The raster position is put back afterwards. A
// lower-left corner outside the view makes the raster position invalid, and GL
// then draws nothing of the image.
void FacadeGLWidget::drawImageAt(const QImage &converted, int x, int y)
{
    if (converted.isNull())
        return;
    GLint saved[4];
    glGetIntegerv(GL_CURRENT_RASTER_POSITION, saved);
    glRasterPos2i(x, FacadeViewMath::addClamped(y, converted.height()));
    glDrawPixels(converted.width(), converted.height(), GL_RGBA, GL_UNSIGNED_BYTE,
                 converted.constBits());
    glRasterPos4i(saved[0], saved[1], saved[2], saved[3]);
}

// Blind test case: each current image unscaled at its window's top-left corner.
// Shutter test case: each current image stretched over its window's image box.
void FacadeGLWidget::drawWindowImages()
{
    const QWindowData2D &model = *windowData;
    if (!windowImagesDrawable(model))
        return;
    const auto &windows = model.windows[0];
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const QImage *image = model.currentImages[i];
        if (!image)
            continue;
        if (model.caseKind == blindCase) {
            drawImageAt(imageCache.converted(*image), windows[i].x, windows[i].y);
        } else {
            const ImageBox box = imageBox(model, i);
            drawImageAt(imageCache.scaledConverted(*image, box.width, box.height), box.left, box.top);
        }
    }
}

// Each window's texture stretched over its image box mapped into the photograph;
// windows whose image key has no texture are skipped.
void FacadeGLWidget::drawWindowImagesInOriginalView()
{
    const QWindowData2D &model = *windowData;
    if (!windowImagesDrawable(model))
        return;
    const auto &windows = model.windows[0];
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (!model.currentImages[i] || i >= model.imageKeys.size())
            continue;
        const auto texture = windowTextures.find(model.imageKeys[i]);
        if (texture == windowTextures.end())
            continue;

        const ImageBox box = imageBox(model, i);
        const int right = FacadeViewMath::addClamped(box.left, box.width);
        const int bottom = FacadeViewMath::addClamped(box.top, box.height);
        // Lower-left, lower-right, upper-right, upper-left.
        const std::array<QPoint, 4> corners = {QPoint(box.left, bottom), QPoint(right, bottom),
                                               QPoint(right, box.top), QPoint(box.left, box.top)};
        const std::array<QPoint, 4> texCoords = {QPoint(0, 0), QPoint(1, 0), QPoint(1, 1), QPoint(0, 1)};

        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBindTexture(GL_TEXTURE_2D, texture->second);
        glBegin(GL_POLYGON);
        for (std::size_t k = 0; k < corners.size(); ++k) {
            const QPointF mapped = model.rectifiedToOriginal(corners[k]);
            glTexCoord2i(texCoords[k].x(), texCoords[k].y());
            glVertex2i(FacadeViewMath::truncateToPixel(mapped.x()),
                       FacadeViewMath::truncateToPixel(mapped.y()));
        }
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }
}

// Red 2-pixel edges of every window; for a valid selection a blue 3-pixel loop
// and, in a blind test case, the yellow lower edge of its blind.
void FacadeGLWidget::drawWindowOutlines()
{
    const QWindowData2D &model = *windowData;
    const auto *windows = firstGroup(model);
    if (!windows)
        return;

    glColor3f(1.0f, 0.0f, 0.0f);
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    for (const FacadeWindow &w : *windows) {
        const auto c = windowCorners(w);
        for (int k = 0; k < 4; ++k) {
            glVertex2i(c[k].x(), c[k].y());
            glVertex2i(c[(k + 1) % 4].x(), c[(k + 1) % 4].y());
        }
    }
    glEnd();

    if (!isWindowIndex(selectedWindow))
        return;
    const FacadeWindow &s = (*windows)[selectedWindow];
    glColor3f(0.0f, 0.0f, 1.0f);
    glLineWidth(3.0f);
    glBegin(GL_LINE_LOOP);
    for (const QPoint &p : windowCorners(s))
        glVertex2i(p.x(), p.y());
    glEnd();

    if (model.caseKind == blindCase) {
        const int edge = FacadeViewMath::addClamped(s.y, s.blindExtent);
        glColor3f(1.0f, 1.0f, 0.0f);
        glBegin(GL_LINES);
        glVertex2i(s.x, edge);
        glVertex2i(FacadeViewMath::addClamped(s.x, s.width), edge);
        glEnd();
    }
}

// The same outlines with every vertex mapped into the photograph. A window with
// a vertex the mapping cannot place (W = 0) is left out.
void FacadeGLWidget::drawWindowOutlinesInOriginalView()
{
    const QWindowData2D &model = *windowData;
    const auto *windows = firstGroup(model);
    if (!windows)
        return;

    const auto mappedCorners = [&model](const FacadeWindow &w, std::array<QPointF, 4> &out) {
        const auto c = windowCorners(w);
        for (int k = 0; k < 4; ++k) {
            out[k] = model.rectifiedToOriginal(c[k]);
            if (!isFinite(out[k]))
                return false;
        }
        return true;
    };

    glColor3f(1.0f, 0.0f, 0.0f);
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    std::array<QPointF, 4> m;
    for (const FacadeWindow &w : *windows) {
        if (!mappedCorners(w, m))
            continue;
        for (int k = 0; k < 4; ++k) {
            glVertex2d(m[k].x(), m[k].y());
            glVertex2d(m[(k + 1) % 4].x(), m[(k + 1) % 4].y());
        }
    }
    glEnd();

    if (!isWindowIndex(selectedWindow))
        return;
    const FacadeWindow &s = (*windows)[selectedWindow];
    if (!mappedCorners(s, m))
        return;
    glColor3f(0.0f, 0.0f, 1.0f);
    glLineWidth(3.0f);
    glBegin(GL_LINE_LOOP);
    for (const QPointF &p : m)
        glVertex2d(p.x(), p.y());
    glEnd();

    if (model.caseKind == blindCase) {
        const int edge = FacadeViewMath::addClamped(s.y, s.blindExtent);
        const QPointF a = model.rectifiedToOriginal(QPoint(s.x, edge));
        const QPointF b = model.rectifiedToOriginal(QPoint(FacadeViewMath::addClamped(s.x, s.width), edge));
        if (!isFinite(a) || !isFinite(b))
            return;
        glColor3f(1.0f, 1.0f, 0.0f);
        glBegin(GL_LINES);
        glVertex2d(a.x(), a.y());
        glVertex2d(b.x(), b.y());
        glEnd();
    }
}

// Both leaves of every window, each the stored quadrilateral of the sample
// nearest to the window's angle, textured with the shutter image. A leaf without
// samples (or with fewer outer corners than samples) is not drawn.
void FacadeGLWidget::drawShutters(bool inOriginalView)
{
    const QWindowData2D &model = *windowData;
    const auto *windows = firstGroup(model);
    if (!windows || model.shutters.empty() || model.shutters.size() != windows->size())
        return;

    const auto vertex = [&model, inOriginalView](const QPoint &p) {
        if (!inOriginalView) {
            glVertex2i(p.x(), p.y());
            return;
        }
        const QPointF q = model.rectifiedToOriginal(p);
        glVertex2d(q.x(), q.y());
    };
    // Hinge edge of the image on the hinge points (s = 1 left, s = 0 right), t = 1 on hinge1's side.
    const auto drawLeaf = [&](const ShutterLeaf &leaf, double angle, GLuint texture, int hingeS) {
        const int k = FacadeViewMath::nearestSampleIndex(leaf.angles, angle);
        if (k < 0 || std::size_t(k) >= leaf.outer1.size() || std::size_t(k) >= leaf.outer2.size())
            return;
        if (inOriginalView) {
            for (const QPoint &p : {leaf.hinge1, leaf.hinge2, leaf.outer1[k], leaf.outer2[k]}) {
                if (!isFinite(model.rectifiedToOriginal(p)))
                    return;
            }
        }
        const int outerS = 1 - hingeS;
        glBindTexture(GL_TEXTURE_2D, texture);
        glBegin(GL_POLYGON);
        glTexCoord2i(hingeS, 1);
        vertex(leaf.hinge1);
        glTexCoord2i(hingeS, 0);
        vertex(leaf.hinge2);
        glTexCoord2i(outerS, 0);
        vertex(leaf.outer1[k]);
        glTexCoord2i(outerS, 1);
        vertex(leaf.outer2[k]);
        glEnd();
    };

    for (std::size_t i = 0; i < windows->size(); ++i) {
        const FacadeWindow &w = (*windows)[i];
        const ShutterPair &pair = model.shutters[i];
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        drawLeaf(pair.left, w.leftAngle, leftShutterTexture, 1);
        drawLeaf(pair.right, w.rightAngle, rightShutterTexture, 0);
        glDisable(GL_TEXTURE_2D);
    }
}

// Translucent blue over the window under the pointer, unless it is the selected one.
void FacadeGLWidget::drawHoverHighlight(bool inOriginalView)
{
    const QWindowData2D &model = *windowData;
    if (hoveredWindow == -1 || hoveredWindow == selectedWindow || !isWindowIndex(hoveredWindow))
        return;
    const FacadeWindow &w = model.windows[0][hoveredWindow];

    std::array<QPointF, 4> mapped;
    if (inOriginalView) {
        const auto c = windowCorners(w);
        for (int k = 0; k < 4; ++k) {
            mapped[k] = model.rectifiedToOriginal(c[k]);
            if (!isFinite(mapped[k]))
                return;
        }
    }

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 1.0f, 0.3f);
    if (!inOriginalView) {
        glRectf(float(w.x), float(w.y), float(w.x) + float(w.width), float(w.y) + float(w.height));
    } else {
        glBegin(GL_POLYGON);
        for (const QPointF &p : mapped)
            glVertex2d(p.x(), p.y());
        glEnd();
    }
    glDisable(GL_BLEND);
}
