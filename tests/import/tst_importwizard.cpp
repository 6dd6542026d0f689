// The import wizard driven as a user would: the facade's corners dragged
// onto the true ones (with the magnifier up while dragging), a window
// removed, drawn again, moved and resized, a refused name answered with a
// message while the wizard stays open, and finishing writing the case that
// the model then loads with exactly the windows edited; and the dialog's
// "Import photograph..." command from the key to the loaded case.
#include "DialogFixture.h"
#include "FacadeProposal.h"
#include "ImportTestSupport.h"
#include "ImportWizard.h"
#include "KeepGLDriver.h"
#include "ModalAnswerer.h"
#include "PhotoReader.h"
#include "QWindowData2D.h"
#include "QuadEditor.h"
#include "WindowEditor.h"

#include <QtTest>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace {

QPoint rounded(const QPointF &p)
{
    return QPoint(int(std::lround(p.x())), int(std::lround(p.y())));
}

void drag(QWidget *widget, const QPoint &from, const QPoint &to)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(widget, (from + to) / 2);
    QTest::mouseMove(widget, to);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

void clickNext(QWizard &wizard)
{
    QTest::mouseClick(wizard.button(QWizard::NextButton), Qt::LeftButton);
}

std::vector<QRect> sorted(std::vector<QRect> rects)
{
    std::sort(rects.begin(), rects.end(), [](const QRect &a, const QRect &b) {
        return std::make_tuple(a.y(), a.x(), a.width(), a.height()) < std::make_tuple(b.y(), b.x(), b.width(), b.height());
    });
    return rects;
}

} // namespace

class TestImportWizard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void editAndWrite();
    void facadesAndSearchWords();
    void importCommandLoadsWrittenCase();
};

void TestImportWizard::initTestCase()
{
    const QString tree = qEnvironmentVariable("TESSIVO_TESTDATA") + "/Tessivo_TestCases";
    QVERIFY2(QFileInfo(tree).isDir(), qPrintable(tree + " is missing: run through ctest, which generates it"));
}

void TestImportWizard::cleanupTestCase()
{
    keepGLDriverLoaded();
}

