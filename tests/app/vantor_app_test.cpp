#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "launch/launch_state.h"
#include "app/vantor.h"
#include "browser/vantordlg.h"
#include "identity/device_identity.h"
#include "tests/support/message_recorder.h"
#include "tests/support/http_test_server.h"
#include "tests/support/no_proxy.h"

// A whole start on a provisioned office PC against a site server on this
// machine, then a second start in the same process, which must do nothing.
class VantorAppTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void firstCallRunsTheWholeStart();
    void secondCallReturnsAtOnceTouchingNothing();

private:
    static QByteArray ReadFile(const QString& path);
    static CVantorDlg* OpenMainWindow();

    QTemporaryDir m_office;
    QTemporaryDir m_runtime;
    QString m_previousDirectory;
    HttpTestServer m_server;
    MessageRecorder m_messages;
};

void VantorAppTest::initTestCase()
{
    ClearProxyEnvironment();
    QVERIFY(m_office.isValid());
    qputenv("XDG_CACHE_HOME", QDir(m_office.path()).filePath("cache").toLocal8Bit());
    // A runtime folder of its own: never one shared with another launcher.
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    m_server.server().Post("/Account/LogOn", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("ok", "text/plain");
    });
    m_server.server().Get("/Account/LogOn", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content("<html><head><title>登录 pid=" + request.get_param_value("pid") +
                                 " cpu=" + request.get_param_value("cpu") +
                                 " id=" + request.get_param_value("id") +
                                 "</title></head><body>login</body></html>",
                             "text/html; charset=utf-8");
    });
    m_server.start();

    m_previousDirectory = QDir::currentPath();
    const QString office = QDir(m_office.path()).filePath("office");
    QVERIFY(QDir().mkpath(office));
    QVERIFY(QDir::setCurrent(office));
    QFile config(QStringLiteral("QLX32-bs.ini"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("[QLXBSINFO]\r\nHttpServer=127.0.0.1\r\nPort=" +
                 QByteArray::number(m_server.port()) +
                 "\r\nPath=/Account/LogOn\r\nPara=--disable-plugins\r\nBrowserPath=");
}

void VantorAppTest::cleanupTestCase()
{
    m_server.stop();
    QDir::setCurrent(m_previousDirectory);
}

QByteArray VantorAppTest::ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

CVantorDlg* VantorAppTest::OpenMainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<CVantorDlg*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

void VantorAppTest::firstCallRunsTheWholeStart()
{
    QString caption;
    bool sawWindow = false;
    // Watches the main window from inside its modal run, then closes it as the
    // user would.
    QTimer watcher;
    QElapsedTimer clock;
    clock.start();
    connect(&watcher, &QTimer::timeout, this, [&] {
        CVantorDlg* window = OpenMainWindow();
        if (!window)
            return;
        sawWindow = true;
        caption = window->windowTitle();
        if (caption.startsWith(QStringLiteral("登录 pid=")) || clock.elapsed() > 60000)
            window->close();
    });
    watcher.start(100);

    QCOMPARE(theApp.InitInstance(), false);
    watcher.stop();

    QVERIFY(sawWindow);
    QVERIFY2(caption.startsWith(QStringLiteral("登录 pid=")), qPrintable(caption));
    const QString startUrl = QString::fromStdU16String(LaunchState.StartUrl);
    QVERIFY2(startUrl.startsWith(QString::fromStdString(m_server.baseUrl()) +
                                 "/Account/LogOn?version=1.20140927&id="),
             qPrintable(startUrl));
    const QString expectedCaption =
        QStringLiteral("登录 pid=%1 cpu=%2 id=%3")
            .arg(QString::fromStdU16String(DeviceIdentity.MacHash),
                 QString::fromStdU16String(DeviceIdentity.TimeToken),
                 QString::fromStdU16String(DeviceIdentity.MachineId));
    QCOMPARE(caption, expectedCaption);
    QVERIFY(m_messages.texts().empty());
    QVERIFY(QFile::exists(QStringLiteral("qlx.ico")));
}

void VantorAppTest::secondCallReturnsAtOnceTouchingNothing()
{
    const QByteArray configBefore = ReadFile(QStringLiteral("QLX32-bs.ini"));
    const LaunchStateRecord stateBefore = LaunchState;
    QFile::remove(QStringLiteral("qlx.ico"));
    bool sawWindow = false;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] { sawWindow = sawWindow || OpenMainWindow(); });
    watcher.start(10);

    QCOMPARE(theApp.InitInstance(), false);
    QTest::qWait(200);

    QVERIFY(!sawWindow);
    QVERIFY(!OpenMainWindow());
    QCOMPARE(ReadFile(QStringLiteral("QLX32-bs.ini")), configBefore);
    QVERIFY2(!QFile::exists(QStringLiteral("qlx.ico")), "the identity was gathered again");
    QVERIFY(LaunchState.StartUrl == stateBefore.StartUrl);
    QVERIFY(m_messages.texts().empty());
    m_server.stop();
    size_t reports = 0;
    for (const RecordedRequest& request : m_server.requests())
        reports += request.method == "POST" ? 1 : 0;
    QCOMPARE(reports, size_t(1));
}

QTEST_MAIN(VantorAppTest)
#include "vantor_app_test.moc"
