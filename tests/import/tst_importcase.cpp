// An imported photograph written as a test case: the case holds exactly the
// files the model reads, loads with the model's own loaders and behaves like
// a generated one (blinds drawn over the photograph's windows, shutter leaves
// that turn as the true camera sees them, an export whose wall is the facade
// minus its windows); and a write that is refused or fails leaves the
// test-case folder exactly as it was.
#include "CaseWriter.h"
#include "ExportTestSupport.h"
#include "FacadeAnalysis.h"
#include "ImportTestSupport.h"
#include "QWindowData2D.h"
#include "TestCasePaths.h"
#include "TestFiles.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace FacadeImport;

namespace {

// Files of a case of n windows relative to its kind's folder, as the model's
// layout names them, plus the importer's marker.
QStringList expectedFiles(TestCaseKind kind, const std::string &photo, int n)
{
    namespace P = TestCasePaths;
    const std::string f = ".";
    std::vector<std::string> files = {P::photograph(f, photo), P::rectifiedImage(f, photo), P::background(f, photo),
                                      P::originalBackground(f, photo), P::gridFile(f, photo),
                                      P::reconstructionFile(f, photo),
                                      P::baseFolder(f, photo) + "/" + kImportMarkerName};
    if (kind == TestCaseKind::Blind) {
        for (int i = 0; i < n; ++i) {
            files.push_back(P::inputWindowImage(f, photo, i));
            for (int p = 0; p <= 100; p += 10)
                files.push_back(P::blindLevelImage(f, photo, i, p));
        }
    } else {
        files.push_back(P::interiorImage(f, photo));
        for (int i = 0; i < n; ++i)
            files.push_back(P::interiorImage(f, photo, i));
        files.push_back(P::leftShutterImage(f, photo));
        files.push_back(P::rightShutterImage(f, photo));
        files.push_back(P::shutterFile(f, photo));
    }
    QStringList out;
    for (const std::string &file : files)
        out << QDir::cleanPath(QString::fromStdString(file));
    out.sort();
    return out;
}

// Every file below folder, relative to it, sorted.
QStringList filesBelow(const QString &folder)
{
    QStringList out;
    for (const QString &line : treeListing(folder))
        if (!line.endsWith('/'))
            out << line.section(' ', 0, -3); // without the size and digest
    return out;
}

// Mean absolute difference of two pictures' grey levels over rows [top, bottom)
// and columns [left, right).
double meanDifference(const QImage &a, const QImage &b, int left, int top, int right, int bottom)
{
    double sum = 0.0;
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
            ++n;
        }
    return n ? sum / n : -1.0;
}

// Area of the wall faces of an exported OBJ (shoelace in x, y).
double wallArea(const ObjData &obj)
{
    double total = 0.0;
    for (const auto &face : obj.faces)
        for (std::size_t k = 0; k < face.size(); ++k) {
            const auto &p = obj.v[std::size_t(face[k][0] - 1)];
            const auto &q = obj.v[std::size_t(face[(k + 1) % face.size()][0] - 1)];
            total += 0.5 * (p[0] * q[1] - q[0] * p[1]);
        }
    return std::abs(total);
}

