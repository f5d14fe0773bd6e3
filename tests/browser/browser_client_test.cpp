#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/browser_popup_window.h"
#include "browser/cefbrowserapp.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/vantordlg.h"
#include "platform/message_box.h"
#include "res/app_icon.h"
#include "tests/browser/page_script.h"
#include "tests/browser/window_pages.h"
#include "tests/support/folder_entries.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"
#include "tests/support/misbehaving_server.h"
#include "tests/support/refusing_port.h"

namespace {

constexpr int kTimeout = 20000;
const QString kDownloaded = QStringLiteral("下载成功");

// A message and how many browsers were open when it came.
struct ShownMessage {
    QString text;
    size_t openBrowsers;
};

std::vector<ShownMessage> g_messages;
const CCefBrowserEventHandler* g_client = nullptr;

void RecordMessage(const std::u16string& text)
{
    g_messages.push_back({QString::fromStdU16String(text),
                          g_client ? g_client->Browsers().size() : size_t(0)});
}

// Every byte value, over several network reads.
std::string DownloadBytes()
{
    std::string bytes;
    for (int i = 0; i < 300000; ++i)
        bytes.push_back(static_cast<char>((i * 7 + i / 256) & 0xff));
    return bytes;
}

// Answers the next save dialog from inside its modal loop.
class SaveDialogDriver : public QObject {
public:
    enum class Answer { SaveAs, SaveProposed, Cancel };

    explicit SaveDialogDriver(Answer answer, QString target = QString())
        : m_answer(answer), m_target(std::move(target))
    {
        connect(&m_timer, &QTimer::timeout, this, &SaveDialogDriver::AnswerOpenDialog);
        m_timer.start(20);
    }

    bool answered() const { return m_answered; }
    // The file the dialog proposed before it was answered.
    QString proposedFile() const { return m_proposedFile; }

private:
    void AnswerOpenDialog()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            m_timer.stop();
            m_answered = true;
            m_proposedFile = dialog->selectedFiles().value(0);
            if (m_answer == Answer::Cancel) {
                dialog->reject();
                return;
            }
            // As a user types it: selectFile() leaves the name box alone while
            // that box has the focus, which depends on when the window manager
            // activated the dialog.
            if (m_answer == Answer::SaveAs)
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(m_target);
            static_cast<QDialog*>(dialog)->accept();
            return;
        }
    }

    Answer m_answer;
    QString m_target;
    QTimer m_timer;
    bool m_answered = false;
    QString m_proposedFile;
};

// The last download the profile was asked for, to wait until it has ended.
class DownloadWatch : public QObject {
public:
    explicit DownloadWatch(QWebEngineProfile* profile)
    {
        connect(profile, &QWebEngineProfile::downloadRequested, this,
                [this](QWebEngineDownloadRequest* download) { m_download = download; });
    }

    bool reached(QWebEngineDownloadRequest::DownloadState state) const
    {
        return m_download && m_download->state() == state;
    }

private:
    QPointer<QWebEngineDownloadRequest> m_download;
};

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool IsWhite(QRgb pixel)
{
    return qRed(pixel) > 250 && qGreen(pixel) > 250 && qBlue(pixel) > 250;
}

}

// The browser client with the real embedded Chromium, on pages of servers on
// this machine, in a display with a window manager.
class BrowserClientTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void mainPageTitleBecomesTheCaption();
    void popupTitleBecomesBothCaptions();
    void windowOpenGivesAMaximisedPopupWithTheIcon();
    void windowCloseEndsOnlyThatPopup();
    void quitRequestFollowsOnlyTheLastBrowser();

    void failedLoadShowsTheErrorPage_data();
    void failedLoadShowsTheErrorPage();
    void failedUrlShowsAsText_data();
    void failedUrlShowsAsText();
    void httpErrorStatusKeepsTheServersPage();
    void abortedLoadLeavesThePage_data();
    void abortedLoadLeavesThePage();
    void failedSubFrameShowsTheEnginesPlaceholder();

    void downloadIsSavedWhereChosen();
    void saveDialogProposesTheSuggestedName_data();
    void saveDialogProposesTheSuggestedName();
    void cancelledSaveDialogShowsNothing();
    void popupWithoutDocumentClosesAfterTheMessage_data();
    void popupWithoutDocumentClosesAfterTheMessage();
    void popupWithDocumentStaysAfterItsDownload_data();
    void popupWithDocumentStaysAfterItsDownload();

