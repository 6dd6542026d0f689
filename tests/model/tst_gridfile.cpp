#include "QWindowData2D.h"

#include "ModelTestUtil.h"
#include "StderrCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <cstdio>
#include <cstdlib>

using namespace ModelTestUtil;

class TestGridFile : public QObject
{
    Q_OBJECT

private slots:
    void readsExample();
    void writesExampleBackByteForByte();
    void layoutVariants_data();
    void layoutVariants();
    void roundTripRoundsReals();
    void groupsFollowWithoutSeparator();
    void missingSections_data();
    void missingSections();
    void longWordSkippedWhole();
    void hugeAndNegativeCounts();
    void unscannableNumbers();
    void extremeRectangles();
    void unopenableFileLeavesModel();
    void loadKeepsImagesAndShutters();
    void saveToPath();
    void saveToBadPathFails();
    void saveKeepsGroupsDroppedByRestructuring();
    void saveFillsShortLists();
};

void TestGridFile::readsExample()
{
    QWindowData2D model;
    QVERIFY(loadText(model, exampleGrid()));
    QCOMPARE(model.gridBounds, std::vector<QRect>{QRect(10, 20, 300, 200)});
    QCOMPARE(model.windowTemplates, std::vector<QRect>{QRect(0, 0, 80, 120)});
    QCOMPARE(model.rowValues, std::vector<std::vector<int>>{{40}});
    QCOMPARE(model.colValues, std::vector<std::vector<int>>({{30, 170}}));
    QCOMPARE(model.rows, 1);
    QCOMPARE(model.cols, 2);
    QCOMPARE(model.detectedWindows.size(), std::size_t(1));
    QCOMPARE(model.windows.size(), std::size_t(1));

    FacadeWindow first = makeWindow(57, 60, 80, 120, 0, 0);
    FacadeWindow second = makeWindow(184, 60, 80, 120, 1, 0);
    QCOMPARE(describe(model.detectedWindows[0]), describe({first, second}));
    first.sourceIndex = 0;
    second.sourceIndex = 1;
    QCOMPARE(describe(model.windows[0]), describe({first, second}));
}

void TestGridFile::writesExampleBackByteForByte()
{
    QWindowData2D model;
    QVERIFY(loadText(model, exampleGrid()));
    QCOMPARE(savedText(model), exampleGrid());
}

// Line breaks, blanks, tabs and stray words must not change what is read.
void TestGridFile::layoutVariants_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray example = QByteArray::fromStdString(exampleGrid());
    QByteArray crlf = example;
    crlf.replace("\n", "\r\n");
    QByteArray blanks = example;
    blanks.replace('\n', ' ');
    QByteArray tabs = example;
    tabs.replace(' ', "\t \n");
    QTest::newRow("CR LF") << crlf;
    QTest::newRow("blanks only") << blanks;
    QTest::newRow("tabs and breaks") << tabs;
    QTest::newRow("trailing break") << example + "\n";
    QTest::newRow("trailing blanks") << example + "  \r\n ";
    QTest::newRow("stray words") << QByteArray("junk 17\n") + example.left(example.indexOf("w\n"))
            + "3.5 stray " + example.mid(example.indexOf("w\n")) + "\nend";
    QTest::newRow("upper-case tag skipped") << QByteArray("B 1 2 3 4 bb 5 ") + example;
}

void TestGridFile::layoutVariants()
{
    QFETCH(QByteArray, text);
    QWindowData2D model;
    QVERIFY(loadText(model, text.toStdString()));
    QCOMPARE(savedText(model), exampleGrid());
    QCOMPARE(model.rows, 1);
    QCOMPARE(model.cols, 2);
    QCOMPARE(model.detectedWindows.at(0).size(), std::size_t(2));
}

