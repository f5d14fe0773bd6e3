#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/cefbrowserapp.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/vantordlg.h"
#include "tests/support/gui_waits.h"
#include "tests/support/refusing_port.h"

namespace {

QString BodyText(QWebEnginePage* page)
{
    QString text;
    bool done = false;
    page->runJavaScript(QStringLiteral("document.body ? document.body.innerText : ''"),
                        [&](const QVariant& result) {
                            text = result.toString();
                            done = true;
                        });
    return WaitFor([&] { return done; }) ? text : QString();
}

}

// A failed URL near the engine's own URL limit must still give the launcher's
// error page, whose HTML the engine takes only up to 2 MB once percent-encoded
// ('=' takes three bytes there).
class LongUrlErrorPageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void failedUrlOfTwoMegabytesShowsTheLaunchersPage();

private:
    QTemporaryDir m_cache;
    CCefBrowserApp m_browserApp;
};

void LongUrlErrorPageTest::initTestCase()
{
    QVERIFY(m_cache.isValid());
    qputenv("XDG_CACHE_HOME", m_cache.path().toLocal8Bit());
    m_browserApp.Initialize();
}

void LongUrlErrorPageTest::failedUrlOfTwoMegabytesShowsTheLaunchersPage()
{
    const RefusingPort refusing;
    const QUrl failed(QStringLiteral("http://127.0.0.1:%1/%2")
                          .arg(refusing.port())
                          .arg(QStringLiteral("a=").repeated(1000000)));
    LaunchState.StartUrl = failed.toString().toStdU16String();
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    window.show();
    QCOMPARE(window.BrowserClient().Browsers().size(), size_t(1));
    BrowserPage* page = window.BrowserClient().Browsers().front();

    QString text;
    QVERIFY(WaitFor([&] { return (text = BodyText(page)).startsWith("Failed to load URL"); }, 60000));
    QCOMPARE(text, QStringLiteral("Failed to load URL %1%2 with error "
                                  "net::ERR_CONNECTION_REFUSED (-102).")
                       .arg(failed.toString().left(2000), QChar(0x2026)));
}

QTEST_MAIN(LongUrlErrorPageTest)
#include "long_url_error_page_test.moc"
