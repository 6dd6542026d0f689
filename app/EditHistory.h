#ifndef TESSIVO_EDITHISTORY_H
#define TESSIVO_EDITHISTORY_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>

class QSpinBox;
class QWindowData2D;
struct EditState;

// The edits of the loaded test case as undoable steps, and whether they are
// saved: the one place that says "an edit happened", "the user saved" and "a
// case was loaded".
//
// A step holds the editable state before and after it: the windows of every
// group with the grid lists a grid file replaces, the image each window
// shows, the row and column counts, and the counts the spin boxes show.
// Undo and redo put a recorded state back as it was, so that nothing drawn
// from rand() is drawn again. The history follows the dialog's model: when
// the model is another one than the steps were recorded on (a load, or a
// model handed over directly), the steps are forgotten.
class EditHistory : public QObject
{
    Q_OBJECT

public:
    using ModelSource = std::function<QWindowData2D *()>;

    // model gives the dialog's current model (or null); rows and cols are the
    // spin boxes whose counts belong to the state.
    EditHistory(ModelSource model, QSpinBox *rows, QSpinBox *cols, QObject *parent = nullptr);
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

    // Undo and redo do nothing while a step is open (a drag in progress).
    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const;
    // Whether the model holds edits that were not saved since it was loaded.
    bool hasUnsavedEdits() const;
    int stepCount() const;

signals:
    // The editable state changed: a new step, an undo or a redo.
    void edited();
    // The outermost open step ended (after its edit, if any, was recorded).
    void stepClosed();
    void saved();
    void loaded();
    // Undo or redo put a recorded state back into the model and the spin
    // boxes: the selection, the sliders and the picture must follow.
    void restored();
    // Anything the Undo and Redo commands or the unsaved state depend on.
    void stateChanged();

private:
    class Command;
    friend class Command;

    // Forgets the steps when the dialog's model is no longer the one they
    // belong to; false when there is no model.
    bool followModel();
    void apply(const EditState &state);

    ModelSource m_source;
    QSpinBox *m_rows;
    QSpinBox *m_cols;
    QPointer<QWindowData2D> m_model;
    std::unique_ptr<EditState> m_baseline; // the state after the last step
    QUndoStack m_stack;
    int m_depth = 0;
};

#endif
