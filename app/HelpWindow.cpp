#include "HelpWindow.h"

#include <QLabel>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const std::vector<std::pair<QString, QString>> &keys, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Tessivo help"));
    setAttribute(Qt::WA_QuitOnClose, false);
    auto *text = new QLabel(helpText(keys), this);
    text->setObjectName(QStringLiteral("helpText"));
    text->setTextFormat(Qt::RichText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setMargin(12);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
}

QString HelpWindow::helpText(const std::vector<std::pair<QString, QString>> &keys)
{
    QString html = tr("<h3>Mouse</h3><ul>"
                      "<li>Hover over a window to highlight it.</li>"
                      "<li>Click a window to select it; in a shutter test case the Left and Right sliders "
                      "then open (0) and close (180) its leaves.</li>"
                      "<li>Drag the yellow edge of the selected window to lower or raise its blind "
                      "(blind test cases; with Drag all blinds every blind follows).</li>"
                      "<li>Drag elsewhere on the selected window to move it; on release its row and "
                      "column line up with it.</li>"
                      "<li>Right-click the picture or the control panel for the commands.</li></ul>"
                      "<h3>Keys</h3><table cellspacing=\"4\">");
    for (const auto &[command, sequence] : keys)
        html += QStringLiteral("<tr><td>%1</td><td><b>%2</b></td></tr>")
                    .arg(command.toHtmlEscaped(), sequence.toHtmlEscaped());
    html += QStringLiteral("</table>");
    html += tr("<p>Escape and Return never close the window or reload the test case; closing or "
               "loading another case with unsaved edits asks first.</p>");
    return html;
}
