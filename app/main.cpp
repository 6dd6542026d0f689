#include "TessivoDemo.h"

#include <QApplication>

// Shows the control dialog and runs the event loop until it is closed; the
// dialog (with its model and view) is destroyed before the application.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TessivoDemo dialog;
    dialog.show();
    return app.exec();
}
