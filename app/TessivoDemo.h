#ifndef TESSIVO_TESSIVODEMO_H
#define TESSIVO_TESSIVODEMO_H

#include "ui_TessivoDemo.h"

#include "FileDialogs.h"

#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class CaseSession;
class CrashRecovery;
class EditHistory;
class FacadeGLWidget;
class HelpWindow;
class QAction;
class QWindowData2D;
struct Failure;
enum class TestCaseKind : int;

// The control dialog: the control panel on the left, the facade view on the
// right. It owns the model of the loaded test case.
class TessivoDemo : public QDialog
{
    Q_OBJECT

public:
    explicit TessivoDemo(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~TessivoDemo() override;

    // Searches the working directory and its ancestors for "Tessivo_TestCases".
    bool findTestCaseRoot();

    // The editing session the dialog shows and drives: the loaded case, its
    // shown counts, its edits and their recovery.
    CaseSession &session() const { return *m_session; }
    // The edits of the loaded case: undo, redo, whether they are saved, and
    // the signals that tell of every edit, save and load.
    EditHistory &editHistory() const;
    // Keeps the unsaved edits of the loaded case in its recovery file.
    CrashRecovery &crashRecovery() const;

    // Hands the session's model to the view, with the leaf textures of a
    // shutter case: after a load, or a case the session took over.
    void showLoadedCase();

    // One row of the table of commands (CommandTable.cpp).
    struct Command;

private slots:
    void testSlot();
    void saveFacadeToMeshSlot();
    void saveToImageSlot();
    void gen3DWindowObjsSlot();
    void randomShutterAngleSlot();
    void loadGridSlot();
    void saveGridSlot();
    void loadWindowBlindSlot();
    void dragAllBlindsToggledSlot(bool flag);
    void loadWindowShutterSlot();
    void gridRowChangedSlot(int row);
    void gridColChangedSlot(int col);
    void resetWindowGridStructureSlot();
    void leftShutterValueChanged(int val);
    void rightShutterValueChanged(int val);
    void rotateAllShuttersToggledSlot(bool flag);
    void showGridToggledSlot(bool flag);
    void showInOriginalViewToggledSlot(bool flag);
    void showOriginalImageToggledSlot(bool flag);

private:
    // First of the fields: windowData names the session's model.
    std::unique_ptr<CaseSession> m_session;

public:
    // Public: the tests drive the form's widgets through it.
    Ui::TessivoDemoClass ui;
    FacadeGLWidget *facadeView = nullptr;
    QDir testCaseDir;
    std::string imageFileName;
    std::string testCaseFolder;
    std::unique_ptr<QWindowData2D> &windowData; // the session's model: the loaded test case, or null
    bool rotateAllShutters = false;

private:
    // The spin boxes follow the session's counts and their range, without
    // running their slots.
    void showSessionCounts();
    // The view's selected window when it is a valid index of windows[0], else -1.
    int selectedWindowInGrid() const;
    // The two shutter slider slots, differing only in the leaf they turn.
    void setShutterFromSlider(int val, bool left);
    // Listens to the view's selection: enables both shutter sliders for a
    // window of a shutter test case and sets them, left first, or disables them.
    void showShutterSelection(bool enabled, int leftDegrees, int rightDegrees);
    // Test-case loading (TestCaseLoading.cpp). The Load buttons' flow: the
    // case the kind's combo box names in the test-case root.
    void loadTestCase(int kind);
    // "Open test case...": any photograph in a "blinds" or "shutters" folder.
    void openTestCase();
    // The facade as one glTF file for 3D tools (ExportCommands.cpp).
    void exportGltf();
    // "Import photograph...": the import wizard, then the written case loads.
    void importPhotograph();
    // Both flows: the controls as the kind's Load button sets them first.
    void prepareControlsForLoad(TestCaseKind kind);
    // Both flows: replaces the model with the case folder/fileName of the kind.
    void replaceTestCase(TestCaseKind kind, const std::string &folder, const std::string &fileName);
    // Before edits not saved would be lost: true to go on (saved or discarded).
    bool confirmLosingEdits(const QString &title, const QString &question);
    // After a load: the edits an earlier session left in the case's recovery
    // file are offered (Restore / Discard); a file that does not read goes.
    void offerRecoveredEdits();

    void setUpEditing();

    // Grid and shutter edits (DialogCommands.cpp).
    // Writes the grid to a file the user picks; true when written.
    bool saveGridToChosenFile();
    // A row or column count the user set that does not fit (the session
    // returned the spin box to the grid's count): the user learns why.
    void refuseCounts(int rowCount, int colCount, const Failure &refusal);
    // Records a finished edit as one undoable step.
    void recordEdit(const QString &name);
    // After undo or redo: a valid selection, sliders at the restored angles,
    // the picture repainted.
    void followRestoredState();
    // Enabled states that follow the model: Reset needs a case, the shutter
    // sliders a selected window of a shutter case; the commands' states.
    void updateControlStates();
    void beginMouseEdit();
    void finishMouseEdit();

    // The commands of the context menus and keys (CommandTable.cpp): one
    // row of commandTable() each, made into actions of the dialog.
    static const std::vector<Command> &commandTable();
    void buildCommands();
    void updateCommandStates();
    void showCommands(const QPoint &globalPos);
    void showHelp();
    // The Undo and Redo actions, which step the history themselves.
    QAction *createUndoAction(const QString &text);
    QAction *createRedoAction(const QString &text);
    // When the commands apply, and the state of the options.
    bool always() const;
    bool hasCase() const;
    bool hasBlindCase() const;
    bool hasShutterCase() const;
    bool canUndo() const;
    bool canRedo() const;
    bool dragAllBlindsOn() const;
    bool rotateAllShuttersOn() const;
    bool originalImageShown() const;
    bool gridShown() const;
    bool originalViewShown() const;
    void showGridOption(bool flag);
    void showOriginalViewOption(bool flag);

    // Image last loaded by testSlot; the view only borrows it.
    std::unique_ptr<QImage> m_testImage;
    FileDialogs m_fileDialogs;
    std::vector<QAction *> m_commands; // children of the dialog, in table order
    QPointer<HelpWindow> m_helpWindow;
    bool m_mouseEditOpen = false;
};

#endif
