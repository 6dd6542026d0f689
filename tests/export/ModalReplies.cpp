#include "ModalReplies.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>

ModalReplies::ModalReplies()
{
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
    timer.start();
}

void ModalReplies::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    auto *fileDialog = qobject_cast<QFileDialog *>(modal);
    if (fileDialog && modal == answered) {
        // Still open after its answer: give it the same one again.
        if (++retries > 100)
            fileDialog->reject();
        else
            choose(fileDialog, answer);
        return;
    }
    ModalSeen record;
    record.className = QString::fromLatin1(modal->metaObject()->className());
    record.title = modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        record.text = box->text();
        record.buttons = box->standardButtons();
        dialogs.push_back(record);
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
        return;
    }
    dialogs.push_back(record);
    if (!fileDialog) {
        modal->close();
        return;
    }
    dialogs.back().nameFilters = fileDialog->nameFilters();
    dialogs.back().saveDialog = fileDialog->acceptMode() == QFileDialog::AcceptSave;
    answer.clear();
    if (!fileNames.empty()) {
        answer = fileNames.front();
        fileNames.pop_front();
    }
    if (answer.isEmpty()) {
        fileDialog->reject();
        return;
    }
    answered = fileDialog;
    retries = 0;
    choose(fileDialog, answer);
}

void ModalReplies::choose(QFileDialog *dialog, const QString &path)
{
    // selectFile leaves the name field alone while it has the focus, so the
    // path is typed into the field as a user would.
    dialog->selectFile(path);
    if (auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        field->setText(path);
    static_cast<QDialog *>(dialog)->accept();
}
