// Times the import analysis of a facade photograph step by step (proposal,
// rectification, window search, background filling, window images) on the
// photograph itself and on a 4000 x 3000 copy scaled up from it. Prints the
// median of each step over a few runs, after one warm-up run.
//
// usage: bench_import [PHOTO]   (default: blinds/5.jpg of the tree in
// $TESSIVO_TESTDATA/Tessivo_TestCases, which ctest generates)
#include "FacadeAnalysis.h"
#include "PhotoReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace FacadeImport;

namespace {

constexpr int kRuns = 5;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void line(const char *what, const std::vector<double> &ms)
{
    std::printf("  %-26s median %8.1f ms   (min %.1f, max %.1f)\n", what, median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

bool benchmark(const char *title, const QImage &photo, const std::function<Photograph()> &read)
{
    std::printf("%s: %d x %d\n", title, photo.width(), photo.height());
    std::vector<double> reading, proposal, rectification, search, background, images, total;
    for (int run = 0; run <= kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const Photograph p = read();
        const double readMs = timer.nsecsElapsed() / 1e6;
        timer.restart();
        const FacadeAnalysis a = analysePhotograph(p.image);
        const double all = timer.nsecsElapsed() / 1e6;
        if (!a.status.ok()) {
            std::printf("  analysis failed: %s\n", qPrintable(a.status.message));
            return false;
        }
        if (run == 0) { // warm-up; report what was found once
            std::printf("  rectified %d x %d, %d x %d windows, focal %.1f\n", a.rectified.width(), a.rectified.height(),
                        a.grid.rows(), a.grid.cols(), a.plan.camera.focal);
            continue;
        }
        reading.push_back(readMs);
        proposal.push_back(a.timings.proposal);
        rectification.push_back(a.timings.rectification);
        search.push_back(a.timings.windowSearch);
        background.push_back(a.timings.background);
        images.push_back(a.timings.windowImages);
        total.push_back(all);
    }
    line("reading the file", reading);
    line("proposal", proposal);
    line("rectification", rectification);
    line("window search", search);
    line("background filling", background);
    line("window images", images);
    line("whole analysis", total);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : qEnvironmentVariable("TESSIVO_TESTDATA") + "/Tessivo_TestCases/blinds/5.jpg";
    const Photograph photo = readPhotograph(path);
    if (!photo.status.ok()) {
        std::fprintf(stderr, "bench_import: %s\nusage: bench_import [PHOTO]\n", qPrintable(photo.status.message));
        return 2;
    }
    bool ok = benchmark("generated photograph", photo.image, [&] { return readPhotograph(path); });

    // The large photograph is scaled up once and written as a JPEG to a
    // temporary file, so that its reading is timed too.
    const QImage large = photo.image.scaled(4000, 3000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QString largePath = QDir::temp().filePath("bench_import_4000x3000.jpg");
    if (!large.save(largePath, "JPG", 92)) {
        std::fprintf(stderr, "bench_import: cannot write %s\n", qPrintable(largePath));
        return 1;
    }
    ok = benchmark("4000 x 3000 photograph", large, [&] { return readPhotograph(largePath); }) && ok;
    QFile::remove(largePath);
    return ok ? 0 : 1;
}
