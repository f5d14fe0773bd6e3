#include "platform/qt_services.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QString>

#include "platform/message_box.h"
#include "platform/message_pump.h"

namespace {

void ShowWarningBox(const std::u16string& text)
{
    const QString title = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QMessageBox box(QMessageBox::Warning, title, QString::fromStdU16String(text), QMessageBox::Ok);
    box.exec();
}

void ProcessPendingEvents()
{
    QCoreApplication::processEvents();
}

}

void InstallMessageBoxWindow()
{
    SetMessageBoxSink(ShowWarningBox);
}

void InstallEventPump()
{
    SetMessagePump(ProcessPendingEvents);
}
