#include "FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString FileDialogs::open(QWidget *parent, Kind kind, const QString &caption, const QString &filter)
{
    return ask(parent, kind, false, caption, filter, QString(), true);
}

QString FileDialogs::save(QWidget *parent, Kind kind, const QString &caption, const QString &filter,
                          const QString &defaultSuffix, bool confirmOverwrite)
{
    return ask(parent, kind, true, caption, filter, defaultSuffix, confirmOverwrite);
}

QString FileDialogs::startFolder(Kind kind) const
{
    const auto last = m_lastFolder.find(kind);
    return last != m_lastFolder.end() ? last->second : QDir::currentPath();
}

// A dialog object rather than the static helpers: only it adds a default
// suffix, and it does so before it checks for an existing file.
QString FileDialogs::ask(QWidget *parent, Kind kind, bool save, const QString &caption, const QString &filter,
                         const QString &defaultSuffix, bool confirmOverwrite)
{
    QFileDialog dialog(parent, caption, startFolder(kind), filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty())
        return QString();
    m_lastFolder[kind] = QFileInfo(chosen.front()).absolutePath();
    return chosen.front();
}
