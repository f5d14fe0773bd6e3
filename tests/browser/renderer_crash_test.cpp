#include <signal.h>

#include <algorithm>
#include <memory>
#include <string>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/crash_notice.h"
#include "browser/vantordlg.h"
#include "tests/browser/desktop_input.h"
#include "tests/browser/page_script.h"
#include "tests/browser/test_browser_engine.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"

namespace {

// Counts the keys that reach any widget of the process.
class KeyCounter : public QObject {
public:
    KeyCounter() { qApp->installEventFilter(this); }
    ~KeyCounter() override { qApp->removeEventFilter(this); }

    int count(int key) const { return static_cast<int>(std::count(m_keys.begin(), m_keys.end(), key)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A key travels up the widgets; count it once, where it starts.
        if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget())
            m_keys.push_back(static_cast<QKeyEvent*>(event)->key());
        return false;
    }

private:
    std::vector<int> m_keys;
};

}

// The main page's renderer process killed as the system would kill it, on a
// desktop with a window manager, with the real keyboard and mouse.
class RendererCrashTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void killedRendererBringsThePageBack();

private:
    size_t PageRequests() const;

    TestBrowserEngine m_browserApp;
    HttpTestServer m_server;
};

void RendererCrashTest::initTestCase()
{
    m_server.server().Get("/work", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        response.set_content("<html><head><title>工作</title></head><body>"
                             "<input id=box autofocus>" +
                                 std::string(kKeyRecorder) + "</body></html>",
                             "text/html; charset=utf-8");
    });
    m_server.start();
    QVERIFY(m_browserApp.Initialize());
}

size_t RendererCrashTest::PageRequests() const
{
    const auto requests = m_server.requests();
    return static_cast<size_t>(std::count_if(requests.begin(), requests.end(),
                                             [](const RecordedRequest& request) {
                                                 return request.path == "/work";
                                             }));
}

void RendererCrashTest::killedRendererBringsThePageBack()
{
    LaunchState.StartUrl = QString::fromStdString(m_server.baseUrl() + "/work").toStdU16String();
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    QSignalSpy finished(&window, &QDialog::finished);
    window.show();
    QVERIFY(WaitFor([&] { return window.windowTitle() == QStringLiteral("工作"); }));
    BrowserPage* page = window.BrowserClient().Browsers().front();
    auto* view = qobject_cast<QWebEngineView*>(page->HostWindow());
    // Made at the first need.
    const auto noticeShown = [view] {
        const auto* notice = view->findChild<CrashNotice*>();
        return notice && notice->isVisible();
    };
    const auto pageInFocus = [&] {
        return window.isActiveWindow() && view->focusProxy() && view->focusProxy()->hasFocus() &&
               RunScript(page, QStringLiteral("document.activeElement.id")) == QStringLiteral("box") &&
               RunScript(page, QStringLiteral("document.hasFocus()")).toBool();
    };
    QVERIFY(WaitFor(pageInFocus));
    QCOMPARE(PageRequests(), size_t(1));

    // First death: the page comes back by itself, with the keyboard.
    const qint64 firstRenderer = page->renderProcessPid();
    QVERIFY(firstRenderer > 0);
    QCOMPARE(kill(static_cast<pid_t>(firstRenderer), SIGKILL), 0);
    QVERIFY(WaitFor([&] { return PageRequests() == 2; }));
    QVERIFY(WaitFor([&] {
        return page->renderProcessPid() > 0 && page->renderProcessPid() != firstRenderer;
    }));
    QVERIFY(WaitFor(pageInFocus));
    QVERIFY(!noticeShown());

    // Second death within a minute: the notice, and no reload of its own.
    const qint64 secondRenderer = page->renderProcessPid();
    QCOMPARE(kill(static_cast<pid_t>(secondRenderer), SIGKILL), 0);
    QVERIFY(WaitFor(noticeShown));
    auto* notice = view->findChild<CrashNotice*>();
    QCOMPARE(notice->geometry(), view->rect());
    QCOMPARE(PageRequests(), size_t(2));

    // Esc and Enter with the page gone keep the launcher.
    KeyCounter keys;
    QVERIFY(PressKey(QStringLiteral("Escape")));
    QVERIFY(WaitFor([&] { return keys.count(Qt::Key_Escape) == 1; }));
    QVERIFY(window.isVisible());
    QCOMPARE(finished.count(), 0);
    QCOMPARE(PageRequests(), size_t(2));

    // The notice's button loads the page again.
    auto* button = notice->findChild<QPushButton*>();
    QVERIFY(button);
    QVERIFY(ClickAt(button->mapToGlobal(button->rect().center())));
    QVERIFY(WaitFor([&] { return PageRequests() == 3; }));
    QVERIFY(WaitFor([&] { return !noticeShown(); }));
    QVERIFY(WaitFor(pageInFocus));

    QVERIFY(WaitUntilPageTakesKeys(page));
    QVERIFY(PressKey(QStringLiteral("Escape")));
    QVERIFY(PressKey(QStringLiteral("Return")));
    QVERIFY(WaitFor([&] { return KeysTaken(page) == QStringLiteral("Escape,Enter"); }));
    QVERIFY(window.isVisible());
    QCOMPARE(finished.count(), 0);

    // With its renderer gone the page cannot answer the close: it closes.
    QCOMPARE(kill(static_cast<pid_t>(page->renderProcessPid()), SIGKILL), 0);
    QVERIFY(WaitFor(noticeShown));
    QVERIFY(PressKey(QStringLiteral("alt+F4")));
    QVERIFY(WaitFor([&] { return finished.count() == 1; }));
}

QTEST_MAIN(RendererCrashTest)
#include "renderer_crash_test.moc"