// The written leaves against the generator's for the same facade: hinges on
// the window's edges, and for every sample the outer corners' offset from
// their hinge as the true camera gives it (scaled into the imported image),
// within tolerance pixels.
void checkLeaves(const QWindowData2D &model, const Truth *truth, double scale)
{
    const std::vector<FacadeWindow> &windows = *model.currentGroup();
    QCOMPARE(model.shutters.size(), windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const FacadeWindow &w = windows[i];
        const ShutterPair &pair = model.shutters[i];
        QCOMPARE(pair.left.hinge1, QPoint(w.x, w.y));
        QCOMPARE(pair.left.hinge2, QPoint(w.x, w.y + w.height));
        QCOMPARE(pair.right.hinge1, QPoint(w.x + w.width, w.y));
        QCOMPARE(pair.right.hinge2, QPoint(w.x + w.width, w.y + w.height));
        QCOMPARE(int(pair.left.outer1.size()), 19);
        QCOMPARE(int(pair.right.outer2.size()), 19);
        // Flat open on the wall half a window beyond its hinge; closed at the
        // window's middle.
        const double half = 0.5 * w.width;
        for (bool left : {true, false}) {
            const ShutterLeaf &leaf = left ? pair.left : pair.right;
            const double hinge = leaf.hinge1.x();
            const double flatX = left ? hinge - half : hinge + half;
            for (const auto &[k, x] : {std::pair<int, double>{0, flatX}, {18, w.x + half}}) {
                const QPoint o1 = leaf.outer1[std::size_t(k)], o2 = leaf.outer2[std::size_t(k)];
                QVERIFY2(std::abs(o1.x() - x) <= 1.0 && std::abs(o2.x() - x) <= 1.0 && std::abs(o1.y() - (w.y + w.height)) <= 1
                             && std::abs(o2.y() - w.y) <= 1,
                         qPrintable(QString("window %1 %2 leaf at %3 degrees: x %4 and %5, expected %6")
                                        .arg(i).arg(left ? "left" : "right").arg(10 * k).arg(o1.x()).arg(o2.x()).arg(x)));
            }
        }
        if (!truth)
            continue;
        const QRectF mine(w.x / scale, w.y / scale, w.width / scale, w.height / scale);
        const FacadeWindow *match = nullptr;
        double best = 0.0;
        for (const FacadeWindow &t : truth->windows()) {
            const double v = iou(mine, QRectF(t.x, t.y, t.width, t.height));
            if (v > best) {
                best = v;
                match = &t;
            }
        }
        QVERIFY(match && best >= 0.8);
        const ShutterPair &truePair = truth->model->shutters[std::size_t(match - truth->windows().data())];
        const double tolerance = 1.5 + 0.04 * w.width;
        for (bool left : {true, false}) {
            const ShutterLeaf &a = left ? pair.left : pair.right;
            const ShutterLeaf &b = left ? truePair.left : truePair.right;
            for (int k = 0; k < 19; ++k) {
                const QPointF mineOffset = a.outer1[std::size_t(k)] - a.hinge2;
                const QPointF trueOffset = scale * QPointF(b.outer1[std::size_t(k)] - b.hinge2);
                const QPointF miss = mineOffset - trueOffset;
                QVERIFY2(std::hypot(miss.x(), miss.y()) <= tolerance,
                         qPrintable(QString("window %1 %2 leaf at %3 degrees: (%4, %5) against (%6, %7)")
                                        .arg(i).arg(left ? "left" : "right").arg(10 * k)
                                        .arg(mineOffset.x()).arg(mineOffset.y()).arg(trueOffset.x()).arg(trueOffset.y())));
            }
        }
    }
}

// What a refusal row prepares in the root before the write.
enum class Setup { Nothing, ForeignFolder, ForeignPhoto, ForeignLink, ImportedCase, ImportedCaseWithEdits, RootIsFile,
                   RootBelowFile, NoWindows, OversizedWindow, WidePhoto };

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(ImportError)

class TestImportCase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void importedCaseLoads_data();
    void importedCaseLoads();
    void refusals_data();
    void refusals();

private:
    FacadeAnalysis m_analysis; // blinds/5.jpg with its true corners, for the refusals
};

void TestImportCase::initTestCase()
{
    const QString tree = qEnvironmentVariable("TESSIVO_TESTDATA") + "/Tessivo_TestCases";
    QVERIFY2(QFileInfo(tree).isDir(), qPrintable(tree + " is missing: run through ctest, which generates it"));
    const Truth t = loadTruth("blinds", "5.jpg");
    QVERIFY(t.model);
    AnalysisOptions options;
    options.useCorners = true;
    options.corners = trueCorners(t);
    m_analysis = analysePhotographFile(t.photoPath, options);
    QVERIFY2(m_analysis.status.ok(), m_analysis.status.reason.c_str());
}

void TestImportCase::importedCaseLoads_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("givenCorners");
    QTest::newRow("blinds 5, given corners") << "blinds" << "5.jpg" << true;
    QTest::newRow("blinds 7, automatic") << "blinds" << "7.jpg" << false;
    QTest::newRow("shutters 1, given corners") << "shutters" << "1.jpg" << true;
    QTest::newRow("shutters 6, automatic") << "shutters" << "6.jpg" << false;
}

