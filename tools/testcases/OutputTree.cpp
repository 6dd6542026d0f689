#include "OutputTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace testcases {

TreeState inspectTree(const QString &root)
{
    const QFileInfo info(root);
    if (!info.exists() && !info.isSymLink())
        return TreeState::Missing;
    if (info.isSymLink() || !info.isDir())
        return TreeState::Foreign;
    return QFileInfo(QDir(root).filePath(kMarkerName)).isFile() ? TreeState::Ours : TreeState::Foreign;
}

namespace {

// Removes the old tree; a link or a file is removed itself, never followed.
bool removeOld(const QString &root)
{
    const QFileInfo info(root);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isSymLink() || !info.isDir())
        return QFile::remove(root);
    return QDir(root).removeRecursively();
}

} // namespace

TreeResult replaceTree(const QString &parent, bool force,
                       const std::function<bool(const QString &tree, QString *error)> &fill)
{
    TreeResult result;
    if (!QDir().mkpath(parent)) {
        result.message = QString("cannot create the folder %1").arg(parent);
        return result;
    }
    const QString root = QDir(parent).absoluteFilePath(kTreeName);
    if (inspectTree(root) == TreeState::Foreign && !force) {
        result.message = QString("%1 exists and was not made by this program; it is left as it is "
                                 "(use --force to replace it)").arg(root);
        return result;
    }

    QTemporaryDir staging(QDir(parent).absoluteFilePath(QString(".%1-XXXXXX").arg(kTreeName)));
    if (!staging.isValid()) {
        result.message = QString("cannot create a working folder in %1").arg(parent);
        return result;
    }
    const QString tree = staging.path();
    QFile marker(QDir(tree).filePath(kMarkerName));
    if (!marker.open(QIODevice::WriteOnly)
        || marker.write("Made by tessivo-make-testcases; it replaces this folder on its next run.\n") < 0) {
        result.message = QString("cannot write %1").arg(marker.fileName());
        return result;
    }
    marker.close();

    QString error;
    if (!fill(tree, &error)) {
        result.message = error;
        return result;
    }
    QFile::setPermissions(tree, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                    | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                    | QFileDevice::ExeOther);
    if (!removeOld(root)) {
        result.message = QString("cannot remove the old %1").arg(root);
        return result;
    }
    if (!QDir().rename(tree, root)) {
        result.message = QString("cannot move the new tree to %1").arg(root);
        return result;
    }
    staging.setAutoRemove(false);
    result.ok = true;
    result.message = root;
    return result;
}

} // namespace testcases
