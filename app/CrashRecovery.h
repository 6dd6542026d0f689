#ifndef TESSIVO_CRASHRECOVERY_H
#define TESSIVO_CRASHRECOVERY_H

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>

class EditHistory;
class QWindowData2D;

// Keeps the unsaved edits of the loaded case in its recovery file (beside the
// photograph, TestCasePaths::recoveryFile), so that a session that dies does
// not take them along: a pause after the last edit the grid, with the shutter
// angles it holds, is written there in the grid file's format, with the
// session section that brings back what each window showed. The file goes
// when nothing unsaved is left (a save, an undo back to the saved state) and
// when the dialog discards the edits or closes normally; a dead process
// leaves it for the next load of the case to offer.
class CrashRecovery : public QObject
{
    Q_OBJECT

public:
    // How long after the last edit the edits are written, in milliseconds.
    static constexpr int kPauseMs = 2000;

    using ModelSource = std::function<const QWindowData2D *()>;

    CrashRecovery(EditHistory &history, ModelSource model, QObject *parent = nullptr);

    // The case whose edits are kept from now on; empty texts: none. A write
    // still pending for the previous case is dropped.
    void followCase(const std::string &folder, const std::string &photo);
    // The followed case's recovery file, empty when no case is followed.
    QString filePath() const { return m_path; }

    void setPause(int milliseconds) { m_timer.setInterval(milliseconds); }
    int pause() const { return m_timer.interval(); }

    // What a load finds in the followed case's recovery file.
    enum class Found { Nothing, Edits, Unreadable };
    // Edits when the file reads as a grid file with at least one whole group
    // (every section present, at least one window); `writtenAt` gets the
    // time of the file.
    Found inspect(QDateTime *writtenAt = nullptr) const;

    // Deletes the recovery file and drops a pending write; false when a
    // file is left that could not be deleted.
    bool discard();

signals:
    // The edits were written to path (one write per pause).
    void written(const QString &path);

private:
    void followEdit();
    void writeWhenIdle();
    void resumeAfterStep();
    bool write();

    EditHistory &m_history;
    ModelSource m_model;
    QString m_path;
    QTimer m_timer;
    // The pause ended during a drag: the write waits for its end.
    bool m_waitingForStep = false;
    // A write failed and was logged: the next failures of the case are not.
    bool m_failureLogged = false;
};

#endif
