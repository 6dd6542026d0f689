#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>

ModalAnswerer::ModalAnswerer()
{
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
}

void ModalAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    auto *fileDialog = qobject_cast<QFileDialog *>(modal);
    if (fileDialog && modal == m_answered) {
        // Still open after its answer: give it the same one again.
        if (++m_retries > 100)
            fileDialog->reject();
        else
            choose(fileDialog, m_answer);
        return;
    }
    ModalRecord record;
    record.className = QString::fromLatin1(modal->metaObject()->className());
    record.title = modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal))
        record.text = box->text();
    if (!fileDialog && !m_steps.empty() && modal->inherits(m_steps.front().className)) {
        if (!modal->isEnabled())
            return; // busy: the step waits until it takes input again
        m_seen.push_back(record);
        // Off the queue before it runs: a step may run a nested event loop
        // that polls again.
        const std::function<void(QWidget *)> step = std::move(m_steps.front().run);
        m_steps.pop_front();
        step(modal);
        return;
    }
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        record.text = box->text();
        record.informativeText = box->informativeText();
        record.detailedText = box->detailedText();
        record.buttons = box->standardButtons();
        m_seen.push_back(record);
        for (auto queued = m_buttons.begin(); queued != m_buttons.end(); ++queued) {
            if (QAbstractButton *button = box->button(*queued)) {
                m_buttons.erase(queued);
                button->click();
                return;
            }
        }
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
        return;
    }
    if (!fileDialog) {
        m_seen.push_back(record);
        modal->close();
        return;
    }
    record.nameFilters = fileDialog->nameFilters();
    record.directory = fileDialog->directory().absolutePath();
    record.saveDialog = fileDialog->acceptMode() == QFileDialog::AcceptSave;
    m_seen.push_back(record);
    m_answer.clear();
    if (!m_fileNames.empty()) {
        m_answer = m_fileNames.front();
        m_fileNames.pop_front();
    }
    if (m_answer.isEmpty()) {
        fileDialog->reject();
        return;
    }
    m_answered = fileDialog;
    m_retries = 0;
    choose(fileDialog, m_answer);
}

void ModalAnswerer::choose(QFileDialog *dialog, const QString &path)
{
    // selectFile leaves the name field alone while it has the focus, so the
    // path is typed into the field as a user would.
    dialog->selectFile(path);
    if (auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        field->setText(path);
    static_cast<QDialog *>(dialog)->accept(); // public in QDialog, virtual
}
