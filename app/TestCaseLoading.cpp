// Finding the test-case root and loading the blind and shutter test cases.
#include "TessivoDemo.h"

#include "FacadeGLWidget.h"
#include "QWindowData2D.h"

#include <QMessageBox>

namespace {
const char kRootName[] = "Tessivo_TestCases";

// Facade image of each combo-box entry; empty for any other index.
std::string blindFileName(int index)
{
    switch (index) {
    case 0: return "1_temp.jpg";
    case 1: return "5.jpg";
    case 2: return "7.jpg";
    default: return std::string();
    }
}

std::string shutterFileName(int index)
{
    switch (index) {
    case 0: return "1.jpg";
    case 1: return "6.jpg";
    default: return std::string();
    }
}
}

// Walks up from the working directory until a folder holds an entry named
// "Tessivo_TestCases" (a file also ends the search) and enters it. Stops at
// the file-system root, also when going up leaves the path unchanged.
bool TessivoDemo::findTestCaseRoot()
{
    testCaseDir = QDir::current();
    for (;;) {
        if (testCaseDir.exists(QLatin1String(kRootName)))
            break;
        const QString before = testCaseDir.absolutePath();
        if (!testCaseDir.cd(QStringLiteral("..")) || testCaseDir.absolutePath() == before)
            return false;
    }
    testCaseDir.cd(QLatin1String(kRootName));
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

    const std::string root = testCaseDir.absolutePath().toStdString();
    if (shutter) {
        imageFileName = shutterFileName(ui.comboBox2DWindowShutter->currentIndex());
        testCaseFolder = root + "/shutters";
    } else {
        imageFileName = blindFileName(ui.comboBox2DWindowBlind->currentIndex());
        testCaseFolder = root + "/blinds";
    }

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
