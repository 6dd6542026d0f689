#ifndef TESSIVO_CASESESSION_H
#define TESSIVO_CASESESSION_H

#include "EditHistory.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class CrashRecovery;
class QWindowData2D;
struct Failure;
enum class TestCaseKind : int;

// One editing session of a test case, without widgets: the loaded model, the
// row and column counts shown for its grid, loading and restructuring, the
// edit history and the crash recovery of its unsaved edits. The control
// dialog observes and drives it; `tessivo export` and `render` drive it the
// same way, so that both write what the dialog shows after the same steps.
//
// The shown counts behave as the dialog's two spin boxes: both start at 1,
// range from 1 to the generated cases' largest count (or a loaded grid's
// counts when larger), and a count set to the value shown already changes
// nothing. A changed count lays the grid out anew with both shown counts.
class CaseSession : public QObject
{
    Q_OBJECT

public:
    using Counts = EditHistory::ShownCounts;
    static constexpr int kMinCount = 1;

    explicit CaseSession(QObject *parent = nullptr);
    ~CaseSession() override;

    // The loaded model, or null. The dialog names this very pointer as its
    // windowData; a model handed over through it directly starts a new
    // history at the next edit, as a load does.
    std::unique_ptr<QWindowData2D> &modelSlot() { return m_model; }
    QWindowData2D *model() const { return m_model.get(); }
    // The case last loaded: its kind, folder and photograph (empty: none).
    TestCaseKind kind() const { return m_kind; }
    const std::string &folder() const { return m_folder; }
    const std::string &photo() const { return m_photo; }

    EditHistory &history() { return m_history; }
    const EditHistory &history() const { return m_history; }
    CrashRecovery &recovery() { return *m_recovery; }

    // Replaces the model with the case photo in folder; the old model and
    // its steps are deleted first. A case that does not load leaves no
    // model, no history and no followed recovery file, and failure says why.
    bool loadCase(TestCaseKind kind, const std::string &folder, const std::string &photo,
                  Failure *failure = nullptr);
    // After loadCase, once the model is shown: the counts go to the loaded
    // grid's, row first (which lays the grid out as the load's own step),
    // the loaded state is the saved one, and its recovery file is followed.
    void beginEditing();
    // Takes over the case, counts and range of another session (one that
    // prepared a case before this one existed); the history starts over.
    // The case's recovery file is not followed: it holds edits of another
    // session, which this one neither offers nor removes.
    void takeCaseOf(CaseSession &other);

    Counts shownCounts() const { return m_shown; }
    // The largest counts that can be shown.
    int maxRows() const { return m_max.rows; }
    int maxCols() const { return m_max.cols; }
    // The user set a count: it is shown, and the grid (when there is one) is
    // laid out with both shown counts. Returns restructureGrid's result (1
    // without a model). With refusal, counts that do not fit the grid's
    // bounds are refused: the changed count returns to the grid's own and
    // refusal says why.
    int changeRows(int rows, Failure *refusal = nullptr);
    int changeCols(int cols, Failure *refusal = nullptr);
    // As a spin box is set: the count is kept within the range, and one
    // shown already changes nothing (returns 1); otherwise changeRows, or
    // the count input when one is set. Returns restructureGrid's result.
    int showRows(int rows);
    int showCols(int cols);
    // Where the session's own flows (beginEditing, resetCounts) set a count:
    // the dialog sets its spin box, whose slot calls changeRows or
    // changeCols, so that the box signals the change as a user's would.
    // Counts that do not fit are not refused in these flows.
    using CountInput = std::function<void(int Counts::*count, int value)>;
    void setCountInput(CountInput input) { m_countInput = std::move(input); }
    // Shows counts without laying the grid out: what a form shows while no
    // case is loaded.
    void keepCounts(Counts shown) { setCounts(shown); }
    // Back to the loaded grid's counts, row first; when both are shown
    // already, the grid is laid out once with them.
    void resetCounts();
    // Reads the followed recovery file into the model; the shown counts
    // become the grid's (the range widens to them).
    bool readRecoveredEdits(Failure *failure = nullptr);

signals:
    // The shown counts or their range changed.
    void countsChanged();
    // The grid was laid out anew: a window index of the old grid means
    // nothing now.
    void gridLaidOut();

private:
    int change(Counts counts, int Counts::*changed, Failure *refusal);
    int show(int Counts::*count, int value, int maximum);
    void setCounts(Counts shown);

    std::unique_ptr<QWindowData2D> m_model;
    TestCaseKind m_kind;
    std::string m_folder;
    std::string m_photo;
    Counts m_shown{kMinCount, kMinCount};
    Counts m_max;
    CountInput m_countInput;
    // Set while beginEditing or resetCounts sets the counts.
    bool m_settingCounts = false;
    int m_lastLayout = 1; // what the last restructuring returned
    EditHistory m_history;
    std::unique_ptr<CrashRecovery> m_recovery;
};

#endif
