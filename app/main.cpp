#include "TessivoDemo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TessivoDemo dialog;
    dialog.show();
    return app.exec();
}
