// Median times of the facade export: the wall triangulation on the generated
// shutter cases and on a large synthetic facade, and a whole saveFacadeToMesh
// split into triangulation, OBJ text and writing, and image encoding, with the
// window and leaf files timed apart, and the whole against its work other than
// encoding; beside it the whole glTF export of the same model
// (GltfExport::writeGlb) and its ratio to saveFacadeToMesh.
//   bench_export [TESSIVO_TESTCASES_FOLDER]
// Without an argument the test cases are looked for in the working directory
// and its ancestors; the synthetic facade is timed in any case.
#include "../BenchTiming.h"
#include "ExportPaths.h"
#include "TestCasePaths.h"
#include "FacadeWall.h"
#include "GltfExport.h"
#include "PngFile.h"
#include "WindowShutterObjs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRepetitions = 15;

// Median of `repetitions` runs; the work is long enough to need no warm-up.
double medianMs(const std::function<void()> &work, int repetitions = kRepetitions)
{
    return BenchTiming::medianMs(repetitions, work, 0);
}

// Smallest angle (degrees) and largest area over the mesh's faces.
void quality(const FacadePolyMesh &mesh, double &minAngle, double &maxArea)
{
    minAngle = 180.0;
    maxArea = 0.0;
    for (const auto f : mesh.faces()) {
        std::vector<FacadePolyMesh::Point> p;
        for (const auto v : mesh.fv_range(f))
            p.push_back(mesh.point(v));
        const double area = 0.5 * std::abs(double((p[1][0] - p[0][0]) * (p[2][1] - p[0][1])
                                                  - (p[2][0] - p[0][0]) * (p[1][1] - p[0][1])));
        maxArea = std::max(maxArea, area);
        for (int i = 0; i < 3; ++i) {
            const auto u = p[std::size_t((i + 1) % 3)] - p[std::size_t(i)];
            const auto w = p[std::size_t((i + 2) % 3)] - p[std::size_t(i)];
            const double cross = std::abs(double(u[0] * w[1] - u[1] * w[0]));
            const double dot = double(u[0] * w[0] + u[1] * w[1]);
            minAngle = std::min(minAngle, std::atan2(cross, dot) * 180.0 / 3.14159265358979323846);
        }
    }
}

void benchTriangulation(const char *name, const FacadeWall::Polygons &polygons)
{
    std::unique_ptr<FacadePolyMesh> mesh;
    const double ms = medianMs([&] { mesh = FacadeWall::triangulate(polygons); });
    if (!mesh) {
        std::printf("%-36s triangulation failed\n", name);
        return;
    }
    double minAngle = 0.0, maxArea = 0.0;
    quality(*mesh, minAngle, maxArea);
    std::printf("%-36s triangulateFacade %8.2f ms  (%zu vertices, %zu triangles, min angle %.2f deg, max area %.1f)\n",
                name, ms, mesh->n_vertices(), mesh->n_faces(), minAngle, maxArea);
}

// A loaded-looking shutter model: facade of the given size, a lattice of windows.
std::unique_ptr<QWindowData2D> syntheticModel(int width, int height, int rows, int cols, int winWidth,
                                              int winHeight, std::vector<std::unique_ptr<QImage>> &images)
{
    auto model = std::make_unique<QWindowData2D>();
    model->caseKind = int(TestCaseKind::Shutter);
    model->rectifiedImage = QImage(width, height, QImage::Format_RGB32);
    model->background = QImage(width, height, QImage::Format_RGB32);
    // A gradient with some texture, so that PNG encoding is not trivially small.
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(model->background.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 255) / width, (y * 255) / height, ((x ^ y) & 31) * 4 + 100);
    }
    model->rectifiedImage = model->background;
    model->leftShutterImage = QImage(60, 120, QImage::Format_RGB32);
    model->leftShutterImage.fill(qRgb(30, 90, 40));
    model->rightShutterImage = model->leftShutterImage;
    model->windows.resize(1);
    const int cellWidth = width / cols;
    const int cellHeight = height / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int x = c * cellWidth + (cellWidth - winWidth) / 2;
            const int y = r * cellHeight + (cellHeight - winHeight) / 2;
            FacadeWindow window;
            window.x = x;
            window.y = y;
            window.width = winWidth;
            window.height = winHeight;
            window.leftAngle = window.rightAngle = 1.0;
            model->windows[0].push_back(window);
            ShutterPair pair;
            pair.left.hinge1 = QPoint(x, y);
            pair.left.hinge2 = QPoint(x, y + winHeight);
            pair.right.hinge1 = QPoint(x + winWidth, y);
            pair.right.hinge2 = QPoint(x + winWidth, y + winHeight);
            model->shutters.push_back(pair);
            images.push_back(std::make_unique<QImage>(model->background.copy(x, y, winWidth, winHeight)));
            model->currentImages.push_back(images.back().get());
        }
    return model;
}

