#ifndef TESSIVO_HELPWINDOW_H
#define TESSIVO_HELPWINDOW_H

#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

// The short help: the mouse gestures of the facade view and the keys of the
// dialog's commands, a window of its own beside the dialog. It does not keep
// the program running when the dialog is closed.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // keys: (command, its key sequence as shown to the user), in menu order.
    HelpWindow(const std::vector<std::pair<QString, QString>> &keys, QWidget *parent);

    // The help as rich text.
    static QString helpText(const std::vector<std::pair<QString, QString>> &keys);
};

#endif
