#include <QApplication>

#include "app/vantor.h"
#include "platform/qt_services.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    InstallMessageBoxWindow();
    InstallEventPump();
    theApp.InitInstance();
    return 0;
}
