#include "OutputTree.h"

#include "PathText.h"
#include "StagedReplace.h"
#include "TestCasePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace TestCases {

TreeState inspectTree(const QString &root)
{
    const QFileInfo info(root);
    if (!info.exists() && !info.isSymLink())
        return TreeState::Missing;
    if (info.isSymLink() || !info.isDir())
        return TreeState::Foreign;
    return QFileInfo(QDir(root).filePath(kMarkerName)).isFile() ? TreeState::Ours : TreeState::Foreign;
}

bool replaceTree(const QString &parent, bool force, const FillTree &fill, QString *placed, Failure *failure)
{
    auto failWith = [failure](const QString &reason) { return fail(failure, toNarrowPath(reason)); };
    if (!QDir().mkpath(parent))
        return failWith(QString("cannot create the folder %1").arg(parent));
    const QString root = QDir(parent).absoluteFilePath(TestCasePaths::kRootName);
    if (inspectTree(root) == TreeState::Foreign && !force)
        return failWith(QString("%1 exists and was not made by this program; it is left as it is "
                                "(use --force to replace it)").arg(root));

    // The working folder holds the new tree while it is filled and the old
    // one once replaced; it goes, with whichever is left in it, at the end.
    QTemporaryDir staging(QDir(parent).absoluteFilePath(QString(".%1-XXXXXX").arg(TestCasePaths::kRootName)));
    if (!staging.isValid())
        return failWith(QString("cannot create a working folder in %1").arg(parent));
    const QString tree = QDir(staging.path()).filePath(TestCasePaths::kRootName);
    const QString aside = QDir(staging.path()).filePath("replaced");
    if (!QDir().mkdir(tree) || !QDir().mkdir(aside))
        return failWith(QString("cannot create a working folder in %1").arg(staging.path()));
    QFile marker(QDir(tree).filePath(kMarkerName));
    if (!marker.open(QIODevice::WriteOnly)
        || marker.write("Made by tessivo-make-testcases; it replaces this folder on its next run.\n") < 0)
        return failWith(QString("cannot write %1").arg(marker.fileName()));
    marker.close();

    if (!fill(tree, failure))
        return false;
    QFile::setPermissions(tree, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                    | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                    | QFileDevice::ExeOther);
    // A link or a file in the tree's place goes aside itself, never followed.
    StagedReplace replace(aside);
    replace.put(tree, root);
    Failure reason;
    if (!replace.commit(&reason))
        return failWith(QString("cannot move the new tree to %1 (%2)").arg(root, toQtPath(reason.reason)));
    if (placed)
        *placed = root;
    return true;
}

} // namespace TestCases
