#include "CaseWriter.h"

#include "FacadeRenderer.h"
#include "Noise.h"
#include "ShutterArt.h"
#include "TestCasePaths.h"
#include "Writers.h"
#include "WindowArt.h"

#include <QDir>
#include <QWindowData2D.h>

#include <cstdio>

namespace testcases {

namespace {

constexpr int kLeafSamples = 19; // 0, 10, ... 180 degrees

std::string numbered(const char *pattern, int a, int b = 0)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, a, b);
    return buffer;
}

// Collects the first failure while the case's files are written.
class FileSink
{
public:
    explicit FileSink(CaseReport &report) : report_(report) {}

    void check(bool ok, const std::string &what)
    {
        if (ok)
            ++report_.files;
        else if (report_.error.empty())
            report_.error = "cannot write " + what;
    }
    void jpeg(const Raster &image, const std::string &path) { check(saveJpeg(image, path), path); }
    bool failed() const { return !report_.error.empty(); }

private:
    CaseReport &report_;
};

// The grid file, written by the model's own writer: one group whose bounds
// and cell reproduce the detected layout, the centre of every row and column,
// and the windows with their blinds or leaf angles. The carried value is the
// window's detection score.
bool writeGrid(const CaseDesign &design, const FacadePlan &plan, const std::string &path)
{
    const FacadeLayout &l = design.layout;
    QWindowData2D model;
    model.gridBounds.push_back(l.bounds());
    model.windowTemplates.push_back(l.window(0, 0));
    std::vector<int> rowCentres, colCentres;
    for (int r = 0; r < l.rows; ++r)
        rowCentres.push_back(l.window(0, r).y() + l.winH / 2);
    for (int c = 0; c < l.cols; ++c)
        colCentres.push_back(l.window(c, 0).x() + l.winW / 2);
    model.rowValues.push_back(rowCentres);
    model.colValues.push_back(colCentres);
    Pcg32 rng(design.seed, 13u);
    std::vector<FacadeWindow> windows;
    for (const PlannedWindow &p : plan.windows) {
        FacadeWindow w;
        w.x = p.rect.x();
        w.y = p.rect.y();
        w.width = p.rect.width();
        w.height = p.rect.height();
        w.col = p.col;
        w.row = p.row;
        w.aux = 0.01 * rng.range(82, 99);
        if (design.kind == CaseKind::Blind) {
            w.blindExtent = p.look.blindExtent;
        } else {
            w.leftAngle = degreesToRadians(p.leftDegrees);
            w.rightAngle = degreesToRadians(p.rightDegrees);
        }
        windows.push_back(w);
    }
    model.detectedWindows.push_back(windows);
    model.windows.push_back(windows);
    model.rows = l.rows;
    model.cols = l.cols;
    return model.saveGridFile(path);
}

// Leaf samples exactly as the camera sees them: for each angle the outer
// corners of the turned leaf, projected and mapped back into the rectified
// image, rounded to pixels.
ShutterLeaf sampleLeaf(const CameraModel &camera, const QRect &window, bool left)
{
    ShutterLeaf leaf;
    const int hingeX = left ? window.x() : window.x() + window.width();
    leaf.hinge1 = QPoint(hingeX, window.y());
    leaf.hinge2 = QPoint(hingeX, window.y() + window.height());
    for (int k = 0; k < kLeafSamples; ++k) {
        const double angle = degreesToRadians(10 * k);
        const std::array<QPoint, 4> c = roundedCorners(leafQuad(camera, window, left, angle));
        leaf.angles.push_back(angle);
        leaf.outer1.push_back(c[2]);
        leaf.outer2.push_back(c[3]);
    }
    return leaf;
}

void writeBlindWindows(const CaseDesign &design, const FacadePlan &plan, const RenderedFacade &facade,
                       const std::string &windowsDir, FileSink &sink)
{
    for (std::size_t i = 0; i < plan.windows.size() && !sink.failed(); ++i) {
        const PlannedWindow &w = plan.windows[i];
        sink.jpeg(facade.rectified.crop(w.rect), windowsDir + "/input/" + numbered("inputwin_%d.jpg", int(i)));
        for (int p = 0; p <= 100; p += 10) {
            WindowLook look = w.look;
            look.blindExtent = int(std::lround(p / 100.0 * w.rect.height()));
            sink.jpeg(paintWindow(design.window, w.rect.width(), w.rect.height(), look),
                      windowsDir + "/" + numbered("win_%d_%d.jpg", int(i), p));
        }
    }
}

void writeShutterWindows(const CaseDesign &design, const FacadePlan &plan, const RenderedFacade &facade,
                         const std::string &caseDir, const std::string &windowsDir, FileSink &sink)
{
    WindowLook generic;
    generic.seed = design.seed + 777u;
    sink.jpeg(paintWindow(design.window, design.layout.winW, design.layout.winH, generic), windowsDir + "/interior.jpg");
    for (std::size_t i = 0; i < plan.windows.size() && !sink.failed(); ++i)
        sink.jpeg(facade.windowImages[i], windowsDir + "/" + numbered("interior_%d.jpg", int(i)));
    sink.jpeg(facade.leftLeaf, windowsDir + "/shutter_in_1.jpg");
    sink.jpeg(facade.rightLeaf, windowsDir + "/shutter_in_2.jpg");

    std::vector<ShutterPair> shutters;
    for (const PlannedWindow &w : plan.windows)
        shutters.push_back({sampleLeaf(facade.camera, w.rect, true), sampleLeaf(facade.camera, w.rect, false)});
    const std::string path = caseDir + "/shutters.txt";
    sink.check(writeShutters(path, shutters), path);
}

} // namespace

CaseReport writeCase(const CaseDesign &design, const std::string &root)
{
    CaseReport report;
    FileSink sink(report);
    const std::string folder = root + "/" + kindFolder(design.kind);
    const std::string base = TestCasePaths::baseName(design.fileName);
    const std::string caseDir = folder + "/" + base;
    const std::string windowsDir = caseDir + "/windows";
    const std::string inputDir = design.kind == CaseKind::Blind ? windowsDir + "/input" : windowsDir;
    if (!QDir().mkpath(QString::fromStdString(inputDir))) {
        report.error = "cannot create " + inputDir;
        return report;
    }

    const FacadePlan plan = planFacade(design);
    const RenderedFacade facade = renderFacade(design, plan);

    sink.jpeg(facade.photo, folder + "/" + design.fileName);
    sink.jpeg(facade.rectified, caseDir + "/rec" + design.fileName);
    sink.jpeg(facade.wall, caseDir + "/background.jpg");
    sink.jpeg(facade.photoBackground, caseDir + "/original_background.jpg");
    const std::string gridPath = caseDir + "/grids.txt";
    sink.check(writeGrid(design, plan, gridPath), gridPath);
    const std::string reconstructionPath = caseDir + "/" + base + ".reconstruction.txt";
    sink.check(writeReconstruction(reconstructionPath, facade.camera), reconstructionPath);
    if (design.kind == CaseKind::Blind)
        writeBlindWindows(design, plan, facade, windowsDir, sink);
    else
        writeShutterWindows(design, plan, facade, caseDir, windowsDir, sink);

    report.ok = !sink.failed();
    report.windows = int(plan.windows.size());
    report.rows = design.layout.rows;
    report.cols = design.layout.cols;
    report.rectifiedWidth = facade.rectified.width();
    report.rectifiedHeight = facade.rectified.height();
    report.photoWidth = facade.photo.width();
    report.photoHeight = facade.photo.height();
    return report;
}

} // namespace testcases
