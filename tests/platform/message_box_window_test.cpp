#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/message_box.h"
#include "platform/message_pump.h"
#include "platform/qt_services.h"

// The program's message box as the user sees it, and the event pump.
class MessageBoxWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void showsAModalWarningWithOneOkButton();
    void pumpHandlesQueuedEvents();
};

void MessageBoxWindowTest::initTestCase()
{
    InstallMessageBoxWindow();
    InstallEventPump();
}

void MessageBoxWindowTest::showsAModalWarningWithOneOkButton()
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())));
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttonCount = int(box->buttons().size());
        modal = box->isModal();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });

    ShowMessageBox(u"无法连接到主服务器");

    QCOMPARE(text, QStringLiteral("无法连接到主服务器"));
    QCOMPARE(title, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttonCount, 1);
    QVERIFY(modal);
}

void MessageBoxWindowTest::pumpHandlesQueuedEvents()
{
    bool handled = false;
    QMetaObject::invokeMethod(this, [&] { handled = true; }, Qt::QueuedConnection);
    PumpMessages();
    QVERIFY(handled);
}

QTEST_MAIN(MessageBoxWindowTest)
#include "message_box_window_test.moc"
