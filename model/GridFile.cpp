#include "QWindowData2D.h"

#include "ScanText.h"
#include "TextFile.h"
#include "TextFormat.h"
#include "TestCasePaths.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <fstream>
#include <ostream>
#include <sstream>

namespace {

// Longest word the reader takes as a tag; longer words are skipped whole.
constexpr std::size_t kMaxWordLength = 199;

// Tags of the session section: words no plain grid file holds, so that a
// reader that knows only b, w, h, v and e skips the section word by word.
constexpr const char *kCountsTag = "session-counts";
constexpr const char *kDetectedTag = "session-detected";
constexpr const char *kSourcesTag = "session-sources";

// QRect computes left + width, then subtracts 1, in int; clamp width and
// height so that both steps stay representable for any four integers.
int clampExtent(int origin, int extent)
{
    const std::int64_t end = std::int64_t(origin) + extent;
    if (end > INT_MAX)
        return int(std::int64_t(INT_MAX) - origin);
    if (end < std::int64_t(INT_MIN) + 1)
        return int(std::int64_t(INT_MIN) + 1 - origin);
    return std::max(extent, INT_MIN + 1);
}

// "%d %d %d %d": a failed number ends the call, the rest stay 0.
QRect readRect(ScanText &scan)
{
    int v[4] = {0, 0, 0, 0};
    for (int &value : v) {
        if (!scan.integer(value))
            break;
    }
    return QRect(v[0], v[1], clampExtent(v[0], v[2]), clampExtent(v[1], v[3]));
}

// n, then n integers; stops early at the end of input or at a non-number.
std::vector<int> readValueList(ScanText &scan)
{
    std::vector<int> values;
    int count = 0;
    if (!scan.integer(count))
        return values;
    for (int i = 0; i < count; ++i) {
        int value = 0;
        if (!scan.integer(value))
            break;
        values.push_back(value);
    }
    return values;
}

// One window line. Returns false when not even its first field could be read;
// a line cut short keeps the fields it has and 0 for the rest.
bool readWindowLine(ScanText &scan, FacadeWindow &w, bool &complete)
{
    w = FacadeWindow();
    complete = false;
    if (!scan.integer(w.x))
        return false;
    complete = scan.integer(w.y) && scan.integer(w.width) && scan.integer(w.height)
        && scan.integer(w.col) && scan.integer(w.row) && scan.realSingle(w.aux)
        && scan.integer(w.blindExtent) && scan.realSingle(w.leftAngle)
        && scan.realSingle(w.rightAngle);
    return true;
}

void appendWindowLine(std::string &out, const FacadeWindow &w)
{
    appendFormat(out, "\n%d %d %d %d %d %d ", w.x, w.y, w.width, w.height, w.col, w.row);
    appendFixed6(out, w.aux);
    appendFormat(out, " %d ", w.blindExtent);
    appendFixed6(out, w.leftAngle);
    out += ' ';
    appendFixed6(out, w.rightAngle);
}

// n, then up to n window lines; stops at the first line cut short.
std::vector<FacadeWindow> readWindowList(ScanText &scan)
{
    std::vector<FacadeWindow> list;
    int count = 0;
    scan.integer(count);
    for (int i = 0; i < count; ++i) {
        FacadeWindow w;
        bool complete = false;
        if (!readWindowLine(scan, w, complete))
            break;
        list.push_back(w);
        if (!complete)
            break;
    }
    return list;
}

void appendRectSection(std::string &out, const char *tag, const QRect &r)
{
    appendFormat(out, "%s\n%d %d %d %d\n", tag, r.x(), r.y(), r.width(), r.height());
}

} // namespace

bool QWindowData2D::loadGrids(const std::string &folder, const std::string &fileName, Failure *failure)
{
    return loadGridFile(TestCasePaths::gridFile(folder, fileName), failure);
}

bool QWindowData2D::loadGridFile(const std::string &path, Failure *failure)
{
    std::ifstream in;
    return openInputFile(in, path, failure) && loadGridFile(in, failure);
}

