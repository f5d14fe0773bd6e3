#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/vantordlg.h"
#include "tests/browser/desktop_input.h"
#include "tests/browser/page_script.h"
#include "tests/browser/test_browser_engine.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"

namespace {

// Every page but its top strip is one target whose clicks the server records.
std::string ClickPage(const std::string& title, const std::string& name, const std::string& links)
{
    return "<html><head><title>" + title + "</title><style>"
           "body{margin:0} #links{height:60px} "
           "#target{position:absolute;top:60px;left:0;right:0;bottom:0;background:#eef}"
           "</style></head><body><div id=links>" + links +
           "<input id=box autofocus></div>"
           "<div id=target onclick=\"fetch('/clicked?on=" + name + "')\"></div></body></html>";
}

}

// Pop-ups on a desktop with a window manager, used with the real mouse and
// keyboard: each comes up in front and takes input until its close box ends it.
class PopupInputTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void popupInFrontTakesClicksAndKeys_data();
    void popupInFrontTakesClicksAndKeys();
    void twoPopupsCloseInTurn();
    void restoredPopupKeepsItsTitleBarOnScreen();

private:
    void WhileRunning(const std::function<void()>& steps);
    QWebEngineView* MainView() const;
    BrowserPage* OpenPopupBy(BrowserPage* opener, const QWidget& openerView, const QString& id,
                             const QString& title);
    size_t ClicksOn(const QString& name) const;
    bool ClickInTheMiddleReaches(const QString& name) const;

    TestBrowserEngine m_browserApp;
    HttpTestServer m_server;
    std::unique_ptr<CVantorDlg> m_window;
};

void PopupInputTest::initTestCase()
{
    auto& server = m_server.server();
    server.Get("/main", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(ClickPage("主页", "main",
                                       "<a id=link href=/popup?n=1 target=_blank>链接</a> "
                                       "<button id=script onclick=\"window.open('/popup?n=2')\">"
                                       "脚本</button> "),
                             "text/html; charset=utf-8");
    });
    server.Get("/popup", [](const httplib::Request& request, httplib::Response& response) {
        const std::string n = request.get_param_value("n");
        response.set_content(ClickPage("弹出 " + n, "popup" + n,
                                       "<button id=script onclick=\"window.open('/popup?n=" + n +
                                           "b')\">脚本</button> "),
                             "text/html; charset=utf-8");
    });
    server.Get("/clicked", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("ok", "text/plain");
    });
    m_server.start();
    QVERIFY(m_browserApp.Initialize());
}

void PopupInputTest::init()
{
    LaunchState = LaunchStateRecord();
    LaunchState.StartUrl =
        QString::fromStdString(m_server.baseUrl() + "/main").toStdU16String();
    m_window = std::make_unique<CVantorDlg>(m_browserApp.Profile());
    m_window->OpenStartUrl();
}

void PopupInputTest::cleanup()
{
    m_window.reset();
}

// Runs `steps` while the main window runs as the launcher runs it, then ends
// the window.
void PopupInputTest::WhileRunning(const std::function<void()>& steps)
{
    QTimer::singleShot(0, m_window.get(), [&] {
        [&] {
            QVERIFY(WaitUntilMaximised(*m_window));
            QVERIFY(WaitFor([&] {
                return m_window->windowTitle() == QStringLiteral("主页") &&
                       m_window->isActiveWindow();
            }));
            steps();
        }();
        m_window->done(QDialog::Rejected);
    });
    m_window->exec();
}

QWebEngineView* PopupInputTest::MainView() const
{
    return qobject_cast<QWebEngineView*>(m_window->BrowserClient().Browsers().front()->HostWindow());
}

size_t PopupInputTest::ClicksOn(const QString& name) const
{
    const std::string target = "/clicked?on=" + name.toStdString();
    const auto requests = m_server.requests();
    return static_cast<size_t>(std::count_if(requests.begin(), requests.end(),
                                             [&](const RecordedRequest& request) {
                                                 return request.target == target;
                                             }));
}

bool PopupInputTest::ClickInTheMiddleReaches(const QString& name) const
{
    const size_t before = ClicksOn(name);
    return ClickScreenCentre() && WaitFor([&] { return ClicksOn(name) == before + 1; });
}

// Clicks the opener's element `id` as a user would and waits for the pop-up's
// page; null when none came.
BrowserPage* PopupInputTest::OpenPopupBy(BrowserPage* opener, const QWidget& openerView,
                                         const QString& id, const QString& title)
{
    const auto& browsers = m_window->BrowserClient().Browsers();
    const size_t before = browsers.size();
    if (!ClickAt(ElementCentreOnScreen(opener, openerView, id)))
        return nullptr;
    if (!WaitFor([&] { return browsers.size() == before + 1; }))
        return nullptr;
    BrowserPage* popup = browsers.back();
    QWidget* window = popup->HostWindow();
    const bool ready = WaitFor([&] {
        return popup->title() == title && window->isActiveWindow() && window->isMaximized() &&
               RunScript(popup, QStringLiteral("document.hasFocus()")).toBool();
    });
    return ready ? popup : nullptr;
}

