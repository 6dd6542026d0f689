// Finding the test-case root and loading the blind and shutter test cases.
#include "TessivoDemo.h"

#include "CaseSession.h"
#include "CrashRecovery.h"
#include "EditHistory.h"
#include "FacadeGLWidget.h"
#include "ImportWizard.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "TestCasePaths.h"
#include "UserMessages.h"

#include <QFileInfo>


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

// The flow of both "Load" buttons: the case the kind's combo box names in
// the test-case root. Unsaved edits are asked about before anything changes.
void TessivoDemo::loadTestCase(int kind)
{
    const QString title = tr("Load test case");
    if (!confirmLosingEdits(title, tr("Save them before another test case is loaded?")))
        return;
    const TestCaseKind caseKind = kind == int(TestCaseKind::Shutter) ? TestCaseKind::Shutter : TestCaseKind::Blind;
    prepareControlsForLoad(caseKind);

    if (!findTestCaseRoot()) {
        UserMessages::warn(this, title, tr("Test case folder not found"),
                           tr("Looked for a folder named %1 in %2 and in every folder above it.")
                               .arg(QLatin1String(TestCasePaths::kRootName),
                                    QDir::toNativeSeparators(QDir::currentPath())));
        imageFileName.clear();
        testCaseFolder.clear();
        return;
    }

    // The combo boxes list the test cases of their kind in the catalogue's order.
    const QComboBox *cases = caseKind == TestCaseKind::Shutter ? ui.comboBox2DWindowShutter
                                                               : ui.comboBox2DWindowBlind;
    replaceTestCase(caseKind,
                    toNarrowPath(testCaseDir.absolutePath()) + "/" + TestCasePaths::kindFolder(caseKind),
                    TestCasePaths::photoName(caseKind, cases->currentIndex()));
}

// Any facade photograph of a test-case tree; its folder ("blinds" or
// "shutters") gives the kind. It then loads as the Load button of that kind.
void TessivoDemo::openTestCase()
{
    const QString title = tr("Open test case");
    const QString path = m_fileDialogs.open(this, FileDialogs::Kind::TestCase, title,
                                            tr("Facade photograph (*.jpg *.jpeg *.png *.bmp)"));
    if (path.isEmpty())
        return;
    const QFileInfo photo(path);
    const TestCaseKind kind = TestCasePaths::kindOfFolder(toNarrowPath(photo.dir().dirName()));
    if (kind == TestCaseKind::None) {
        UserMessages::warn(this, title, tr("This photograph is not part of a test case."),
                           tr("%1 does not lie in a folder named %2 or %3 of a test-case tree.")
                               .arg(QDir::toNativeSeparators(photo.absoluteFilePath()),
                                    QString::fromStdString(TestCasePaths::kindFolder(TestCaseKind::Blind)),
                                    QString::fromStdString(TestCasePaths::kindFolder(TestCaseKind::Shutter))));
        return;
    }
    if (!confirmLosingEdits(title, tr("Save them before another test case is opened?")))
        return;
    prepareControlsForLoad(kind);
    replaceTestCase(kind, toNarrowPath(photo.absolutePath()), toNarrowPath(photo.fileName()));
}

// A photograph of any facade becomes a test case through the wizard; the
// case it wrote then loads as "Open test case..." would load it. The new case
// goes under the test-case tree the demo found, else the working directory.
void TessivoDemo::importPhotograph()
{
    const QString title = tr("Import photograph");
    const QString path = m_fileDialogs.open(this, FileDialogs::Kind::Photograph, title,
                                            tr("Photographs (*.jpg *.jpeg *.png *.JPG *.JPEG *.PNG);;"
                                               "All files (*)"));
    if (path.isEmpty())
        return;
    const QString root = findTestCaseRoot() ? testCaseDir.absolutePath()
                                            : QDir::current().filePath(QLatin1String(TestCasePaths::kRootName));
    ImportWizard::WrittenCase written;
    if (!ImportWizard::importPhotograph(this, path, root, &written))
        return;
    if (!confirmLosingEdits(title, tr("Save them before the imported case is opened?")))
        return;
    prepareControlsForLoad(written.kind);
    replaceTestCase(written.kind, toNarrowPath(written.folder), toNarrowPath(written.photo));
}