void TestImportCase::importedCaseLoads()
{
    QFETCH(QString, kind);
    QFETCH(QString, fileName);
    QFETCH(bool, givenCorners);
    const Truth t = loadTruth(kind, fileName);
    QVERIFY(t.model);
    const TestCaseKind caseKind = t.shutters ? TestCaseKind::Shutter : TestCaseKind::Blind;
    AnalysisOptions options;
    options.useCorners = givenCorners;
    if (givenCorners)
        options.corners = trueCorners(t);
    options.clearLeafZones = t.shutters;
    const FacadeAnalysis a = analysePhotographFile(t.photoPath, options);
    QVERIFY2(a.status.ok(), a.status.reason.c_str());
    const int n = int(a.grid.windows.size());

    QTemporaryDir root;
    CaseTarget target;
    target.kind = caseKind;
    target.root = root.path();
    target.name = "rue des Fleurs 12";
    WrittenCase written;
    const ImportStatus status = writeCase(a, target, &written);
    QVERIFY2(status.ok(), status.reason.c_str());
    QCOMPARE(written.folder, QDir(root.path()).filePath(kind));
    QCOMPARE(written.photo, QString("rue des Fleurs 12.jpg"));

    // Exactly the model's files and the marker: no staging folder, nothing else.
    const QStringList expected = expectedFiles(caseKind, written.photo.toStdString(), n);
    const QDir::Filters everything = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    QCOMPARE(QDir(root.path()).entryList(everything), QStringList{kind});
    QCOMPARE(QDir(written.folder).entryList(everything, QDir::Name),
             QStringList({"rue des Fleurs 12", "rue des Fleurs 12.jpg"}));
    QCOMPARE(filesBelow(written.folder), expected);
    QCOMPARE(written.files, int(expected.size()));

    // The model's own loaders take it, with the grid and camera as analysed.
    QWindowData2D model;
    const std::string folder = written.folder.toStdString();
    const std::string photo = written.photo.toStdString();
    QVERIFY(t.shutters ? model.loadShutterTestCase(folder, photo) : model.loadBlindTestCase(folder, photo));
    QCOMPARE(model.caseKind, int(caseKind));
    QCOMPARE(model.originalImage.size(), a.photo.size());
    QCOMPARE(model.rectifiedImage.size(), a.rectified.size());
    QCOMPARE(model.background.size(), a.rectified.size());
    QCOMPARE(model.originalBackground.size(), a.photo.size());
    QCOMPARE(model.windowCount(), n);
    QCOMPARE(int(model.currentImages.size()), n);
    QCOMPARE(model.detectedRowCount(), a.grid.rows());
    QCOMPARE(model.detectedColCount(), a.grid.cols());
    QCOMPARE(model.gridBounds.front(), a.grid.bounds);
    for (int i = 0; i < n; ++i) {
        const FacadeWindow &w = (*model.currentGroup())[std::size_t(i)];
        const FacadeWindow &g = a.grid.windows[std::size_t(i)];
        QCOMPARE(QRect(w.x, w.y, w.width, w.height), QRect(g.x, g.y, g.width, g.height));
        QCOMPARE(w.col, g.col);
        QCOMPARE(w.row, g.row);
        QCOMPARE(model.currentImages[std::size_t(i)]->size(), QSize(g.width, g.height));
        const QPointF corner(g.x + g.width, g.y + g.height);
        const QPointF viaFile = model.rectifiedToOriginal(corner.toPoint());
        const QPointF viaCamera = rectifiedToPhoto(a.plan.camera, corner);
        QVERIFY(std::hypot(viaFile.x() - viaCamera.x(), viaFile.y() - viaCamera.y()) < 1e-6);
    }

    if (!t.shutters) {
        // The blinds are drawn over the photograph's own window: at half
        // height the top half is the blind, the rest is the window as it was.
        QCOMPARE(int(model.blindImages.size()), n);
        for (int i = 0; i < n; ++i) {
            const QImage &window = *model.windowImages[std::size_t(i)];
            const QImage &half = *model.blindImages[std::size_t(i)][5];
            const QImage &open = *model.blindImages[std::size_t(i)][0];
            const int w = window.width(), h = window.height();
            QCOMPARE(half.size(), window.size());
            const double below = meanDifference(window, half, 0, h / 2 + 8, w, h);
            const double above = meanDifference(window, half, w / 8, 0, w - w / 8, h / 2 - 2);
            QVERIFY2(below < 2.0 && above > 30.0, qPrintable(QString("window %1: %2 below, %3 above").arg(i).arg(below).arg(above)));
            QVERIFY(meanDifference(window, open, 0, 0, w, h) < 2.0);
        }
        return;
    }

    // Shutters: leaves on the window edges, turning as the true camera sees
    // them (given corners: the true facade, so the true camera's leaves).
    checkLeaves(model, givenCorners ? &t : nullptr, double(a.rectified.width()) / t.size().width());
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!model.leftShutterImage.isNull() && !model.rightShutterImage.isNull());
    // The left leaf is the right one's mirror image (up to JPEG's rounding).
    const QImage &leftLeaf = model.leftShutterImage;
    const QImage &rightLeaf = model.rightShutterImage;
    QCOMPARE(leftLeaf.size(), rightLeaf.size());
    QVERIFY(meanDifference(leftLeaf, rightLeaf.mirrored(true, false), 0, 0, leftLeaf.width(), leftLeaf.height()) < 3.0);

    // The export's wall is the rectified facade minus the windows.
    QTemporaryDir out;
    QVERIFY(model.saveFacadeToMesh(out.filePath("scene.obj").toStdString()));
    ObjData obj;
    QVERIFY(readObj(out.filePath("scene.obj"), obj));
    std::vector<Box> boxes;
    for (const FacadeWindow &g : a.grid.windows)
        boxes.push_back({g.x, g.y, g.x + g.width, g.y + g.height});
    const double expectedArea = wallAreaOf(a.rectified.width(), a.rectified.height(), boxes);
    const double area = wallArea(obj);
    QVERIFY2(std::abs(area - expectedArea) < 1e-5 * expectedArea, qPrintable(QString("%1 against %2").arg(area).arg(expectedArea)));
    QVERIFY(area < 0.97 * a.rectified.width() * a.rectified.height());
}

