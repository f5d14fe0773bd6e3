#include <algorithm>

#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineView>
#include <QWindow>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/page_compositing.h"
#include "browser/vantordlg.h"
#include "tests/browser/desktop_input.h"
#include "tests/browser/page_script.h"
#include "tests/browser/test_browser_engine.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"

namespace {

// What a window went through: its native windows, and its states from its
// first show on.
class WindowHistory : public QObject {
public:
    explicit WindowHistory(QWidget& window) : m_window(window) { window.installEventFilter(this); }

    int nativeWindowChanges = 0;
    QList<Qt::WindowStates> statesSinceShow;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &m_window)
            return false;
        if (event->type() == QEvent::WinIdChange)
            ++nativeWindowChanges;
        else if (event->type() == QEvent::Show || (event->type() == QEvent::WindowStateChange &&
                                                   !statesSinceShow.isEmpty()))
            statesSinceShow.append(m_window.windowState());
        return false;
    }

private:
    QWidget& m_window;
};

// Iconified by the window manager, with the size it gave the window. A
// restore sent before its WM_STATE is out races the iconify itself.
bool WaitUntilIconified(const QWidget& window)
{
    return WaitFor([&] {
        return window.isMinimized() && !window.windowHandle()->isExposed() &&
               ServerWindowIconic(window.winId()) && ServerWindowSize(window.winId()) == window.size();
    });
}

}

// The main window with the real embedded Chromium, on pages of a server on
// this machine, in a display with a window manager.
class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void opensMaximisedWithTheBrowserFillingIt();
    void pageTitleBecomesTheCaption();
    void emptyStartUrlStillOpensTheWindow();
    void pageIsOnTheScreen();
    void desktopGetsTheIconInEverySize();
    void mapsOnceAndMaximised_data();
    void mapsOnceAndMaximised();
    void waitingPageUntilTheStartUrlIsKnown_data();
    void waitingPageUntilTheStartUrlIsKnown();
    void restoreAndMaximiseScaleTheBrowser();
    void browserFillsTheClientAreaAfterEverySizeChange_data();
    void browserFillsTheClientAreaAfterEverySizeChange();
    void minimiseLeavesTheChildrenAlone_data();
    void minimiseLeavesTheChildrenAlone();
    void escapeInThePageKeepsTheWindowOpen();
    void closingEndsTheRunAndEveryBrowser();

private:
    QWebEngineView* MainView(const CVantorDlg& window) const;
    static QString PageText(QWebEngineView& view);

    TestBrowserEngine m_browserApp;
    HttpTestServer m_server;
};

void MainWindowTest::initTestCase()
{
    m_server.server().Get("/titled", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>登录 页面</title></head><body>text</body></html>",
                             "text/html; charset=utf-8");
    });
    m_server.server().Get("/green", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><body style='background:#00ff00'></body></html>", "text/html");
    });
    m_server.server().Get("/input", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>input</title></head><body>"
                             "<input id=box autofocus>" +
                                 std::string(kKeyRecorder) + "</body></html>",
                             "text/html; charset=utf-8");
    });
    m_server.start();
    QVERIFY(m_browserApp.Initialize());
}

void MainWindowTest::cleanupTestCase()
{
    m_server.stop();
}

void MainWindowTest::init()
{
    LaunchState = LaunchStateRecord();
}

QWebEngineView* MainWindowTest::MainView(const CVantorDlg& window) const
{
    const auto& browsers = window.BrowserClient().Browsers();
    if (browsers.empty())
        return nullptr;
    return qobject_cast<QWebEngineView*>(browsers.front()->HostWindow());
}

void MainWindowTest::opensMaximisedWithTheBrowserFillingIt()
{
    LaunchState.StartUrl = QString::fromStdString(m_server.baseUrl() + "/titled").toStdU16String();
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    window.show();

    QVERIFY(WaitUntilMaximised(window));
    const QRect available = window.screen()->availableGeometry();
    QTRY_COMPARE(window.frameGeometry().width(), available.width());
    QVERIFY(window.frameGeometry().height() <= available.height());
    QVERIFY(window.height() > available.height() * 9 / 10);
    QCOMPARE(window.windowTitle().isEmpty(), false);
    QWebEngineView* view = MainView(window);
    QVERIFY(view);
    QCOMPARE(view->parentWidget(), &window);
    QTRY_COMPARE(view->geometry(), window.rect());
    QVERIFY(view->isVisible());
    QVERIFY(!window.BrowserArea()->isVisible());
    QCOMPARE(window.BrowserClient().Browsers().size(), size_t(1));
    QVERIFY(!window.windowIcon().isNull());
}