private:
    bool OpenMainWindow(const QString& path, const QString& title);
    BrowserPage* MainBrowser() const { return MainPageOf(*m_window); }
    BrowserPage* OpenPopup(const QString& path, const QString& title)
    {
        return OpenPopupByScript(*m_window, path, title);
    }
    QUrl Url(const QString& path) const;
    QUrl RefusedUrl(const QString& path) const;

    CCefBrowserApp m_browserApp;
    HttpTestServer m_server;
    MisbehavingServer m_resettingServer{MisbehavingServer::Behaviour::ResetMidRequest};
    RefusingPort m_refusingPort;
    int m_closedPort = 0;
    std::atomic<bool> m_releaseSlowPage{false};
    QTemporaryDir m_home;
    QString m_downloadFolder;
    std::unique_ptr<QTemporaryDir> m_saveFolder;
    std::unique_ptr<CVantorDlg> m_window;
    std::vector<QWebEngineLoadingInfo> m_loads;
};

void BrowserClientTest::initTestCase()
{
    QVERIFY(m_home.isValid());
    // The user's settings name the download folder.
    m_downloadFolder = m_home.filePath(QStringLiteral("下载"));
    QVERIFY(QDir().mkpath(m_downloadFolder));
    QFile userDirs(m_home.filePath(QStringLiteral("user-dirs.dirs")));
    QVERIFY(userDirs.open(QIODevice::WriteOnly));
    userDirs.write("XDG_DOWNLOAD_DIR=\"" + m_downloadFolder.toUtf8() + "\"\n");
    userDirs.close();
    qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
    // The browser's profile too, not in the user's cache.
    qputenv("XDG_CACHE_HOME", m_home.filePath(QStringLiteral("cache")).toUtf8());
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), m_downloadFolder);

    m_closedPort = m_refusingPort.port();
    m_resettingServer.start();
    const std::string bytes = DownloadBytes();
    auto& server = m_server.server();
    server.Get("/main", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>主页 标题</title></head><body>"
                             "<p>main page</p>"
                             "<a id=blank href=/attachment target=_blank>blank</a>"
                             "<a id=same href=/attachment>same</a>"
                             "</body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/popup", [](const httplib::Request& request, httplib::Response& response) {
        const std::string title = request.has_param("n") ? "弹出 " + request.get_param_value("n")
                                                         : "弹出 窗口";
        response.set_content("<html><head><title>" + title + "</title></head><body>"
                             "<a id=same href=/attachment>same</a></body></html>",
                             "text/html; charset=utf-8");
    });
    // A page whose picture never arrives until the test releases it: its
    // document shows while its load goes on.
    server.Get("/still-loading", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>加载 中</title></head><body>"
                             "<a id=same href=/attachment>same</a><img src=/slow>"
                             "</body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/second", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>second</title></head><body>second</body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("<html><head><title>没有</title></head><body>site's own 404</body>"
                             "</html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/framed", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>框架</title></head><body>"
                             "<p>outer page</p><iframe id=sub src=\"http://127.0.0.1:" +
                                 std::to_string(m_closedPort) +
                                 "/sub\"></iframe></body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/attachment", [bytes](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"report 2024.bin\"");
        response.set_content(bytes, "application/octet-stream");
    });
    server.Get("/named", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition",
                            "attachment; filename*=UTF-8''%E6%9C%88%E6%8A%A5.xls");
        response.set_content("月报", "application/vnd.ms-excel");
    });
    server.Get("/files/plan.bin", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string("\x00\x01plan", 6), "application/octet-stream");
    });
    server.Get("/no-content", [](const httplib::Request&, httplib::Response& response) {
        response.status = 204;
    });
    server.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
        for (int i = 0; i < 200 && !m_releaseSlowPage; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        response.set_content("<html><head><title>slow</title></head></html>",
                             "text/html; charset=utf-8");
    });
    m_server.start();
    m_browserApp.Initialize();
    SetMessageBoxSink(RecordMessage);
}

