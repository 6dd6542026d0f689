#include "CaseWriter.h"

#include "FacadeRenderer.h"
#include "Jpeg.h"
#include "Noise.h"
#include "PathText.h"
#include "ShutterArt.h"
#include "TestCasePaths.h"
#include "WindowArt.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace TestCases {

namespace {

// Counts the files written and keeps the first failure; writing goes on
// after a failure only where it is cheap, so that the report is complete.
class FileSink
{
public:
    FileSink(CaseSummary &summary, Failure *failure) : m_summary(summary), m_failure(failure) {}

    void check(bool ok)
    {
        if (ok)
            ++m_summary.files;
        else
            m_failed = true;
    }
    void jpeg(const Raster &image, const std::string &path) { check(saveJpeg(image, path, m_failure)); }
    Failure *failure() const { return m_failure; }
    bool failed() const { return m_failed; }

private:
    CaseSummary &m_summary;
    Failure *m_failure = nullptr;
    bool m_failed = false;
};

// The grid file, written by the model's own writer: one group whose bounds
// and cell reproduce the detected layout, the centre of every row and column,
// and the windows with their blinds or leaf angles. The carried value is the
// window's detection score.
bool writeGrid(const CaseDesign &design, const FacadePlan &plan, const std::string &path, Failure *failure)
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
        if (design.kind == TestCaseKind::Blind) {
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
    return model.saveGridFile(path, failure);
}

void writeBlindWindows(const CaseDesign &design, const FacadePlan &plan, const RenderedFacade &facade,
                       const std::string &folder, FileSink &sink)
{
    for (std::size_t i = 0; i < plan.windows.size() && !sink.failed(); ++i) {
        const PlannedWindow &w = plan.windows[i];
        sink.jpeg(facade.rectified.crop(w.rect), TestCasePaths::inputWindowImage(folder, design.fileName, int(i)));
        for (int p = 0; p <= 100; p += 10) {
            WindowLook look = w.look;
            look.blindExtent = int(std::lround(p / 100.0 * w.rect.height()));
            sink.jpeg(paintWindow(design.window, w.rect.width(), w.rect.height(), look),
                      TestCasePaths::blindLevelImage(folder, design.fileName, int(i), p));
        }
    }
}

void writeShutterWindows(const CaseDesign &design, const FacadePlan &plan, const RenderedFacade &facade,
                         const std::string &folder, FileSink &sink)
{
    const std::string &photo = design.fileName;
    WindowLook generic;
    generic.seed = design.seed + 777u;
    sink.jpeg(paintWindow(design.window, design.layout.winW, design.layout.winH, generic),
              TestCasePaths::interiorImage(folder, photo));
    for (std::size_t i = 0; i < plan.windows.size() && !sink.failed(); ++i)
        sink.jpeg(facade.windowImages[i], TestCasePaths::interiorImage(folder, photo, int(i)));
    sink.jpeg(facade.leftLeaf, TestCasePaths::leftShutterImage(folder, photo));
    sink.jpeg(facade.rightLeaf, TestCasePaths::rightShutterImage(folder, photo));

    QWindowData2D model;
    for (const PlannedWindow &w : plan.windows)
        model.shutters.push_back({sampleLeaf(facade.camera, w.rect, true), sampleLeaf(facade.camera, w.rect, false)});
    const std::string path = TestCasePaths::shutterFile(folder, photo);
    sink.check(model.saveShutters(path, sink.failure()));
}

} // namespace

void setReconstruction(QWindowData2D &model, const CameraModel &camera)
{
    const Mat3 h = camera.homography();
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t l = 0; l < 3; ++l) {
            model.cameraK[r][l] = camera.K.m[r][l];
            model.cameraR[r][l] = camera.R.m[r][l];
            model.homography[r][l] = h.m[r][l];
        }
    model.colMin = camera.colMin;
    model.rowMin = camera.rowMin;
}

bool writeCase(const CaseDesign &design, const std::string &root, CaseSummary &summary, Failure *failure)
{
    summary = CaseSummary();
    FileSink sink(summary, failure);
    const std::string &photo = design.fileName;
    const std::string folder = root + "/" + TestCasePaths::kindFolder(design.kind);
    // The deepest folder of the case's window images; making it makes the others.
    const std::string windowImage = design.kind == TestCaseKind::Blind
        ? TestCasePaths::inputWindowImage(folder, photo, 0)
        : TestCasePaths::interiorImage(folder, photo);
    const QString windowsDir = QFileInfo(toQtPath(windowImage)).path();
    if (!QDir().mkpath(windowsDir))
        return fail(failure, "cannot create " + toNarrowPath(windowsDir));

    const FacadePlan plan = planFacade(design);
    const RenderedFacade facade = renderFacade(design, plan);

    sink.jpeg(facade.photo, TestCasePaths::photograph(folder, photo));
    sink.jpeg(facade.rectified, TestCasePaths::rectifiedImage(folder, photo));
    sink.jpeg(facade.wall, TestCasePaths::background(folder, photo));
    sink.jpeg(facade.photoBackground, TestCasePaths::originalBackground(folder, photo));
    sink.check(writeGrid(design, plan, TestCasePaths::gridFile(folder, photo), failure));
    QWindowData2D reconstruction;
    setReconstruction(reconstruction, facade.camera);
    const std::string reconstructionPath = TestCasePaths::reconstructionFile(folder, photo);
    sink.check(reconstruction.saveReconstruction(reconstructionPath, failure));
    if (design.kind == TestCaseKind::Blind)
        writeBlindWindows(design, plan, facade, folder, sink);
    else
        writeShutterWindows(design, plan, facade, folder, sink);

    summary.windows = int(plan.windows.size());
    summary.rows = design.layout.rows;
    summary.cols = design.layout.cols;
    summary.rectifiedWidth = facade.rectified.width();
    summary.rectifiedHeight = facade.rectified.height();
    summary.photoWidth = facade.photo.width();
    summary.photoHeight = facade.photo.height();
    return !sink.failed();
}

} // namespace TestCases