void MainWindowTest::pageTitleBecomesTheCaption()
{
    LaunchState.StartUrl = QString::fromStdString(m_server.baseUrl() + "/titled").toStdU16String();
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    QCOMPARE(window.windowTitle(), QStringLiteral("栖澜浏览器"));
    window.show();

    QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(), QStringLiteral("登录 页面"), 20000);
    QCOMPARE(QString::fromStdU16String(g_strBrowserTitle), QStringLiteral("登录 页面"));
    // The main browser's own window carries the title too, unseen.
    QCOMPARE(MainView(window)->windowTitle(), QStringLiteral("登录 页面"));
    QCOMPARE(MainView(window)->url(), QUrl(QString::fromStdString(m_server.baseUrl() + "/titled")));
}

void MainWindowTest::emptyStartUrlStillOpensTheWindow()
{
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    window.show();

    QTRY_VERIFY(window.isMaximized());
    QVERIFY(window.isVisible());
    QWebEngineView* view = MainView(window);
    QVERIFY(view);
    QTRY_COMPARE(view->geometry(), window.rect());
    QVERIFY(view->url().isEmpty() || view->url() == QUrl(QStringLiteral("about:blank")));
}

// What the user sees: the page's pixels in the window on the X server, however
// the engine composites. This run's choice follows the environment: Xvfb's
// OpenGL is Mesa's llvmpipe, and a second run sets QT_QUICK_BACKEND=rhi, the
// OpenGL path of a PC with a graphics chip.
void MainWindowTest::pageIsOnTheScreen()
{
    QCOMPARE(PagesCompositedInSoftware(), qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"));
    LaunchState.StartUrl = QString::fromStdString(m_server.baseUrl() + "/green").toStdU16String();
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    window.show();
    QVERIFY(WaitUntilMaximised(window));

    const QPoint centre = window.rect().center();
    QVERIFY(WaitFor([&] {
        const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
        return !shown.isNull() && shown.pixelColor(centre) == QColor(0, 255, 0);
    }));
}

void MainWindowTest::desktopGetsTheIconInEverySize()
{
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    window.show();
    QVERIFY(WaitUntilMaximised(window));
    const QString icons = ServerWindowProperty(window.winId(), QStringLiteral("_NET_WM_ICON"));
    // Qt 6.4 hands the window manager no size above 128 pixels.
    for (const int pixels : {16, 32, 48, 64, 128})
        QVERIFY2(icons.contains(QStringLiteral("Icon (%1 x %1)").arg(pixels)),
                 qPrintable(QStringLiteral("no %1 px icon").arg(pixels)));
}

void MainWindowTest::mapsOnceAndMaximised_data()
{
    QTest::addColumn<bool>("startUrlKnown");  // else the waiting page

    QTest::newRow("start URL known") << true;
    QTest::newRow("waiting page") << false;
}

// A window made again after its first show is mapped anew, unmaximised, and
// then maximised: the user sees it jump, and the page is drawn twice.
void MainWindowTest::mapsOnceAndMaximised()
{
    QFETCH(bool, startUrlKnown);
    CVantorDlg window(m_browserApp.Profile());
    const WindowHistory history(window);
    if (startUrlKnown) {
        LaunchState.StartUrl = QString::fromStdString(m_server.baseUrl() + "/titled").toStdU16String();
        window.OpenStartUrl();
    }
    window.show();

    QVERIFY(WaitUntilMaximised(window));
    QWebEngineView* view = MainView(window);
    QVERIFY(WaitFor([&] { return !view->page()->isLoading() && !PageText(*view).isEmpty(); }));
    QCOMPARE(history.nativeWindowChanges, 1);
    QVERIFY(!history.statesSinceShow.isEmpty());
    for (const Qt::WindowStates states : history.statesSinceShow)
        QVERIFY2(states & Qt::WindowMaximized, qPrintable(QString::number(int(states))));
}

QString MainWindowTest::PageText(QWebEngineView& view)
{
    QString text;
    bool read = false;
    view.page()->toPlainText([&](const QString& plain) {
        text = plain;
        read = true;
    });
    WaitFor([&] { return read; });
    return text;
}

void MainWindowTest::waitingPageUntilTheStartUrlIsKnown_data()
{
    QTest::addColumn<QString>("path");  // empty: no start URL
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");

    QTest::newRow("start URL") << "/titled" << "登录 页面" << "text";
    QTest::newRow("no start URL") << "" << "栖澜浏览器" << "";
}

void MainWindowTest::waitingPageUntilTheStartUrlIsKnown()
{
    QFETCH(QString, path);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    // The icon of an earlier case's page may still be on its way.
    const auto pageRequests = [this] {
        const std::vector<RecordedRequest> requests = m_server.requests();
        return std::count_if(requests.begin(), requests.end(),
                             [](const RecordedRequest& request) { return request.path != "/favicon.ico"; });
    };
    const auto requestsBefore = pageRequests();
    CVantorDlg window(m_browserApp.Profile());
    window.show();
    QWebEngineView* view = MainView(window);
    QVERIFY(view);
    QVERIFY(WaitFor([&] { return !view->page()->isLoading() && PageText(*view) == "正在连接服务器…"; }));
    QCOMPARE(window.windowTitle(), QStringLiteral("栖澜浏览器"));
    QCOMPARE(pageRequests(), requestsBefore);

    if (!path.isEmpty())
        LaunchState.StartUrl = QString::fromStdString(m_server.baseUrl()).append(path).toStdU16String();
    QSignalSpy loaded(view->page(), &QWebEnginePage::loadFinished);
    window.OpenStartUrl();

    QVERIFY(WaitFor([&] { return !loaded.isEmpty() && !view->page()->isLoading(); }));
    QCOMPARE(PageText(*view), text);
    QCOMPARE(window.windowTitle(), caption);
    // Back never leads to the waiting page again.
    QVERIFY(!view->history()->canGoBack());
}

void MainWindowTest::restoreAndMaximiseScaleTheBrowser()
{
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    window.show();
    QVERIFY(WaitUntilMaximised(window));
    QWebEngineView* view = MainView(window);
    QTRY_COMPARE(view->geometry(), window.rect());
    const QSize maximised = window.size();

    window.showNormal();
    QTRY_VERIFY(window.height() < maximised.height());
    // Scaled with truncation: within a pixel of the client area per edge.
    QTRY_VERIFY(qAbs(view->width() - window.width()) <= 1);
    QVERIFY(qAbs(view->height() - window.height()) <= 1);
    QVERIFY(view->x() == 0 && view->y() == 0);

    window.showMaximized();
    QVERIFY(WaitUntilMaximised(window));
    QCOMPARE(window.size(), maximised);
    QTRY_VERIFY(qAbs(view->width() - maximised.width()) <= 2);
    QVERIFY(qAbs(view->height() - maximised.height()) <= 2);
}

void MainWindowTest::browserFillsTheClientAreaAfterEverySizeChange_data()
{
    // Each step: max (maximise), normal (restore), min (minimise) or WxH
    // (resize while restored).
    QTest::addColumn<QStringList>("steps");
    const auto row = [](const char* name, const char* steps) {
        QTest::newRow(name) << QString::fromLatin1(steps).split(QLatin1Char(' '));
    };
    row("restore", "normal");
    row("restore and maximise", "normal max");
    row("three rounds", "normal max normal max normal max");
    row("resize while restored", "normal 800x600");
    row("odd sizes", "normal 777x555 max normal 641x479 max");
    row("growing", "normal 300x200 500x400 900x700 max");
    row("shrinking", "normal 1000x800 700x500 333x211 max");
    row("minimise in between", "min max normal min normal max");
    row("resize after minimise", "normal 640x480 min normal 1001x703 max");
    row("tiny and back", "normal 120x90 max normal 1111x777 max");
    row("ten rounds", "normal 701x503 max normal 659x431 max normal 913x611 max normal 517x389 max "
                      "normal 853x599 max normal 723x457 max normal 613x409 max normal 887x653 max "
                      "normal 591x367 max normal 977x701 max");
    row("same size twice", "normal 800x600 800x600 max max");
}

void MainWindowTest::browserFillsTheClientAreaAfterEverySizeChange()
{
    QFETCH(QStringList, steps);
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    window.show();
    QVERIFY(WaitUntilMaximised(window));
    QWebEngineView* view = MainView(window);
    QTRY_COMPARE(view->geometry(), window.rect());
    const QRect available = window.screen()->availableGeometry();

    for (const QString& step : steps) {
        if (step == QLatin1String("max")) {
            window.showMaximized();
            // The frame's width may still be that of the restored window.
            QVERIFY(WaitFor([&] {
                return window.isMaximized() && window.width() == available.width() &&
                       ServerWindowSize(window.winId()) == window.size();
            }));
        } else if (step == QLatin1String("normal")) {
            window.showNormal();
            QVERIFY(WaitFor([&] {
                return !window.isMaximized() && !window.isMinimized() &&
                       window.frameGeometry().height() < available.height() &&
                       window.windowHandle()->isExposed();
            }));
        } else if (step == QLatin1String("min")) {
            window.showMinimized();
            QVERIFY(WaitUntilIconified(window));
            continue;
        } else {
            const QStringList size = step.split(QLatin1Char('x'));
            const QSize wanted(size[0].toInt(), size[1].toInt());
            window.resize(wanted);
            QVERIFY2(WaitFor([&] {
                         return window.size() == wanted &&
                                ServerWindowSize(window.winId()) == wanted;
                     }),
                     qPrintable(step));
        }
        QVERIFY2(view->geometry() == window.rect(),
                 qPrintable(QStringLiteral("after %1: view %2,%3 %4x%5 in %6x%7")
                                .arg(step)
                                .arg(view->x())
                                .arg(view->y())
                                .arg(view->width())
                                .arg(view->height())
                                .arg(window.width())
                                .arg(window.height())));
    }
}

void MainWindowTest::minimiseLeavesTheChildrenAlone_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::newRow("restored") << false;
    // Qt takes the maximised state away on the way to the icon and gives it
    // back, so the window manager may size the window as restored meanwhile.
    QTest::newRow("maximised") << true;
}

