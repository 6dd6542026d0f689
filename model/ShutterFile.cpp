#include "QWindowData2D.h"

#include "ScanText.h"
#include "TestCasePaths.h"
#include "TextFile.h"
#include "TextFormat.h"

#include <algorithm>
#include <fstream>

namespace {

// Samples per leaf; the file states them for 0, 10, ... 180 degrees.
constexpr int kSamplesPerLeaf = TestCasePaths::kLeafSamples;

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

// One leaf block as the reader takes it; angles back in degrees, with six
// significant digits, so that whole degrees print whole ("%.6g"). Divided by
// pi before the factor 180, so that an angle the reader made from a number
// of degrees near the largest double does not overflow on its way back.
void appendLeaf(std::string &text, const ShutterLeaf &leaf, int number)
{
    appendFormat(text, "shutter %d\n", number);
    appendFormat(text, "%d %d %d %d\n", leaf.hinge1.x(), leaf.hinge1.y(), leaf.hinge2.x(), leaf.hinge2.y());
    const std::size_t n = std::min({leaf.angles.size(), leaf.outer1.size(), leaf.outer2.size()});
    for (std::size_t k = 0; k < n; ++k) {
        appendGeneral(text, leaf.angles[k] / QWindowData2D::pi * 180.0, 6);
        appendFormat(text, " %d %d %d %d\n", leaf.outer1[k].x(), leaf.outer1[k].y(), leaf.outer2[k].x(),
                     leaf.outer2[k].y());
    }
}

std::string shutterText(const std::vector<ShutterPair> &shutters)
{
    std::string text;
    for (std::size_t i = 0; i < shutters.size(); ++i) {
        appendFormat(text, "window %d\n", int(i));
        appendLeaf(text, shutters[i].left, 1);
        appendLeaf(text, shutters[i].right, 2);
    }
    return text;
}

} // namespace

bool QWindowData2D::loadShutters(const std::string &folder, const std::string &fileName, Failure *failure)
{
    std::ifstream in;
    return openInputFile(in, TestCasePaths::shutterFile(folder, fileName), failure) && loadShutters(in, failure);
}

// One pair of leaves per detected window of group 0, matched by position; the
// window and leaf numbers of the file are read and not used.
bool QWindowData2D::loadShutters(std::istream &in, Failure *failure)
{
    std::string text;
    if (!readInput(in, text, failure))
        return false;
    ScanText scan(std::move(text));
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

// One block per pair of shutters, numbered from 0, with the left (1) and the
// right (2) leaf, every sample the leaf holds.
bool QWindowData2D::saveShutters(std::ostream &out, Failure *failure) const
{
    return writeText(out, shutterText(shutters), failure);
}

bool QWindowData2D::saveShutters(const std::string &path, Failure *failure) const
{
    return writeTextFile(path, shutterText(shutters), failure);
}