void TestImportCase::refusals_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<ImportError>("error");
    QTest::addColumn<QString>("says");

    const ImportError badName = ImportError::BadName;
    QTest::newRow("name leaving the root") << Setup::Nothing << "../escape" << false << badName << "folder separator";
    QTest::newRow("absolute name") << Setup::Nothing << "/tmp/escape" << false << badName << "folder separator";
    QTest::newRow("backslash") << Setup::Nothing << "a\\b" << false << badName << "folder separator";
    QTest::newRow("dot dot") << Setup::Nothing << ".." << false << badName << "starts with a dot";
    QTest::newRow("hidden") << Setup::Nothing << ".hidden" << false << badName << "starts with a dot";
    QTest::newRow("empty") << Setup::Nothing << "" << false << badName << "needs a name";
    QTest::newRow("control character") << Setup::Nothing << "a\tb" << false << badName << "control character";
    QTest::newRow("trailing space") << Setup::Nothing << "facade " << false << badName << "space";
    QTest::newRow("too long") << Setup::Nothing << QString(101, 'x') << false << badName << "at most 100";
    QTest::newRow("foreign case folder") << Setup::ForeignFolder << "taken" << true << ImportError::CaseExists
                                         << "not made by the importer";
    QTest::newRow("foreign photograph") << Setup::ForeignPhoto << "taken" << true << ImportError::CaseExists
                                        << "not made by the importer";
    QTest::newRow("link to an imported case") << Setup::ForeignLink << "taken" << true << ImportError::CaseExists
                                              << "not made by the importer";
    QTest::newRow("imported case kept") << Setup::ImportedCase << "taken" << false << ImportError::NameTaken
                                        << "already exists";
    QTest::newRow("imported case replaced") << Setup::ImportedCase << "taken" << true << ImportError::None << "";
    QTest::newRow("imported case named old replaced") << Setup::ImportedCase << "old" << true << ImportError::None << "";
    // Its unsaved edits belong to the old photograph: they go with it.
    QTest::newRow("imported case with unsaved edits replaced") << Setup::ImportedCaseWithEdits << "taken" << true
                                                               << ImportError::None << "";
    QTest::newRow("imported case with unsaved edits kept") << Setup::ImportedCaseWithEdits << "taken" << false
                                                           << ImportError::NameTaken << "already exists";
    QTest::newRow("root is a file") << Setup::RootIsFile << "facade" << false << ImportError::Unwritable
                                    << "is not a folder";
    QTest::newRow("root below a file") << Setup::RootBelowFile << "facade" << false << ImportError::Unwritable
                                       << "Cannot create";
    QTest::newRow("no windows") << Setup::NoWindows << "facade" << false << ImportError::NoWindows << "no windows";
    QTest::newRow("photograph wider than JPEG allows") << Setup::WidePhoto << "facade" << false << ImportError::TooLarge
                                                      << "at most 65500 pixels on a side";
    QTest::newRow("write fails midway") << Setup::OversizedWindow << "facade" << false << ImportError::WriteFailed
                                        << "inputwin_17.jpg";
}