// Reals come back as their six-decimal text read in single precision.
void TestGridFile::roundTripRoundsReals()
{
    QWindowData2D model;
    model.gridBounds = {QRect(-5, 3, 1000, 700), QRect(1, 2, 3, 4)};
    model.windowTemplates = {QRect(7, 8, 90, 100), QRect(0, 0, 5, 6)};
    model.rowValues = {{1, -2, 3}, {}};
    model.colValues = {{4}, {5, 6}};
    std::srand(11);
    for (int g = 0; g < 2; ++g) {
        std::vector<FacadeWindow> list;
        for (int i = 0; i < 5; ++i) {
            FacadeWindow w = makeWindow(std::rand() % 2000 - 500, std::rand() % 900, 20 + i, 30 + i, i, g);
            w.aux = (std::rand() % 200000 - 100000) / 7.0;
            w.blindExtent = std::rand() % 50 - 10;
            w.leftAngle = (std::rand() % 180) * 3.1415926 / 180;
            w.rightAngle = -1.0 / (i + 3);
            w.sourceIndex = 4 - i; // not stored in the file
            list.push_back(w);
        }
        model.windows.push_back(list);
    }
    model.rows = 9;
    model.cols = 9;
    const std::string text = savedText(model);

    QWindowData2D back;
    QVERIFY(loadText(back, text));
    QCOMPARE(back.gridBounds, model.gridBounds);
    QCOMPARE(back.windowTemplates, model.windowTemplates);
    QCOMPARE(back.rowValues, model.rowValues);
    QCOMPARE(back.colValues, model.colValues);
    QCOMPARE(back.rows, 3);
    QCOMPARE(back.cols, 1);
    QCOMPARE(back.windows.size(), std::size_t(2));
    for (std::size_t g = 0; g < 2; ++g) {
        std::vector<FacadeWindow> expected = model.windows[g];
        for (std::size_t i = 0; i < expected.size(); ++i) {
            expected[i].aux = asWritten(expected[i].aux);
            expected[i].leftAngle = asWritten(expected[i].leftAngle);
            expected[i].rightAngle = asWritten(expected[i].rightAngle);
            expected[i].sourceIndex = -1;
        }
        QCOMPARE(describe(back.detectedWindows[g]), describe(expected));
        for (std::size_t i = 0; i < expected.size(); ++i)
            expected[i].sourceIndex = int(i);
        QCOMPARE(describe(back.windows[g]), describe(expected));
    }
    // After one pass the text is stable.
    QWindowData2D again;
    QVERIFY(loadText(again, savedText(back)));
    QCOMPARE(savedText(again), savedText(back));
}

// The writer puts the next "b" right after the last angle of a group.
void TestGridFile::groupsFollowWithoutSeparator()
{
    const std::string second = "b\n1 2 3 4\nw\n5 6 7 8\nh 2\n9 10 \nv 0\n\ne 1\n"
                               "1 2 3 4 0 1 2.500000 6 0.125000 1.000000";
    const std::string text = exampleGrid() + second;
    QWindowData2D model;
    QVERIFY(loadText(model, text));
    QCOMPARE(model.gridBounds.size(), std::size_t(2));
    QCOMPARE(model.gridBounds[1], QRect(1, 2, 3, 4));
    QCOMPARE(model.rowValues[1], std::vector<int>({9, 10}));
    QVERIFY(model.colValues[1].empty());
    QCOMPARE(model.windows[0].back().rightAngle, 0.0);
    QCOMPARE(model.windows[1].at(0).aux, 2.5);
    QCOMPARE(model.windows[1].at(0).blindExtent, 6);
    QCOMPARE(model.rows, 1); // group 0 decides
    QCOMPARE(model.cols, 2);
    QCOMPARE(savedText(model), text);
}

void TestGridFile::missingSections_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("bounds");
    QTest::addColumn<int>("templates");
    QTest::addColumn<int>("windowGroups");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("empty file") << QByteArray() << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("blanks only") << QByteArray(" \n\r\n\t") << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("no windows") << QByteArray("b 1 2 3 4 w 0 0 1 1 h 1 5 v 2 6 7") << 1 << 1 << 0 << 1 << 2;
    QTest::newRow("no rows") << QByteArray("b 1 2 3 4 w 0 0 1 1 v 2 6 7 e 0") << 1 << 1 << 1 << 0 << 2;
    QTest::newRow("no columns") << QByteArray("b 1 2 3 4 w 0 0 1 1 h 1 5 e 0") << 1 << 1 << 1 << 1 << 0;
    QTest::newRow("no bounds, no cell") << QByteArray("h 1 5 v 1 6 e 0") << 0 << 0 << 1 << 1 << 1;
    QTest::newRow("tag at end") << QByteArray("b 1 2 3 4 h") << 1 << 0 << 0 << 0 << 0;
}

void TestGridFile::missingSections()
{
    QFETCH(QByteArray, text);
    QFETCH(int, bounds);
    QFETCH(int, templates);
    QFETCH(int, windowGroups);
    QFETCH(int, rows);
    QFETCH(int, cols);
    QWindowData2D model;
    model.rows = 77;
    model.cols = 77;
    QVERIFY(loadText(model, text.toStdString()));
    QCOMPARE(int(model.gridBounds.size()), bounds);
    QCOMPARE(int(model.windowTemplates.size()), templates);
    QCOMPARE(int(model.windows.size()), windowGroups);
    QCOMPARE(int(model.detectedWindows.size()), windowGroups);
    QCOMPARE(model.rows, rows);
    QCOMPARE(model.cols, cols);
    // Nothing downstream may read past the absent lists: each of these files
    // lacks a list or a detected window that a 1 x 1 lattice needs.
    QCOMPARE(model.restructureGrid(1, 1), 0);
    savedText(model);
}

