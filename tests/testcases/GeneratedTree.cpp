#include "GeneratedTree.h"

#include <QtTest>

namespace generated {

QString Case::folder() const
{
    return treeRoot() + "/" + kind;
}

QString Case::base() const
{
    const int dot = fileName.lastIndexOf('.');
    return dot < 0 ? fileName : fileName.left(dot);
}

QString Case::baseFolder() const
{
    return folder() + "/" + base();
}

QString treeRoot()
{
    return qEnvironmentVariable("TESSIVO_TESTDATA") + "/Tessivo_TestCases";
}

std::vector<Case> cases()
{
    return {{"blinds", "1_temp.jpg", true},
            {"blinds", "5.jpg", true},
            {"blinds", "7.jpg", true},
            {"shutters", "1.jpg", false},
            {"shutters", "6.jpg", false}};
}

void addCaseRows()
{
    QTest::addColumn<int>("index");
    const std::vector<Case> all = cases();
    for (std::size_t i = 0; i < all.size(); ++i)
        QTest::newRow(qPrintable(all[i].kind + "/" + all[i].fileName)) << int(i);
}

bool load(QWindowData2D &model, const Case &c)
{
    const std::string folder = c.folder().toStdString();
    const std::string file = c.fileName.toStdString();
    return c.blind ? model.loadBlindTestCase(folder, file) : model.loadShutterTestCase(folder, file);
}

QColor meanColour(const QImage &image, const QRect &rect)
{
    const QRect r = rect.intersected(image.rect());
    if (r.isEmpty())
        return QColor();
    double sum[3] = {0, 0, 0};
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum[0] += qRed(p);
            sum[1] += qGreen(p);
            sum[2] += qBlue(p);
        }
    const double n = double(r.width()) * r.height();
    return QColor(int(sum[0] / n + 0.5), int(sum[1] / n + 0.5), int(sum[2] / n + 0.5));
}

int colourDistance(const QColor &a, const QColor &b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

} // namespace generated
