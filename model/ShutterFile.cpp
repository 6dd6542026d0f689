#include "QWindowData2D.h"

#include "ScanText.h"
#include "TestCasePaths.h"

#include <cstdio>
#include <fstream>

namespace {

// Samples per leaf; the file states them for 0, 10, ... 180 degrees.
constexpr int kSamplesPerLeaf = 19;

// One leaf block: "shutter %d", the hinge line and 19 sample lines. Every
// sample is appended even when the input ran short (zeros then), so each leaf
// always ends with 19 entries in its three lists.
ShutterLeaf readLeaf(ScanText &scan)
{
    ShutterLeaf leaf;
    int number = 0;
    if (scan.literal("shutter "))
        scan.integer(number);
    scan.skipSpace();

    int h[4] = {0, 0, 0, 0};
    for (int &value : h) {
        if (!scan.integer(value))
            break;
    }
    scan.skipSpace();
    leaf.hinge1 = QPoint(h[0], h[1]);
    leaf.hinge2 = QPoint(h[2], h[3]);

    for (int k = 0; k < kSamplesPerLeaf; ++k) {
        double degrees = 0.0;
        int p[4] = {0, 0, 0, 0};
        if (scan.real(degrees)) {
            for (int &value : p) {
                if (!scan.integer(value))
                    break;
            }
            scan.skipSpace();
        }
        leaf.angles.push_back(degrees / 180 * QWindowData2D::pi);
        leaf.outer1.push_back(QPoint(p[0], p[1]));
        leaf.outer2.push_back(QPoint(p[2], p[3]));
    }
    return leaf;
}

} // namespace

bool QWindowData2D::loadShutters(const std::string &folder, const std::string &fileName)
{
    const std::string path = TestCasePaths::baseFolder(folder, fileName) + "/shutters.txt";
    std::ifstream in;
    if (!openInputFile(in, path))
        return false;
    return loadShutters(in);
}

// One pair of leaves per detected window of group 0, matched by position; the
// window and leaf numbers of the file are read and not used.
bool QWindowData2D::loadShutters(std::istream &in)
{
    if (in.fail()) {
        std::fputs("Can't open input file!\n", stderr);
        return false;
    }
    ScanText scan(ScanText::readAll(in));
    shutters.clear();
    const std::size_t count = detectedWindows.empty() ? 0 : detectedWindows.front().size();
    for (std::size_t i = 0; i < count; ++i) {
        int number = 0;
        if (scan.literal("window "))
            scan.integer(number);
        scan.skipSpace();
        ShutterPair pair;
        pair.left = readLeaf(scan);
        pair.right = readLeaf(scan);
        shutters.push_back(std::move(pair));
    }
    return true;
}
