#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "launch/launch_state.h"
#include "browser/browser_page.h"
#include "browser/cefbrowserapp.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/download_progress_window.h"
#include "browser/vantordlg.h"
#include "platform/message_box.h"
#include "tests/browser/window_pages.h"
#include "tests/support/folder_entries.h"
#include "tests/support/gui_waits.h"
#include "tests/support/http_test_server.h"
#include "tests/support/modal_driver.h"
#include "tests/support/no_proxy.h"
#include "tests/support/page_script.h"

namespace {

constexpr int kTimeout = 20000;
constexpr size_t kChunk = 16 * 1024;
// About a megabyte a second: long enough to watch, to cancel and to close.
constexpr size_t kSlowSize = 64 * 1024 * 1024;
constexpr size_t kDyingSize = 600 * 1024;

std::vector<QString> g_messages;

void RecordMessage(const std::u16string& text)
{
    g_messages.push_back(QString::fromStdU16String(text));
}

// Saves under `target` when it is set, else where the dialog proposes.
ModalDriver::Answer SaveAs(QString target, QString* proposed = nullptr, int* dialogs = nullptr)
{
    return [target, proposed, dialogs](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return;
        if (dialogs)
            ++*dialogs;
        if (proposed)
            *proposed = dialog->selectedFiles().value(0);
        if (!target.isEmpty())
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(target);
        static_cast<QDialog*>(dialog)->accept();
    };
}

}

// The download progress window, failures and closing during a download, with
// the real embedded Chromium and servers on this machine.
class DownloadProgressTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void slowDownloadShowsProgressAndCancelStopsIt();
    void serverDyingHalfwayGivesTheFailureAndNoSecondDialog();
    void closingDuringADownloadAsksFirst_data();
    void closingDuringADownloadAsksFirst();
    void missingDownloadFolderProposesHome();

private:
    bool OpenMainWindow();
    BrowserPage* MainBrowser() const { return MainPageOf(*m_window); }
    DownloadProgressWindow* ProgressWindow() const;
    // Made at the first download.
    bool ProgressShown() const;
    void StartDownload(const QString& path);
    QUrl Url(const QString& path) const;

    CCefBrowserApp m_browserApp;
    HttpTestServer m_server;
    std::atomic<int> m_slowSent{0};
    std::atomic<bool> m_slowEnded{false};
    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_saveFolder;
    std::unique_ptr<CVantorDlg> m_window;
};

void DownloadProgressTest::initTestCase()
{
    ClearProxyEnvironment();
    QVERIFY(m_home.isValid());
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral(".config")).toUtf8());

    auto& server = m_server.server();
    server.Get("/main", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>主页</title></head><body>main</body></html>",
                             "text/html; charset=utf-8");
    });
    server.Get("/slow.bin", [this](const httplib::Request&, httplib::Response& response) {
        m_slowSent = 0;
        m_slowEnded = false;
        response.set_header("Content-Disposition", "attachment; filename=\"slow.bin\"");
        response.set_content_provider(
            kSlowSize, "application/octet-stream",
            [this](size_t offset, size_t, httplib::DataSink& sink) {
                std::this_thread::sleep_for(std::chrono::milliseconds(15));
                const std::string chunk(std::min(kChunk, kSlowSize - offset), 'v');
                if (!sink.write(chunk.data(), chunk.size())) {
                    m_slowEnded = true;
                    return false;
                }
                m_slowSent += static_cast<int>(chunk.size());
                return true;
            },
            [this](bool) { m_slowEnded = true; });
    });
    // Announces more than it sends and then drops the connection, every time.
    server.Get("/dying.bin", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"dying.bin\"");
        response.set_content_provider(
            kDyingSize, "application/octet-stream",
            [](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset >= kDyingSize / 2)
                    return false;
                const std::string chunk(kChunk, 'd');
                return sink.write(chunk.data(), chunk.size());
            });
    });
    m_server.start();
    m_browserApp.Initialize();
    SetMessageBoxSink(RecordMessage);
}

void DownloadProgressTest::cleanupTestCase()
{
    SetMessageBoxSink(nullptr);
    m_server.stop();
}

void DownloadProgressTest::init()
{
    LaunchState = LaunchStateRecord();
    g_messages.clear();
    m_saveFolder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_saveFolder->isValid());
}

void DownloadProgressTest::cleanup()
{
    if (m_window && ProgressWindow() && ProgressWindow()->RunningCount() > 0) {
        ModalDriver end([](QWidget* modal) {
            if (auto* button = modal->findChild<QPushButton*>(QStringLiteral("endDownloads")))
                button->click();
        });
        m_window->close();
    }
    m_window.reset();
    m_saveFolder.reset();
}

QUrl DownloadProgressTest::Url(const QString& path) const
{
    return QUrl(QString::fromStdString(m_server.baseUrl()) + path);
}

bool DownloadProgressTest::OpenMainWindow()
{
    LaunchState.StartUrl = Url(QStringLiteral("/main")).toString().toStdU16String();
    m_window = std::make_unique<CVantorDlg>(m_browserApp.Profile());
    m_window->OpenStartUrl();
    m_window->show();
    return WaitFor([&] { return m_window->windowTitle() == QStringLiteral("主页"); });
}

DownloadProgressWindow* DownloadProgressTest::ProgressWindow() const
{
    return m_window->findChild<DownloadProgressWindow*>();
}

bool DownloadProgressTest::ProgressShown() const
{
    return ProgressWindow() && ProgressWindow()->isVisible();
}

void DownloadProgressTest::StartDownload(const QString& path)
{
    MainBrowser()->runJavaScript(QStringLiteral("location.href = '%1'").arg(path));
}

