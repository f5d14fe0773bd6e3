#include <QApplication>

#include "app/vantor.h"
#include "platform/qt_services.h"
#include "platform/ui_translations.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    InstallChineseTranslations(application);
    InstallMessageBoxWindow();
    InstallEventPump();
    theApp.InitInstance();
    return 0;
}