void MainWindowTest::minimiseLeavesTheChildrenAlone()
{
    QFETCH(bool, maximised);
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    window.show();
    QVERIFY(WaitUntilMaximised(window));
    if (!maximised) {
        const QSize maximisedSize = window.size();
        window.showNormal();
        QVERIFY(WaitFor([&] {
            return !window.isMaximized() && window.size() != maximisedSize &&
                   ServerWindowSize(window.winId()) == window.size();
        }));
    }
    QWebEngineView* view = MainView(window);
    QTRY_COMPARE(view->geometry(), window.rect());
    const QRect viewBefore = view->geometry();
    const QRect areaBefore = window.BrowserArea()->geometry();

    window.showMinimized();
    QVERIFY(WaitUntilIconified(window));
    QCOMPARE(view->geometry(), window.rect());
    if (!maximised) {
        QCOMPARE(view->geometry(), viewBefore);
        QCOMPARE(window.BrowserArea()->geometry(), areaBefore);
    }

    if (maximised)
        window.showMaximized();
    else
        window.showNormal();
    QVERIFY(WaitFor([&] {
        // The window manager's last size may still be on its way to Qt.
        return !window.isMinimized() && window.windowHandle()->isExposed() &&
               ServerWindowSize(window.winId()) == viewBefore.size() && window.size() == viewBefore.size();
    }));
    QCOMPARE(view->geometry(), viewBefore);
}

