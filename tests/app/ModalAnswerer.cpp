#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>

ModalAnswerer::ModalAnswerer()
{
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
}

ModalAnswerer::~ModalAnswerer()
{
    m_timer.stop();
}

void ModalAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    ModalRecord record;
    record.className = QString::fromLatin1(modal->metaObject()->className());
    record.title = modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        record.text = box->text();
        record.buttons = box->standardButtons();
        m_seen.push_back(record);
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
        return;
    }
    if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        record.nameFilters = dialog->nameFilters();
        record.saveDialog = dialog->acceptMode() == QFileDialog::AcceptSave;
        m_seen.push_back(record);
        QString path;
        if (!m_fileNames.empty()) {
            path = m_fileNames.front();
            m_fileNames.pop_front();
        }
        if (path.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept(); // public in QDialog, virtual
        }
        return;
    }
    m_seen.push_back(record);
    modal->close();
}