// A word longer than 199 characters is skipped whole, never split into tags.
void TestGridFile::longWordSkippedWhole()
{
    const std::string sneaky = std::string(199, 'x') + "b 1 2 3 4 ";
    const std::string huge = std::string(100000, 'b') + " ";
    QWindowData2D model;
    QVERIFY(loadText(model, sneaky + huge + exampleGrid()));
    QCOMPARE(model.gridBounds, std::vector<QRect>{QRect(10, 20, 300, 200)});
    QCOMPARE(savedText(model), exampleGrid());

    const std::string longest = std::string(198, 'y') + " ";
    QVERIFY(loadText(model, longest + exampleGrid()));
    QCOMPARE(savedText(model), exampleGrid());
}

// Counts never drive an allocation: sections stop when the input ends or a
// number cannot be read, keeping what they read.
void TestGridFile::hugeAndNegativeCounts()
{
    QWindowData2D model;
    QVERIFY(loadText(model, "h 2000000000 1 2 3 v -5 7 8 e 2000000000\n"
                            "1 2 3 4 0 0 0.5 0 0.25 0.125"));
    QCOMPARE(model.rowValues, (std::vector<std::vector<int>>{{1, 2, 3}}));
    QCOMPARE(model.colValues, std::vector<std::vector<int>>{{}});
    QCOMPARE(model.rows, 3);
    QCOMPARE(model.cols, 0);
    QCOMPARE(model.detectedWindows.at(0).size(), std::size_t(1));
    QCOMPARE(model.windows.at(0).at(0).rightAngle, 0.125);

    QVERIFY(loadText(model, "e -3 1 2 3 4 0 0 0 0 0 0 h 99999999999 4 e 2147483647"));
    QCOMPARE(model.detectedWindows.size(), std::size_t(2));
    QVERIFY(model.detectedWindows[0].empty());
    QVERIFY(model.detectedWindows[1].empty());
    QVERIFY(model.rowValues.at(0).empty()); // a count outside int reads as 0
}

// Numbers that cannot be scanned are stored as 0 and end their section.
void TestGridFile::unscannableNumbers()
{
    QWindowData2D model;
    QVERIFY(loadText(model, "b 10 x 30 40 w 1 2 3 4 h 3 5 ? 6 "
                            "e 3\n1 2 3 4 5 6 zz 0 0 0\n7 8 9 10 11 12 0 0 0 0 v 1 9"));
    QCOMPARE(model.gridBounds, std::vector<QRect>{QRect(10, 0, 0, 0)});
    QCOMPARE(model.windowTemplates, std::vector<QRect>{QRect(1, 2, 3, 4)});
    QCOMPARE(model.rowValues, std::vector<std::vector<int>>{{5}});
    QCOMPARE(model.colValues, std::vector<std::vector<int>>{{9}});
    QCOMPARE(model.detectedWindows.at(0).size(), std::size_t(1));
    FacadeWindow cut = makeWindow(1, 2, 3, 4, 5, 6);
    QCOMPARE(describe(model.detectedWindows[0]), describe({cut}));

    QVERIFY(loadText(model, "e 1 1 2 3 4 5 6 1e999 -7 .5 2."));
    const FacadeWindow &w = model.windows.at(0).at(0);
    QCOMPARE(w.aux, 0.0); // beyond single precision
    QCOMPARE(w.blindExtent, -7);
    QCOMPARE(w.leftAngle, 0.5);
    QCOMPARE(w.rightAngle, 2.0);
}

// Rectangles at the edge of int stay representable (QRect keeps left + width - 1).
void TestGridFile::extremeRectangles()
{
    QWindowData2D model;
    QVERIFY(loadText(model, "b 2147483647 -2147483648 2147483647 -2147483648 "
                            "w -2147483648 0 0 2147483647 h 0 v 0 e 0"));
    QCOMPARE(model.gridBounds.at(0).left(), INT_MAX);
    QCOMPARE(model.gridBounds.at(0).top(), INT_MIN);
    QCOMPARE(model.gridBounds.at(0).width(), 0);
    QCOMPARE(model.gridBounds.at(0).height(), 1);
    QCOMPARE(model.windowTemplates.at(0).left(), INT_MIN);
    QCOMPARE(model.windowTemplates.at(0).width(), 1);
    QCOMPARE(model.windowTemplates.at(0).height(), INT_MAX);
    QCOMPARE(model.restructureGrid(1, 1), 0);
    QVERIFY(!savedText(model).empty());
}

