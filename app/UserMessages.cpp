#include "UserMessages.h"

#include "PathText.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>

namespace UserMessages {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TessivoDemo", text);
}

// The names shown in the question itself; the rest are in its details.
constexpr int kNamesShown = 8;

} // namespace

void warn(QWidget *parent, const QString &title, const QString &text, const QString &details)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setInformativeText(details);
    box.exec();
}

// Reasons name files in the file system's encoding, as the program's paths do.
QString reasonText(const std::string &reason)
{
    return toQtPath(reason);
}

UnsavedAnswer askAboutUnsavedEdits(QWidget *parent, const QString &title, const QString &question)
{
    QMessageBox box(QMessageBox::Question, title, tr("The facade has edits that are not saved in a grid file."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(question);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.button(QMessageBox::Save)->setText(tr("Save grid file..."));
    switch (box.exec()) {
    case QMessageBox::Save: return UnsavedAnswer::Save;
    case QMessageBox::Discard: return UnsavedAnswer::Discard;
    default: return UnsavedAnswer::Cancel;
    }
}

bool askToReplace(QWidget *parent, const QString &title, const QStringList &existingFiles)
{
    if (existingFiles.isEmpty())
        return true;
    QStringList names;
    for (const QString &path : existingFiles)
        names << QFileInfo(path).fileName();
    QString shown = names.mid(0, kNamesShown).join(QStringLiteral(", "));
    if (names.size() > kNamesShown)
        shown += tr(" and %1 more").arg(names.size() - kNamesShown);
    const QString folder = QFileInfo(existingFiles.front()).absolutePath();
    QMessageBox box(QMessageBox::Warning, title,
                    existingFiles.size() == 1 ? tr("1 file will be replaced.")
                                              : tr("%1 files will be replaced.").arg(existingFiles.size()),
                    QMessageBox::Yes | QMessageBox::Cancel, parent);
    box.setInformativeText(tr("In %1: %2.").arg(QDir::toNativeSeparators(folder), shown));
    box.setDetailedText(existingFiles.join(QLatin1Char('\n')));
    box.button(QMessageBox::Yes)->setText(tr("Replace"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

// Restore is the default, since it loses nothing (it is one edit to undo);
// Escape answers nothing, so the edits are only let go on purpose.
bool askToRestoreEdits(QWidget *parent, const QString &title, const QString &file, const QDateTime &writtenAt)
{
    QMessageBox box(QMessageBox::Question, title,
                    tr("Edits of an earlier session that ended unexpectedly were found for this facade."),
                    QMessageBox::Yes | QMessageBox::Discard, parent);
    box.setInformativeText(tr("They were kept at %1 in %2. Restore them?")
                               .arg(QLocale().toString(writtenAt, QLocale::LongFormat),
                                    QDir::toNativeSeparators(file)));
    box.button(QMessageBox::Yes)->setText(tr("Restore"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

} // namespace UserMessages
