#include "CaseWriter.h"

#include "FacadeRenderer.h"
#include "Noise.h"
#include "ShutterArt.h"
#include "TestCasePaths.h"
#include "TestCaseWriter.h"
#include "WindowArt.h"

#include <cmath>

namespace TestCases {

namespace {

// The grid file's part of the model: one group whose bounds and cell
// reproduce the detected layout, the centre of every row and column, and the
// windows with their blinds or leaf angles. The carried value is the
// window's detection score.
void fillGrid(QWindowData2D &model, const CaseDesign &design, const FacadePlan &plan)
{
    const FacadeLayout &l = design.layout;
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
}

// Per window its crop of the rectified facade and the window painted at
// every blind level.
void fillBlindWindows(TestCaseContent &content, const CaseDesign &design, const FacadePlan &plan,
                      const RenderedFacade &facade)
{
    for (const PlannedWindow &w : plan.windows) {
        content.windowImages.push_back(facade.rectified.crop(w.rect).toImage());
        std::vector<QImage> levels;
        for (int level = 0; level < TestCasePaths::kBlindLevels; ++level) {
            const int percent = TestCasePaths::kBlindLevelStep * level;
            WindowLook look = w.look;
            look.blindExtent = int(std::lround(percent / 100.0 * w.rect.height()));
            levels.push_back(paintWindow(design.window, w.rect.width(), w.rect.height(), look).toImage());
        }
        content.blindLevels.push_back(std::move(levels));
    }
}

// A generic interior, every window's own, the leaf textures and the leaves
// sampled through the camera.
void fillShutterWindows(TestCaseContent &content, const CaseDesign &design, const FacadePlan &plan,
                        const RenderedFacade &facade)
{
    WindowLook generic;
    generic.seed = design.seed + 777u;
    content.interior = paintWindow(design.window, design.layout.winW, design.layout.winH, generic).toImage();
    for (std::size_t i = 0; i < plan.windows.size(); ++i)
        content.windowImages.push_back(facade.windowImages[i].toImage());
    content.leftLeaf = facade.leftLeaf.toImage();
    content.rightLeaf = facade.rightLeaf.toImage();
    for (const PlannedWindow &w : plan.windows)
        content.model.shutters.push_back(
            {sampleLeaf(facade.camera, w.rect, true), sampleLeaf(facade.camera, w.rect, false)});
}

} // namespace

void setReconstruction(QWindowData2D &model, const CameraModel &camera)
{
    model.cameraK = camera.K.m;
    model.cameraR = camera.R.m;
    model.homography = camera.homography().m;
    model.colMin = camera.colMin;
    model.rowMin = camera.rowMin;
}

bool writeCase(const CaseDesign &design, const std::string &root, CaseSummary &summary, Failure *failure)
{
    summary = CaseSummary();
    const FacadePlan plan = planFacade(design);
    const RenderedFacade facade = renderFacade(design, plan);

    TestCaseContent content;
    content.kind = design.kind;
    content.photograph = facade.photo.toImage();
    content.rectified = facade.rectified.toImage();
    content.background = facade.wall.toImage();
    content.originalBackground = facade.photoBackground.toImage();
    fillGrid(content.model, design, plan);
    setReconstruction(content.model, facade.camera);
    if (design.kind == TestCaseKind::Blind)
        fillBlindWindows(content, design, plan, facade);
    else
        fillShutterWindows(content, design, plan, facade);
    const std::string folder = root + "/" + TestCasePaths::kindFolder(design.kind);
    if (!writeTestCase(content, folder, design.fileName, &summary.files, failure))
        return false;

    summary.windows = int(plan.windows.size());
    summary.rows = design.layout.rows;
    summary.cols = design.layout.cols;
    summary.rectifiedWidth = facade.rectified.width();
    summary.rectifiedHeight = facade.rectified.height();
    summary.photoWidth = facade.photo.width();
    summary.photoHeight = facade.photo.height();
    return true;
}

} // namespace TestCases
