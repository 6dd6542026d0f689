#ifndef TESSIVO_TESTS_MODELTESTUTIL_H
#define TESSIVO_TESTS_MODELTESTUTIL_H

#include "QWindowData2D.h"
#include "TestWindows.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace ModelTestUtil {

// The grid file of one 1 x 2 group from the format's description.
inline std::string exampleGrid()
{
    return "b\n10 20 300 200\nw\n0 0 80 120\nh 1\n40 \nv 2\n30 170 \ne 2\n"
           "57 60 80 120 0 0 0.000000 0 0.000000 0.000000\n"
           "184 60 80 120 1 0 0.000000 0 0.000000 0.000000";
}

// Every field of a window, reals at full precision, for readable comparisons.
inline QString describe(const FacadeWindow &w)
{
    return QStringLiteral("x=%1 y=%2 w=%3 h=%4 col=%5 row=%6 aux=%7 blind=%8 src=%9 left=%10 right=%11")
        .arg(w.x).arg(w.y).arg(w.width).arg(w.height).arg(w.col).arg(w.row)
        .arg(w.aux, 0, 'g', 17).arg(w.blindExtent).arg(w.sourceIndex)
        .arg(w.leftAngle, 0, 'g', 17).arg(w.rightAngle, 0, 'g', 17);
}

inline QString describe(const std::vector<FacadeWindow> &list)
{
    QStringList lines;
    for (const FacadeWindow &w : list)
        lines << describe(w);
    return lines.join('\n');
}

inline bool loadText(QWindowData2D &model, const std::string &text)
{
    std::istringstream in(text);
    return model.loadGridFile(in);
}

inline std::string savedText(const QWindowData2D &model)
{
    std::ostringstream out;
    model.saveGridFile(out);
    return out.str();
}

// A real as a grid file gives it back: six decimals, read in single precision.
inline double asWritten(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return double(std::strtof(buffer, nullptr));
}

} // namespace ModelTestUtil

#endif
