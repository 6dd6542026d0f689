#include "ModelBuilder.h"

#include "PathText.h"
#include "TestCasePaths.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

QImage filled(int width, int height, const QColor &color)
{
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    image.fill(color);
    return image;
}

} // namespace

QImage plainImage(int width, int height, const QColor &color)
{
    QImage image = filled(width, height, color);
    QPainter painter(&image);
    painter.setPen(color.darker(150));
    painter.drawRect(0, 0, image.width() - 1, image.height() - 1);
    return image;
}

ModelBuilder::ModelBuilder(TestCaseKind kind, int width, int height)
    : m_kind(kind), m_width(width), m_height(height)
{
}

ModelBuilder &ModelBuilder::grid(const QRect &bounds, const QSize &cell, std::vector<int> rowValues,
                                 std::vector<int> colValues)
{
    m_grid = true;
    m_bounds = bounds;
    m_cell = cell;
    m_rowValues = std::move(rowValues);
    m_colValues = std::move(colValues);
    return *this;
}

ModelBuilder &ModelBuilder::angles(double left, double right)
{
    m_leftAngle = left;
    m_rightAngle = right;
    return *this;
}

ModelBuilder &ModelBuilder::window(const QRect &rect, int col, int row)
{
    FacadeWindow w;
    w.x = rect.x();
    w.y = rect.y();
    w.width = rect.width();
    w.height = rect.height();
    w.col = col;
    w.row = row;
    w.leftAngle = m_leftAngle;
    w.rightAngle = m_rightAngle;
    m_windows.push_back(w);
    return *this;
}

ModelBuilder &ModelBuilder::window(const QRect &rect)
{
    return window(rect, int(m_windows.size()), 0);
}

std::unique_ptr<QWindowData2D> ModelBuilder::build() const
{
    auto model = std::make_unique<QWindowData2D>();
    model->caseKind = int(m_kind);
    model->rectifiedImage = filled(m_width, m_height, QColor(200, 190, 170));
    model->background = filled(m_width, m_height, QColor(180, 170, 150));
    model->originalImage = model->rectifiedImage;
    model->originalBackground = model->background;
    if (m_kind == TestCaseKind::Shutter) {
        model->leftShutterImage = filled(8, 16, QColor(20, 90, 40));
        model->rightShutterImage = filled(8, 16, QColor(40, 20, 90));
    }
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            model->homography[r][c] = model->homographyInv[r][c] = model->cameraK[r][c] = model->cameraR[r][c] =
                r == c ? 1.0 : 0.0;
    if (m_grid) {
        model->gridBounds.push_back(m_bounds);
        model->windowTemplates.push_back(QRect(QPoint(0, 0), m_cell));
        model->rowValues.push_back(m_rowValues);
        model->colValues.push_back(m_colValues);
        model->rows = int(m_rowValues.size());
        model->cols = int(m_colValues.size());
    } else {
        model->rows = 1;
        model->cols = int(m_windows.size());
    }
    model->windows.resize(1);
    model->detectedWindows.resize(1);
    for (std::size_t i = 0; i < m_windows.size(); ++i) {
        FacadeWindow w = m_windows[i];
        model->detectedWindows[0].push_back(w);
        w.sourceIndex = int(i);
        model->windows[0].push_back(w);

        auto image = std::make_unique<QImage>(filled(w.width, w.height, QColor(30 + 20 * int(i % 10), 60, 120)));
        model->currentImages.push_back(image.get());
        model->imageKeys.push_back(int(i));
        model->windowImages.push_back(std::move(image));
        if (m_kind == TestCaseKind::Blind) {
            std::vector<std::unique_ptr<QImage>> levels;
            for (int level = 0; level < TestCasePaths::kBlindLevels; ++level)
                levels.push_back(std::make_unique<QImage>(filled(w.width, w.height, QColor(250 - 20 * level, 120, 80))));
            model->blindImages.push_back(std::move(levels));
        } else if (m_kind == TestCaseKind::Shutter) {
            ShutterPair pair;
            pair.left.hinge1 = QPoint(w.x, w.y);
            pair.left.hinge2 = QPoint(w.x, w.y + w.height);
            pair.right.hinge1 = QPoint(w.x + w.width, w.y);
            pair.right.hinge2 = QPoint(w.x + w.width, w.y + w.height);
            model->shutters.push_back(pair);
        }
    }
    return model;
}

namespace {

bool saveImage(const QImage &image, const std::string &path)
{
    return image.save(toQtPath(path), "JPEG", 100);
}

} // namespace

bool writeCase(const QWindowData2D &model, const std::string &folder, const std::string &photo,
               const QColor &photoColor)
{
    using namespace TestCasePaths;
    const bool shutter = model.isShutterCase();
    const std::string deepest = shutter ? interiorImage(folder, photo) : inputWindowImage(folder, photo, 0);
    if (!QDir().mkpath(QFileInfo(toQtPath(deepest)).path()))
        return false;
    const int width = model.rectifiedImage.width();
    const int height = model.rectifiedImage.height();
    bool ok = saveImage(plainImage(width, height, photoColor), photograph(folder, photo))
              && saveImage(plainImage(width, height, QColor(200, 200, 200)), rectifiedImage(folder, photo))
              && saveImage(plainImage(width, height, QColor(230, 220, 190)), background(folder, photo))
              && saveImage(plainImage(width, height, QColor(190, 220, 230)), originalBackground(folder, photo))
              && model.saveGridFile(gridFile(folder, photo))
              && model.saveReconstruction(reconstructionFile(folder, photo));
    const int count = int(model.windowImages.size());
    if (shutter) {
        ok = ok && saveImage(plainImage(8, 8, QColor(40, 40, 90)), interiorImage(folder, photo))
             && saveImage(plainImage(8, 16, QColor(120, 60, 20)), leftShutterImage(folder, photo))
             && saveImage(plainImage(8, 16, QColor(20, 60, 120)), rightShutterImage(folder, photo))
             && model.saveShutters(shutterFile(folder, photo));
        for (int i = 0; ok && i < count; ++i)
            ok = saveImage(*model.windowImages[std::size_t(i)], interiorImage(folder, photo, i));
        return ok;
    }
    for (int i = 0; ok && i < count; ++i) {
        ok = saveImage(*model.windowImages[std::size_t(i)], inputWindowImage(folder, photo, i));
        for (int level = 0; ok && level < kBlindLevels; ++level)
            ok = saveImage(*model.blindImages[std::size_t(i)][std::size_t(level)],
                           blindLevelImage(folder, photo, i, kBlindLevelStep * level));
    }
    return ok;
}
