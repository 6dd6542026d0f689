#ifndef TESSIVO_TESTS_GENERATEDTREE_H
#define TESSIVO_TESTS_GENERATEDTREE_H

#include <QWindowData2D.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <vector>

// Access to the generated tree at $TESSIVO_TESTDATA/Tessivo_TestCases for the
// suites that check it through the program's own readers.
namespace generated {

struct Case {
    QString kind;     // "blinds" or "shutters"
    QString fileName; // photograph's file name
    bool blind = true;

    QString folder() const;     // the kind's folder
    QString base() const;       // file name before its last "."
    QString baseFolder() const; // folder + "/" + base
};

QString treeRoot();
std::vector<Case> cases();

// Adds an "index" column with one row per case, named after it.
void addCaseRows();

// The test-case load the dialog performs.
bool load(QWindowData2D &model, const Case &c);

// Mean colour of the pixels of rect that lie inside the image.
QColor meanColour(const QImage &image, const QRect &rect);
// Largest difference of the three components.
int colourDistance(const QColor &a, const QColor &b);

} // namespace generated

#endif