void TestImportWizard::editAndWrite()
{
    const Truth truth = loadTruth("blinds", "5.jpg");
    QVERIFY(truth.model);
    const FacadeImport::Photograph photo = FacadeImport::readPhotograph(truth.photoPath);
    QVERIFY(photo.status.ok());
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("shutters/taken")); // a case the importer did not make

    ImportWizard wizard(photo.image, truth.photoPath, root.path());
    QSignalSpy written(&wizard, &ImportWizard::caseWritten);
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));

    // Page 1: each proposed corner dragged onto the true one.
    QuadEditor *quad = wizard.quadEditor();
    const FacadeImport::FacadeQuad target = trueCorners(truth);
    for (std::size_t i = 0; i < 4; ++i) {
        // The proposal's corners are clockwise from the top-left, like the true ones.
        const QPoint from = rounded(quad->toWidget(quad->quad()[i]));
        const QPoint to = rounded(quad->toWidget(target[i]));
        QTest::mousePress(quad, Qt::LeftButton, Qt::NoModifier, from);
        QCOMPARE(quad->draggedCorner(), int(i));
        QTest::mouseMove(quad, to);
        QVERIFY(quad->magnifierShown());
        QTest::mouseRelease(quad, Qt::LeftButton, Qt::NoModifier, to);
        QCOMPARE(quad->draggedCorner(), -1);
    }
    const double photoPixel = 1.0 / (quad->toWidget(QPointF(1, 0)).x() - quad->toWidget(QPointF(0, 0)).x());
    for (std::size_t i = 0; i < 4; ++i) {
        const QPointF miss = quad->quad()[i] - target[i];
        QVERIFY2(std::hypot(miss.x(), miss.y()) <= photoPixel, qPrintable(QString("corner %1 off by %2, %3").arg(i).arg(miss.x()).arg(miss.y())));
    }

    // Page 2: the true windows, then one removed and drawn again.
    clickNext(wizard);
    QCOMPARE(wizard.currentId(), 1);
    WindowEditor *editor = wizard.windowEditor();
    QCOMPARE(int(editor->windows().size()), int(truth.windows().size()));
    QCOMPARE(wizard.windowCountLabel()->text(), QString("18 windows in 3 rows x 6 columns"));
    const QRect removed = editor->windows()[7];
    QTest::mouseClick(editor, Qt::LeftButton, Qt::NoModifier, rounded(editor->toWidget(QRectF(removed).center())));
    QCOMPARE(editor->selected(), 7);
    QVERIFY(wizard.removeWindowButton()->isEnabled());
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(int(editor->windows().size()), 17);
    QCOMPARE(wizard.windowCountLabel()->text(), QString("17 windows in 3 rows x 6 columns"));

    QTest::mouseClick(wizard.addWindowButton(), Qt::LeftButton);
    QVERIFY(editor->adding());
    drag(editor, rounded(editor->toWidget(removed.topLeft())),
         rounded(editor->toWidget(removed.topLeft() + QPoint(removed.width(), removed.height()))));
    QVERIFY(!editor->adding());
    QCOMPARE(int(editor->windows().size()), 18);
    QCOMPARE(wizard.windowCountLabel()->text(), QString("18 windows in 3 rows x 6 columns"));
    const int added = editor->selected();
    QCOMPARE(added, 17);
    const double imagePixel = 1.0 / (editor->toWidget(QPointF(1, 0)).x() - editor->toWidget(QPointF(0, 0)).x());
    const QRect drawn = editor->windows()[std::size_t(added)];
    QVERIFY2(std::abs(drawn.x() - removed.x()) <= imagePixel && std::abs(drawn.y() - removed.y()) <= imagePixel
                 && std::abs(drawn.width() - removed.width()) <= 2 * imagePixel
                 && std::abs(drawn.height() - removed.height()) <= 2 * imagePixel,
             qPrintable(QString("drawn %1,%2 %3x%4").arg(drawn.x()).arg(drawn.y()).arg(drawn.width()).arg(drawn.height())));

    // Moved 10 widget pixels right, then its bottom-right corner pulled out.
    const QPoint centre = rounded(editor->toWidget(QRectF(drawn).center()));
    drag(editor, centre, centre + QPoint(10, 0));
    const QRect moved = editor->windows()[std::size_t(added)];
    QCOMPARE(moved.size(), drawn.size());
    QCOMPARE(moved.y(), drawn.y());
    QVERIFY(std::abs(moved.x() - drawn.x() - 10 * imagePixel) <= 1.0);
    const QPoint handle = rounded(editor->toWidget(moved.topLeft() + QPoint(moved.width(), moved.height())));
    drag(editor, handle, handle + QPoint(6, 8));
    const QRect resized = editor->windows()[std::size_t(added)];
    QCOMPARE(resized.topLeft(), moved.topLeft());
    QVERIFY(std::abs(resized.width() - moved.width() - 6 * imagePixel) <= 1.0);
    QVERIFY(std::abs(resized.height() - moved.height() - 8 * imagePixel) <= 1.0);
    const std::vector<QRect> edited = editor->windows();

    // Page 3: shutters; a name taken by a case the importer did not make is
    // refused with a message and the wizard stays; another name is written.
    clickNext(wizard);
    QCOMPARE(wizard.currentId(), 2);
    QCOMPARE(wizard.rootEdit()->text(), root.path());
    QCOMPARE(wizard.nameEdit()->text(), QString("5"));
    QTest::mouseClick(wizard.shuttersButton(), Qt::LeftButton);
    QVERIFY(wizard.shuttersButton()->isChecked());
    wizard.nameEdit()->clear();
    QTest::keyClicks(wizard.nameEdit(), "../taken");
    QVERIFY(!wizard.button(QWizard::FinishButton)->isEnabled());
    wizard.nameEdit()->clear();
    QTest::keyClicks(wizard.nameEdit(), "taken");
    {
        ModalAnswerer answerer;
        QTest::mouseClick(wizard.button(QWizard::FinishButton), Qt::LeftButton);
        QCOMPARE(int(answerer.seen().size()), 1);
        QVERIFY2(answerer.seen().front().text.contains("not made by the importer"), qPrintable(answerer.seen().front().text));
    }
    QVERIFY(wizard.isVisible());
    QCOMPARE(written.count(), 0);
    wizard.nameEdit()->clear();
    QTest::keyClicks(wizard.nameEdit(), "wizard facade");
    QTest::mouseClick(wizard.button(QWizard::FinishButton), Qt::LeftButton);
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QCOMPARE(written.count(), 1);
    const QString folder = QDir(root.path()).filePath("shutters");
    QCOMPARE(written.front().at(0).toString(), folder);
    QCOMPARE(written.front().at(1).toString(), QString("wizard facade.jpg"));
    QCOMPARE(written.front().at(2).toInt(), int(TestCaseKind::Shutter));
    QCOMPARE(wizard.written().photo, QString("wizard facade.jpg"));

    // The case holds exactly the windows as edited.
    QWindowData2D model;
    QVERIFY(model.loadShutterTestCase(folder.toStdString(), "wizard facade.jpg"));
    std::vector<QRect> loaded;
    for (const FacadeWindow &w : *model.currentGroup())
        loaded.push_back(QRect(w.x, w.y, w.width, w.height));
    QCOMPARE(sorted(loaded), sorted(edited));
    QCOMPARE(model.detectedRowCount(), 3);
    QCOMPARE(model.detectedColCount(), 6);
}

