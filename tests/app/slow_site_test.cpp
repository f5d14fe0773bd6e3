#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/vantor.h"
#include "browser/browser_page.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/vantordlg.h"
#include "identity/device_identity.h"
#include "tests/support/http_test_server.h"
#include "tests/support/message_recorder.h"
#include "tests/support/no_proxy.h"

using namespace std::chrono_literals;

// A whole start on a provisioned office PC whose site server holds its answer
// to the device report for 20 s: the main window is there at once on its
// waiting page and takes input, and the login page is asked for only after
// the report has arrived and been answered.
class SlowSiteTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowComesUpWhileTheReportIsHeld();

private:
    static CVantorDlg* OpenMainWindow();
    static qint64 Now();

    QTemporaryDir m_office;
    QString m_previousDirectory;
    HttpTestServer m_server;
    MessageRecorder m_messages;
    std::atomic<qint64> m_reportArrivedAt{0};
    std::atomic<qint64> m_reportAnsweredAt{0};
    std::atomic<qint64> m_loginRequestedAt{0};
    std::atomic<bool> m_requestedBeforeAnswer{false};
};

qint64 SlowSiteTest::Now()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SlowSiteTest::initTestCase()
{
    ClearProxyEnvironment();
    QVERIFY(m_office.isValid());
    qputenv("XDG_CACHE_HOME", QDir(m_office.path()).filePath("cache").toLocal8Bit());
    // Nothing of the site is asked for before the report is answered, the
    // waiting page's icon included.
    m_server.server().set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        if (request.method != "POST" && m_reportAnsweredAt == 0)
            m_requestedBeforeAnswer = true;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_server.server().Post("/Account/LogOn", [this](const httplib::Request&, httplib::Response& response) {
        m_reportArrivedAt = Now();
        std::this_thread::sleep_for(20s);
        m_reportAnsweredAt = Now();
        response.set_content("ok", "text/plain");
    });
    m_server.server().Get("/Account/LogOn", [this](const httplib::Request& request, httplib::Response& response) {
        if (m_loginRequestedAt == 0)
            m_loginRequestedAt = Now();
        response.set_content("<html><head><title>登录 pid=" + request.get_param_value("pid") +
                                 "</title></head><body>login</body></html>",
                             "text/html; charset=utf-8");
    });
    m_server.start();

    m_previousDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_office.path()));
    QFile config(QStringLiteral("QLX32-bs.ini"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("[QLXBSINFO]\r\nHttpServer=127.0.0.1\r\nPort=" + QByteArray::number(m_server.port()) +
                 "\r\nPath=/Account/LogOn\r\nPara=--disable-plugins\r\nBrowserPath=");
}

void SlowSiteTest::cleanupTestCase()
{
    m_server.stop();
    QDir::setCurrent(m_previousDirectory);
}

CVantorDlg* SlowSiteTest::OpenMainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<CVantorDlg*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

void SlowSiteTest::windowComesUpWhileTheReportIsHeld()
{
    QElapsedTimer clock;
    qint64 windowShownAfter = -1;
    int ticksWhileHeld = 0;
    QString waitingText;
    bool activeWhileHeld = false;
    bool loginRequestedWhileHeld = false;
    QString caption;
    // Watches the start from inside the main window's run, as a user at the
    // screen would, then closes the window.
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        CVantorDlg* window = OpenMainWindow();
        if (!window)
            return;
        if (windowShownAfter < 0 && window->windowHandle() && window->windowHandle()->isExposed())
            windowShownAfter = clock.elapsed();
        const bool held = m_reportArrivedAt != 0 && m_reportAnsweredAt == 0;
        if (held) {
            ++ticksWhileHeld;
            loginRequestedWhileHeld = loginRequestedWhileHeld || m_loginRequestedAt != 0;
            auto* view = qobject_cast<QWebEngineView*>(
                window->BrowserClient().Browsers().front()->HostWindow());
            if (!view->page()->isLoading())
                view->page()->toPlainText([&](const QString& text) { waitingText = text; });
            // The window manager has given it the keyboard.
            activeWhileHeld = activeWhileHeld || window->isActiveWindow();
        }
        caption = window->windowTitle();
        if (caption.startsWith(QStringLiteral("登录 pid=")) || clock.elapsed() > 90000)
            window->close();
    });
    watcher.start(50);
    clock.start();

    QCOMPARE(theApp.InitInstance(), false);
    watcher.stop();

    QVERIFY2(windowShownAfter >= 0 && windowShownAfter < 5000, qPrintable(QString::number(windowShownAfter)));
    // The UI thread ran its events all through the hold (20 s at 50 ms).
    QVERIFY2(ticksWhileHeld > 100, qPrintable(QString::number(ticksWhileHeld)));
    QVERIFY(activeWhileHeld);
    QCOMPARE(waitingText, QStringLiteral("正在连接服务器…"));
    QVERIFY(!loginRequestedWhileHeld);
    QVERIFY(m_reportArrivedAt != 0);
    QVERIFY(m_loginRequestedAt >= m_reportAnsweredAt);
    QVERIFY(!m_requestedBeforeAnswer);
    QCOMPARE(caption, QStringLiteral("登录 pid=") + QString::fromStdU16String(DeviceIdentity.MacHash));
    QVERIFY(m_messages.texts().empty());
}

QTEST_MAIN(SlowSiteTest)
#include "slow_site_test.moc"
