#ifndef TESSIVO_FILEDIALOGS_H
#define TESSIVO_FILEDIALOGS_H

#include <QString>

#include <map>

class QWidget;

// The dialog's file dialogs. Each kind of file remembers, for the session,
// the folder of the last file chosen; before the first choice a dialog opens
// in the working directory of the moment (also when Qt's own dialog would
// remember another folder).
class FileDialogs
{
public:
    enum class Kind { TestCase, Photograph, GridFile, Image, Mesh };

    // An existing file to read; empty when cancelled.
    QString open(QWidget *parent, Kind kind, const QString &caption, const QString &filter);

    // A file to write; empty when cancelled. defaultSuffix is added to a name
    // without one (before the dialog checks whether the file exists); with
    // confirmOverwrite false the caller asks about existing files itself.
    QString save(QWidget *parent, Kind kind, const QString &caption, const QString &filter,
                 const QString &defaultSuffix = QString(), bool confirmOverwrite = true);

    // The folder the next dialog of this kind opens in.
    QString startFolder(Kind kind) const;

private:
    QString ask(QWidget *parent, Kind kind, bool save, const QString &caption, const QString &filter,
                const QString &defaultSuffix, bool confirmOverwrite);

    std::map<Kind, QString> m_lastFolder;
};

#endif