// A building's corner: the corner page steps through the proposed facades
// best first, and on the windows page a search for a window's repeats says
// what it added to the windows there were.
void TestImportWizard::facadesAndSearchWords()
{
    const Truth blinds = loadTruth("blinds", "5.jpg");
    const Truth shutters = loadTruth("shutters", "1.jpg");
    QVERIFY(blinds.model && shutters.model);
    const FacadeImport::FacadeQuad front{QPointF(300, 70), QPointF(780, 150), QPointF(780, 470), QPointF(300, 540)};
    const FacadeImport::FacadeQuad side{QPointF(40, 170), QPointF(300, 70), QPointF(300, 540), QPointF(40, 450)};
    const QImage photo = streetScene(QSize(800, 600), {{blinds.rectified, front}, {shutters.rectified, side}});
    const FacadeImport::FacadeProposal proposal = FacadeImport::proposeFacade(photo);
    const int count = int(proposal.candidates.size());
    QVERIFY2(count >= 2, qPrintable(QString::number(count)));

    QTemporaryDir root;
    ImportWizard wizard(photo, "corner.png", root.path());
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    QuadEditor *quad = wizard.quadEditor();
    QCOMPARE(quad->quad(), proposal.candidates[0].corners);
    QCOMPARE(wizard.facadeLabel()->text(), QString("Facade 1 of %1").arg(count));
    QVERIFY(!wizard.previousFacadeButton()->isEnabled() && wizard.nextFacadeButton()->isEnabled());
    for (int k = 1; k < count; ++k) {
        QTest::mouseClick(wizard.nextFacadeButton(), Qt::LeftButton);
        QCOMPARE(wizard.facadeLabel()->text(), QString("Facade %1 of %2").arg(k + 1).arg(count));
        QCOMPARE(quad->quad(), proposal.candidates[std::size_t(k)].corners);
    }
    QVERIFY(!wizard.nextFacadeButton()->isEnabled() && wizard.previousFacadeButton()->isEnabled());
    QTest::mouseClick(wizard.previousFacadeButton(), Qt::LeftButton);
    QCOMPARE(quad->quad(), proposal.candidates[std::size_t(count - 2)].corners);

    // A corner dragged beyond the photograph's edge stays there, and the
    // view widens to hold it.
    const QPointF beyond(860.0, quad->quad()[1].y());
    drag(quad, rounded(quad->toWidget(quad->quad()[1])), rounded(quad->toWidget(beyond)));
    const double shownPixel = 1.0 / (quad->toWidget(QPointF(1, 0)).x() - quad->toWidget(QPointF(0, 0)).x());
    QVERIFY2(std::abs(quad->quad()[1].x() - beyond.x()) <= 2.0 * shownPixel, qPrintable(QString::number(quad->quad()[1].x())));
    QVERIFY(quad->toWidget(quad->quad()[1]).x() < quad->width());

    // The front's true corners; its windows found; one deleted and found again.
    quad->setQuad(front);
    clickNext(wizard);
    QCOMPARE(wizard.currentId(), 1);
    WindowEditor *editor = wizard.windowEditor();
    const int found = int(editor->windows().size());
    QVERIFY2(found > 1, qPrintable(wizard.windowCountLabel()->text()));
    QVERIFY2(wizard.windowCountLabel()->text().contains(QRegularExpression("^\\d+ windows in \\d+ rows? x \\d+ columns?$")),
             qPrintable(wizard.windowCountLabel()->text()));
    auto select = [&](int i) {
        const QRect r = editor->windows()[std::size_t(i)];
        QTest::mouseClick(editor, Qt::LeftButton, Qt::NoModifier, rounded(editor->toWidget(QRectF(r).center())));
        QCOMPARE(editor->selected(), i);
    };
    select(found - 1);
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(int(editor->windows().size()), found - 1);
    select(0);
    QTest::mouseClick(wizard.findLikeButton(), Qt::LeftButton);
    QCOMPARE(int(editor->windows().size()), found);
    QVERIFY2(wizard.windowCountLabel()->text().startsWith("1 more window found; "),
             qPrintable(wizard.windowCountLabel()->text()));
    select(0);
    QTest::mouseClick(wizard.findLikeButton(), Qt::LeftButton);
    QVERIFY2(wizard.windowCountLabel()->text().startsWith("No more windows found; "),
             qPrintable(wizard.windowCountLabel()->text()));
}

