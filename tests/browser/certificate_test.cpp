#include <memory>
#include <string>
#include <thread>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/cefbrowserapp.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/vantordlg.h"
#include "platform/message_box.h"
#include "tests/browser/window_pages.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"
#include "tests/support/no_proxy.h"
#include "tests/support/page_script.h"

namespace {

constexpr int kTimeout = 20000;
// The README's command, as an administrator types it.
constexpr char kTrustCommand[] =
    "certutil -d sql:$HOME/.pki/nssdb -A -t \"C,,\" -n 机构根证书 -i 机构根证书.crt";

void IgnoreMessage(const std::u16string&) {}

// An https server on the loopback interface with the given certificate.
class HttpsTestServer {
public:
    HttpsTestServer(const QString& certificate, const QString& key)
        : m_server(certificate.toLocal8Bit().constData(), key.toLocal8Bit().constData())
    {
        m_server.Get("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html><head><title>安全页面</title></head><body>secure</body></html>",
                                 "text/html; charset=utf-8");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        WaitFor([this] { return m_server.is_running(); });
    }
    ~HttpsTestServer()
    {
        m_server.stop();
        m_thread.join();
    }

    bool valid() const { return m_server.is_valid() && m_port > 0; }
    QUrl url() const { return QUrl(QStringLiteral("https://127.0.0.1:%1/").arg(m_port)); }

private:
    httplib::SSLServer m_server;
    int m_port = 0;
    std::thread m_thread;
};

}

// Certificates the engine does not trust, with the real embedded Chromium,
// its trust store in a temporary home folder, and https servers on this
// machine.
class CertificateTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void certificateProblemShowsTheChinesePage_data();
    void certificateProblemShowsTheChinesePage();
    void certificateOfTheTrustedAgencyLoads();

private:
    bool Run(const QString& program, const QStringList& arguments);
    bool MakeAuthority(const QString& name);
    bool MakeServerCertificate(const QString& name, const QString& authority,
                               const QString& subjectAltName);
    QString File(const QString& name) const { return m_home.filePath(name); }
    bool OpenMainWindow(const QUrl& url);
    BrowserPage* MainBrowser() const { return MainPageOf(*m_window); }

    QTemporaryDir m_home;
    CCefBrowserApp m_browserApp;
    std::unique_ptr<HttpsTestServer> m_untrusted;
    std::unique_ptr<HttpsTestServer> m_wrongHost;
    std::unique_ptr<HttpsTestServer> m_trusted;
    std::unique_ptr<CVantorDlg> m_window;
};

bool CertificateTest::Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_home.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAll().constData());
        return false;
    }
    return true;
}

