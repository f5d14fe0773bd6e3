#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "config/config_file.h"
#include "identity/identity_sources_linux.h"
#include "launch/build_config.h"
#include "launch/launch_state.h"
#include "platform/background_exchange.h"
#include "report/start_url.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"
#include "tests/support/message_recorder.h"
#include "tests/support/misbehaving_server.h"
#include "tests/support/no_proxy.h"
#include "tests/support/refusing_port.h"

// The device report as start-up runs it: composed on this thread, sent on a
// worker while this thread's events go on, and applied when the result is
// back. Each outcome gives the start URL and the message of the report made
// in one go.
class ReportInBackgroundTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void outcomeGivesTheStartUrlAndMessage_data();
    void outcomeGivesTheStartUrlAndMessage();
    void destroyingAbandonsAnExchangeThatNeverEnds();
    void handOverNowGivesAnEndedResultOnce_data();
    void handOverNowGivesAnEndedResultOnce();

private:
    void WriteIni(int port, const QByteArray& path) const;

    QTemporaryDir m_office;
    QString m_previousDirectory;
    MessageRecorder m_messages;
};

enum class Site { Answers200, Answers404, Answers500, Refuses, NeverAnswers };
enum class StartUrl { Composed, Fallback, Empty };
Q_DECLARE_METATYPE(Site)
Q_DECLARE_METATYPE(StartUrl)

void ReportInBackgroundTest::initTestCase()
{
    ClearProxyEnvironment();
    QVERIFY(m_office.isValid());
    m_previousDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_office.path()));
}

void ReportInBackgroundTest::init()
{
    LaunchState = {};
}

void ReportInBackgroundTest::cleanupTestCase()
{
    QDir::setCurrent(m_previousDirectory);
}

void ReportInBackgroundTest::WriteIni(int port, const QByteArray& path) const
{
    QFile config(QStringLiteral("QLX32-bs.ini"));
    QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
    config.write("[QLXBSINFO]\r\nHttpServer=127.0.0.1\r\nPort=" + QByteArray::number(port) + "\r\nPath=" +
                 path + "\r\nPara=--disable-plugins\r\nBrowserPath=");
}

void ReportInBackgroundTest::outcomeGivesTheStartUrlAndMessage_data()
{
    QTest::addColumn<Site>("site");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<StartUrl>("startUrl");
    QTest::addColumn<bool>("addressShown");  // else no message

    QTest::newRow("sent") << Site::Answers200 << QByteArray("/Account/LogOn") << StartUrl::Composed << false;
    QTest::newRow("404") << Site::Answers404 << QByteArray("/Account/LogOn") << StartUrl::Composed << false;
    QTest::newRow("500") << Site::Answers500 << QByteArray("/Account/LogOn") << StartUrl::Composed << false;
    QTest::newRow("refused") << Site::Refuses << QByteArray("/Account/LogOn") << StartUrl::Fallback << false;
    // Runs into the exchange's time-out (30 s).
    QTest::newRow("never answers") << Site::NeverAnswers << QByteArray("/Account/LogOn")
                                   << StartUrl::Fallback << false;
    QTest::newRow("split failure") << Site::Answers200 << QByteArray("Account/LogOn") << StartUrl::Empty
                                   << true;
}

