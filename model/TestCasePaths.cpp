#include "TestCasePaths.h"

#include "TextFormat.h"

#include <iterator>

namespace TestCasePaths {

namespace {

const char *const kBlindPhotos[] = {"1_temp.jpg", "5.jpg", "7.jpg"};
const char *const kShutterPhotos[] = {"1.jpg", "6.jpg"};

std::string inWindows(const std::string &folder, const std::string &photo, const std::string &name)
{
    return windowsFolder(folder, photo) + "/" + name;
}

} // namespace

std::string kindFolder(TestCaseKind kind)
{
    switch (kind) {
    case TestCaseKind::Blind: return "blinds";
    case TestCaseKind::Shutter: return "shutters";
    case TestCaseKind::None: break;
    }
    return std::string();
}

TestCaseKind kindOfFolder(const std::string &folder)
{
    const std::size_t slash = folder.find_last_of('/');
    const std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
    for (const TestCaseKind kind : {TestCaseKind::Blind, TestCaseKind::Shutter}) {
        if (name == kindFolder(kind))
            return kind;
    }
    return TestCaseKind::None;
}

int photoCount(TestCaseKind kind)
{
    switch (kind) {
    case TestCaseKind::Blind: return int(std::size(kBlindPhotos));
    case TestCaseKind::Shutter: return int(std::size(kShutterPhotos));
    case TestCaseKind::None: break;
    }
    return 0;
}

std::string photoName(TestCaseKind kind, int index)
{
    if (index < 0 || index >= photoCount(kind))
        return std::string();
    return kind == TestCaseKind::Blind ? kBlindPhotos[index] : kShutterPhotos[index];
}

std::string baseName(const std::string &fileName)
{
    const std::string::size_type dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::string baseFolder(const std::string &folder, const std::string &photo)
{
    return folder + "/" + baseName(photo);
}

std::string photograph(const std::string &folder, const std::string &photo)
{
    return folder + "/" + photo;
}

std::string rectifiedImage(const std::string &folder, const std::string &photo)
{
    return baseFolder(folder, photo) + "/rec" + photo;
}

std::string background(const std::string &folder, const std::string &photo)
{
    return baseFolder(folder, photo) + "/background.jpg";
}

std::string originalBackground(const std::string &folder, const std::string &photo)
{
    return baseFolder(folder, photo) + "/original_background.jpg";
}

std::string gridFile(const std::string &folder, const std::string &photo)
{
    return baseFolder(folder, photo) + "/grids.txt";
}

std::string shutterFile(const std::string &folder, const std::string &photo)
{
    return baseFolder(folder, photo) + "/shutters.txt";
}

std::string reconstructionFile(const std::string &folder, const std::string &photo)
{
    return baseFolder(folder, photo) + "/" + baseName(photo) + ".reconstruction.txt";
}

std::string windowsFolder(const std::string &folder, const std::string &photo)
{
    return baseFolder(folder, photo) + "/windows";
}

std::string inputWindowImage(const std::string &folder, const std::string &photo, int window)
{
    return windowsFolder(folder, photo) + "/input/" + formatText("inputwin_%d.jpg", window);
}

std::string blindLevelImage(const std::string &folder, const std::string &photo, int window, int percent)
{
    return inWindows(folder, photo, formatText("win_%d_%d.jpg", window, percent));
}

std::string interiorImage(const std::string &folder, const std::string &photo)
{
    return inWindows(folder, photo, "interior.jpg");
}

std::string interiorImage(const std::string &folder, const std::string &photo, int window)
{
    return inWindows(folder, photo, formatText("interior_%d.jpg", window));
}

std::string leftShutterImage(const std::string &folder, const std::string &photo)
{
    return inWindows(folder, photo, "shutter_in_1.jpg");
}

std::string rightShutterImage(const std::string &folder, const std::string &photo)
{
    return inWindows(folder, photo, "shutter_in_2.jpg");
}

std::string recoveryFile(const std::string &folder, const std::string &photo)
{
    return folder + "/" + baseName(photo) + ".recovery.txt";
}

} // namespace TestCasePaths
