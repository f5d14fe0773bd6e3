#include <algorithm>
#include <memory>
#include <string>

#include <QCryptographicHash>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/cefbrowserapp.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/vantordlg.h"
#include "platform/message_box.h"
#include "tests/browser/window_pages.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"
#include "tests/support/misbehaving_server.h"
#include "tests/support/modal_driver.h"
#include "tests/support/no_proxy.h"
#include "tests/support/page_script.h"
#include "tests/support/refusing_port.h"

namespace {

constexpr int kTimeout = 20000;
constexpr char kUser[] = "clerk";
constexpr char kPassword[] = "s3cret";
constexpr char kNonce[] = "5f1b7c2a";
constexpr char kUnauthorizedPage[] =
    "<html><head><title>未授权</title></head><body>server's own 401</body></html>";

void IgnoreMessage(const std::u16string&) {}

std::string Md5(const std::string& text)
{
    return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Md5)
        .toHex()
        .toStdString();
}

// One parameter of an Authorization: Digest header.
std::string DigestField(const std::string& header, const std::string& name)
{
    const std::string quoted = name + "=\"";
    std::string::size_type at = header.find(quoted);
    if (at != std::string::npos) {
        at += quoted.size();
        return header.substr(at, header.find('"', at) - at);
    }
    const std::string bare = name + "=";
    at = header.find(bare);
    if (at == std::string::npos)
        return std::string();
    at += bare.size();
    return header.substr(at, header.find_first_of(", ", at) - at);
}

bool DigestIsRight(const httplib::Request& request, const std::string& realm)
{
    const std::string header = request.get_header_value("Authorization");
    if (header.rfind("Digest ", 0) != 0 || DigestField(header, "username") != kUser ||
        DigestField(header, "nonce") != kNonce)
        return false;
    const std::string ha1 = Md5(std::string(kUser) + ":" + realm + ":" + kPassword);
    const std::string ha2 = Md5(request.method + ":" + DigestField(header, "uri"));
    const std::string expected =
        Md5(ha1 + ":" + kNonce + ":" + DigestField(header, "nc") + ":" +
            DigestField(header, "cnonce") + ":" + DigestField(header, "qop") + ":" + ha2);
    return DigestField(header, "response") == expected;
}

bool BasicIsRight(const httplib::Request& request)
{
    const QByteArray expected =
        "Basic " + QByteArray(kUser).append(':').append(kPassword).toBase64();
    return request.get_header_value("Authorization") == expected.toStdString();
}

// A page behind sign-in on a server of its own: the engine keeps accepted
// credentials for an origin, so every case starts on a fresh one.
std::unique_ptr<HttpTestServer> SignInServer(bool digest, bool acceptsAnything)
{
    auto server = std::make_unique<HttpTestServer>();
    server->server().Get("/secret", [digest, acceptsAnything](const httplib::Request& request,
                                                             httplib::Response& response) {
        const std::string realm = digest ? "office digest" : "办公 站点";
        const bool right = digest ? DigestIsRight(request, realm) : BasicIsRight(request);
        if (right && acceptsAnything) {
            response.set_content("<html><head><title>机密</title></head><body>ok</body></html>",
                                 "text/html; charset=utf-8");
            return;
        }
        response.status = 401;
        response.set_header("WWW-Authenticate",
                            digest ? "Digest realm=\"" + realm + "\", qop=\"auth\", nonce=\"" +
                                         kNonce + "\", algorithm=MD5"
                                   : "Basic realm=\"" + realm + "\"");
        response.set_content(kUnauthorizedPage, "text/html; charset=utf-8");
    });
    server->start();
    return server;
}

struct SignInAnswer {
    QString user;
    QString password;
    bool cancel = false;
};

// Answers each sign-in dialog and records what it showed.
struct SignInRecord {
    int dialogs = 0;
    QString text;
    QString focus;
};

ModalDriver::Answer SignIn(SignInAnswer answer, SignInRecord& record)
{
    return [answer, &record](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || !dialog->findChild<QLineEdit*>(QStringLiteral("user")))
            return;
        ++record.dialogs;
        record.text = dialog->findChild<QLabel*>()->text();
        record.focus = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
        if (answer.cancel) {
            dialog->reject();
            return;
        }
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("user")), answer.user);
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("password")), answer.password);
        dialog->accept();
    };
}

// Requests for the page behind sign-in, leaving out the engine's icon requests.
int PageRequests(const HttpTestServer& server, bool authorized)
{
    const auto requests = server.requests();
    return static_cast<int>(std::count_if(requests.begin(), requests.end(), [&](const auto& request) {
        return request.path == "/secret" &&
               (!authorized || request.headers.count("Authorization") > 0);
    }));
}