void BrowserClientTest::cleanupTestCase()
{
    SetMessageBoxSink(nullptr);
    m_resettingServer.stop();
    m_server.stop();
}

void BrowserClientTest::init()
{
    LaunchState = LaunchStateRecord();
    g_messages.clear();
    m_loads.clear();
    m_releaseSlowPage = false;
    m_saveFolder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_saveFolder->isValid());
}

void BrowserClientTest::cleanup()
{
    m_releaseSlowPage = true;
    m_window.reset();

    g_client = nullptr;
    m_saveFolder.reset();
    if (!m_downloadFolder.isEmpty()) {
        for (const QString& name : FilesIn(m_downloadFolder))
            QFile::remove(QDir(m_downloadFolder).filePath(name));
    }
}

QUrl BrowserClientTest::Url(const QString& path) const
{
    return QUrl(QString::fromStdString(m_server.baseUrl()) + path);
}

QUrl BrowserClientTest::RefusedUrl(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_closedPort).arg(path));
}

// Opens the main window on a page of the server and records what its main
// browser reports of its loads.
bool BrowserClientTest::OpenMainWindow(const QString& path, const QString& title)
{
    LaunchState.StartUrl = Url(path).toString().toStdU16String();
    m_window = std::make_unique<CVantorDlg>(m_browserApp.Profile());
    m_window->OpenStartUrl();
    g_client = &m_window->BrowserClient();
    m_window->show();
    if (!MainBrowser())
        return false;
    connect(MainBrowser(), &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) { m_loads.push_back(info); });
    // Its load must have ended too. Qt 6.4 reports no start for a navigation
    // that begins while another load runs, and the running load's success then
    // overwrites the new one's failure: the engine's own error page shows.
    return WaitFor([&] {
        return m_window->windowTitle() == title &&
               std::any_of(m_loads.begin(), m_loads.end(), [](const QWebEngineLoadingInfo& info) {
                   return info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
               });
    });
}

void BrowserClientTest::mainPageTitleBecomesTheCaption()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    QCOMPARE(QString::fromStdU16String(g_strBrowserTitle), QStringLiteral("主页 标题"));
    QCOMPARE(MainBrowser()->HostWindow()->windowTitle(), QStringLiteral("主页 标题"));

    MainBrowser()->load(Url(QStringLiteral("/second")));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("second"), kTimeout);
    QCOMPARE(MainBrowser()->HostWindow()->windowTitle(), QStringLiteral("second"));
}

void BrowserClientTest::popupTitleBecomesBothCaptions()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    BrowserPage* popup = OpenPopup(QStringLiteral("/popup"), QStringLiteral("弹出 窗口"));
    QVERIFY(popup);

    QTRY_COMPARE_WITH_TIMEOUT(popup->HostWindow()->windowTitle(), QStringLiteral("弹出 窗口"),
                              kTimeout);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("弹出 窗口"));
    QCOMPARE(QString::fromStdU16String(g_strBrowserTitle), QStringLiteral("弹出 窗口"));
    // The main browser's own window keeps its page's title.
    QCOMPARE(MainBrowser()->HostWindow()->windowTitle(), QStringLiteral("主页 标题"));
}

void BrowserClientTest::windowOpenGivesAMaximisedPopupWithTheIcon()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    BrowserPage* popup = OpenPopup(QStringLiteral("/popup"), QStringLiteral("弹出 窗口"));
    QVERIFY(popup);

    QVERIFY(popup->IsPopup());
    QVERIFY(!MainBrowser()->IsPopup());
    QWidget* window = popup->HostWindow();
    QVERIFY(window);
    QVERIFY(window->isWindow());
    QVERIFY(window != m_window.get());
    QVERIFY(WaitUntilMaximised(*window));
    QVERIFY(window->isVisible());
    // Restored, its frame runs from the screen origin to the placeholder's
    // lower-right corner (shown where the user restores it, in
    // popup_input_test), so its normal bounds lie within that.
    const QRect area = m_window->BrowserArea()->geometry();
    const QPoint lowerRight = m_window->mapToGlobal(area.topLeft() + QPoint(area.width(), area.height()));
    const QRect normal = window->normalGeometry();
    QVERIFY2(QRect(QPoint(0, 0), QSize(lowerRight.x(), lowerRight.y())).contains(normal) &&
                 normal.height() > lowerRight.y() / 2,
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(normal.x())
                            .arg(normal.y())
                            .arg(normal.width())
                            .arg(normal.height())));
    const QImage icon = window->windowIcon().pixmap(32, 32).toImage();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon, AppIcon().pixmap(32, 32).toImage());
    const auto& browsers = m_window->BrowserClient().Browsers();
    QCOMPARE(browsers.size(), size_t(2));
    QCOMPARE(browsers.back(), popup);
}

