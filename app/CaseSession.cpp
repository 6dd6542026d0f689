#include "CaseSession.h"

#include "CrashRecovery.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "TestCasePaths.h"

#include <QScopedValueRollback>

#include <algorithm>

CaseSession::CaseSession(QObject *parent)
    : QObject(parent),
      m_kind(TestCaseKind::None),
      m_max{TestCasePaths::kMaxGridCount, TestCasePaths::kMaxGridCount},
      m_history([this] { return m_model.get(); }, [this] { return m_shown; }, [this](const Counts &shown) {
          setCounts(shown);
      })
{
    m_recovery = std::make_unique<CrashRecovery>(m_history, [this] { return m_model.get(); });
}

// The recovery and the history refer to the model: they go first.
CaseSession::~CaseSession()
{
    m_recovery.reset();
}

bool CaseSession::loadCase(TestCaseKind kind, const std::string &folder, const std::string &photo,
                           Failure *failure)
{
    m_kind = kind;
    m_folder = folder;
    m_photo = photo;
    // The steps of the old case go with it: none may reach the new one.
    m_history.forgetSteps();
    m_model.reset();
    m_model = std::make_unique<QWindowData2D>();
    const bool loaded = kind == TestCaseKind::Shutter ? m_model->loadShutterTestCase(folder, photo, failure)
                                                      : m_model->loadBlindTestCase(folder, photo, failure);
    if (loaded)
        return true;
    m_model.reset();
    m_kind = TestCaseKind::None;
    m_folder.clear();
    m_photo.clear();
    m_history.startOver();
    m_recovery->followCase(std::string(), std::string());
    return false;
}

// The range first widens to hold both the shown and the loaded counts, so
// that neither is clamped on the way; it narrows once the counts are shown.
void CaseSession::beginEditing()
{
    const Counts loaded{m_model ? m_model->detectedRowCount() : 0, m_model ? m_model->detectedColCount() : 0};
    {
        // What the counts record while they are set is no edit.
        const EditHistory::Step loading(m_history, QString());
        const QScopedValueRollback<bool> settingCounts(m_settingCounts, true);
        m_max = {std::max({TestCasePaths::kMaxGridCount, loaded.rows, m_shown.rows}),
                 std::max({TestCasePaths::kMaxGridCount, loaded.cols, m_shown.cols})};
        emit countsChanged();
        showRows(loaded.rows);
        showCols(loaded.cols);
        m_max = {std::max(TestCasePaths::kMaxGridCount, loaded.rows),
                 std::max(TestCasePaths::kMaxGridCount, loaded.cols)};
        emit countsChanged();
        m_history.startOver();
    }
    m_recovery->followCase(m_folder, m_photo);
}

void CaseSession::takeCaseOf(CaseSession &other)
{
    m_model = std::move(other.m_model);
    m_kind = other.m_kind;
    m_folder = other.m_folder;
    m_photo = other.m_photo;
    m_max = other.m_max;
    setCounts(other.m_shown);
    m_history.startOver();
    m_recovery->followCase(std::string(), std::string());
}

int CaseSession::changeRows(int rows, Failure *refusal)
{
    return change({rows, m_shown.cols}, &Counts::rows, refusal);
}

int CaseSession::changeCols(int cols, Failure *refusal)
{
    return change({m_shown.rows, cols}, &Counts::cols, refusal);
}

// Only counts that do not fit the bounds are refused; a grid that cannot be
// laid out for another reason (a grid file without bounds) stays as the
// restructuring left it.
int CaseSession::change(Counts counts, int Counts::*changed, Failure *refusal)
{
    setCounts(counts);
    if (!m_model)
        return 1;
    const int rebuilt = m_model->restructureGrid(counts.rows, counts.cols);
    m_lastLayout = rebuilt;
    emit gridLaidOut();
    if (rebuilt == 0 && refusal && !m_settingCounts && !m_model->latticeFits(counts.rows, counts.cols, refusal)) {
        const Counts grid{m_model->rows, m_model->cols};
        counts.*changed = grid.*changed;
        setCounts(counts);
    }
    return rebuilt;
}

int CaseSession::showRows(int rows)
{
    return show(&Counts::rows, rows, m_max.rows);
}

int CaseSession::showCols(int cols)
{
    return show(&Counts::cols, cols, m_max.cols);
}

int CaseSession::show(int Counts::*count, int value, int maximum)
{
    value = std::clamp(value, kMinCount, maximum);
    if (value == m_shown.*count)
        return 1;
    m_lastLayout = 1;
    if (m_countInput)
        m_countInput(count, value);
    else
        count == &Counts::rows ? changeRows(value) : changeCols(value);
    return m_lastLayout;
}

void CaseSession::resetCounts()
{
    if (!m_model)
        return;
    const Counts loaded{m_model->detectedRowCount(), m_model->detectedColCount()};
    const QScopedValueRollback<bool> settingCounts(m_settingCounts, true);
    if (m_shown == loaded) {
        m_model->restructureGrid(loaded.rows, loaded.cols);
        emit gridLaidOut();
    }
    showRows(loaded.rows);
    showCols(loaded.cols);
}

bool CaseSession::readRecoveredEdits(Failure *failure)
{
    if (!m_model || !m_model->loadGridFile(toNarrowPath(m_recovery->filePath()), failure))
        return false;
    m_max = {std::max(m_max.rows, m_model->rows), std::max(m_max.cols, m_model->cols)};
    setCounts({std::max(kMinCount, m_model->rows), std::max(kMinCount, m_model->cols)});
    return true;
}

void CaseSession::setCounts(Counts shown)
{
    m_shown = shown;
    emit countsChanged();
}
