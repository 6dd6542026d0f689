// What the facade view draws on every repaint: background, window images,
// outlines with the selection, shutter leaves and the hover highlight.
#include "FacadeGLWidget.h"

#include "FacadeViewMath.h"
#include "QWindowData2D.h"

#include <QPointF>
#include <QRect>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace {

// Corners c0..c3 of a window's rectangle: top-left, top-right, bottom-right, bottom-left.
std::array<QPoint, 4> windowCorners(const FacadeWindow &w)
{
    return {QPoint(w.x, w.y), QPoint(w.right(), w.y), QPoint(w.right(), w.bottom()),
            QPoint(w.x, w.bottom())};
}

// The area a window image covers: the window's rectangle in a blind test case;
// in a shutter test case the bounding box of the four hinge points of its two
// leaves. Width and height may exceed int for far-apart hinges, so the box is
// built from its corners.
struct ImageBox {
    int left;
    int top;
    int right;
    int bottom;
};

ImageBox imageBox(const QWindowData2D &model, std::size_t index)
{
    const FacadeWindow &w = (*model.currentGroup())[index];
    if (!model.isShutterCase())
        return {w.x, w.y, w.right(), w.bottom()};
    const HingeBounds hinges = hingeBounds(model.shutters[index]);
    return {hinges.minx, hinges.miny, hinges.maxx, hinges.maxy};
}

// Per-window images are drawn only for blind and shutter test cases whose image
// lists (and, for shutters, leaf pairs) match window group 0 one to one.
bool windowImagesDrawable(const QWindowData2D &model)
{
    const auto *windows = model.currentGroup();
    if (!windows || model.currentImages.size() != windows->size())
        return false;
    if (model.isBlindCase())
        return true;
    return model.isShutterCase() && model.shutters.size() == windows->size();
}

// Points of one shape where the view draws them: as stored in the rectified
// view, mapped into the photograph in the original view. False when the
// mapping cannot place one of them (W = 0); such a shape is left out whole.
template <std::size_t N>
bool placePoints(const QWindowData2D &model, bool inOriginalView, const std::array<QPoint, N> &points,
                 std::array<QPointF, N> &placed)
{
    for (std::size_t k = 0; k < N; ++k) {
        placed[k] = inOriginalView ? model.rectifiedToOriginal(points[k]) : QPointF(points[k]);
        if (!std::isfinite(placed[k].x()) || !std::isfinite(placed[k].y()))
            return false;
    }
    return true;
}

// Stored integer points reach GL unchanged through a double: every int is exact in it.
void vertex(const QPointF &p)
{
    glVertex2d(p.x(), p.y());
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
    glImage = m_imageCache.converted(background);
    drawImageAt(glImage, 0, 0);
    if (showOriginalImage)
        return;

    drawWindowImages(showInOriginalView);
    if (showGrid)
        drawWindowOutlines(showInOriginalView);
    if (model.isShutterCase())
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
    glRasterPos2i(x, clampedSum(y, converted.height()));
    glDrawPixels(converted.width(), converted.height(), GL_RGBA, GL_UNSIGNED_BYTE,
                 converted.constBits());
    glRasterPos4i(saved[0], saved[1], saved[2], saved[3]);
}

// Rectified view: in a blind test case each current image unscaled at its
// window's top-left corner, in a shutter test case stretched over the window's
// image box, both by pixel drawing. Original view: the image's texture over the
// box mapped into the photograph, corners cut to whole pixels; a window whose
// image key has no texture is skipped.
void FacadeGLWidget::drawWindowImages(bool inOriginalView)
{
    const QWindowData2D &model = *windowData;
    if (!windowImagesDrawable(model))
        return;
    const std::size_t count = model.currentImages.size();
    for (std::size_t i = 0; i < count; ++i) {
        const QImage *image = model.currentImages[i];
        if (!image)
            continue;
        const ImageBox box = imageBox(model, i);

        if (!inOriginalView) {
            if (model.isBlindCase()) {
                drawImageAt(m_imageCache.converted(*image), box.left, box.top);
            } else {
                const long long width = static_cast<long long>(box.right) - box.left;
                const long long height = static_cast<long long>(box.bottom) - box.top;
                if (width <= INT_MAX && height <= INT_MAX)
                    drawImageAt(m_imageCache.scaledConverted(*image, int(width), int(height)), box.left,
                                box.top);
            }
            continue;
        }

        if (i >= model.imageKeys.size())
            continue;
        const auto texture = windowTextures.find(model.imageKeys[i]);
        if (texture == windowTextures.end())
            continue;
        // Lower-left, lower-right, upper-right, upper-left, with texture
        // coordinates that show the image upright.
        const std::array<QPoint, 4> corners = {QPoint(box.left, box.bottom), QPoint(box.right, box.bottom),
                                               QPoint(box.right, box.top), QPoint(box.left, box.top)};
        const std::array<QPoint, 4> texCoords = {QPoint(0, 0), QPoint(1, 0), QPoint(1, 1), QPoint(0, 1)};
        std::array<QPointF, 4> placed;
        if (!placePoints(model, true, corners, placed))
            continue;
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBindTexture(GL_TEXTURE_2D, texture->second);
        glBegin(GL_POLYGON);
        for (std::size_t k = 0; k < corners.size(); ++k) {
            glTexCoord2i(texCoords[k].x(), texCoords[k].y());
            glVertex2i(FacadeViewMath::truncateToPixel(placed[k].x()),
                       FacadeViewMath::truncateToPixel(placed[k].y()));
        }
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }
}