// A refused or failed write changes nothing in the test-case folder; a
// replacement swaps the old imported case for the new one and leaves
// nothing else.
void TestImportCase::refusals()
{
    QFETCH(Setup, setup);
    QFETCH(QString, name);
    QFETCH(bool, replace);
    QFETCH(ImportError, error);
    QFETCH(QString, says);

    QTemporaryDir sandbox;
    QString root = sandbox.filePath("Tessivo_TestCases");
    const QString blinds = root + "/blinds";
    FacadeAnalysis analysis = m_analysis;
    QVERIFY(analysis.windowImages.size() == 18);
    switch (setup) {
    case Setup::Nothing:
        break;
    case Setup::ForeignFolder:
        QVERIFY(QDir().mkpath(blinds + "/taken"));
        QVERIFY(writeBytes(blinds + "/taken/grids.txt", "b\n0 0 10 10\n"));
        break;
    case Setup::ForeignPhoto:
        QVERIFY(QDir().mkpath(blinds));
        QVERIFY(writeBytes(blinds + "/taken.jpg", "not ours"));
        break;
    case Setup::ForeignLink: {
        // A link to a case the importer made elsewhere: not a case of this folder.
        CaseTarget elsewhere{TestCaseKind::Blind, sandbox.filePath("elsewhere"), "taken", false};
        QVERIFY(writeCase(analysis, elsewhere).ok());
        QVERIFY(QDir().mkpath(blinds));
        QVERIFY(QFile::link(sandbox.filePath("elsewhere/blinds/taken"), blinds + "/taken"));
        break;
    }
    case Setup::ImportedCase:
    case Setup::ImportedCaseWithEdits: {
        FacadeAnalysis first = analysis;
        std::vector<PlacedWindow> two{{QRect(first.grid.windows[0].x, first.grid.windows[0].y,
                                             first.grid.windows[0].width, first.grid.windows[0].height)},
                                      {QRect(first.grid.windows[1].x, first.grid.windows[1].y,
                                             first.grid.windows[1].width, first.grid.windows[1].height)}};
        updateWindows(first, two);
        QVERIFY(writeCase(first, {TestCaseKind::Blind, root, name, false}).ok());
        if (setup == Setup::ImportedCaseWithEdits)
            QVERIFY(writeBytes(QString::fromStdString(TestCasePaths::recoveryFile(blinds.toStdString(),
                                                                                  (name + ".jpg").toStdString())),
                               "b\n0 0 10 10\n"));
        break;
    }
    case Setup::RootIsFile:
        QVERIFY(writeBytes(root, "a file"));
        break;
    case Setup::RootBelowFile:
        QVERIFY(writeBytes(root, "a file"));
        root += "/inner";
        break;
    case Setup::NoWindows:
        analysis.grid = WindowGrid();
        analysis.windowImages.clear();
        break;
    case Setup::WidePhoto:
        // Within the reader's 50 megapixels, but not a JPEG file's sides.
        analysis.photo = QImage(66000, 64, QImage::Format_RGB888);
        analysis.photo.fill(Qt::gray);
        break;
    case Setup::OversizedWindow:
        // Wider than JPEG allows: the last window's first picture cannot be
        // written, after every file before it was.
        analysis.windowImages.back() = QImage(70000, 8, QImage::Format_RGB888);
        analysis.windowImages.back().fill(Qt::gray);
        break;
    }
    const QStringList before = treeListing(sandbox.path());

    WrittenCase written;
    const ImportStatus status = writeCase(analysis, {TestCaseKind::Blind, root, name, replace}, &written);
    QCOMPARE(status.error(), error);
    if (error != ImportError::None) {
        QVERIFY2(QString::fromStdString(status.reason).contains(says), status.reason.c_str());
        QVERIFY(status.reason.find('\n') == std::string::npos);
        QCOMPARE(treeListing(sandbox.path()), before);
        return;
    }
    // Replaced: the new case with all 18 windows, and only it.
    QVERIFY2(status.ok(), status.reason.c_str());
    const QString photo = name + ".jpg";
    QCOMPARE(filesBelow(blinds), expectedFiles(TestCaseKind::Blind, photo.toStdString(), 18));
    QCOMPARE(QDir(blinds).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             QStringList({name, photo}));
    QWindowData2D model;
    QVERIFY(model.loadBlindTestCase(blinds.toStdString(), photo.toStdString()));
    QCOMPARE(model.windowCount(), 18);
}

QTEST_GUILESS_MAIN(TestImportCase)
#include "tst_importcase.moc"