void MainWindowTest::escapeInThePageKeepsTheWindowOpen()
{
    LaunchState.StartUrl = QString::fromStdString(m_server.baseUrl() + "/input").toStdU16String();
    CVantorDlg window(m_browserApp.Profile());
    window.OpenStartUrl();
    QSignalSpy finished(&window, &QDialog::finished);
    window.show();
    QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(), QStringLiteral("input"), 20000);
    QWebEngineView* view = MainView(window);
    QTRY_VERIFY(window.isActiveWindow() && view->focusProxy() && view->focusProxy()->hasFocus());

    QVERIFY(WaitUntilPageTakesKeys(view->page()));
    QVERIFY(PressKey(QStringLiteral("Escape")));
    QVERIFY(PressKey(QStringLiteral("Return")));
    QVERIFY(WaitFor([&] { return KeysTaken(view->page()) == QStringLiteral("Escape,Enter"); }));
    QVERIFY(window.isVisible());
    QCOMPARE(finished.count(), 0);
}

void MainWindowTest::closingEndsTheRunAndEveryBrowser()
{
    LaunchState.StartUrl = QString::fromStdString(m_server.baseUrl() + "/titled").toStdU16String();
    auto window = std::make_unique<CVantorDlg>(m_browserApp.Profile());
    window->OpenStartUrl();
    QSignalSpy quit(&window->BrowserClient(), &CCefBrowserEventHandler::quitRequested);
    QPointer<QWebEngineView> view;
    QTimer::singleShot(0, window.get(), [&] {
        view = MainView(*window);
        QTimer::singleShot(1000, window.get(), [&] { window->close(); });
    });

    window->exec();

    QVERIFY(view);
    QCOMPARE(quit.count(), 0);
    window.reset();
    QVERIFY(!view);
    QCOMPARE(quit.count(), 1);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
