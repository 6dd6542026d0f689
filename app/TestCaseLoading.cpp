// Finding the test-case root and loading the blind and shutter test cases.
#include "TessivoDemo.h"

#include "FacadeGLWidget.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "TestCasePaths.h"

#include <QMessageBox>

// Walks up from the working directory until a folder holds an entry named
// "Tessivo_TestCases" (a file also ends the search) and enters it. Stops at
// the file-system root, also when going up leaves the path unchanged.
bool TessivoDemo::findTestCaseRoot()
{
    testCaseDir = QDir::current();
    for (;;) {
        if (testCaseDir.exists(QLatin1String(TestCasePaths::kRootName)))
            break;
        const QString before = testCaseDir.absolutePath();
        if (!testCaseDir.cd(QStringLiteral("..")) || testCaseDir.absolutePath() == before)
            return false;
    }
    testCaseDir.cd(QLatin1String(TestCasePaths::kRootName));
    return true;
}

// Shared flow of both "Load" buttons. The old model is deleted before the new
// one is made, and the view never holds a pointer to a deleted model; the
// spin boxes are set only once the view has the new model, so the
// restructuring they trigger works on it.
void TessivoDemo::loadTestCase(int kind)
{
    const bool shutter = kind == int(TestCaseKind::Shutter);
    if (!shutter) {
        ui.spinBoxRow->setEnabled(true);
        ui.spinBoxCol->setEnabled(true);
    }
    ui.horizontalSliderLeftShutter->setEnabled(false);
    ui.horizontalSliderRightShutter->setEnabled(false);

    if (!findTestCaseRoot()) {
        QMessageBox::warning(this, tr("Load test case"), tr("Test case folder not found"),
                             QMessageBox::Ok);
        imageFileName.clear();
        testCaseFolder.clear();
        return;
    }

    // The combo boxes list the test cases of their kind in the catalogue's order.
    const TestCaseKind caseKind = shutter ? TestCaseKind::Shutter : TestCaseKind::Blind;
    const QComboBox *cases = shutter ? ui.comboBox2DWindowShutter : ui.comboBox2DWindowBlind;
    imageFileName = TestCasePaths::photoName(caseKind, cases->currentIndex());
    testCaseFolder = toNarrowPath(testCaseDir.absolutePath()) + "/" + TestCasePaths::kindFolder(caseKind);

    facadeView->setWindowData(nullptr);
    windowData.reset();
    windowData = std::make_unique<QWindowData2D>();
    const bool loaded = shutter ? windowData->loadShutterTestCase(testCaseFolder, imageFileName)
                                : windowData->loadBlindTestCase(testCaseFolder, imageFileName);
    if (!loaded) {
        windowData.reset();
        facadeView->setWindowData(nullptr);
        QMessageBox::warning(this, tr("Load test case"),
                             shutter ? tr("Shutter data load error!") : tr("Blind data load error!"),
                             QMessageBox::Ok);
        imageFileName.clear();
        testCaseFolder.clear();
        return;
    }

    if (shutter)
        facadeView->loadShutterTextures(testCaseFolder, imageFileName);
    facadeView->setWindowData(windowData.get());
    facadeView->bindWindowTextures();
    ui.spinBoxRow->setValue(loadedRowCount());
    ui.spinBoxCol->setValue(loadedColCount());
    if (shutter) {
        ui.spinBoxRow->setEnabled(false);
        ui.spinBoxCol->setEnabled(false);
    }
    facadeView->updateGL();
}

void TessivoDemo::loadWindowBlindSlot()
{
    loadTestCase(int(TestCaseKind::Blind));
}

void TessivoDemo::loadWindowShutterSlot()
{
    loadTestCase(int(TestCaseKind::Shutter));
}
