// Times the model's grid file reading and writing (10 x 10 windows),
// restructureGrid(10, 10) and loading a blind test case of 20 windows from a
// temporary folder this program writes itself. Prints the median of each.
#include "../BenchTiming.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "TestCasePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Median wall time in microseconds of `runs` calls of `step`, after one warm-up call.
double medianMicros(int runs, const std::function<void()> &step)
{
    return 1000.0 * BenchTiming::medianMs(runs, step);
}

void report(const char *what, int runs, double micros)
{
    std::printf("%-52s median %10.1f us  (%d runs)\n", what, micros, runs);
}

// A 10 x 10 detected grid in 2000 x 1500 bounds, with angles and blind extents.
void fillGrid(QWindowData2D &model, int detectedRows, int detectedCols)
{
    model.gridBounds = {QRect(20, 30, 2000, 1500)};
    model.windowTemplates = {QRect(0, 0, 150, 110)};
    model.rowValues = {std::vector<int>(std::size_t(detectedRows), 7)};
    model.colValues = {std::vector<int>(std::size_t(detectedCols), 9)};
    std::vector<FacadeWindow> list;
    for (int r = 0; r < 10; ++r) {
        for (int c = 0; c < 10; ++c) {
            FacadeWindow w;
            w.x = 40 + 195 * c;
            w.y = 45 + 145 * r;
            w.width = 140 + c;
            w.height = 100 + r;
            w.col = c;
            w.row = r;
            w.aux = 0.125 * (r + c);
            w.blindExtent = 3 * r;
            w.leftAngle = 0.01 * c;
            w.rightAngle = 0.02 * r;
            list.push_back(w);
        }
    }
    model.detectedWindows = {list};
    model.windows = {list};
    model.rows = detectedRows;
    model.cols = detectedCols;
}

bool writeImage(const QString &path, int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 5 + seed) & 255, (x + y) & 255));
    return image.save(path, "JPG");
}

// A blind test case "5.jpg" with `windows` windows in one row, its text files
// written by the model's writers.
bool writeBlindCase(const QString &folder, int windows)
{
    using namespace TestCasePaths;
    const std::string dir = toNarrowPath(folder);
    const std::string photo = "5.jpg";
    if (!QDir().mkpath(toQtPath(windowsFolder(dir, photo) + "/input")))
        return false;
    QWindowData2D grid;
    grid.gridBounds.push_back(QRect(0, 0, 1600, 400));
    grid.windowTemplates.push_back(QRect(0, 0, 70, 120));
    grid.rowValues.push_back({200});
    grid.colValues.emplace_back();
    grid.windows.emplace_back();
    for (int i = 0; i < windows; ++i) {
        grid.colValues[0].push_back(10 + 80 * i);
        FacadeWindow w;
        w.x = 10 + 80 * i;
        w.y = 140;
        w.width = 70;
        w.height = 120;
        w.col = i;
        grid.windows[0].push_back(w);
    }
    for (int k = 0; k < 3; ++k)
        grid.cameraK[k][k] = grid.cameraR[k][k] = grid.homography[k][k] = 1.0;
    auto image = [](const std::string &path, int width, int height, int seed) {
        return writeImage(toQtPath(path), width, height, seed);
    };
    bool ok = image(photograph(dir, photo), 1024, 768, 1) && image(rectifiedImage(dir, photo), 1600, 400, 2)
        && image(background(dir, photo), 1600, 400, 3) && image(originalBackground(dir, photo), 1024, 768, 4)
        && grid.saveGridFile(gridFile(dir, photo)) && grid.saveReconstruction(reconstructionFile(dir, photo));
    for (int i = 0; ok && i < windows; ++i) {
        ok = image(inputWindowImage(dir, photo, i), 70, 120, i);
        for (int level = 0; ok && level <= 10; ++level)
            ok = image(blindLevelImage(dir, photo, i, 10 * level), 70, 120, i + level);
    }
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_model: no temporary folder\n");
        return 1;
    }

    QWindowData2D grid;
    fillGrid(grid, 10, 10);
    const std::string gridPath = dir.filePath("grid.txt").toStdString();
    const int fileRuns = 301;
    report("saveGridFile, 10 x 10 windows", fileRuns,
           medianMicros(fileRuns, [&] { grid.saveGridFile(gridPath); }));
    report("saveGridFile to a stream (no file, no sync)", fileRuns, medianMicros(fileRuns, [&] {
               std::ostringstream out;
               grid.saveGridFile(out);
           }));
    QWindowData2D reader;
    report("loadGridFile, 10 x 10 windows", fileRuns,
           medianMicros(fileRuns, [&] { reader.loadGridFile(gridPath); }));

    const int restructureRuns = 2001;
    QWindowData2D detected;
    fillGrid(detected, 10, 10);
    report("restructureGrid(10, 10), the detected shape", restructureRuns,
           medianMicros(restructureRuns, [&] { detected.restructureGrid(10, 10); }));
    QWindowData2D lattice;
    fillGrid(lattice, 8, 12);
    report("restructureGrid(10, 10), a lattice of 100 cells", restructureRuns,
           medianMicros(restructureRuns, [&] { lattice.restructureGrid(10, 10); }));

    if (!writeBlindCase(dir.path(), 20)) {
        std::fprintf(stderr, "bench_model: could not write the test case\n");
        return 1;
    }
    const int loadRuns = 9;
    bool loaded = true;
    report("loadBlindTestCase, 20 windows (260 JPEG files)", loadRuns, medianMicros(loadRuns, [&] {
               QWindowData2D model;
               loaded = model.loadBlindTestCase(dir.path().toStdString(), "5.jpg") && loaded;
           }));
    if (!loaded) {
        std::fprintf(stderr, "bench_model: the test case did not load\n");
        return 1;
    }
    return 0;
}
