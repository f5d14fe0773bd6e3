#include <memory>
#include <string>

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
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
#include "tests/browser/window_pages.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"

namespace {

// Answers each modal dialog of the page with a real key, from inside its
// modal loop, and notes what it showed.
class DialogAnswerer : public QObject {
public:
    explicit DialogAnswerer(QStringList keys) : m_keys(std::move(keys))
    {
        connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::AnswerOpenDialog);
        m_timer.start(20);
    }

    int answered() const { return m_answered; }
    QStringList titles() const { return m_titles; }
    QStringList texts() const { return m_texts; }

private:
    void AnswerOpenDialog()
    {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog == m_current || !dialog->isActiveWindow() ||
            m_answered >= m_keys.size())
            return;
        m_current = dialog;
        m_titles << dialog->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(dialog))
            m_texts << box->text();
        else if (auto* input = qobject_cast<QInputDialog*>(dialog))
            m_texts << input->labelText();
        PressKeyLater(m_keys[m_answered]);
        ++m_answered;
    }

    QStringList m_keys;
    QTimer m_timer;
    QPointer<QWidget> m_current;
    int m_answered = 0;
    QStringList m_titles;
    QStringList m_texts;
};

const QString kLeavePage = QStringLiteral(
    "Are you sure you want to leave this page? Changes that you made may not be saved.");

}

// Dialogs that pages raise, and the page's own guard against losing typed
// work when its window closes, on a desktop with a window manager.
class PageDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void javaScriptDialogsAreTitledWithTheHost_data();
    void javaScriptDialogsAreTitledWithTheHost();
    void pageWithoutGuardClosesAtOnce();
    void pageHangingInItsGuardStillCloses();
    void guardedPageAsksAndStayKeepsTheWindow();
    void closingTheMainWindowAsksThePopupsFirst();

private:
    bool OpenMainWindow(const QString& path, const QString& title);
    BrowserPage* MainBrowser() const { return MainPageOf(*m_window); }
    bool TypeIntoTheTextOf(BrowserPage* page);

    TestBrowserEngine m_browserApp;
    HttpTestServer m_server;
    std::unique_ptr<CVantorDlg> m_window;
};

void PageDialogsTest::initTestCase()
{
    auto& server = m_server.server();
    server.Get("/plain", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>无守护</title></head><body>"
                             "<textarea id=text autofocus></textarea>" +
                                 std::string(kKeyRecorder) + "</body></html>",
                             "text/html; charset=utf-8");
    });
    // Asks before leaving once something has been typed.
    server.Get("/guarded", [](const httplib::Request& request, httplib::Response& response) {
        const std::string title = request.has_param("n") ? "守护 " + request.get_param_value("n")
                                                         : "守护";
        response.set_content(
            "<html><head><title>" + title + "</title></head><body>"
            "<textarea id=text autofocus></textarea>" + std::string(kKeyRecorder) + "<script>"
            "addEventListener('beforeunload', e => {"
            "  if (document.getElementById('text').value) { e.preventDefault(); e.returnValue = ''; }"
            "});</script></body></html>",
            "text/html; charset=utf-8");
    });
    server.Get("/hung", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>卡住</title></head><body>"
                             "<textarea id=text autofocus></textarea>" +
                                 std::string(kKeyRecorder) +
                                 "<script>addEventListener('beforeunload', () => { for (;;) {} });"
                                 "</script></body></html>",
                             "text/html; charset=utf-8");
    });
    m_server.start();
    QVERIFY(m_browserApp.Initialize());
}

void PageDialogsTest::init()
{
    LaunchState = LaunchStateRecord();
}

void PageDialogsTest::cleanup()
{
    m_window.reset();
}

bool PageDialogsTest::OpenMainWindow(const QString& path, const QString& title)
{
    LaunchState.StartUrl = QString::fromStdString(m_server.baseUrl()).append(path).toStdU16String();
    m_window = std::make_unique<CVantorDlg>(m_browserApp.Profile());
    m_window->OpenStartUrl();
    m_window->show();
    return WaitFor([&] { return m_window->windowTitle() == title && m_window->isActiveWindow(); });
}

// Types into the page's text box with the real keyboard, which also gives the
// page the user's activation that a leave-page question needs.
bool PageDialogsTest::TypeIntoTheTextOf(BrowserPage* page)
{

    return WaitFor([&] {
               return RunScript(page, QStringLiteral("document.activeElement.id")) ==
                      QStringLiteral("text");
           }) &&
           WaitUntilPageTakesKeys(page) && TypeText(QStringLiteral("unsaved")) && WaitFor([&] {
               return RunScript(page, QStringLiteral("document.getElementById('text').value")) ==
                      QStringLiteral("unsaved");
           });
}

void PageDialogsTest::javaScriptDialogsAreTitledWithTheHost_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("result");
    QTest::newRow("alert") << QStringLiteral("alert('<b>注意</b>'); 'done'")
                           << QStringLiteral("Return") << QVariant(QStringLiteral("done"));
    QTest::newRow("confirm, OK") << QStringLiteral("confirm('<b>注意</b>')")
                                 << QStringLiteral("Return") << QVariant(true);
    QTest::newRow("confirm, cancel") << QStringLiteral("confirm('<b>注意</b>')")
                                     << QStringLiteral("Escape") << QVariant(false);
    QTest::newRow("prompt") << QStringLiteral("prompt('<b>注意</b>', '默认')")
                            << QStringLiteral("Return") << QVariant(QStringLiteral("默认"));
}

