#ifndef TESSIVO_TESTS_MODALREPLIES_H
#define TESSIVO_TESTS_MODALREPLIES_H

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <vector>

class QFileDialog;

// What the test saw of one modal dialog.
struct ModalSeen {
    QString className;
    QString title;
    QString text;             // message boxes
    QStringList nameFilters;  // file dialogs
    bool saveDialog = false;  // file dialogs: AcceptSave
    QMessageBox::StandardButtons buttons;
};

// Answers the modal dialogs that open while it lives, polling from their event
// loop: a file dialog takes the next queued path (cancelled when the queue is
// empty or the path is empty), a message box is acknowledged with OK. A file
// dialog that is still open after its answer gets the same answer again (up to
// a limit), never the next one.
class ModalReplies
{
public:
    ModalReplies();
    ModalReplies(const ModalReplies &) = delete;
    ModalReplies &operator=(const ModalReplies &) = delete;

    void queueFileName(const QString &path) { fileNames.push_back(path); }
    const std::vector<ModalSeen> &seen() const { return dialogs; }

private:
    void poll();
    static void choose(QFileDialog *dialog, const QString &path);

    QTimer timer;
    std::deque<QString> fileNames;
    std::vector<ModalSeen> dialogs;
    QPointer<QWidget> answered;
    QString answer;
    int retries = 0;
};

#endif
