#ifndef TESSIVO_EDITHISTORY_H
#define TESSIVO_EDITHISTORY_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>

class QAction;
class QWindowData2D;
struct EditState;

// The edits of the loaded test case as undoable steps, and whether they are
// saved: the one place that says "an edit happened", "the user saved" and "a
// case was loaded".
//
// A step holds the editable state before and after it: the windows of every
// group with the grid lists a grid file replaces, the image each window
// shows, the row and column counts (the model's EditableState), and the
// counts the session shows for the grid.
// Undo and redo put a recorded state back as it was, so that nothing drawn
// from rand() is drawn again. The history follows the dialog's model: when
// the model is another one than the steps were recorded on (a load, or a
// model handed over directly), the steps are forgotten.
//
// The Undo and Redo actions step the stack themselves, so the steps guard
// themselves: before one is undone or redone, aboutToStep lets an open mouse
// edit end (a drag never stays open across a step), and a step puts its
// state into the current model only while that is the model it was recorded
// on. A flow's own Step never spans an event loop, so the actions cannot
// step while one is open; undo() and redo() refuse then.
class EditHistory : public QObject
{
    Q_OBJECT

public:
    using ModelSource = std::function<QWindowData2D *()>;

    // The row and column counts shown for the grid, which may differ from
    // the grid's own (a count that did not fit, a grid file read).
    struct ShownCounts {
        int rows = 0;
        int cols = 0;
        bool operator==(const ShownCounts &o) const { return rows == o.rows && cols == o.cols; }
    };
    using CountsSource = std::function<ShownCounts()>;
    using CountsSink = std::function<void(const ShownCounts &)>;

    // model gives the current model (or null); readCounts the shown counts,
    // which belong to the state; showCounts shows a restored state's counts
    // without laying the grid out anew.
    EditHistory(ModelSource model, CountsSource readCounts, CountsSink showCounts, QObject *parent = nullptr);
    ~EditHistory() override;

    // Groups everything recorded while it lives into one step called name;
    // steps may nest, the outermost records.
    class Step
    {
    public:
        Step(EditHistory &history, QString name);
        ~Step();
        Step(const Step &) = delete;
        Step &operator=(const Step &) = delete;

    private:
        EditHistory &m_history;
        QString m_name;
    };
    void beginStep();
    void endStep(const QString &name);
    // Whether a step is open (a drag in progress): its edits are not done yet.
    bool stepOpen() const { return m_depth > 0; }

    // Records what changed since the last step as one step called name;
    // nothing when nothing changed or while a Step is open.
    void record(const QString &name);

    // A case was just loaded (or none is loaded): no steps, nothing unsaved.
    void startOver();
    // The state now is what the user saved.
    void markSaved();

    // The Undo and Redo actions, which step the stack directly: their text
    // is the given one whatever the step, and they are enabled while there
    // is a step to take.
    QAction *createUndoAction(QObject *parent, const QString &text) const;
    QAction *createRedoAction(QObject *parent, const QString &text) const;
    // The case is being replaced: its steps go with it.
    void forgetSteps();

    // Undo and redo do nothing while a step is open (a drag in progress).
    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const;
    // Whether the model holds edits that were not saved since it was loaded.
    bool hasUnsavedEdits() const;
    int stepCount() const;

signals:
    // A step is about to be undone or redone: a mouse edit still open must
    // end now (connected directly), so that no step is taken half way
    // through a drag.
    void aboutToStep();
    // The editable state changed: a new step, an undo or a redo.
    void edited();
    // The outermost open step ended (after its edit, if any, was recorded).
    void stepClosed();
    void saved();
    void loaded();
    // Undo or redo put a recorded state back into the model and the shown
    // counts: the selection, the sliders and the picture must follow.
    void restored();
    // Anything the Undo and Redo commands or the unsaved state depend on.
    void stateChanged();

private:
    class Command;
    friend class Command;

    // Forgets the steps when the dialog's model is no longer the one they
    // belong to; false when there is no model.
    bool followModel();
    // Whether the steps belong to the current model.
    bool followsModel() const;
    // What a step does when the stack undoes or redoes it: the guards, then
    // apply.
    void step(const EditState &state);
    void apply(const EditState &state);
    std::unique_ptr<EditState> capture() const;

    ModelSource m_source;
    CountsSource m_readCounts;
    CountsSink m_showCounts;
    QPointer<QWindowData2D> m_model;
    std::unique_ptr<EditState> m_baseline; // the state after the last step
    QUndoStack m_stack;
    int m_depth = 0;
    bool m_stepping = false; // the stack is undoing or redoing a step
    bool m_stepped = false;  // a step put its state back; edited follows
    bool m_stale = false;    // a step found its model gone; the steps go
};

#endif