// Reads every group of a grid file. Unknown words are skipped; a section cut
// short keeps what it could read, so counts never drive an allocation.
bool QWindowData2D::loadGridFile(std::istream &in, Failure *failure)
{
    std::string text;
    if (!readInput(in, text, failure))
        return false;
    ScanText scan(std::move(text));

    gridBounds.clear();
    windowTemplates.clear();
    detectedWindows.clear();
    windows.clear();
    colValues.clear();
    rowValues.clear();

    // The session section (saveSessionGridFile), applied once every group is read.
    std::vector<std::vector<FacadeWindow>> sessionDetected;
    std::vector<std::vector<int>> sessionSources;
    bool sessionCounts = false;
    int shownRows = 0;
    int shownCols = 0;

    std::string tag;
    while (scan.word(tag, kMaxWordLength)) {
        if (tag == "b") {
            gridBounds.push_back(readRect(scan));
        } else if (tag == "w") {
            windowTemplates.push_back(readRect(scan));
        } else if (tag == "h") {
            rowValues.push_back(readValueList(scan));
        } else if (tag == "v") {
            colValues.push_back(readValueList(scan));
        } else if (tag == "e") {
            std::vector<FacadeWindow> detected = readWindowList(scan);
            std::vector<FacadeWindow> current = detected;
            for (std::size_t i = 0; i < current.size(); ++i)
                current[i].sourceIndex = int(i);
            detectedWindows.push_back(std::move(detected));
            windows.push_back(std::move(current));
        } else if (tag == kCountsTag) {
            sessionCounts = scan.integer(shownRows) && scan.integer(shownCols);
        } else if (tag == kDetectedTag) {
            sessionDetected.push_back(readWindowList(scan));
        } else if (tag == kSourcesTag) {
            sessionSources.push_back(readValueList(scan));
        }
    }

    for (std::size_t p = 0; p < std::min(sessionDetected.size(), detectedWindows.size()); ++p)
        detectedWindows[p] = std::move(sessionDetected[p]);
    for (std::size_t p = 0; p < std::min(sessionSources.size(), windows.size()); ++p) {
        for (std::size_t i = 0; i < std::min(sessionSources[p].size(), windows[p].size()); ++i)
            windows[p][i].sourceIndex = sessionSources[p][i];
    }
    rows = sessionCounts ? shownRows : detectedRowCount();
    cols = sessionCounts ? shownCols : detectedColCount();
    showWindowImages();
    return true;
}

bool QWindowData2D::saveGridFile(const std::string &path, Failure *failure) const
{
    std::ostringstream text;
    return saveGridFile(text, failure) && writeTextFile(path, text.str(), failure);
}

// Writes one group per entry of the longest group list. A group whose current
// windows were dropped by restructuring is written with its detected windows,
// and a list a file left short is written empty (a zero rectangle, count 0),
// so that saving never loses what the model holds.
bool QWindowData2D::saveGridFile(std::ostream &out, Failure *failure) const
{
    std::string text;
    appendGridText(text);
    return writeText(out, text, failure);
}

// One entry per group the grid text wrote, in its order, so that reading the
// file back and writing it again gives the same words: the counts the view
// shows, the detected windows, the sourceIndex of each written window.
bool QWindowData2D::saveSessionGridFile(std::ostream &out, Failure *failure) const
{
    std::string text;
    const std::size_t groups = appendGridText(text);
    appendFormat(text, "\n%s %d %d", kCountsTag, rows, cols);
    for (std::size_t p = 0; p < groups; ++p) {
        const std::vector<FacadeWindow> &written = writtenGroup(p);
        const std::vector<FacadeWindow> &detected = p < detectedWindows.size() ? detectedWindows[p] : written;
        appendFormat(text, "\n%s %d", kDetectedTag, int(detected.size()));
        for (const FacadeWindow &w : detected)
            appendWindowLine(text, w);
        appendFormat(text, "\n%s %d\n", kSourcesTag, int(written.size()));
        for (std::size_t i = 0; i < written.size(); ++i)
            appendFormat(text, "%d ", p < windows.size() ? written[i].sourceIndex : int(i));
    }
    text += '\n';
    return writeText(out, text, failure);
}

const std::vector<FacadeWindow> &QWindowData2D::writtenGroup(std::size_t p) const
{
    static const std::vector<FacadeWindow> noWindows;
    return p < windows.size() ? windows[p] : p < detectedWindows.size() ? detectedWindows[p] : noWindows;
}

std::size_t QWindowData2D::appendGridText(std::string &text) const
{
    const std::size_t groups = std::max({gridBounds.size(), windowTemplates.size(),
                                         rowValues.size(), colValues.size(),
                                         windows.size(), detectedWindows.size()});
    static const std::vector<int> noValues;
    for (std::size_t p = 0; p < groups; ++p) {
        appendRectSection(text, "b", p < gridBounds.size() ? gridBounds[p] : QRect());
        appendRectSection(text, "w", p < windowTemplates.size() ? windowTemplates[p] : QRect());
        const std::vector<int> &rowList = p < rowValues.size() ? rowValues[p] : noValues;
        appendFormat(text, "h %d\n", int(rowList.size()));
        for (const int value : rowList)
            appendFormat(text, "%d ", value);
        const std::vector<int> &colList = p < colValues.size() ? colValues[p] : noValues;
        appendFormat(text, "\nv %d\n", int(colList.size()));
        for (const int value : colList)
            appendFormat(text, "%d ", value);
        const std::vector<FacadeWindow> &list = writtenGroup(p);
        appendFormat(text, "\ne %d", int(list.size()));
        for (const FacadeWindow &w : list)
            appendWindowLine(text, w);
    }
    return groups;
}
