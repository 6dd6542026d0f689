#include "DialogEventFilter.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QKeyEvent>

DialogEventFilter::DialogEventFilter(QDialog *dialog, Handlers handlers)
    : QObject(dialog), m_dialog(dialog), m_handlers(std::move(handlers))
{
    dialog->installEventFilter(this);
}

void DialogEventFilter::passUndoKeys(QWidget *widget)
{
    widget->installEventFilter(this);
}

bool DialogEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_dialog) {
        // Left unaccepted, the override lets the key go to the shortcuts.
        if (event->type() == QEvent::ShortcutOverride) {
            const auto *key = static_cast<QKeyEvent *>(event);
            return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo);
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    case QEvent::Close:
        if (m_handlers.mayClose && !m_handlers.mayClose()) {
            event->ignore();
            return true;
        }
        return false;
    case QEvent::ContextMenu:
        if (m_handlers.showCommands)
            m_handlers.showCommands(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    default:
        return false;
    }
}