int RequestsBesidesTheIcon(const HttpTestServer& server)
{
    const auto requests = server.requests();
    return static_cast<int>(std::count_if(requests.begin(), requests.end(), [](const auto& request) {
        return request.path != "/favicon.ico";
    }));
}

}

// What sites ask of the user and of the network: sign-in, permissions, full
// screen, and loading again once the server is back; with the real embedded
// Chromium and servers on this machine.
class SiteRequestsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void rightCredentialsOpenThePage_data();
    void rightCredentialsOpenThePage();
    void wrongPasswordIsAskedAtMostThreeTimes_data();
    void wrongPasswordIsAskedAtMostThreeTimes();
    void cancelShowsTheServersOwnPage();

    void featureRequestsAreAnswered_data();
    void featureRequestsAreAnswered();
    void fullScreenEndsWithEsc();

    void pageLoadsWhenTheServerIsBack();
    void sentFormIsNotSentAgain();
    void navigatingElsewhereEndsTheRetries();

private:
    bool OpenMainWindow(const QUrl& url, const QString& title);
    BrowserPage* MainBrowser() const { return MainPageOf(*m_window); }
    QUrl Url(const QString& path) const;
    bool ShowsErrorPage();

    CCefBrowserApp m_browserApp;
    HttpTestServer m_server;
    QTemporaryDir m_home;
    std::unique_ptr<CVantorDlg> m_window;
};

void SiteRequestsTest::initTestCase()
{
    ClearProxyEnvironment();
    QVERIFY(m_home.isValid());
    qputenv("HOME", m_home.path().toUtf8());
    // A camera and a microphone that exist in the engine only; the question
    // stays ours.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--use-fake-device-for-media-stream");
    auto& server = m_server.server();
    server.Get("/main", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>主页</title></head><body>main</body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/fullscreen", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>全屏</title></head><body>"
                             "<button id=go style='width:200px;height:80px' "
                             "onclick='document.documentElement.requestFullscreen()'>全屏</button>"
                             "</body></html>",
                             "text/html; charset=utf-8");
    });
    m_server.start();
    m_browserApp.Initialize();
    SetMessageBoxSink(IgnoreMessage);
}

void SiteRequestsTest::cleanupTestCase()
{
    SetMessageBoxSink(nullptr);
    m_server.stop();
}

void SiteRequestsTest::init()
{
    LaunchState = LaunchStateRecord();
}

void SiteRequestsTest::cleanup()
{
    m_window.reset();
}

QUrl SiteRequestsTest::Url(const QString& path) const
{
    return QUrl(QString::fromStdString(m_server.baseUrl()) + path);
}

bool SiteRequestsTest::OpenMainWindow(const QUrl& url, const QString& title)
{
    LaunchState.StartUrl = url.toString().toStdU16String();
    m_window = std::make_unique<CVantorDlg>(m_browserApp.Profile());
    m_window->OpenStartUrl();
    m_window->show();
    return WaitFor([&] { return m_window->windowTitle() == title; });
}

bool SiteRequestsTest::ShowsErrorPage()
{
    return WaitFor([&] { return PageHtml(MainBrowser()).contains(QStringLiteral("Failed to load URL")); });
}

void SiteRequestsTest::rightCredentialsOpenThePage_data()
{
    QTest::addColumn<bool>("digest");
    QTest::addColumn<QString>("realm");
    QTest::newRow("Basic") << false << QStringLiteral("办公 站点");
    QTest::newRow("Digest") << true << QStringLiteral("office digest");
}

void SiteRequestsTest::rightCredentialsOpenThePage()
{
    QFETCH(bool, digest);
    QFETCH(QString, realm);
    const auto site = SignInServer(digest, true);
    QVERIFY(OpenMainWindow(Url(QStringLiteral("/main")), QStringLiteral("主页")));
    SignInRecord record;
    ModalDriver signIn(SignIn({QString::fromLatin1(kUser), QString::fromLatin1(kPassword)}, record));

    MainBrowser()->load(QUrl(QString::fromStdString(site->baseUrl() + "/secret")));

    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("机密"), kTimeout);
    QCOMPARE(record.dialogs, 1);
    QVERIFY(record.text.contains(QStringLiteral("127.0.0.1")));
    QVERIFY(record.text.contains(QStringLiteral("“%1”").arg(realm)));
    QCOMPARE(record.focus, QStringLiteral("user"));

    // The session keeps the credentials: the page opens again without a question.
    MainBrowser()->load(Url(QStringLiteral("/main")));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("主页"), kTimeout);
    MainBrowser()->load(QUrl(QString::fromStdString(site->baseUrl() + "/secret")));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("机密"), kTimeout);
    QCOMPARE(record.dialogs, 1);
}

void SiteRequestsTest::wrongPasswordIsAskedAtMostThreeTimes_data()
{
    QTest::addColumn<bool>("digest");
    QTest::newRow("Basic") << false;
    QTest::newRow("Digest") << true;
}

