#include "EditHistory.h"

#include "QWindowData2D.h"

#include <QSignalBlocker>
#include <QSpinBox>
#include <QUndoCommand>

#include <cstring>
#include <vector>

// What one step changes: everything an edit of the dialog or the view can
// write. The images a window shows are borrowed from the model, which keeps
// them until it is deleted; the steps are forgotten before that.
struct EditState {
    std::vector<QRect> gridBounds;
    std::vector<QRect> windowTemplates;
    std::vector<std::vector<FacadeWindow>> detectedWindows;
    std::vector<std::vector<int>> colValues;
    std::vector<std::vector<int>> rowValues;
    int rows = 0;
    int cols = 0;
    std::vector<std::vector<FacadeWindow>> windows;
    std::vector<QImage *> currentImages;
    std::vector<int> imageKeys;
    int shownRows = 0;
    int shownCols = 0;
};

namespace {

// Reals compare by their bits: a grid file may hold NaN, which would
// otherwise make every state differ from itself.
bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameWindow(const FacadeWindow &a, const FacadeWindow &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.col == b.col
           && a.row == b.row && sameBits(a.aux, b.aux) && a.blindExtent == b.blindExtent
           && a.sourceIndex == b.sourceIndex && sameBits(a.leftAngle, b.leftAngle)
           && sameBits(a.rightAngle, b.rightAngle);
}

bool sameGroups(const std::vector<std::vector<FacadeWindow>> &a, const std::vector<std::vector<FacadeWindow>> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t g = 0; g < a.size(); ++g) {
        if (a[g].size() != b[g].size())
            return false;
        for (std::size_t i = 0; i < a[g].size(); ++i) {
            if (!sameWindow(a[g][i], b[g][i]))
                return false;
        }
    }
    return true;
}

bool sameState(const EditState &a, const EditState &b)
{
    return a.gridBounds == b.gridBounds && a.windowTemplates == b.windowTemplates
           && sameGroups(a.detectedWindows, b.detectedWindows) && a.colValues == b.colValues
           && a.rowValues == b.rowValues && a.rows == b.rows && a.cols == b.cols
           && sameGroups(a.windows, b.windows) && a.currentImages == b.currentImages
           && a.imageKeys == b.imageKeys && a.shownRows == b.shownRows && a.shownCols == b.shownCols;
}

std::unique_ptr<EditState> capture(const QWindowData2D &model, const QSpinBox &rows, const QSpinBox &cols)
{
    auto state = std::make_unique<EditState>();
    state->gridBounds = model.gridBounds;
    state->windowTemplates = model.windowTemplates;
    state->detectedWindows = model.detectedWindows;
    state->colValues = model.colValues;
    state->rowValues = model.rowValues;
    state->rows = model.rows;
    state->cols = model.cols;
    state->windows = model.windows;
    state->currentImages = model.currentImages;
    state->imageKeys = model.imageKeys;
    state->shownRows = rows.value();
    state->shownCols = cols.value();
    return state;
}

} // namespace

// One step: the states before and after it. Pushing it changes nothing (the
// edit is already made); a later redo puts the after state back.
class EditHistory::Command : public QUndoCommand
{
public:
    Command(EditHistory &history, std::unique_ptr<EditState> before, std::unique_ptr<EditState> after,
            const QString &text)
        : QUndoCommand(text), m_history(history), m_before(std::move(before)), m_after(std::move(after))
    {
    }

    void undo() override { m_history.apply(*m_before); }

    void redo() override
    {
        if (m_pushed)
            m_history.apply(*m_after);
        m_pushed = true;
    }

private:
    EditHistory &m_history;
    std::unique_ptr<EditState> m_before;
    std::unique_ptr<EditState> m_after;
    bool m_pushed = false;
};

EditHistory::EditHistory(ModelSource model, QSpinBox *rows, QSpinBox *cols, QObject *parent)
    : QObject(parent), m_source(std::move(model)), m_rows(rows), m_cols(cols)
{
    connect(&m_stack, &QUndoStack::indexChanged, this, &EditHistory::stateChanged);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &EditHistory::stateChanged);
    connect(&m_stack, &QUndoStack::canUndoChanged, this, &EditHistory::stateChanged);
    connect(&m_stack, &QUndoStack::canRedoChanged, this, &EditHistory::stateChanged);
}

// The steps go first: they only refer to the model and the spin boxes.
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
        m_baseline = current ? capture(*current, *m_rows, *m_cols) : nullptr;
    }
    return current != nullptr;
}

void EditHistory::record(const QString &name)
{
    if (m_depth > 0 || !followModel())
        return;
    std::unique_ptr<EditState> now = capture(*m_model, *m_rows, *m_cols);
    if (sameState(*now, *m_baseline))
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
    m_baseline = current ? capture(*current, *m_rows, *m_cols) : nullptr;
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

void EditHistory::undo()
{
    if (m_depth > 0 || !followModel() || !m_stack.canUndo())
        return;
    m_stack.undo();
    emit edited();
}

void EditHistory::redo()
{
    if (m_depth > 0 || !followModel() || !m_stack.canRedo())
        return;
    m_stack.redo();
    emit edited();
}

bool EditHistory::canUndo() const
{
    return m_model && m_model.data() == m_source() && m_stack.canUndo();
}

bool EditHistory::canRedo() const
{
    return m_model && m_model.data() == m_source() && m_stack.canRedo();
}

bool EditHistory::hasUnsavedEdits() const
{
    return m_model && m_model.data() == m_source() && !m_stack.isClean();
}

int EditHistory::stepCount() const
{
    return m_stack.count();
}

// Puts a recorded state back. The spin boxes show its counts without running
// their slots, which would lay the grid out anew.
void EditHistory::apply(const EditState &state)
{
    QWindowData2D &model = *m_model;
    model.gridBounds = state.gridBounds;
    model.windowTemplates = state.windowTemplates;
    model.detectedWindows = state.detectedWindows;
    model.colValues = state.colValues;
    model.rowValues = state.rowValues;
    model.rows = state.rows;
    model.cols = state.cols;
    model.windows = state.windows;
    model.currentImages = state.currentImages;
    model.imageKeys = state.imageKeys;
    {
        const QSignalBlocker rowsBlocker(m_rows);
        const QSignalBlocker colsBlocker(m_cols);
        m_rows->setValue(state.shownRows);
        m_cols->setValue(state.shownCols);
    }
    m_baseline = std::make_unique<EditState>(state);
    emit restored();
}
