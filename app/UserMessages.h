#ifndef TESSIVO_USERMESSAGES_H
#define TESSIVO_USERMESSAGES_H

#include <QString>
#include <QStringList>

#include <string>

class QDateTime;
class QWidget;

// The dialog's message boxes: modal, the dialog as parent, the command's name
// as title.
namespace UserMessages {

// A warning with one OK button. text is the program's own message; details
// (which file, and why) go below it.
void warn(QWidget *parent, const QString &title, const QString &text, const QString &details = QString());

// A library's failure reason (Failure.h) as text for the user.
QString reasonText(const std::string &reason);

enum class UnsavedAnswer { Save, Discard, Cancel };

// Save grid file / Discard / Cancel, before edits not saved would be lost;
// question says what is about to happen.
UnsavedAnswer askAboutUnsavedEdits(QWidget *parent, const QString &title, const QString &question);

// One question before any of existingFiles is replaced, saying how many and
// which; true to replace them.
bool askToReplace(QWidget *parent, const QString &title, const QStringList &existingFiles);

// Restore / Discard, when a load finds the edits that an earlier session,
// which ended unexpectedly, kept in file at writtenAt; true to restore them.
bool askToRestoreEdits(QWidget *parent, const QString &title, const QString &file, const QDateTime &writtenAt);

} // namespace UserMessages

#endif