void BrowserClientTest::windowCloseEndsOnlyThatPopup()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    QSignalSpy quit(&m_window->BrowserClient(), &CCefBrowserEventHandler::quitRequested);
    BrowserPage* popup = OpenPopup(QStringLiteral("/popup"), QStringLiteral("弹出 窗口"));
    QVERIFY(popup);
    QPointer<QWidget> window = popup->HostWindow();

    popup->runJavaScript(QStringLiteral("window.close()"));

    QTRY_VERIFY_WITH_TIMEOUT(!window, kTimeout);
    const auto& browsers = m_window->BrowserClient().Browsers();
    QCOMPARE(browsers.size(), size_t(1));
    QVERIFY(!browsers.front()->IsPopup());
    QVERIFY(MainBrowser()->HostWindow()->isVisible());
    QCOMPARE(quit.count(), 0);
}

void BrowserClientTest::quitRequestFollowsOnlyTheLastBrowser()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    CCefBrowserEventHandler& client = m_window->BrowserClient();
    QSignalSpy quit(&client, &CCefBrowserEventHandler::quitRequested);
    BrowserPage* first = OpenPopup(QStringLiteral("/popup?n=1"), QStringLiteral("弹出 1"));
    QVERIFY(first);
    BrowserPage* second = OpenPopup(QStringLiteral("/popup?n=2"), QStringLiteral("弹出 2"));
    QVERIFY(second);
    QCOMPARE(client.Browsers().size(), size_t(3));

    first->runJavaScript(QStringLiteral("window.close()"));
    QTRY_COMPARE_WITH_TIMEOUT(client.Browsers().size(), size_t(2), kTimeout);
    QCOMPARE(client.Browsers().back(), second);
    QCOMPARE(quit.count(), 0);

    second->runJavaScript(QStringLiteral("window.close()"));
    QTRY_COMPARE_WITH_TIMEOUT(client.Browsers().size(), size_t(1), kTimeout);
    QCOMPARE(quit.count(), 0);

    client.CloseAllBrowsers(true);
    QVERIFY(client.Browsers().empty());
    QCOMPARE(quit.count(), 1);
    m_window.reset();
    QCOMPARE(quit.count(), 1);
}

void BrowserClientTest::failedLoadShowsTheErrorPage_data()
{
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("errorCode");
    QTest::addColumn<QString>("errorText");
    QTest::newRow("refused") << true << -102 << QStringLiteral("net::ERR_CONNECTION_REFUSED");
    QTest::newRow("reset") << false << -101 << QStringLiteral("net::ERR_CONNECTION_RESET");
}

void BrowserClientTest::failedLoadShowsTheErrorPage()
{
    QFETCH(bool, refused);
    QFETCH(int, errorCode);
    QFETCH(QString, errorText);
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    BrowserPage* page = MainBrowser();
    const QUrl failed = refused ? RefusedUrl(QStringLiteral("/refused"))
                                : QUrl(QString::fromStdString(m_resettingServer.baseUrl() + "/reset"));

    page->load(failed);

    QString html;
    QTRY_VERIFY_WITH_TIMEOUT((html = PageHtml(page)).contains(QStringLiteral("Failed to load URL")),
                             kTimeout);
    QCOMPARE(html, QStringLiteral("<html><head></head><body bgcolor=\"white\"><h2>Failed to load URL "
                                  "%1 with error %2 (%3).</h2></body></html>")
                       .arg(failed.toString(), errorText)
                       .arg(errorCode));
    QCOMPARE(page->url(), failed);
}

