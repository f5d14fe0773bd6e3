#include <QApplication>

#include "app/single_instance.h"
#include "app/vantor.h"
#include "platform/qt_services.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("vantor"));
    SingleInstance session;
    if (!session.Claim())
        return 0;
    InstallMessageBoxWindow();
    InstallEventPump();
    theApp.InitInstance();
    return 0;
}
