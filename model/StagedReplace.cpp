#include "StagedReplace.h"

#include "PathText.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

StagedReplace::StagedReplace(QString aside) : m_aside(std::move(aside)) {}

void StagedReplace::put(const QString &staged, const QString &target)
{
    m_puts.push_back({staged, target});
    m_leaving.push_back(target);
}

void StagedReplace::moveAside(const QString &path)
{
    m_leaving.push_back(path);
}

bool StagedReplace::rename(const QString &from, const QString &to)
{
    if (!QDir().rename(from, to))
        return false;
    m_done.push_back({from, to});
    return true;
}

void StagedReplace::undo()
{
    for (auto it = m_done.rbegin(); it != m_done.rend(); ++it)
        QDir().rename(it->to, it->from);
    m_done.clear();
}

bool StagedReplace::commit(Failure *failure)
{
    m_targetTaken = false;
    m_done.clear();
    // Old paths go aside under numbered names: two of them may share a file name.
    int index = 0;
    for (const QString &path : m_leaving) {
        if (!present(path))
            continue;
        const QString aside = QDir(m_aside).filePath(QString("%1-%2").arg(index++).arg(QFileInfo(path).fileName()));
        if (!rename(path, aside)) {
            undo();
            return fail(failure, "cannot move " + toNarrowPath(path) + " aside");
        }
    }
    for (const Move &move : m_puts) {
        if (present(move.to)) {
            undo();
            m_targetTaken = true;
            return fail(failure, toNarrowPath(move.to) + " appeared while it was replaced");
        }
        if (!rename(move.from, move.to)) {
            undo();
            return fail(failure, "cannot move " + toNarrowPath(move.from) + " to " + toNarrowPath(move.to));
        }
    }
    return true;
}