void BrowserClientTest::failedUrlShowsAsText_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("script in the path")
        << QStringLiteral("/<script>document.title='pwned'</script>")
        << QStringLiteral("/%3Cscript%3Edocument.title='pwned'%3C/script%3E");
    QTest::newRow("character references in the query")
        << QStringLiteral("/page?q=&lt;script&gt;document.title=1&lt;/script&gt;&amp;")
        << QStringLiteral("/page?q=&lt;script&gt;document.title=1&lt;/script&gt;&amp;");
    QTest::newRow("non-ASCII path") << QStringLiteral("/页面 失败") << QStringLiteral("/页面 失败");
}

void BrowserClientTest::failedUrlShowsAsText()
{
    QFETCH(QString, path);
    QFETCH(QString, shown);
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    BrowserPage* page = MainBrowser();
    const QUrl failed = RefusedUrl(path);

    page->load(failed);

    QTRY_VERIFY_WITH_TIMEOUT(PageHtml(page).contains(QStringLiteral("Failed to load URL")), kTimeout);
    const QString text = RunScript(page, QStringLiteral("document.body.innerText")).toString();
    QCOMPARE(text, QStringLiteral("Failed to load URL http://127.0.0.1:%1%2 with error "
                                  "net::ERR_CONNECTION_REFUSED (-102).")
                       .arg(m_closedPort)
                       .arg(shown));
    QCOMPARE(RunScript(page, QStringLiteral("document.querySelectorAll('body *').length")).toInt(), 1);
    QCOMPARE(RunScript(page, QStringLiteral("document.title")).toString(), QString());
}

void BrowserClientTest::httpErrorStatusKeepsTheServersPage()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    BrowserPage* page = MainBrowser();

    page->load(Url(QStringLiteral("/missing")));

    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("没有"), kTimeout);
    // Its load has ended, and with it any replacement of the page.
    QVERIFY(WaitFor([&] {
        return std::any_of(m_loads.begin(), m_loads.end(), [&](const QWebEngineLoadingInfo& info) {
            return info.url() == Url(QStringLiteral("/missing")) &&
                   info.status() != QWebEngineLoadingInfo::LoadStartedStatus;
        });
    }));
    QVERIFY(PageHtml(page).contains(QStringLiteral("site's own 404")));
}

void BrowserClientTest::abortedLoadLeavesThePage_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("shownPath");
    QTest::addColumn<bool>("download");
    QTest::newRow("no content") << QStringLiteral("location.href = '/no-content'")
                                << QStringLiteral("/main") << false;
    QTest::newRow("link that becomes a download")
        << QStringLiteral("document.getElementById('same').click()") << QStringLiteral("/main")
        << true;
    QTest::newRow("interrupted by another navigation")
        << QStringLiteral("location.href = '/slow'; setTimeout(() => location.href = '/second', 300)")
        << QStringLiteral("/second") << false;
}

void BrowserClientTest::abortedLoadLeavesThePage()
{
    QFETCH(QString, script);
    QFETCH(QString, shownPath);
    QFETCH(bool, download);
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    BrowserPage* page = MainBrowser();
    const QString mainHtml = PageHtml(page);
    SaveDialogDriver cancel(SaveDialogDriver::Answer::Cancel);

    page->runJavaScript(script);

    // Qt reports the engine's abort as a stopped load with its code.
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(m_loads.begin(), m_loads.end(), [](const auto& info) {
        return info.status() == QWebEngineLoadingInfo::LoadStoppedStatus && info.errorCode() == -3;
    }), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(page->url(), Url(shownPath), kTimeout);
    // The page shown has finished its own load.
    QVERIFY(WaitFor([&] {
        return shownPath == QStringLiteral("/main") ||
               std::any_of(m_loads.begin(), m_loads.end(), [&](const QWebEngineLoadingInfo& info) {
                   return info.url() == Url(shownPath) &&
                          info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
               });
    }));
    QCOMPARE(page->url(), Url(shownPath));
    const QString html = PageHtml(page);
    QVERIFY(!html.contains(QStringLiteral("Failed to load URL")));
    if (shownPath == QStringLiteral("/main"))
        QCOMPARE(html, mainHtml);
    QCOMPARE(cancel.answered(), download);
    QVERIFY(g_messages.empty());
}

