#ifndef TESSIVO_TESTS_MODALANSWERER_H
#define TESSIVO_TESTS_MODALANSWERER_H

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

class QFileDialog;

// What a test saw of one modal dialog before answering it.
struct ModalRecord {
    QString className;
    QString title;
    QString text;             // message boxes
    QString informativeText;  // message boxes: what the text leaves to the line below it
    QString detailedText;     // message boxes
    QStringList nameFilters;  // file dialogs
    QString directory;        // file dialogs: the folder they opened in
    bool saveDialog = false;  // file dialogs: AcceptSave
    QMessageBox::StandardButtons buttons; // message boxes
};

// Answers the modal dialogs that open while it lives (file dialogs and message
// boxes), polling from the event loop that the modal dialog runs. A file
// dialog takes the next queued path, or is cancelled when none is queued or
// the path is empty; a modal widget of the class that the next queued step
// names gets that step first (see below); a message box with one of its buttons queued is answered
// with the first such button (which leaves the queue), else acknowledged with
// OK, else rejected (its escape button); a modal widget of the class that the
// next queued step names gets that step (which leaves the queue) once it takes
// input, so that a test walks a wizard page by page; any other modal widget is
// closed. A file dialog still open after its answer gets the same answer again
// (up to a limit), never the next one.
class ModalAnswerer
{
public:
    ModalAnswerer();
    ModalAnswerer(const ModalAnswerer &) = delete;
    ModalAnswerer &operator=(const ModalAnswerer &) = delete;

    void queueFileName(const QString &path) { m_fileNames.push_back(path); }
    void queueButton(QMessageBox::StandardButton button) { m_buttons.push_back(button); }
    // step runs on the active modal widget when it inherits className and is
    // enabled (not busy); steps run one per poll, in the order queued.
    void queueStep(const char *className, std::function<void(QWidget *)> step)
    {
        m_steps.push_back({className, std::move(step)});
    }
    int pendingSteps() const { return int(m_steps.size()); }
    const std::vector<ModalRecord> &seen() const { return m_seen; }
    void clear() { m_seen.clear(); }

private:
    void poll();
    static void choose(QFileDialog *dialog, const QString &path);

    QTimer m_timer;
    std::deque<QString> m_fileNames;
    std::deque<QMessageBox::StandardButton> m_buttons;
    struct Step {
        const char *className;
        std::function<void(QWidget *)> run;
    };
    std::deque<Step> m_steps;
    std::vector<ModalRecord> m_seen;
    QPointer<QWidget> m_answered;
    QString m_answer;
    int m_retries = 0;
};

#endif