void ReportInBackgroundTest::outcomeGivesTheStartUrlAndMessage()
{
    QFETCH(Site, site);
    QFETCH(QByteArray, path);
    QFETCH(StartUrl, startUrl);
    QFETCH(bool, addressShown);
    std::unique_ptr<HttpTestServer> server;
    std::unique_ptr<MisbehavingServer> silent;
    std::optional<RefusingPort> refusing;
    int port = 0;
    if (site == Site::Refuses) {
        refusing.emplace();
        port = refusing->port();
    } else if (site == Site::NeverAnswers) {
        silent = std::make_unique<MisbehavingServer>(MisbehavingServer::Behaviour::NeverAnswer);
        silent->start();
        port = silent->port();
    } else {
        const int status = site == Site::Answers404 ? 404 : site == Site::Answers500 ? 500 : 200;
        server = std::make_unique<HttpTestServer>();
        server->server().Post("/Account/LogOn", [status](const httplib::Request&, httplib::Response& response) {
            response.status = status;
        });
        server->start();
        port = server->port();
    }
    WriteIni(port, path);
    const ConfigFile config = ReadConfigFile(GetConfigFilePath());

    const std::optional<ComposedReport> report =
        ComposeDeviceReport(LinuxIdentitySources(), [&config] { return ReadLaunchSettings(config); });
    QVERIFY(report);
    bool applied = false;
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
    ticker.start(10);
    const BackgroundExchange exchange(PostForm, report->request, [&](const HttpExchangeResult& result) {
        ApplyReportOutcome(*report, result.outcome);
        applied = true;
    });
    QVERIFY(LaunchState.StartUrl.empty());
    QVERIFY(WaitFor([&] { return applied; }, 60000));
    // This thread went on with its events while the exchange ran.
    QVERIFY(ticks > 0);

    const std::u16string expected = startUrl == StartUrl::Composed ? report->startUrl
        : startUrl == StartUrl::Fallback
        ? std::u16string(BuildConfig::kFallbackUrl,
                         BuildConfig::kFallbackUrl + std::char_traits<char>::length(BuildConfig::kFallbackUrl))
        : std::u16string();
    QVERIFY(LaunchState.StartUrl == expected);
    const std::vector<std::u16string> messages =
        addressShown ? std::vector<std::u16string>{report->siteAddress} : std::vector<std::u16string>{};
    QVERIFY(m_messages.texts() == messages);
    if (server) {
        server->stop();
        QCOMPARE(server->requests().size(), size_t(addressShown ? 0 : 1));
    }
}

void ReportInBackgroundTest::destroyingAbandonsAnExchangeThatNeverEnds()
{
    MisbehavingServer silent(MisbehavingServer::Behaviour::NeverAnswer);
    silent.start();
    HttpExchangeRequest request;
    request.address = silent.baseUrl() + "/Account/LogOn";
    bool done = false;
    QElapsedTimer clock;
    {
        const BackgroundExchange exchange(PostForm, request, [&](const HttpExchangeResult&) { done = true; });
        QVERIFY(WaitFor([&] { return silent.acceptedConnections() == 1; }));
        clock.start();
    }
    // Well inside the exchange's own 30 s: the window's end does not wait for it.
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QTest::qWait(100);
    QVERIFY(!done);
}

// Start-up takes an answer that is already in before the main window shows,
// without the event loop; the loop's own delivery must then do nothing.
void ReportInBackgroundTest::handOverNowGivesAnEndedResultOnce_data()
{
    QTest::addColumn<bool>("answered");

    QTest::newRow("answered") << true;
    QTest::newRow("still waiting") << false;
}

void ReportInBackgroundTest::handOverNowGivesAnEndedResultOnce()
{
    QFETCH(bool, answered);
    HttpTestServer site;
    site.server().Post("/Account/LogOn", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
    });
    site.start();
    MisbehavingServer silent(MisbehavingServer::Behaviour::NeverAnswer);
    silent.start();
    HttpExchangeRequest request;
    request.address = (answered ? site.baseUrl() : silent.baseUrl()) + "/Account/LogOn";
    std::vector<long> handedOver;
    BackgroundExchange exchange(PostForm, request,
                                [&](const HttpExchangeResult& result) { handedOver.push_back(result.status); });

    if (answered) {
        // No event loop runs while it waits, as during the engine's start.
        for (int tries = 0; tries < 1000 && !exchange.EndedResult(); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::optional<HttpExchangeResult> result = exchange.EndedResult();
        QVERIFY(result);
        QCOMPARE(result->outcome, HttpExchangeOutcome::Sent);
        QVERIFY(handedOver.empty());
    } else {
        QVERIFY(WaitFor([&] { return silent.acceptedConnections() == 1; }));
        QVERIFY(!exchange.EndedResult());
    }
    exchange.HandOverNow();
    QCOMPARE(handedOver, answered ? std::vector<long>{404} : std::vector<long>{});
    QVERIFY(!exchange.EndedResult());
    // The queued delivery comes and finds it handed over.
    QTest::qWait(300);
    QCOMPARE(handedOver.size(), size_t(answered ? 1 : 0));
}

QTEST_MAIN(ReportInBackgroundTest)
#include "report_in_background_test.moc"