void DownloadProgressTest::slowDownloadShowsProgressAndCancelStopsIt()
{
    QVERIFY(OpenMainWindow());
    const QString target = m_saveFolder->filePath(QStringLiteral("慢.bin"));
    ModalDriver save(SaveAs(target));

    StartDownload(QStringLiteral("/slow.bin"));

    QTRY_VERIFY_WITH_TIMEOUT(ProgressShown(), kTimeout);
    DownloadProgressWindow* window = ProgressWindow();
    QVERIFY(!window->isModal());
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("fileName"))->text(), QStringLiteral("慢.bin"));
    auto* transferred = window->findChild<QLabel*>(QStringLiteral("transferred"));
    QTRY_VERIFY_WITH_TIMEOUT(transferred->text().endsWith(QStringLiteral(" / 64.0 MB")) &&
                                 !transferred->text().startsWith(QStringLiteral("0 B")),
                             kTimeout);
    const QString earlier = transferred->text();
    QTRY_VERIFY_WITH_TIMEOUT(transferred->text() != earlier, kTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(window->findChild<QLabel*>(QStringLiteral("speed"))->text().endsWith(
                                 QStringLiteral("/秒")) &&
                                 window->findChild<QLabel*>(QStringLiteral("timeLeft"))
                                     ->text()
                                     .startsWith(QStringLiteral("剩余 ")),
                             kTimeout);
    // The page stays usable meanwhile.
    QCOMPARE(RunScript(MainBrowser(), QStringLiteral("document.body.innerText")).toString(),
             QStringLiteral("main"));

    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);

    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), kTimeout);
    QCOMPARE(window->RunningCount(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_slowEnded, kTimeout);
    QVERIFY(m_slowSent < static_cast<int>(kSlowSize));
    QTRY_COMPARE_WITH_TIMEOUT(FilesIn(m_saveFolder->path()), QStringList(), kTimeout);
    QVERIFY(g_messages.empty());
}

void DownloadProgressTest::serverDyingHalfwayGivesTheFailureAndNoSecondDialog()
{
    QVERIFY(OpenMainWindow());
    int dialogs = 0;
    ModalDriver save(SaveAs(m_saveFolder->filePath(QStringLiteral("dying.bin")), nullptr, &dialogs));

    StartDownload(QStringLiteral("/dying.bin"));

    QTRY_COMPARE_WITH_TIMEOUT(g_messages.size(), size_t(1), kTimeout);
    QCOMPARE(g_messages.front(), QStringLiteral("文件“dying.bin”下载失败：服务器发送的数据不完整。"));
    QTRY_VERIFY_WITH_TIMEOUT(!ProgressWindow()->isVisible(), kTimeout);
    QCOMPARE(ProgressWindow()->RunningCount(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(FilesIn(m_saveFolder->path()), QStringList(), kTimeout);
    // Whatever the engine tries again afterwards asks nothing and says nothing more.
    QTest::qWait(3000);
    QCOMPARE(dialogs, 1);
    QCOMPARE(g_messages.size(), size_t(1));
}

void DownloadProgressTest::closingDuringADownloadAsksFirst_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("closes");
    QTest::newRow("keep waiting") << QStringLiteral("keepWaiting") << false;
    QTest::newRow("end the downloads") << QStringLiteral("endDownloads") << true;
}

void DownloadProgressTest::closingDuringADownloadAsksFirst()
{
    QFETCH(QString, button);
    QFETCH(bool, closes);
    QVERIFY(OpenMainWindow());
    ModalDriver save(SaveAs(m_saveFolder->filePath(QStringLiteral("slow.bin"))));
    StartDownload(QStringLiteral("/slow.bin"));
    QTRY_VERIFY_WITH_TIMEOUT(ProgressShown(), kTimeout);
    QString question;
    ModalDriver answer([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return;
        question = box->text();
        box->findChild<QPushButton*>(button)->click();
    });

    m_window->close();

    QVERIFY(question.startsWith(QStringLiteral("下载尚未完成")));
    // The pages are asked next, and the window ends once they agreed.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->isVisible(), !closes, kTimeout);
    QCOMPARE(ProgressWindow()->RunningCount(), closes ? 0 : 1);
    if (closes) {
        QTRY_VERIFY_WITH_TIMEOUT(m_slowEnded, kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(FilesIn(m_saveFolder->path()), QStringList(), kTimeout);
    } else {
        const int sent = m_slowSent;
        QTRY_VERIFY_WITH_TIMEOUT(m_slowSent > sent, kTimeout);
        QVERIFY(ProgressWindow()->isVisible());
    }
    QVERIFY(g_messages.empty());
}

void DownloadProgressTest::missingDownloadFolderProposesHome()
{
    const QString missing = m_home.filePath(QStringLiteral("不存在"));
    QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral(".config"))));
    QFile userDirs(m_home.filePath(QStringLiteral(".config/user-dirs.dirs")));
    QVERIFY(userDirs.open(QIODevice::WriteOnly));
    userDirs.write("XDG_DOWNLOAD_DIR=\"" + missing.toUtf8() + "\"\n");
    userDirs.close();
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), missing);
    QVERIFY(OpenMainWindow());
    QString proposed;
    ModalDriver save(SaveAs(QString(), &proposed));

    StartDownload(QStringLiteral("/dying.bin"));

    QTRY_VERIFY_WITH_TIMEOUT(!proposed.isEmpty(), kTimeout);
    QCOMPARE(proposed, QDir(m_home.path()).filePath(QStringLiteral("dying.bin")));
    QTRY_COMPARE_WITH_TIMEOUT(g_messages.size(), size_t(1), kTimeout);
    QVERIFY(!QFileInfo::exists(missing));
}

QTEST_MAIN(DownloadProgressTest)
#include "download_progress_test.moc"