// A blind case edits its grid with the spin boxes; the sliders wait for a
// selection in either kind.
void TessivoDemo::prepareControlsForLoad(TestCaseKind kind)
{
    if (kind != TestCaseKind::Shutter) {
        ui.spinBoxRow->setEnabled(true);
        ui.spinBoxCol->setEnabled(true);
    }
    ui.horizontalSliderLeftShutter->setEnabled(false);
    ui.horizontalSliderRightShutter->setEnabled(false);
}

// The old model is deleted before the new one is made, and the view never
// holds a pointer to a deleted model; the counts are shown only once the
// view has the new model, so the restructuring they run works on it. The
// loaded case is the saved state: its restructuring is no edit.
void TessivoDemo::replaceTestCase(TestCaseKind kind, const std::string &folder, const std::string &fileName)
{
    const bool shutter = kind == TestCaseKind::Shutter;
    imageFileName = fileName;
    testCaseFolder = folder;

    facadeView->setWindowData(nullptr);
    Failure failure;
    if (!m_session->loadCase(kind, testCaseFolder, imageFileName, &failure)) {
        facadeView->setWindowData(nullptr);
        updateControlStates();
        UserMessages::warn(this, tr("Load test case"),
                           shutter ? tr("Shutter data load error!") : tr("Blind data load error!"),
                           UserMessages::reasonText(failure.reason));
        imageFileName.clear();
        testCaseFolder.clear();
        return;
    }

    showLoadedCase();
    m_session->beginEditing();
    if (shutter) {
        ui.spinBoxRow->setEnabled(false);
        ui.spinBoxCol->setEnabled(false);
    }
    facadeView->updateGL();
    updateControlStates();
    offerRecoveredEdits();
}

// The view draws the session's model, with the leaf textures of a shutter case.
void TessivoDemo::showLoadedCase()
{
    if (m_session->kind() == TestCaseKind::Shutter)
        facadeView->loadShutterTextures(m_session->folder(), m_session->photo());
    facadeView->setWindowData(windowData.get());
    facadeView->bindWindowTextures();
}

// Restore reads the file as "Load grid file..." reads one: one undoable
// step, and the state counts as unsaved, so the edits stay kept and a close
// asks about them. Restoring what the case already holds leaves nothing
// unsaved, and nothing to keep.
void TessivoDemo::offerRecoveredEdits()
{
    const QString title = tr("Restore edits");
    CrashRecovery &recovery = m_session->recovery();
    const QString path = recovery.filePath();
    QDateTime writtenAt;
    switch (recovery.inspect(&writtenAt)) {
    case CrashRecovery::Found::Nothing: return;
    case CrashRecovery::Found::Unreadable: {
        const QString details = recovery.discard() ? tr("%1 does not read as a grid file; it was removed.")
                                                      : tr("%1 does not read as a grid file, and could not be removed.");
        UserMessages::warn(this, title, tr("Edits of an earlier session were found but could not be restored."),
                           details.arg(QDir::toNativeSeparators(path)));
        return;
    }
    case CrashRecovery::Found::Edits: break;
    }
    if (!UserMessages::askToRestoreEdits(this, title, path, writtenAt)) {
        recovery.discard();
        return;
    }
    Failure failure;
    const bool read = m_session->readRecoveredEdits(&failure);
    facadeView->updateGL();
    if (!read)
        UserMessages::warn(this, title, tr("The edits could not be restored."),
                           UserMessages::reasonText(failure.reason));
    recordEdit(tr("Restore edits"));
    // A file that did not read stays for another try.
    if (read && !m_session->history().hasUnsavedEdits())
        recovery.discard();
}

// True when nothing unsaved would be lost, or the user saved it or lets it go.
bool TessivoDemo::confirmLosingEdits(const QString &title, const QString &question)
{
    if (!m_session->history().hasUnsavedEdits())
        return true;
    switch (UserMessages::askAboutUnsavedEdits(this, title, question)) {
    case UserMessages::UnsavedAnswer::Save: return saveGridToChosenFile();
    case UserMessages::UnsavedAnswer::Discard: m_session->recovery().discard(); return true;
    case UserMessages::UnsavedAnswer::Cancel: break;
    }
    return false;
}

void TessivoDemo::loadWindowBlindSlot()
{
    loadTestCase(int(TestCaseKind::Blind));
}

void TessivoDemo::loadWindowShutterSlot()
{
    loadTestCase(int(TestCaseKind::Shutter));
}