// Ctrl+I in the dialog: the photograph chosen in the file dialog goes
// through the wizard's three pages as proposed, the case is written under the
// test-case root beside the working directory and the dialog loads it, with
// the windows the wizard showed, asking nothing on the way.
void TestImportWizard::importCommandLoadsWrittenCase()
{
    const Truth truth = loadTruth("blinds", "5.jpg");
    QVERIFY(truth.model);
    QTemporaryDir work;
    QVERIFY(work.isValid());
    QVERIFY2(!rootEntryAbove(work.path()), "a test-case tree above the temporary folder");
    const QString root = QDir(work.path()).filePath("Tessivo_TestCases");
    DialogFixture fixture(work.path());
    QVERIFY(fixture.exposed());
    TessivoDemo &dialog = fixture.dialog();
    auto *command = dialog.findChild<QAction *>(QStringLiteral("importPhotograph"));
    QVERIFY(command);
    QCOMPARE(command->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));

    std::vector<QRect> shown;
    QString rootShown;
    ModalAnswerer answerer;
    answerer.queueFileName(truth.photoPath);
    const auto next = [](QWidget *modal) { clickNext(*qobject_cast<ImportWizard *>(modal)); };
    answerer.queueStep("ImportWizard", next);
    answerer.queueStep("ImportWizard", [&](QWidget *modal) {
        auto *wizard = qobject_cast<ImportWizard *>(modal);
        if (wizard->currentId() == 1)
            shown = wizard->windowEditor()->windows();
        clickNext(*wizard);
    });
    answerer.queueStep("ImportWizard", [&](QWidget *modal) {
        auto *wizard = qobject_cast<ImportWizard *>(modal);
        if (wizard->currentId() == 2)
            rootShown = wizard->rootEdit()->text();
        QTest::mouseClick(wizard->button(QWizard::FinishButton), Qt::LeftButton);
    });
    command->trigger();

    QCOMPARE(answerer.pendingSteps(), 0);
    const std::vector<ModalRecord> &seen = answerer.seen();
    QCOMPARE(int(seen.size()), 4);
    QCOMPARE(seen[0].className, QString("QFileDialog"));
    QCOMPARE(seen[0].title, QString("Import photograph"));
    for (std::size_t i = 1; i < seen.size(); ++i)
        QCOMPARE(seen[i].className, QString("ImportWizard"));
    QCOMPARE(rootShown, root);
    QVERIFY(!shown.empty());

    // The dialog holds the written blind case, as the Load button would leave it.
    QCOMPARE(QString::fromStdString(dialog.testCaseFolder), QDir(root).filePath("blinds"));
    QCOMPARE(QString::fromStdString(dialog.imageFileName), QString("5.jpg"));
    QVERIFY(QFileInfo(QDir(root).filePath("blinds/5.jpg")).isFile());
    verifyLoadedCase(dialog, false);
    if (QTest::currentTestFailed())
        return;
    std::vector<QRect> loaded;
    for (const FacadeWindow &w : fixture.model()->detectedWindows[0])
        loaded.push_back(QRect(w.x, w.y, w.width, w.height));
    QCOMPARE(sorted(loaded), sorted(shown));
    QVERIFY(windowsAreDetected(*fixture.model()));
}

QTEST_MAIN(TestImportWizard)
#include "tst_importwizard.moc"