// Qt reports load errors of the main frame only: a sub-frame that fails keeps
// the engine's own error document, drawn as a grey placeholder.
void BrowserClientTest::failedSubFrameShowsTheEnginesPlaceholder()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/framed"), QStringLiteral("框架")));
    BrowserPage* page = MainBrowser();
    const QString script = QStringLiteral(
        "const r = document.getElementById('sub').getBoundingClientRect();"
        "[r.left, r.top, r.width, r.height].map(Math.round).join(',')");
    const QStringList frame = RunScript(page, script).toString().split(QLatin1Char(','));
    QCOMPARE(frame.size(), 4);
    const QRect frameRect(frame[0].toInt(), frame[1].toInt(), frame[2].toInt(), frame[3].toInt());
    QVERIFY(frameRect.width() > 40 && frameRect.height() > 40);
    QWidget* view = page->HostWindow();

    // The frame is filled evenly with grey, corner to corner; the page
    // around it stays white.
    QTRY_VERIFY_WITH_TIMEOUT([&] {
        const QImage shot = view->grab().toImage();
        const QRgb nearTopLeft = shot.pixel(frameRect.topLeft() + QPoint(10, 10));
        const QRgb nearBottomRight = shot.pixel(frameRect.bottomRight() - QPoint(10, 10));
        const QRgb beside = shot.pixel(frameRect.topRight() + QPoint(40, 10));
        return !IsWhite(nearTopLeft) && nearTopLeft == nearBottomRight && IsWhite(beside) &&
               qGray(nearTopLeft) > 150;
    }(), kTimeout);

    for (const auto& info : m_loads)
        QVERIFY(info.status() != QWebEngineLoadingInfo::LoadFailedStatus);
    const QString html = PageHtml(page);
    QVERIFY(html.contains(QStringLiteral("<p>outer page</p><iframe")));
    QVERIFY(!html.contains(QStringLiteral("Failed to load URL")));
    // The frame holds a document of another origin: the engine's, not ours,
    // and not the empty one it started with.
    QCOMPARE(RunScript(page, QStringLiteral("document.getElementById('sub').contentDocument === null"))
                 .toBool(),
             true);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("框架"));
}

void BrowserClientTest::downloadIsSavedWhereChosen()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    const QString target = m_saveFolder->filePath(QStringLiteral("保存 的.bin"));
    SaveDialogDriver save(SaveDialogDriver::Answer::SaveAs, target);
    const DownloadWatch download(MainBrowser()->profile());

    MainBrowser()->runJavaScript(QStringLiteral("document.getElementById('same').click()"));

    QTRY_VERIFY_WITH_TIMEOUT(save.answered(), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(g_messages.size(), size_t(1), kTimeout);
    QCOMPARE(g_messages.front().text, kDownloaded);
    QTRY_COMPARE_WITH_TIMEOUT(FileBytes(target), QByteArray::fromStdString(DownloadBytes()), kTimeout);
    QCOMPARE(FilesIn(m_saveFolder->path()), QStringList{QStringLiteral("保存 的.bin")});
    QCOMPARE(FilesIn(m_downloadFolder), QStringList());
    // Nothing more may follow once the engine has ended the download.
    QTRY_VERIFY_WITH_TIMEOUT(download.reached(QWebEngineDownloadRequest::DownloadCompleted), kTimeout);
    QCOMPARE(g_messages.size(), size_t(1));
    QCOMPARE(m_window->BrowserClient().Browsers().size(), size_t(1));
    QCOMPARE(MainBrowser()->url(), Url(QStringLiteral("/main")));
}

void BrowserClientTest::saveDialogProposesTheSuggestedName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("attachment's name") << QStringLiteral("/attachment")
                                       << QStringLiteral("report 2024.bin");
    QTest::newRow("encoded attachment's name") << QStringLiteral("/named")
                                               << QStringLiteral("月报.xls");
    QTest::newRow("name from the URL") << QStringLiteral("/files/plan.bin")
                                       << QStringLiteral("plan.bin");
}

