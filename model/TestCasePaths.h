#ifndef TESSIVO_TESTCASEPATHS_H
#define TESSIVO_TESTCASEPATHS_H

#include "QWindowData2D.h"

#include <string>

// The file layout of the test cases, the one place that names their files and
// folders; the model's reader, the test-case generator and the dialog all
// build their paths here. Paths are narrow strings built by concatenation
// with "/":
//
//   <root "Tessivo_TestCases">/<kind folder "blinds" | "shutters">/  = folder
//     <photo>                          the original photograph
//     <base>/rec<photo>                the rectified facade image
//     <base>/background.jpg            rectified background
//     <base>/original_background.jpg   background of the photograph
//     <base>/grids.txt                 grid file
//     <base>/shutters.txt              shutter file (shutter cases)
//     <base>/<base>.reconstruction.txt reconstruction file
//     <base>/windows/input/inputwin_<i>.jpg  window i (blind cases)
//     <base>/windows/win_<i>_<p>.jpg         window i, blind at p percent
//     <base>/windows/interior.jpg            fallback interior (shutter cases)
//     <base>/windows/interior_<i>.jpg        interior of window i
//     <base>/windows/shutter_in_1.jpg        left leaf texture
//     <base>/windows/shutter_in_2.jpg        right leaf texture
//     <base>.recovery.txt              unsaved edits of a session (grid file)
//
// with base the photograph's name before its last ".". The recovery file is
// none of the case's own files: it is not in the base folder, and it is not
// the photograph, whose name has no "." after its base's.
namespace TestCasePaths {

// The numbers of the layout: a blind case holds every window with its blind
// at kBlindLevels levels, 0, kBlindLevelStep, ... 100 percent of its height
// (the <p> of win_<i>_<p>.jpg); a shutter file holds kLeafSamples samples
// of each leaf, at 0, kLeafSampleStep, ... 180 degrees.
constexpr int kBlindLevelStep = 10;
constexpr int kBlindLevels = 100 / kBlindLevelStep + 1;
constexpr int kLeafSampleStep = 10;
constexpr int kLeafSamples = 180 / kLeafSampleStep + 1;

// The largest row or column count of a generated case, and so the range the
// row and column counts offer by default. An imported case may have more;
// its own counts then widen the range, so that it loads as written.
constexpr int kMaxGridCount = 10;

// Name of the folder that holds every test case.
constexpr const char *kRootName = "Tessivo_TestCases";

// "blinds" or "shutters"; "" for TestCaseKind::None.
std::string kindFolder(TestCaseKind kind);

// The kind whose cases a folder of that name holds (the inverse of
// kindFolder); None for any other name. Only the last path component counts,
// so "/cases/Tessivo_TestCases/shutters" is a shutter folder.
TestCaseKind kindOfFolder(const std::string &folder);

// Photographs of the test cases of a kind, in the order of the control
// panel's lists: "1_temp.jpg", "5.jpg", "7.jpg" (blinds), "1.jpg", "6.jpg"
// (shutters). photoName is "" for an index outside the list.
int photoCount(TestCaseKind kind);
std::string photoName(TestCaseKind kind, int index);

// The part of a file name before its last "." (the whole name when it has none).
std::string baseName(const std::string &fileName);

// folder + "/" + base: the folder that holds a test case's text files and windows.
std::string baseFolder(const std::string &folder, const std::string &photo);

// The files of the test case of photograph photo in folder (layout above).
std::string photograph(const std::string &folder, const std::string &photo);
std::string rectifiedImage(const std::string &folder, const std::string &photo);
std::string background(const std::string &folder, const std::string &photo);
std::string originalBackground(const std::string &folder, const std::string &photo);
std::string gridFile(const std::string &folder, const std::string &photo);
std::string shutterFile(const std::string &folder, const std::string &photo);
std::string reconstructionFile(const std::string &folder, const std::string &photo);
std::string windowsFolder(const std::string &folder, const std::string &photo);
std::string inputWindowImage(const std::string &folder, const std::string &photo, int window);
std::string blindLevelImage(const std::string &folder, const std::string &photo, int window, int percent);
std::string interiorImage(const std::string &folder, const std::string &photo);
std::string interiorImage(const std::string &folder, const std::string &photo, int window);
std::string leftShutterImage(const std::string &folder, const std::string &photo);
std::string rightShutterImage(const std::string &folder, const std::string &photo);
// Where the dialog keeps the unsaved edits of the case while a session runs.
std::string recoveryFile(const std::string &folder, const std::string &photo);

} // namespace TestCasePaths

#endif
