#include "QWindowData2D.h"

#include "ImageFile.h"
#include "PathText.h"
#include "TestCasePaths.h"
#include "TextFormat.h"

#include <QFileInfo>

namespace {

// Loads one image through the checks of ImageFile; a failure logs one line
// naming the file and why, the only hint a user gets when a test case does
// not load.
bool loadImage(QImage &image, const std::string &path, Failure *failure)
{
    Failure why;
    return ImageFile::load(image, path, &why) || failAndLog(failure, why.reason);
}

std::unique_ptr<QImage> loadOwnedImage(const std::string &path, Failure *failure)
{
    auto image = std::make_unique<QImage>();
    if (!loadImage(*image, path, failure))
        return nullptr;
    return image;
}

// Detected windows of group 0; a grid file without an "e" section has none.
int detectedCount(const std::vector<std::vector<FacadeWindow>> &detected)
{
    return detected.empty() ? 0 : int(detected.front().size());
}

} // namespace

bool QWindowData2D::loadBlindTestCase(const std::string &folder, const std::string &fileName, Failure *failure)
{
    if (!loadImages(folder, fileName, failure) || !loadGrids(folder, fileName, failure)
        || !loadReconstruction(folder, fileName, failure) || !loadBlindImages(folder, fileName, failure))
        return false;
    caseKind = int(TestCaseKind::Blind);
    return true;
}

bool QWindowData2D::loadShutterTestCase(const std::string &folder, const std::string &fileName, Failure *failure)
{
    if (!loadImages(folder, fileName, failure) || !loadGrids(folder, fileName, failure)
        || !loadReconstruction(folder, fileName, failure) || !loadInteriorImages(folder, fileName, failure)
        || !loadShutters(folder, fileName, failure))
        return false;
    caseKind = int(TestCaseKind::Shutter);
    return true;
}

// The photograph, the rectified image, the background and the background of
// the photograph, in this order; stops at the first that does not load.
bool QWindowData2D::loadImages(const std::string &folder, const std::string &fileName, Failure *failure)
{
    return loadImage(originalImage, TestCasePaths::photograph(folder, fileName), failure)
        && loadImage(rectifiedImage, TestCasePaths::rectifiedImage(folder, fileName), failure)
        && loadImage(background, TestCasePaths::background(folder, fileName), failure)
        && loadImage(originalBackground, TestCasePaths::originalBackground(folder, fileName), failure);
}

// Every input image first, then the 11 blind levels of each window. Any image
// that does not load empties all image lists and fails the step.
bool QWindowData2D::loadBlindImages(const std::string &folder, const std::string &fileName, Failure *failure)
{
    const int count = detectedCount(detectedWindows);
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<QImage> image =
            loadOwnedImage(TestCasePaths::inputWindowImage(folder, fileName, i), failure);
        if (!image) {
            clearWindowImages();
            return false;
        }
        windowImages.push_back(std::move(image));
    }
    for (int i = 0; i < count; ++i) {
        std::vector<std::unique_ptr<QImage>> levels;
        for (int level = 0; level < TestCasePaths::kBlindLevels; ++level) {
            std::unique_ptr<QImage> image = loadOwnedImage(
                TestCasePaths::blindLevelImage(folder, fileName, i, TestCasePaths::kBlindLevelStep * level), failure);
            if (!image) {
                clearWindowImages();
                return false;
            }
            levels.push_back(std::move(image));
        }
        blindImages.push_back(std::move(levels));
    }
    showWindowImages();
    return true;
}

// Per-window interior images, falling back to "interior.jpg" squeezed to half
// the window's width, then the two shutter-leaf textures. A missing
// per-window image falls back silently; one that is there but refused is
// named in one line. A window whose fallback would exceed the pixel limit of
// the images fails the step: the grid file is not to be trusted either.
bool QWindowData2D::loadInteriorImages(const std::string &folder, const std::string &fileName, Failure *failure)
{
    QImage interior;
    if (!loadImage(interior, TestCasePaths::interiorImage(folder, fileName), failure))
        return false;
    const int count = detectedCount(detectedWindows);
    for (int i = 0; i < count; ++i) {
        auto image = std::make_unique<QImage>();
        const std::string path = TestCasePaths::interiorImage(folder, fileName, i);
        Failure why;
        if (!ImageFile::load(*image, path, &why)) {
            if (QFileInfo::exists(toQtPath(path)))
                logLine(why.reason + "; the window shows the interior image instead");
            const FacadeWindow &w = detectedWindows.front()[std::size_t(i)];
            if (!ImageFile::withinPixelLimit(w.width / 2, w.height))
                return failAndLog(failure, formatText("Window %d of the grid file would need an interior image of ", i)
                                               + ImageFile::pixelLimitText(w.width / 2, w.height));
            *image = interior.scaled(w.width / 2, w.height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        windowImages.push_back(std::move(image));
    }
    showWindowImages();
    return loadImage(leftShutterImage, TestCasePaths::leftShutterImage(folder, fileName), failure)
        && loadImage(rightShutterImage, TestCasePaths::rightShutterImage(folder, fileName), failure);
}