void benchWholeExport(const char *name, QWindowData2D &model)
{
    QTemporaryDir dir;
    const std::string objPath = dir.filePath("scene.obj").toStdString();
    const int count = int(model.currentImages.size());
    const FacadeWall::Polygons polygons = FacadeWall::facadePolygons(model, count);
    const auto mesh = FacadeWall::triangulate(polygons);
    if (!mesh)
        return;
    const int repetitions = 7;
    const std::string folder = ExportPaths::folderOf(objPath);
    const double total = medianMs([&] { model.saveFacadeToMesh(objPath); }, repetitions);
    const double triangulation = medianMs([&] { FacadeWall::triangulate(polygons); }, repetitions);
    const double wallText = medianMs(
        [&] {
            const std::string text = FacadeWall::facadeObjText(*mesh, model.rectifiedImage.width(),
                                                               model.rectifiedImage.height(), "scene");
            std::FILE *file = std::fopen(objPath.c_str(), "w");
            if (file) {
                std::fwrite(text.data(), 1, text.size(), file);
                std::fclose(file);
            }
        },
        repetitions);
    const double facadePng = medianMs(
        [&] { PngFile::write(model.background, folder + "/materialFacade.png"); }, repetitions);
    const double windowFiles =
        medianMs([&] { WindowShutterObjs::writeWindows(model, folder, count); }, repetitions);
    const double windowPngs = medianMs(
        [&] {
            for (int i = 0; i < count; ++i)
                PngFile::write(*model.currentImages[std::size_t(i)],
                               folder + "/window_" + std::to_string(i) + ".png");
        },
        repetitions);
    const double leafFiles =
        medianMs([&] { WindowShutterObjs::writeShutters(model, folder, count); }, repetitions);
    const double leafPngs = medianMs(
        [&] {
            PngFile::write(model.leftShutterImage, folder + "/leftshutter.png");
            PngFile::write(model.rightShutterImage, folder + "/rightshutter.png");
        },
        repetitions);
    // What the export does besides encoding PNG files: the figure its whole
    // time is held against.
    const double otherWork = triangulation + wallText + (windowFiles - windowPngs) + (leafFiles - leafPngs);
    const std::string glbPath = dir.filePath("scene.glb").toStdString();
    const double glb = medianMs(
        [&] { GltfExport::writeGlb(model, glbPath, GltfExport::kDefaultMetresPerPixel); }, repetitions);
    std::printf("%-36s writeGlb          %8.2f ms: %.2f times saveFacadeToMesh\n", name, glb, glb / total);
    // The sizes of what the export wrote (the timed PNGs above use the same names).
    qint64 pngBytes = 0;
    for (const QFileInfo &file : QDir(dir.path()).entryInfoList({QStringLiteral("*.png")}, QDir::Files))
        pngBytes += file.size();
    std::printf("%-36s saveFacadeToMesh  %8.2f ms: triangulation %.2f, wall OBJ text and write %.2f,"
                " facade PNG %.2f, window quads %.2f (of which PNGs %.2f), leaf boxes %.2f (of which PNGs %.2f);"
                " work other than PNG encoding %.2f, the whole %.2f times that;"
                " PNG files %lld bytes, wall %lld\n",
                name, total, triangulation, wallText, facadePng, windowFiles, windowPngs, leafFiles, leafPngs,
                otherWork, total / otherWork, static_cast<long long>(pngBytes),
                static_cast<long long>(QFileInfo(dir.filePath("materialFacade.png")).size()));
}

QString findTestCases(int argc, char **argv)
{
    if (argc > 1)
        return QString::fromLocal8Bit(argv[1]);
    for (QDir dir = QDir::current();;) {
        if (dir.exists(TestCasePaths::kRootName))
            return dir.filePath(TestCasePaths::kRootName);
        if (!dir.cdUp())
            return QString();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("medians of %d runs (whole exports: 7 runs)\n", kRepetitions);

    const QString root = findTestCases(argc, argv);
    if (root.isEmpty()) {
        std::printf("no Tessivo_TestCases found: generated cases skipped\n");
    } else {
        for (const char *file : {"1.jpg", "6.jpg"}) {
            QWindowData2D model;
            if (!model.loadShutterTestCase((root + "/shutters").toStdString(), file)) {
                std::printf("shutters/%s could not be loaded\n", file);
                continue;
            }
            const std::string name = std::string("shutters/") + file + " (" +
                                     std::to_string(model.rectifiedImage.width()) + " x " +
                                     std::to_string(model.rectifiedImage.height()) + ", " +
                                     std::to_string(model.currentImages.size()) + " windows)";
            benchTriangulation(name.c_str(),
                               FacadeWall::facadePolygons(model, int(model.currentImages.size())));
            benchWholeExport(name.c_str(), model);
        }
    }

    std::vector<std::unique_ptr<QImage>> images;
    auto bare = syntheticModel(1000, 800, 1, 1, 0, 0, images);
    benchTriangulation("1000 x 800, no windows", FacadeWall::facadePolygons(*bare, 0));
    auto large = syntheticModel(3000, 2000, 10, 12, 80, 120, images);
    benchTriangulation("3000 x 2000, 12 x 10 windows 80 x 120",
                       FacadeWall::facadePolygons(*large, int(large->currentImages.size())));
    benchWholeExport("3000 x 2000, 12 x 10 windows 80 x 120", *large);
    return 0;
}