void PopupInputTest::popupInFrontTakesClicksAndKeys_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("name");
    QTest::newRow("link to a new window") << QStringLiteral("link") << QStringLiteral("1");
    QTest::newRow("window.open") << QStringLiteral("script") << QStringLiteral("2");
}

void PopupInputTest::popupInFrontTakesClicksAndKeys()
{
    QFETCH(QString, opener);
    QFETCH(QString, name);
    WhileRunning([&] {
        BrowserPage* main = m_window->BrowserClient().Browsers().front();

        BrowserPage* popup = OpenPopupBy(main, *MainView(), opener, QStringLiteral("弹出 ") + name);
        QVERIFY(popup);
        QPointer<QWidget> window = popup->HostWindow();
        const size_t mainClicks = ClicksOn(QStringLiteral("main"));

        QVERIFY(ClickInTheMiddleReaches(QStringLiteral("popup") + name));
        QCOMPARE(ClicksOn(QStringLiteral("main")), mainClicks);
        // The click took the focus from the box; give it back and type.
        QVERIFY(ClickAt(ElementCentreOnScreen(popup, *window, QStringLiteral("box"))));
        QVERIFY(TypeText(QStringLiteral("abc")));
        QVERIFY(WaitFor([&] {
            return RunScript(popup, QStringLiteral("document.getElementById('box').value")) ==
                   QStringLiteral("abc");
        }));

        QVERIFY(PressKey(QStringLiteral("alt+F4")));
        QVERIFY(WaitFor([&] { return !window; }));
        QCOMPARE(m_window->BrowserClient().Browsers().size(), size_t(1));
        QVERIFY(m_window->isVisible());
        QVERIFY(ClickInTheMiddleReaches(QStringLiteral("main")));
    });
}

void PopupInputTest::twoPopupsCloseInTurn()
{
    WhileRunning([&] {
        BrowserPage* main = m_window->BrowserClient().Browsers().front();
        BrowserPage* first = OpenPopupBy(main, *MainView(), QStringLiteral("link"),
                                         QStringLiteral("弹出 1"));
        QVERIFY(first);
        QPointer<QWidget> firstWindow = first->HostWindow();
        BrowserPage* second = OpenPopupBy(first, *firstWindow, QStringLiteral("script"),
                                          QStringLiteral("弹出 1b"));
        QVERIFY(second);
        QPointer<QWidget> secondWindow = second->HostWindow();

        QVERIFY(ClickInTheMiddleReaches(QStringLiteral("popup1b")));
        QVERIFY(PressKey(QStringLiteral("alt+F4")));
        QVERIFY(WaitFor([&] { return !secondWindow; }));
        QVERIFY(ClickInTheMiddleReaches(QStringLiteral("popup1")));
        QVERIFY(PressKey(QStringLiteral("alt+F4")));
        QVERIFY(WaitFor([&] { return !firstWindow; }));
        QVERIFY(ClickInTheMiddleReaches(QStringLiteral("main")));
        QCOMPARE(m_window->BrowserClient().Browsers().size(), size_t(1));
        QVERIFY(m_window->isVisible());
    });
}

// The title bar's double-click restores and maximises, as openbox has it.
void PopupInputTest::restoredPopupKeepsItsTitleBarOnScreen()
{
    WhileRunning([&] {
        BrowserPage* main = m_window->BrowserClient().Browsers().front();
        BrowserPage* popup = OpenPopupBy(main, *MainView(), QStringLiteral("link"), QStringLiteral("弹出 1"));
        QVERIFY(popup);
        QWidget* window = popup->HostWindow();
        const auto doubleClickTitleBar = [&] {
            const QRect frame = window->frameGeometry();
            const int titleBarMiddle = frame.top() + (window->geometry().top() - frame.top()) / 2;
            return RunXdotool({QStringLiteral("mousemove"), QString::number(frame.center().x()),
                               QString::number(titleBarMiddle), QStringLiteral("click"),
                               QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("1")});
        };

        QVERIFY(doubleClickTitleBar());
        QVERIFY(WaitFor([&] {
            return !window->isMaximized() && ServerWindowSize(window->winId()) == window->size();
        }));
        // The frame, title bar included, runs from the screen origin to about
        // the main page's lower-right corner: a restored frame has borders
        // that the maximised main window's has not.
        const QRect area = m_window->BrowserArea()->geometry();
        const QPoint lowerRight = m_window->mapToGlobal(area.topLeft() + QPoint(area.width(), area.height()));
        QTRY_COMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));
        QVERIFY2(qAbs(window->frameGeometry().right() + 1 - lowerRight.x()) <= 8 &&
                     qAbs(window->frameGeometry().bottom() + 1 - lowerRight.y()) <= 8,
                 qPrintable(QStringLiteral("frame %1x%2, corner %3,%4")
                                .arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())
                                .arg(lowerRight.x())
                                .arg(lowerRight.y())));

        QVERIFY(doubleClickTitleBar());
        QVERIFY(WaitUntilMaximised(*window));
        QVERIFY(ClickInTheMiddleReaches(QStringLiteral("popup1")));
    });
}

QTEST_MAIN(PopupInputTest)
#include "popup_input_test.moc"
