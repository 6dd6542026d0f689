#ifndef TESSIVO_DIALOGEVENTFILTER_H
#define TESSIVO_DIALOGEVENTFILTER_H

#include <QObject>
#include <QPoint>

#include <functional>

class QDialog;
class QWidget;

// Keeps the dialog's stray keys from losing edits, without overriding its
// event handlers:
//  - Escape does not close the dialog, Return and Enter press no default
//    button (a spin box has applied its value before the key reaches the
//    dialog);
//  - a close asks mayClose first and stays open when it says no;
//  - a context-menu request that no child took (the view, the control
//    panel) shows the dialog's commands;
//  - in the widgets given to passUndoKeys, the Undo and Redo keys reach the
//    dialog's commands instead of the widget's own text undo.
class DialogEventFilter : public QObject
{
public:
    struct Handlers {
        std::function<bool()> mayClose;
        std::function<void(const QPoint &globalPos)> showCommands;
    };

    DialogEventFilter(QDialog *dialog, Handlers handlers);
    void passUndoKeys(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QDialog *m_dialog;
    Handlers m_handlers;
};

#endif
