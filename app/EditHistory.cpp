#include "EditHistory.h"

#include "QWindowData2D.h"

#include <QAction>
#include <QScopedValueRollback>
#include <QUndoCommand>

// What one step changes: the model's editable state and the shown counts.
// The images a window shows are borrowed from the model, which keeps them
// until it is deleted; the steps are forgotten before that.
struct EditState {
    EditableState model;
    EditHistory::ShownCounts shown;

    bool operator==(const EditState &o) const { return model == o.model && shown == o.shown; }
};

namespace {

// A step is called by its name, while its action text stays empty: the
// text after a line break is the action text, which the Undo and Redo
// actions would add to their own.
QString stepText(const QString &name)
{
    return name.isEmpty() ? name : name + QLatin1Char('\n');
}

} // namespace

// One step: the states before and after it. Pushing it changes nothing (the
// edit is already made); a later redo puts the after state back.
class EditHistory::Command : public QUndoCommand
{
public:
    Command(EditHistory &history, std::unique_ptr<EditState> before, std::unique_ptr<EditState> after,
            const QString &name)
        : QUndoCommand(stepText(name)), m_history(history), m_before(std::move(before)), m_after(std::move(after))
    {
    }

    void undo() override { m_history.step(*m_before); }

    void redo() override
    {
        if (m_pushed)
            m_history.step(*m_after);
        m_pushed = true;
    }

private:
    EditHistory &m_history;
    std::unique_ptr<EditState> m_before;
    std::unique_ptr<EditState> m_after;
    bool m_pushed = false;
};

EditHistory::EditHistory(ModelSource model, CountsSource readCounts, CountsSink showCounts, QObject *parent)
    : QObject(parent),
      m_source(std::move(model)),
      m_readCounts(std::move(readCounts)),
      m_showCounts(std::move(showCounts))
{
    // A step the stack took is an edit once the stack says where it stands,
    // so that whether edits are unsaved is known by then. Steps found to
    // belong to a model that is gone are forgotten once the stack is done
    // with the one it took.
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] {
        if (m_stale) {
            m_stale = false;
            forgetSteps();
        }
        emit stateChanged();
        if (m_stepped) {
            m_stepped = false;
            emit edited();
        }
    });
    connect(&m_stack, &QUndoStack::cleanChanged, this, &EditHistory::stateChanged);
    connect(&m_stack, &QUndoStack::canUndoChanged, this, &EditHistory::stateChanged);
    connect(&m_stack, &QUndoStack::canRedoChanged, this, &EditHistory::stateChanged);
}

// The steps go first: they only refer to the model.
EditHistory::~EditHistory()
{
    m_stack.blockSignals(true);
    m_stack.clear();
}

EditHistory::Step::Step(EditHistory &history, QString name) : m_history(history), m_name(std::move(name))
{
    m_history.beginStep();
}

EditHistory::Step::~Step()
{
    m_history.endStep(m_name);
}

void EditHistory::beginStep()
{
    ++m_depth;
}

void EditHistory::endStep(const QString &name)
{
    if (m_depth > 0 && --m_depth == 0) {
        record(name);
        emit stepClosed();
    }
}

bool EditHistory::followModel()
{
    QWindowData2D *current = m_source();
    if (current != m_model.data() || (current && !m_baseline)) {
        m_model = current;
        m_stack.clear();
        m_baseline = current ? capture() : nullptr;
    }
    return current != nullptr;
}

// While the stack takes a step, a mouse edit it ended records nothing: the
// step's state replaces whatever that edit changed.
void EditHistory::record(const QString &name)
{
    if (m_depth > 0 || m_stepping || !followModel())
        return;
    std::unique_ptr<EditState> now = capture();
    if (*now == *m_baseline)
        return;
    auto after = std::make_unique<EditState>(*now);
    m_stack.push(new Command(*this, std::move(m_baseline), std::move(after), name));
    m_baseline = std::move(now);
    emit edited();
}

void EditHistory::startOver()
{
    QWindowData2D *current = m_source();
    m_model = current;
    m_stack.clear();
    m_baseline = current ? capture() : nullptr;
    emit loaded();
    emit stateChanged();
}

void EditHistory::markSaved()
{
    if (!followModel())
        return;
    m_stack.setClean();
    emit saved();
}

QAction *EditHistory::createUndoAction(QObject *parent, const QString &text) const
{
    return m_stack.createUndoAction(parent, text);
}

QAction *EditHistory::createRedoAction(QObject *parent, const QString &text) const
{
    return m_stack.createRedoAction(parent, text);
}

void EditHistory::forgetSteps()
{
    m_model = nullptr;
    m_baseline.reset();
    m_stack.clear();
}

void EditHistory::undo()
{
    if (m_depth > 0 || !followModel() || !m_stack.canUndo())
        return;
    m_stack.undo();
}

void EditHistory::redo()
{
    if (m_depth > 0 || !followModel() || !m_stack.canRedo())
        return;
    m_stack.redo();
}

bool EditHistory::followsModel() const
{
    return m_model && m_model.data() == m_source();
}

bool EditHistory::canUndo() const
{
    return followsModel() && m_stack.canUndo();
}

bool EditHistory::canRedo() const
{
    return followsModel() && m_stack.canRedo();
}

bool EditHistory::hasUnsavedEdits() const
{
    return followsModel() && !m_stack.isClean();
}

int EditHistory::stepCount() const
{
    return m_stack.count();
}

std::unique_ptr<EditState> EditHistory::capture() const
{
    return std::make_unique<EditState>(EditState{m_model->snapshot(), m_readCounts()});
}

// A mouse edit still open ends first. A step of a model that is gone or
// was replaced (a model handed over directly) changes nothing, and the
// steps are forgotten.
void EditHistory::step(const EditState &state)
{
    const QScopedValueRollback<bool> stepping(m_stepping, true);
    emit aboutToStep();
    if (followsModel())
        apply(state);
    else
        m_stale = true;
}

// Puts a recorded state back; the counts are shown without laying the grid
// out anew.
void EditHistory::apply(const EditState &state)
{
    m_model->restore(state.model);
    m_showCounts(state.shown);
    m_baseline = std::make_unique<EditState>(state);
    m_stepped = true;
    emit restored();
}
