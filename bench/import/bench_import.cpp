// Times the import of a facade photograph step by step (reading, proposal,
// rectification, window search, background filling, window images, then
// writing the case: blind levels or leaves, and the files) on the photograph
// itself and on a 4000 x 3000 copy scaled up from it, for a blind and a
// shutter case. Prints the median of each step over a few runs, after one
// warm-up run.
//
// usage: bench_import [PHOTO]   (default: blinds/5.jpg of the tree in
// $TESSIVO_TESTDATA/Tessivo_TestCases, which ctest generates)
#include "../BenchTiming.h"
#include "CaseWriter.h"
#include "FacadeAnalysis.h"
#include "PhotoReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace FacadeImport;

namespace {

constexpr int kRuns = 5;

void line(const char *what, const std::vector<double> &ms)
{
    std::printf("  %-28s median %8.1f ms   (min %.1f, max %.1f)\n", what, BenchTiming::median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

double millisecondsOf(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// One whole import per run: read, analyse, write the case (replacing the
// previous run's) into a temporary test-case root.
bool benchmark(const char *title, TestCaseKind kind, const std::function<Photograph()> &read)
{
    QTemporaryDir root;
    std::vector<double> reading, proposal, rectification, search, background, images, art, files, analysis, total;
    for (int run = 0; run <= kRuns; ++run) {
        QElapsedTimer whole;
        whole.start();
        QElapsedTimer timer;
        timer.start();
        const Photograph p = read();
        const double readMs = millisecondsOf(timer);
        timer.restart();
        AnalysisOptions options;
        options.clearLeafZones = kind == TestCaseKind::Shutter;
        const FacadeAnalysis a = analysePhotograph(p.image, options);
        const double analysisMs = millisecondsOf(timer);
        if (!a.status.ok()) {
            std::printf("  analysis failed: %s\n", a.status.reason.c_str());
            return false;
        }
        WrittenCase written;
        const ImportStatus status = writeCase(a, {kind, root.path(), "bench", true}, &written);
        const double totalMs = millisecondsOf(whole);
        if (!status.ok()) {
            std::printf("  writing failed: %s\n", status.reason.c_str());
            return false;
        }
        if (run == 0) { // warm-up; report what was found once
            std::printf("%s, %s case: %d x %d\n  rectified %d x %d, %d x %d windows, focal %.1f, %d files\n", title,
                        kind == TestCaseKind::Blind ? "blind" : "shutter", a.photo.width(), a.photo.height(),
                        a.rectified.width(), a.rectified.height(), a.grid.rows(), a.grid.cols(), a.plan.camera.focal,
                        written.files);
            continue;
        }
        reading.push_back(readMs);
        proposal.push_back(a.timings.proposal);
        rectification.push_back(a.timings.rectification);
        search.push_back(a.timings.windowSearch);
        background.push_back(a.timings.background);
        images.push_back(a.timings.windowImages);
        analysis.push_back(analysisMs);
        art.push_back(written.timings.windowArt);
        files.push_back(written.timings.files);
        total.push_back(totalMs);
    }
    line("reading the file", reading);
    line("proposal", proposal);
    line("rectification", rectification);
    line("window search", search);
    line("background filling", background);
    line("window images", images);
    line("whole analysis", analysis);
    line(kind == TestCaseKind::Blind ? "blind levels" : "leaves", art);
    line("writing the files", files);
    line("whole import", total);
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
        std::fprintf(stderr, "bench_import: %s\nusage: bench_import [PHOTO]\n", photo.status.reason.c_str());
        return 2;
    }
    bool ok = true;
    for (const TestCaseKind kind : {TestCaseKind::Blind, TestCaseKind::Shutter})
        ok = benchmark("generated photograph", kind, [&] { return readPhotograph(path); }) && ok;

    // The large photograph is scaled up once and written as a JPEG to a
    // temporary file, so that its reading is timed too.
    const QImage large = photo.image.scaled(4000, 3000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QString largePath = QDir::temp().filePath("bench_import_4000x3000.jpg");
    if (!large.save(largePath, "JPG", 92)) {
        std::fprintf(stderr, "bench_import: cannot write %s\n", qPrintable(largePath));
        return 1;
    }
    for (const TestCaseKind kind : {TestCaseKind::Blind, TestCaseKind::Shutter})
        ok = benchmark("4000 x 3000 photograph", kind, [&] { return readPhotograph(largePath); }) && ok;
    QFile::remove(largePath);
    return ok ? 0 : 1;
}