bool CertificateTest::MakeAuthority(const QString& name)
{
    return Run(QStringLiteral("openssl"),
               {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                QStringLiteral("30"), QStringLiteral("-keyout"), name + QStringLiteral(".key"),
                QStringLiteral("-out"), name + QStringLiteral(".crt"), QStringLiteral("-subj"),
                QStringLiteral("/CN=") + name, QStringLiteral("-addext"),
                QStringLiteral("basicConstraints=critical,CA:TRUE"), QStringLiteral("-addext"),
                QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")});
}

bool CertificateTest::MakeServerCertificate(const QString& name, const QString& authority,
                                            const QString& subjectAltName)
{
    QFile extensions(File(name + QStringLiteral(".ext")));
    if (!extensions.open(QIODevice::WriteOnly))
        return false;
    extensions.write("subjectAltName=" + subjectAltName.toUtf8() +
                     "\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n");
    extensions.close();
    return Run(QStringLiteral("openssl"),
               {QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                QStringLiteral("-nodes"), QStringLiteral("-keyout"), name + QStringLiteral(".key"),
                QStringLiteral("-out"), name + QStringLiteral(".csr"), QStringLiteral("-subj"),
                QStringLiteral("/CN=") + name}) &&
           Run(QStringLiteral("openssl"),
               {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                name + QStringLiteral(".csr"), QStringLiteral("-CA"), authority + QStringLiteral(".crt"),
                QStringLiteral("-CAkey"), authority + QStringLiteral(".key"),
                QStringLiteral("-CAcreateserial"), QStringLiteral("-days"), QStringLiteral("30"),
                QStringLiteral("-extfile"), name + QStringLiteral(".ext"), QStringLiteral("-out"),
                name + QStringLiteral(".crt")});
}

void CertificateTest::initTestCase()
{
    ClearProxyEnvironment();
    QVERIFY(m_home.isValid());
    QVERIFY(MakeAuthority(QStringLiteral("机构根证书")));
    QVERIFY(MakeAuthority(QStringLiteral("stranger")));
    QVERIFY(MakeServerCertificate(QStringLiteral("trusted"), QStringLiteral("机构根证书"),
                                  QStringLiteral("IP:127.0.0.1")));
    QVERIFY(MakeServerCertificate(QStringLiteral("wronghost"), QStringLiteral("机构根证书"),
                                  QStringLiteral("DNS:other.example")));
    QVERIFY(MakeServerCertificate(QStringLiteral("untrusted"), QStringLiteral("stranger"),
                                  QStringLiteral("IP:127.0.0.1")));

    // The user's trust store, as the engine creates it on its first start,
    // then the agency's authority added the README's way.
    qputenv("HOME", m_home.path().toUtf8());
    QVERIFY(QDir().mkpath(File(QStringLiteral(".pki/nssdb"))));
    QVERIFY(Run(QStringLiteral("certutil"),
                {QStringLiteral("-d"), QStringLiteral("sql:") + File(QStringLiteral(".pki/nssdb")),
                 QStringLiteral("-N"), QStringLiteral("--empty-password")}));
    QVERIFY(Run(QStringLiteral("sh"), {QStringLiteral("-c"), QString::fromUtf8(kTrustCommand)}));

    m_untrusted = std::make_unique<HttpsTestServer>(File(QStringLiteral("untrusted.crt")),
                                                    File(QStringLiteral("untrusted.key")));
    m_wrongHost = std::make_unique<HttpsTestServer>(File(QStringLiteral("wronghost.crt")),
                                                    File(QStringLiteral("wronghost.key")));
    m_trusted = std::make_unique<HttpsTestServer>(File(QStringLiteral("trusted.crt")),
                                                  File(QStringLiteral("trusted.key")));
    QVERIFY(m_untrusted->valid() && m_wrongHost->valid() && m_trusted->valid());
    m_browserApp.Initialize();
    SetMessageBoxSink(IgnoreMessage);
}

void CertificateTest::cleanupTestCase()
{
    SetMessageBoxSink(nullptr);
    m_untrusted.reset();
    m_wrongHost.reset();
    m_trusted.reset();
}

void CertificateTest::cleanup()
{
    m_window.reset();
}

bool CertificateTest::OpenMainWindow(const QUrl& url)
{
    LaunchState = LaunchStateRecord();
    LaunchState.StartUrl = url.toString().toStdU16String();
    m_window = std::make_unique<CVantorDlg>(m_browserApp.Profile());
    m_window->OpenStartUrl();
    m_window->show();
    return WaitFor([&] { return !m_window->BrowserClient().Browsers().empty(); });
}

void CertificateTest::certificateProblemShowsTheChinesePage_data()
{
    QTest::addColumn<bool>("wrongHost");
    QTest::addColumn<QString>("reason");
    QTest::newRow("issuer not trusted") << false << QStringLiteral("原因：证书的颁发机构不受本机信任。");
    QTest::newRow("name of another host") << true << QStringLiteral("原因：证书上的名称与网站的地址不符。");
}

void CertificateTest::certificateProblemShowsTheChinesePage()
{
    QFETCH(bool, wrongHost);
    QFETCH(QString, reason);
    const QUrl url = wrongHost ? m_wrongHost->url() : m_untrusted->url();
    QVERIFY(OpenMainWindow(url));

    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("无法安全连接"), kTimeout);
    const QString text = RunScript(MainBrowser(), QStringLiteral("document.body.innerText")).toString();
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY(text.contains(url.toString()));
    QVERIFY(text.contains(QString::fromUtf8(kTrustCommand)));
    // Nothing on the page leads on to the site.
    QCOMPARE(RunScript(MainBrowser(), QStringLiteral("document.querySelectorAll('a, button, form').length"))
                 .toInt(),
             0);
    QVERIFY(!text.contains(QStringLiteral("secure")));
}

void CertificateTest::certificateOfTheTrustedAgencyLoads()
{
    QVERIFY(OpenMainWindow(m_trusted->url()));

    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("安全页面"), kTimeout);
    QCOMPARE(RunScript(MainBrowser(), QStringLiteral("document.body.innerText")).toString(),
             QStringLiteral("secure"));
}

QTEST_MAIN(CertificateTest)
#include "certificate_test.moc"