void PageDialogsTest::javaScriptDialogsAreTitledWithTheHost()
{
    QFETCH(QString, script);
    QFETCH(QString, key);
    QFETCH(QVariant, result);
    // The start page's query carries the device's values.
    QVERIFY(OpenMainWindow(QStringLiteral("/plain?version=1.20140927&id=0123456789ABCDEF"),
                           QStringLiteral("无守护")));
    DialogAnswerer answerer({key});

    QCOMPARE(RunScript(MainBrowser(), script), result);

    QCOMPARE(answerer.answered(), 1);
    QCOMPARE(answerer.titles(), QStringList{QStringLiteral("127.0.0.1")});
    // The page's text stands as it was written, never as markup.
    QCOMPARE(answerer.texts(), QStringList{QStringLiteral("<b>注意</b>")});
    QVERIFY(m_window->isVisible());
}

void PageDialogsTest::pageWithoutGuardClosesAtOnce()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/plain"), QStringLiteral("无守护")));
    QVERIFY(TypeIntoTheTextOf(MainBrowser()));
    QSignalSpy finished(m_window.get(), &QDialog::finished);
    DialogAnswerer answerer({QStringLiteral("Return")});

    QVERIFY(PressKey(QStringLiteral("alt+F4")));

    QVERIFY(WaitFor([&] { return finished.count() == 1; }));
    QVERIFY(!m_window->isVisible());
    QCOMPARE(answerer.answered(), 0);
}

// The engine gives up on a guard that never returns, and the window closes.
void PageDialogsTest::pageHangingInItsGuardStillCloses()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/hung"), QStringLiteral("卡住")));
    QVERIFY(TypeIntoTheTextOf(MainBrowser()));
    QSignalSpy finished(m_window.get(), &QDialog::finished);

    QVERIFY(PressKey(QStringLiteral("alt+F4")));

    QVERIFY(WaitFor([&] { return finished.count() == 1; }, 30000));
}

void PageDialogsTest::guardedPageAsksAndStayKeepsTheWindow()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/guarded"), QStringLiteral("守护")));
    QVERIFY(TypeIntoTheTextOf(MainBrowser()));
    QSignalSpy finished(m_window.get(), &QDialog::finished);

    {
        DialogAnswerer stay({QStringLiteral("Escape")});
        QVERIFY(PressKey(QStringLiteral("alt+F4")));
        QVERIFY(WaitFor([&] { return stay.answered() == 1 && !QApplication::activeModalWidget(); }));
        QCOMPARE(stay.titles(), QStringList{QStringLiteral("127.0.0.1")});
        QCOMPARE(stay.texts().size(), 1);
        // The page has heard the answer once it runs a script again.
        QCOMPARE(RunScript(MainBrowser(), QStringLiteral("document.getElementById('text').value")),
                 QVariant(QStringLiteral("unsaved")));
        QVERIFY(m_window->isVisible());
        QCOMPARE(finished.count(), 0);
    }

    DialogAnswerer leave({QStringLiteral("Return")});
    QVERIFY(WaitFor([&] { return m_window->isActiveWindow(); }));
    QVERIFY(PressKey(QStringLiteral("alt+F4")));
    QVERIFY(WaitFor([&] { return finished.count() == 1; }));
    QCOMPARE(leave.answered(), 1);
    QVERIFY(!m_window->isVisible());
}

void PageDialogsTest::closingTheMainWindowAsksThePopupsFirst()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/plain"), QStringLiteral("无守护")));
    const auto& browsers = m_window->BrowserClient().Browsers();
    MainBrowser()->runJavaScript(QStringLiteral("window.open('/guarded?n=1')"));
    QVERIFY(WaitFor([&] { return browsers.size() == 2 && browsers.back()->title() == QStringLiteral("守护 1"); }));
    BrowserPage* popup = browsers.back();
    QPointer<QWidget> popupWindow = popup->HostWindow();
    QVERIFY(WaitFor([&] { return popupWindow->isActiveWindow(); }));
    QVERIFY(TypeIntoTheTextOf(popup));
    QSignalSpy finished(m_window.get(), &QDialog::finished);

    {
        DialogAnswerer stay({QStringLiteral("Escape")});
        m_window->close();
        QVERIFY(WaitFor([&] { return stay.answered() == 1 && !QApplication::activeModalWidget(); }));
        QCOMPARE(RunScript(popup, QStringLiteral("document.getElementById('text').value")),
                 QVariant(QStringLiteral("unsaved")));
        QVERIFY(popupWindow);
        QVERIFY(m_window->isVisible());
        QCOMPARE(finished.count(), 0);
    }

    DialogAnswerer leave({QStringLiteral("Return")});
    m_window->close();
    QVERIFY(WaitFor([&] { return finished.count() == 1; }));
    QCOMPARE(leave.answered(), 1);
    QVERIFY(!popupWindow);
    QCOMPARE(browsers.size(), size_t(1));
}

QTEST_MAIN(PageDialogsTest)
#include "page_dialogs_test.moc"