void SiteRequestsTest::wrongPasswordIsAskedAtMostThreeTimes()
{
    QFETCH(bool, digest);
    const auto site = SignInServer(digest, false);
    QVERIFY(OpenMainWindow(Url(QStringLiteral("/main")), QStringLiteral("主页")));
    SignInRecord record;
    ModalDriver signIn(SignIn({QString::fromLatin1(kUser), QStringLiteral("wrong")}, record));

    MainBrowser()->load(QUrl(QString::fromStdString(site->baseUrl() + "/secret")));

    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("未授权"), kTimeout);
    QTest::qWait(1000);
    site->stop();
    QCOMPARE(record.dialogs, 3);
    QCOMPARE(PageRequests(*site, true), 3);
    QCOMPARE(PageRequests(*site, false), 4);
    QVERIFY(PageHtml(MainBrowser()).contains(QStringLiteral("server's own 401")));
}

void SiteRequestsTest::cancelShowsTheServersOwnPage()
{
    const auto site = SignInServer(false, true);
    QVERIFY(OpenMainWindow(Url(QStringLiteral("/main")), QStringLiteral("主页")));
    SignInRecord record;
    SignInAnswer cancel;
    cancel.cancel = true;
    ModalDriver signIn(SignIn(cancel, record));

    MainBrowser()->load(QUrl(QString::fromStdString(site->baseUrl() + "/secret")));

    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("未授权"), kTimeout);
    QVERIFY(PageHtml(MainBrowser()).contains(QStringLiteral("server's own 401")));
    QTest::qWait(500);
    site->stop();
    QCOMPARE(record.dialogs, 1);
    QCOMPARE(PageRequests(*site, false), 1);
}

void SiteRequestsTest::featureRequestsAreAnswered_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("feature");
    QTest::addColumn<bool>("allow");
    QTest::addColumn<QString>("received");

    const QString notification = QStringLiteral("Notification.requestPermission()");
    const QString location = QStringLiteral(
        "new Promise(done => navigator.geolocation.getCurrentPosition("
        "() => done('granted'), e => done(e.code == e.PERMISSION_DENIED ? 'denied' : 'granted'),"
        // With no position source here, a granted request runs out of time.
        "{timeout: 1000}))");
    const QString media = QStringLiteral(
        "navigator.mediaDevices.getUserMedia(%1).then(s => { s.getTracks().forEach(t => t.stop());"
        "return 'granted'; }, e => e.name == 'NotAllowedError' ? 'denied' : e.name)");
    const QString camera = media.arg(QStringLiteral("{video: true}"));
    const QString microphone = media.arg(QStringLiteral("{audio: true}"));
    const QString both = media.arg(QStringLiteral("{audio: true, video: true}"));

    QTest::newRow("notifications allowed") << notification << QStringLiteral("显示通知") << true
                                           << QStringLiteral("granted");
    QTest::newRow("notifications denied") << notification << QStringLiteral("显示通知") << false
                                          << QStringLiteral("denied");
    QTest::newRow("location allowed") << location << QStringLiteral("获取您的位置") << true
                                      << QStringLiteral("granted");
    QTest::newRow("location denied") << location << QStringLiteral("获取您的位置") << false
                                     << QStringLiteral("denied");
    QTest::newRow("camera allowed") << camera << QStringLiteral("使用您的摄像头") << true
                                    << QStringLiteral("granted");
    QTest::newRow("camera denied") << camera << QStringLiteral("使用您的摄像头") << false
                                   << QStringLiteral("denied");
    QTest::newRow("microphone allowed") << microphone << QStringLiteral("使用您的麦克风") << true
                                        << QStringLiteral("granted");
    QTest::newRow("microphone denied") << microphone << QStringLiteral("使用您的麦克风") << false
                                       << QStringLiteral("denied");
    QTest::newRow("camera and microphone allowed")
        << both << QStringLiteral("使用您的摄像头和麦克风") << true << QStringLiteral("granted");
}

void SiteRequestsTest::featureRequestsAreAnswered()
{
    QFETCH(QString, request);
    QFETCH(QString, feature);
    QFETCH(bool, allow);
    QFETCH(QString, received);
    QVERIFY(OpenMainWindow(Url(QStringLiteral("/main")), QStringLiteral("主页")));
    QStringList questions;
    ModalDriver answer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return;
        questions << box->text();
        box->findChild<QPushButton*>(allow ? QStringLiteral("allow") : QStringLiteral("deny"))->click();
    });
    const auto ask = [&] {
        RunScript(MainBrowser(), QStringLiteral("window.answer = undefined;"
                                                "(%1).then(r => window.answer = r)")
                                     .arg(request));
        QString answer;
        WaitFor([&] {
            answer = RunScript(MainBrowser(), QStringLiteral("window.answer || ''")).toString();
            return !answer.isEmpty();
        });
        return answer;
    };

    QCOMPARE(ask(), received);
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions.front().contains(QString::fromStdString(m_server.baseUrl())));
    QVERIFY(questions.front().contains(feature));

    // Remembered for the site: no second question, the same answer.
    QCOMPARE(ask(), received);
    QCOMPARE(questions.size(), 1);
}

