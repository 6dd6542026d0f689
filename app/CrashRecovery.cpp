#include "CrashRecovery.h"

#include "EditHistory.h"
#include "Failure.h"
#include "PathText.h"
#include "QWindowData2D.h"
#include "TestCasePaths.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sstream>

CrashRecovery::CrashRecovery(EditHistory &history, ModelSource model, QObject *parent)
    : QObject(parent), m_history(history), m_model(std::move(model))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kPauseMs);
    connect(&m_timer, &QTimer::timeout, this, &CrashRecovery::writeWhenIdle);
    connect(&m_history, &EditHistory::edited, this, &CrashRecovery::followEdit);
    connect(&m_history, &EditHistory::stepClosed, this, &CrashRecovery::resumeAfterStep);
    connect(&m_history, &EditHistory::saved, this, &CrashRecovery::discard);
    connect(&m_history, &EditHistory::loaded, this, [this] {
        m_timer.stop();
        m_waitingForStep = false;
    });
}

void CrashRecovery::followCase(const std::string &folder, const std::string &photo)
{
    m_timer.stop();
    m_waitingForStep = false;
    m_failureLogged = false;
    m_path = folder.empty() && photo.empty() ? QString()
                                             : toQtPath(TestCasePaths::recoveryFile(folder, photo));
}

// Each edit starts the pause anew; an undo back to the saved state leaves
// nothing to keep.
void CrashRecovery::followEdit()
{
    if (m_history.hasUnsavedEdits())
        m_timer.start();
    else
        discard();
}

// A drag in progress has not made its edit yet: its state is written once it
// ends and a pause has passed.
void CrashRecovery::writeWhenIdle()
{
    if (m_path.isEmpty() || !m_history.hasUnsavedEdits())
        return;
    if (m_history.stepOpen()) {
        m_waitingForStep = true;
        return;
    }
    write();
}

void CrashRecovery::resumeAfterStep()
{
    if (!m_waitingForStep)
        return;
    m_waitingForStep = false;
    m_timer.start();
}

// The file takes its place only once complete, so a session that dies while
// writing leaves the previous edits, never half of them. A failure only logs,
// once per case: the user is editing, and the edits are still in the dialog.
bool CrashRecovery::write()
{
    const QWindowData2D *model = m_model();
    if (!model)
        return false;
    std::ostringstream text;
    Failure failure;
    QSaveFile file(m_path);
    if (model->saveSessionGridFile(text, &failure)) {
        const std::string bytes = text.str();
        if (file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size())
            && file.commit()) {
            m_failureLogged = false;
            emit written(m_path);
            return true;
        }
        failure.reason = file.errorString().toStdString();
    }
    if (!m_failureLogged)
        logLine("Cannot keep the unsaved edits in " + toNarrowPath(m_path) + ": " + failure.reason);
    m_failureLogged = true;
    return false;
}

bool CrashRecovery::discard()
{
    m_timer.stop();
    m_waitingForStep = false;
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return true;
    QFile file(m_path);
    if (file.remove())
        return true;
    logLine("Cannot remove " + toNarrowPath(m_path) + ": " + file.errorString().toStdString());
    return false;
}

namespace {

int wordCount(const std::string &text)
{
    std::istringstream in(text);
    int count = 0;
    for (std::string word; in >> word;)
        ++count;
    return count;
}

} // namespace

// The reader takes any text, so a file counts as edits only when its first
// group came through whole and the grid it gives writes as many words as the
// file holds: a file cut short or with foreign text in it is not what this
// class wrote, and no grid the dialog should show.
CrashRecovery::Found CrashRecovery::inspect(QDateTime *writtenAt) const
{
    const QFileInfo info(m_path);
    if (m_path.isEmpty() || !info.exists())
        return Found::Nothing;
    if (writtenAt)
        *writtenAt = info.lastModified();
    QFile file(m_path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return Found::Unreadable;
    const std::string bytes = file.readAll().toStdString();
    QWindowData2D scratch;
    std::istringstream in(bytes);
    if (!scratch.loadGridFile(in))
        return Found::Unreadable;
    const bool whole = !scratch.gridBounds.empty() && !scratch.windowTemplates.empty()
                       && !scratch.rowValues.empty() && !scratch.colValues.empty() && !scratch.windows.empty()
                       && !scratch.windows[0].empty();
    // A plain grid file (what an earlier version kept) restores as one.
    std::ostringstream session;
    std::ostringstream plain;
    const int words = wordCount(bytes);
    const bool same = (scratch.saveSessionGridFile(session) && wordCount(session.str()) == words)
                      || (scratch.saveGridFile(plain) && wordCount(plain.str()) == words);
    return whole && same ? Found::Edits : Found::Unreadable;
}
