#include "QWindowData2D.h"

#include "ScanText.h"
#include "TextFormat.h"
#include "TestCasePaths.h"

#include <QByteArray>
#include <QFile>

#include <cstdio>

namespace {

// Blind levels per window: 0, 10, ... 100 percent of the window height.
constexpr int kBlindLevels = 11;

QString toQString(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Loads one image; a failure prints one line naming the file, the only hint a
// user gets when a test case does not load.
bool loadImage(QImage &image, const std::string &path)
{
    if (image.load(toQString(path)))
        return true;
    std::fprintf(stderr, "Cannot read image %s\n", path.c_str());
    return false;
}

std::unique_ptr<QImage> loadOwnedImage(const std::string &path)
{
    auto image = std::make_unique<QImage>();
    if (!loadImage(*image, path))
        return nullptr;
    return image;
}

std::string windowsFolder(const std::string &folder, const std::string &fileName)
{
    return TestCasePaths::baseFolder(folder, fileName) + "/windows";
}

std::string numbered(const char *pattern, int a)
{
    std::string name;
    appendFormat(name, pattern, a);
    return name;
}

std::string numbered(const char *pattern, int a, int b)
{
    std::string name;
    appendFormat(name, pattern, a, b);
    return name;
}

// Detected windows of group 0; a grid file without an "e" section has none.
int detectedCount(const std::vector<std::vector<FacadeWindow>> &detected)
{
    return detected.empty() ? 0 : int(detected.front().size());
}

} // namespace

bool QWindowData2D::loadBlindTestCase(const std::string &folder, const std::string &fileName)
{
    if (!loadImages(folder, fileName) || !loadGrids(folder, fileName)
        || !loadReconstruction(folder, fileName) || !loadBlindImages(folder, fileName))
        return false;
    caseKind = int(TestCaseKind::Blind);
    return true;
}

bool QWindowData2D::loadShutterTestCase(const std::string &folder, const std::string &fileName)
{
    if (!loadImages(folder, fileName) || !loadGrids(folder, fileName)
        || !loadReconstruction(folder, fileName) || !loadInteriorImages(folder, fileName)
        || !loadShutters(folder, fileName))
        return false;
    caseKind = int(TestCaseKind::Shutter);
    return true;
}

// The photograph, the rectified image, the background and the background of
// the photograph, in this order; stops at the first that does not load.
bool QWindowData2D::loadImages(const std::string &folder, const std::string &fileName)
{
    const std::string base = TestCasePaths::baseFolder(folder, fileName);
    return loadImage(originalImage, folder + "/" + fileName)
        && loadImage(rectifiedImage, base + "/rec" + fileName)
        && loadImage(background, base + "/background.jpg")
        && loadImage(originalBackground, base + "/original_background.jpg");
}

// Every input image first, then the 11 blind levels of each window. Any image
// that does not load empties all image lists and fails the step.
bool QWindowData2D::loadBlindImages(const std::string &folder, const std::string &fileName)
{
    const std::string dir = windowsFolder(folder, fileName);
    const int count = detectedCount(detectedWindows);
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<QImage> image = loadOwnedImage(dir + "/input/" + numbered("inputwin_%d.jpg", i));
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
            std::unique_ptr<QImage> image = loadOwnedImage(dir + "/" + numbered("win_%d_%d.jpg", i, 10 * level));
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
bool QWindowData2D::loadInteriorImages(const std::string &folder, const std::string &fileName)
{
    const std::string dir = windowsFolder(folder, fileName);
    QImage interior;
    if (!loadImage(interior, dir + "/interior.jpg"))
        return false;
    const int count = detectedCount(detectedWindows);
    for (int i = 0; i < count; ++i) {
        auto image = std::make_unique<QImage>();
        if (!image->load(toQString(dir + "/" + numbered("interior_%d.jpg", i)))) {
            const FacadeWindow &w = detectedWindows.front()[std::size_t(i)];
            *image = interior.scaled(w.width / 2, w.height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        currentImages.push_back(image.get());
        windowImages.push_back(std::move(image));
        imageKeys.push_back(i);
    }
    return loadImage(leftShutterImage, dir + "/shutter_in_1.jpg")
        && loadImage(rightShutterImage, dir + "/shutter_in_2.jpg");
}