void SiteRequestsTest::fullScreenEndsWithEsc()
{
    QVERIFY(OpenMainWindow(Url(QStringLiteral("/fullscreen")), QStringLiteral("全屏")));
    QVERIFY(WaitUntilMaximised(*m_window));
    const QString fullScreenElement = QStringLiteral("String(document.fullscreenElement)");

    QVERIFY(ClickElement(MainBrowser(), QStringLiteral("go")));

    QTRY_VERIFY_WITH_TIMEOUT(m_window->isFullScreen(), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(RunScript(MainBrowser(), fullScreenElement).toString(),
                              QStringLiteral("[object HTMLHtmlElement]"), kTimeout);

    QTest::keyClick(QWebEngineView::forPage(MainBrowser())->focusProxy(), Qt::Key_Escape);

    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isFullScreen(), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(RunScript(MainBrowser(), fullScreenElement).toString(),
                              QStringLiteral("null"), kTimeout);
    QVERIFY(WaitUntilMaximised(*m_window));
    QVERIFY(m_window->isVisible());
}

void SiteRequestsTest::pageLoadsWhenTheServerIsBack()
{
    auto refusing = std::make_unique<RefusingPort>();
    const int port = refusing->port();
    const QUrl back(QStringLiteral("http://127.0.0.1:%1/back").arg(port));
    QVERIFY(OpenMainWindow(Url(QStringLiteral("/main")), QStringLiteral("主页")));
    RunScript(MainBrowser(), QStringLiteral("const a = document.createElement('a'); a.id = 'back';"
                                            "a.href = '%1'; a.textContent = 'back';"
                                            "document.body.appendChild(a)")
                                 .arg(back.toString()));
    QVERIFY(ClickElement(MainBrowser(), QStringLiteral("back")));
    QVERIFY(ShowsErrorPage());

    refusing.reset();  // the server takes the port over
    HttpTestServer server("127.0.0.1", port);
    server.server().Get("/back", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>回来了</title></head><body>back</body></html>",
                             "text/html; charset=utf-8");
    });
    server.start();

    // The first retry comes five seconds after the failure.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("回来了"), 12000);
    QCOMPARE(MainBrowser()->url(), back);
    server.stop();
    QCOMPARE(RequestsBesidesTheIcon(server), 1);
}

void SiteRequestsTest::sentFormIsNotSentAgain()
{
    auto refusing = std::make_unique<RefusingPort>();
    const int port = refusing->port();
    QVERIFY(OpenMainWindow(Url(QStringLiteral("/main")), QStringLiteral("主页")));
    RunScript(MainBrowser(), QStringLiteral("const f = document.createElement('form');"
                                            "f.method = 'post'; f.action = 'http://127.0.0.1:%1/save';"
                                            "f.innerHTML = '<input name=amount value=100>';"
                                            "document.body.appendChild(f); f.submit()")
                                 .arg(port));
    QVERIFY(ShowsErrorPage());

    refusing.reset();  // the server takes the port over
    HttpTestServer server("127.0.0.1", port);
    server.server().Post("/save", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>已保存</title></head></html>", "text/html");
    });
    server.server().Get("/save", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>已保存</title></head></html>", "text/html");
    });
    server.start();

    // Past the first retry and a good margin.
    QTest::qWait(8000);
    server.stop();
    QCOMPARE(RequestsBesidesTheIcon(server), 0);
    QVERIFY(ShowsErrorPage());
}

void SiteRequestsTest::navigatingElsewhereEndsTheRetries()
{
    auto refusing = std::make_unique<RefusingPort>();
    const int port = refusing->port();
    QVERIFY(OpenMainWindow(Url(QStringLiteral("/main")), QStringLiteral("主页")));
    MainBrowser()->load(QUrl(QStringLiteral("http://127.0.0.1:%1/gone").arg(port)));
    QVERIFY(ShowsErrorPage());
    MainBrowser()->load(Url(QStringLiteral("/fullscreen")));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("全屏"), kTimeout);

    refusing.reset();  // the server takes the port over
    HttpTestServer server("127.0.0.1", port);
    server.start();
    QTest::qWait(8000);
    server.stop();
    QCOMPARE(RequestsBesidesTheIcon(server), 0);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("全屏"));
}

QTEST_MAIN(SiteRequestsTest)
#include "site_requests_test.moc"
