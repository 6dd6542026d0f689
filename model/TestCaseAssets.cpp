#include "QWindowData2D.h"

#include "PathText.h"
#include "TestCasePaths.h"

namespace {

// Blind levels per window: 0, 10, ... 100 percent of the window height.
constexpr int kBlindLevels = 11;

// Loads one image; a failure logs one line naming the file, the only hint a
// user gets when a test case does not load.
bool loadImage(QImage &image, const std::string &path, Failure *failure)
{
    return image.load(toQtPath(path)) || failAndLog(failure, "Cannot read image " + path);
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
        currentImages.push_back(image.get());
        windowImages.push_back(std::move(image));
        imageKeys.push_back(i);
    }
    for (int i = 0; i < count; ++i) {
        std::vector<std::unique_ptr<QImage>> levels;
        for (int level = 0; level < kBlindLevels; ++level) {
            std::unique_ptr<QImage> image =
                loadOwnedImage(TestCasePaths::blindLevelImage(folder, fileName, i, 10 * level), failure);
            if (!image) {
                clearWindowImages();
                return false;
            }
            levels.push_back(std::move(image));
        }
        blindImages.push_back(std::move(levels));
    }
    return true;
}

// Per-window interior images, falling back to "interior.jpg" squeezed to half
// the window's width, then the two shutter-leaf textures.
bool QWindowData2D::loadInteriorImages(const std::string &folder, const std::string &fileName, Failure *failure)
{
    QImage interior;
    if (!loadImage(interior, TestCasePaths::interiorImage(folder, fileName), failure))
        return false;
    const int count = detectedCount(detectedWindows);
    for (int i = 0; i < count; ++i) {
        auto image = std::make_unique<QImage>();
        if (!image->load(toQtPath(TestCasePaths::interiorImage(folder, fileName, i)))) {
            const FacadeWindow &w = detectedWindows.front()[std::size_t(i)];
            *image = interior.scaled(w.width / 2, w.height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        currentImages.push_back(image.get());
        windowImages.push_back(std::move(image));
        imageKeys.push_back(i);
    }
    return loadImage(leftShutterImage, TestCasePaths::leftShutterImage(folder, fileName), failure)
        && loadImage(rightShutterImage, TestCasePaths::rightShutterImage(folder, fileName), failure);
}