void TestGridFile::unopenableFileLeavesModel()
{
    QWindowData2D model;
    QVERIFY(loadText(model, exampleGrid()));
    StderrCapture capture;
    QVERIFY(!model.loadGridFile(std::string("/nonexistent/folder/grid.txt")));
    QVERIFY(!model.loadGrids("/nonexistent", "5.jpg"));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(!model.loadGridFile(dir.path().toStdString())); // a folder is no grid file
    QCOMPARE(capture.text(), std::string("Can't open input file!\nCan't open input file!\nCan't open input file!\n"));
    QCOMPARE(savedText(model), exampleGrid());
}

// Loading a grid file changes grid data only; each window then shows the
// image of its source (the window at its own index), none beyond the images.
void TestGridFile::loadKeepsImagesAndShutters()
{
    QWindowData2D model;
    model.windowImages.push_back(std::make_unique<QImage>(2, 2, QImage::Format_RGB32));
    model.currentImages = {model.windowImages[0].get(), model.windowImages[0].get()};
    model.imageKeys = {0, 0};
    model.shutters.resize(3);
    model.homography[1][1] = 4.0;
    QVERIFY(loadText(model, exampleGrid() + " e 1 0 0 1 1 0 0 0 0 0 0"));
    const std::size_t shown = model.windows.at(0).size();
    QCOMPARE(model.currentImages.size(), shown);
    QCOMPARE(model.imageKeys.size(), shown);
    for (std::size_t i = 0; i < shown; ++i) {
        QCOMPARE(model.imageKeys[i], int(i));
        QCOMPARE(model.currentImages[i], i == 0 ? model.windowImages[0].get() : nullptr);
    }
    QCOMPARE(model.windowImages.size(), std::size_t(1));
    QCOMPARE(model.shutters.size(), std::size_t(3));
    QCOMPARE(model.homography[1][1], 4.0);
    QCOMPARE(model.windows.size(), std::size_t(2));
}

void TestGridFile::saveToPath()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("grid file.txt");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'z'));
    }
    QWindowData2D model;
    QVERIFY(loadText(model, exampleGrid()));
    QVERIFY(model.saveGridFile(path.toStdString()));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().toStdString(), exampleGrid());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"grid file.txt"});

    QWindowData2D back;
    QVERIFY(back.loadGridFile(path.toStdString()));
    QCOMPARE(savedText(back), exampleGrid());
}

void TestGridFile::saveToBadPathFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QWindowData2D model;
    QVERIFY(loadText(model, exampleGrid()));
    StderrCapture capture;
    QVERIFY(!model.saveGridFile(dir.filePath("missing/grid.txt").toStdString()));
    QVERIFY(QDir(dir.path()).mkdir("taken"));
    QVERIFY(!model.saveGridFile(dir.filePath("taken").toStdString()));
    QVERIFY(QFileInfo(dir.filePath("taken")).isDir());
    QCOMPARE(capture.text(), std::string());
}

// Restructuring keeps only group 0 in windows; saving still writes every group.
void TestGridFile::saveKeepsGroupsDroppedByRestructuring()
{
    const std::string second = "b\n1 2 30 40\nw\n0 0 5 6\nh 1\n9 \nv 1\n8 \ne 1\n"
                               "3 4 5 6 0 0 1.500000 2 0.250000 0.500000";
    QWindowData2D model;
    QVERIFY(loadText(model, exampleGrid() + second));
    QCOMPARE(model.restructureGrid(1, 1), 1);
    QCOMPARE(model.windows.size(), std::size_t(1));
    const std::string text = savedText(model);
    QVERIFY(text.size() > second.size());
    QCOMPARE(text.substr(text.size() - second.size()), second);

    QWindowData2D back;
    QVERIFY(loadText(back, text));
    QCOMPARE(back.gridBounds.size(), std::size_t(2));
    QCOMPARE(describe(back.detectedWindows[1]), describe(model.detectedWindows[1]));
    // The detected rows and columns stay; the windows are the current 1 x 1.
    QCOMPARE(back.rows, 1);
    QCOMPARE(back.cols, 2);
    QCOMPARE(back.windows[0].size(), std::size_t(1));
}

// Lists a file left short are written empty, so nothing that was read is lost.
void TestGridFile::saveFillsShortLists()
{
    QWindowData2D model;
    QVERIFY(loadText(model, "e 1 3 4 5 6 0 0 1.5 2 0.25 0.5 b 7 8 9 10"));
    QCOMPARE(savedText(model),
             std::string("b\n7 8 9 10\nw\n0 0 0 0\nh 0\n\nv 0\n\ne 1\n"
                         "3 4 5 6 0 0 1.500000 2 0.250000 0.500000"));
}

QTEST_GUILESS_MAIN(TestGridFile)
#include "tst_gridfile.moc"
