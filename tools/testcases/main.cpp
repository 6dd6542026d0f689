#include "CaseDesign.h"
#include "CaseWriter.h"
#include "OutputTree.h"
#include "PathText.h"
#include "TestCasePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const char *const kUsage =
    "usage: tessivo-make-testcases [--force] [PARENT]\n"
    "Writes the demo's test cases to PARENT/Tessivo_TestCases (PARENT defaults to the current folder).\n"
    "A Tessivo_TestCases folder this program did not make is only replaced with --force.\n";

// Writes the cases on up to two threads; each case is independent of the
// others, so the files are the same whatever the order.
bool writeAllCases(const QString &tree, Failure *failure)
{
    using namespace TestCases;
    const std::vector<CaseDesign> cases = allCases();
    std::vector<CaseSummary> summaries(cases.size());
    std::vector<Failure> failures(cases.size());
    std::vector<char> written(cases.size(), 0);
    std::atomic<std::size_t> next{0};
    const std::string root = toNarrowPath(tree);
    auto work = [&]() {
        for (std::size_t i = next++; i < cases.size(); i = next++)
            written[i] = writeCase(cases[i], root, summaries[i], &failures[i]);
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 2u);
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &t : pool)
        t.join();

    int files = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (!written[i])
            return fail(failure, cases[i].fileName + ": " + failures[i].reason);
        const CaseSummary &r = summaries[i];
        files += r.files;
        std::printf("  %-8s %-11s %d x %d windows, rectified %d x %d, photograph %d x %d\n",
                    TestCasePaths::kindFolder(cases[i].kind).c_str(), cases[i].fileName.c_str(), r.rows, r.cols,
                    r.rectifiedWidth, r.rectifiedHeight, r.photoWidth, r.photoHeight);
    }
    std::printf("  %d files\n", files);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bool force = false;
    QStringList places;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (const QString &a : args) {
        if (a == "--force") {
            force = true;
        } else if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a.startsWith('-') && a != "-") {
            std::fprintf(stderr, "tessivo-make-testcases: unknown option %s\n%s", qPrintable(a), kUsage);
            return 2;
        } else {
            places << a;
        }
    }
    if (places.size() > 1) {
        std::fprintf(stderr, "tessivo-make-testcases: one PARENT folder at most\n%s", kUsage);
        return 2;
    }
    const QString parent = places.isEmpty() ? QDir::currentPath() : places.front();

    QElapsedTimer timer;
    timer.start();
    QString placed;
    Failure failure;
    if (!TestCases::replaceTree(parent, force, writeAllCases, &placed, &failure)) {
        std::fprintf(stderr, "tessivo-make-testcases: %s\n", failure.reason.c_str());
        return 1;
    }
    std::printf("tessivo-make-testcases: wrote %s in %.1f s\n", qPrintable(QDir::toNativeSeparators(placed)),
                timer.elapsed() / 1000.0);
    return 0;
}
