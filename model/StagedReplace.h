#ifndef TESSIVO_STAGEDREPLACE_H
#define TESSIVO_STAGEDREPLACE_H

#include "Failure.h"

#include <QString>

#include <vector>

// Puts complete new files or folders in place of old ones all at once, or not
// at all: the old ones (and any path that only goes with them, such as a
// case's recovery file) are first moved into an aside folder, then each new
// one is renamed to its place. When any step fails, everything moved so far
// goes back where it was, in reverse order, so that the old state stays.
// Renames only: every path and the aside folder lie on one file system. Links
// are moved themselves, never followed.
class StagedReplace
{
public:
    // aside: an existing, empty folder to receive the old paths. After a
    // commit they lie there, to be removed with it by the caller.
    explicit StagedReplace(QString aside);

    // The complete new path staged takes the place of target.
    void put(const QString &staged, const QString &target);
    // Path (when present) leaves with the old paths and is not replaced.
    void moveAside(const QString &path);

    // Carries out the moves; false, as Failure.h says, when one fails, with
    // everything put back. A target still taken once the old paths are aside
    // (something took its name meanwhile) is never moved over: the commit
    // fails and targetTaken() tells so.
    bool commit(Failure *failure = nullptr);
    bool targetTaken() const { return m_targetTaken; }

private:
    struct Move {
        QString from;
        QString to;
    };
    bool rename(const QString &from, const QString &to);
    void undo();

    QString m_aside;
    std::vector<Move> m_puts;
    std::vector<QString> m_leaving; // targets and moveAside paths
    std::vector<Move> m_done;       // the renames made so far, for undo
    bool m_targetTaken = false;
};

#endif