void BrowserClientTest::saveDialogProposesTheSuggestedName()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    SaveDialogDriver save(SaveDialogDriver::Answer::SaveProposed);

    MainBrowser()->runJavaScript(QStringLiteral("location.href = '%1'").arg(path));

    QTRY_VERIFY_WITH_TIMEOUT(save.answered(), kTimeout);
    const QString proposed = QDir(m_downloadFolder).filePath(name);
    QCOMPARE(save.proposedFile(), proposed);
    QTRY_COMPARE_WITH_TIMEOUT(g_messages.size(), size_t(1), kTimeout);
    QCOMPARE(FilesIn(m_downloadFolder), QStringList{name});
    QVERIFY(!FileBytes(proposed).isEmpty());
}

void BrowserClientTest::cancelledSaveDialogShowsNothing()
{
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    SaveDialogDriver cancel(SaveDialogDriver::Answer::Cancel);
    const DownloadWatch download(MainBrowser()->profile());

    MainBrowser()->runJavaScript(QStringLiteral("document.getElementById('same').click()"));

    QTRY_VERIFY_WITH_TIMEOUT(cancel.answered(), kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(download.reached(QWebEngineDownloadRequest::DownloadCancelled), kTimeout);
    QVERIFY(g_messages.empty());
    QCOMPARE(FilesIn(m_downloadFolder), QStringList());
    QCOMPARE(FilesIn(m_saveFolder->path()), QStringList());
    QCOMPARE(m_window->BrowserClient().Browsers().size(), size_t(1));
}

void BrowserClientTest::popupWithoutDocumentClosesAfterTheMessage_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("link to a new window")
        << QStringLiteral("document.getElementById('blank').click()");
    QTest::newRow("window.open") << QStringLiteral("window.open('/attachment')");
}

void BrowserClientTest::popupWithoutDocumentClosesAfterTheMessage()
{
    QFETCH(QString, script);
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    const QString target = m_saveFolder->filePath(QStringLiteral("from popup.bin"));
    SaveDialogDriver save(SaveDialogDriver::Answer::SaveAs, target);

    MainBrowser()->runJavaScript(script);

    QTRY_VERIFY_WITH_TIMEOUT(save.answered(), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(g_messages.size(), size_t(1), kTimeout);
    QCOMPARE(g_messages.front().text, kDownloaded);
    // Still open while the message showed, gone after it.
    QCOMPARE(g_messages.front().openBrowsers, size_t(2));
    const auto& browsers = m_window->BrowserClient().Browsers();
    QTRY_COMPARE_WITH_TIMEOUT(browsers.size(), size_t(1), kTimeout);
    QVERIFY(!browsers.front()->IsPopup());
    QTRY_VERIFY_WITH_TIMEOUT([] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::none_of(windows.begin(), windows.end(), [](QWidget* widget) {
            return qobject_cast<BrowserPopupWindow*>(widget) != nullptr;
        });
    }(), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(FileBytes(target), QByteArray::fromStdString(DownloadBytes()), kTimeout);
    QCOMPARE(g_messages.size(), size_t(1));
}

void BrowserClientTest::popupWithDocumentStaysAfterItsDownload_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("loaded") << QStringLiteral("/popup") << QStringLiteral("弹出 窗口");
    QTest::newRow("still loading") << QStringLiteral("/still-loading") << QStringLiteral("加载 中");
}

void BrowserClientTest::popupWithDocumentStaysAfterItsDownload()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QVERIFY(OpenMainWindow(QStringLiteral("/main"), QStringLiteral("主页 标题")));
    BrowserPage* popup = OpenPopup(path, title);
    QVERIFY(popup);
    QPointer<QWidget> window = popup->HostWindow();
    const QString target = m_saveFolder->filePath(QStringLiteral("kept.bin"));
    SaveDialogDriver save(SaveDialogDriver::Answer::SaveAs, target);

    popup->runJavaScript(QStringLiteral("document.getElementById('same').click()"));

    QTRY_VERIFY_WITH_TIMEOUT(save.answered(), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(g_messages.size(), size_t(1), kTimeout);
    QCOMPARE(g_messages.front().text, kDownloaded);
    // A close would have been asked for with the message: let it happen.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(m_window->BrowserClient().Browsers().size(), size_t(2));
    QTRY_COMPARE_WITH_TIMEOUT(FileBytes(target), QByteArray::fromStdString(DownloadBytes()), kTimeout);
}

QTEST_MAIN(BrowserClientTest)
#include "browser_client_test.moc"
