#include <algorithm>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/cefbrowserapp.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/vantordlg.h"
#include "platform/message_box.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"
#include "tests/support/misbehaving_server.h"
#include "tests/support/modal_driver.h"
#include "tests/support/no_proxy.h"
#include "tests/support/page_script.h"
#include "tests/support/refusing_port.h"

namespace {

constexpr int kTimeout = 20000;
// "agent:proxy-pass"
constexpr char kProxyCredentials[] = "Basic YWdlbnQ6cHJveHktcGFzcw==";

void IgnoreMessage(const std::u16string&) {}

}

// A proxy that asks for sign-in before it forwards anything, with the real
// embedded Chromium sending every request through it.
class ProxySignInTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void proxySignInShowsThePageThroughTheProxy();

private:
    // Stands in for the proxy and the site behind it at once.
    HttpTestServer m_proxy;
    QTemporaryDir m_home;
    CCefBrowserApp m_browserApp;
};

void ProxySignInTest::initTestCase()
{
    ClearProxyEnvironment();
    QVERIFY(m_home.isValid());
    qputenv("HOME", m_home.path().toUtf8());
    m_proxy.server().Get(".*", [](const httplib::Request& request, httplib::Response& response) {
        if (request.get_header_value("Proxy-Authorization") != kProxyCredentials) {
            response.status = 407;
            response.set_header("Proxy-Authenticate", "Basic realm=\"office proxy\"");
            response.set_content("<html><head><title>代理拒绝</title></head></html>", "text/html");
            return;
        }
        response.set_content("<html><head><title>经过代理</title></head><body>proxied</body></html>",
                             "text/html; charset=utf-8");
    });
    m_proxy.start();
    // Loopback addresses go through the proxy too, for this test only.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            QStringLiteral("--proxy-server=http://127.0.0.1:%1 --proxy-bypass-list=<-loopback>")
                .arg(m_proxy.port())
                .toUtf8());
    m_browserApp.Initialize();
    SetMessageBoxSink(IgnoreMessage);
}

void ProxySignInTest::cleanupTestCase()
{
    SetMessageBoxSink(nullptr);
    m_proxy.stop();
}

void ProxySignInTest::proxySignInShowsThePageThroughTheProxy()
{
    int dialogs = 0;
    QString text;
    ModalDriver signIn([&](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || !dialog->findChild<QLineEdit*>(QStringLiteral("user")))
            return;
        ++dialogs;
        text = dialog->findChild<QLabel*>()->text();
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("user")), QStringLiteral("agent"));
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("password")),
                         QStringLiteral("proxy-pass"));
        dialog->accept();
    });
    LaunchState = LaunchStateRecord();
    // Nothing listens there: only the proxy can answer.
    const RefusingPort nothingListens;
    LaunchState.StartUrl = QStringLiteral("http://127.0.0.1:%1/behind-the-proxy")
                               .arg(nothingListens.port())
                               .toStdU16String();
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();

    window.show();

    QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(), QStringLiteral("经过代理"), kTimeout);
    QCOMPARE(dialogs, 1);
    QVERIFY2(text.startsWith(QStringLiteral("代理服务器 127.0.0.1")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("“office proxy”")));
}

QTEST_MAIN(ProxySignInTest)
#include "proxy_sign_in_test.moc"