// Red 2-pixel edges of every window; for a valid selection a blue 3-pixel loop
// and, in a blind test case, the yellow lower edge of its blind.
void FacadeGLWidget::drawWindowOutlines(bool inOriginalView)
{
    const QWindowData2D &model = *windowData;
    const auto *windows = model.currentGroup();
    if (!windows)
        return;

    std::array<QPointF, 4> c;
    glColor3f(1.0f, 0.0f, 0.0f);
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    for (const FacadeWindow &w : *windows) {
        if (!placePoints(model, inOriginalView, windowCorners(w), c))
            continue;
        for (std::size_t k = 0; k < c.size(); ++k) {
            vertex(c[k]);
            vertex(c[(k + 1) % c.size()]);
        }
    }
    glEnd();

    if (!model.isWindowIndex(selectedWindow))
        return;
    const FacadeWindow &s = (*windows)[std::size_t(selectedWindow)];
    if (!placePoints(model, inOriginalView, windowCorners(s), c))
        return;
    glColor3f(0.0f, 0.0f, 1.0f);
    glLineWidth(3.0f);
    glBegin(GL_LINE_LOOP);
    for (const QPointF &p : c)
        vertex(p);
    glEnd();

    std::array<QPointF, 2> edge;
    if (!model.isBlindCase()
        || !placePoints(model, inOriginalView,
                        std::array<QPoint, 2>{QPoint(s.x, s.blindEdge()), QPoint(s.right(), s.blindEdge())},
                        edge))
        return;
    glColor3f(1.0f, 1.0f, 0.0f);
    glBegin(GL_LINES);
    vertex(edge[0]);
    vertex(edge[1]);
    glEnd();
}

// Both leaves of every window, each the stored quadrilateral of the sample
// nearest to the window's angle, textured with the shutter image. A leaf without
// samples (or with fewer outer corners than samples) is not drawn.
void FacadeGLWidget::drawShutters(bool inOriginalView)
{
    const QWindowData2D &model = *windowData;
    const auto *windows = model.currentGroup();
    if (!windows || model.shutters.empty() || model.shutters.size() != windows->size())
        return;

    // Hinge edge of the image on the hinge points (s = 1 left, s = 0 right), t = 1 on hinge1's side.
    const auto drawLeaf = [&](const ShutterLeaf &leaf, double angle, GLuint texture, int hingeS) {
        const int k = FacadeViewMath::nearestSampleIndex(leaf.angles, angle);
        if (k < 0 || std::size_t(k) >= leaf.outer1.size() || std::size_t(k) >= leaf.outer2.size())
            return;
        std::array<QPointF, 4> q;
        if (!placePoints(model, inOriginalView,
                         std::array<QPoint, 4>{leaf.hinge1, leaf.hinge2, leaf.outer1[k], leaf.outer2[k]}, q))
            return;
        const int outerS = 1 - hingeS;
        glBindTexture(GL_TEXTURE_2D, texture);
        glBegin(GL_POLYGON);
        glTexCoord2i(hingeS, 1);
        vertex(q[0]);
        glTexCoord2i(hingeS, 0);
        vertex(q[1]);
        glTexCoord2i(outerS, 0);
        vertex(q[2]);
        glTexCoord2i(outerS, 1);
        vertex(q[3]);
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

// Translucent blue over the window under the pointer, unless it is the selected
// one: the rectangle (x, y) to (x + width, y + height) as a polygon, which is
// what glRectf draws.
void FacadeGLWidget::drawHoverHighlight(bool inOriginalView)
{
    const QWindowData2D &model = *windowData;
    if (hoveredWindow == selectedWindow || !model.isWindowIndex(hoveredWindow))
        return;
    std::array<QPointF, 4> c;
    if (!placePoints(model, inOriginalView, windowCorners((*model.currentGroup())[std::size_t(hoveredWindow)]), c))
        return;

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 1.0f, 0.3f);
    glBegin(GL_POLYGON);
    for (const QPointF &p : c)
        vertex(p);
    glEnd();
    glDisable(GL_BLEND);
}
