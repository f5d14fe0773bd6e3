#include "browser/cefbrowsereventhandler.h"

#include <algorithm>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWidget>

#include "browser/browser_host_window.h"
#include "browser/browser_page.h"
#include "browser/certificate_error_page.h"
#include "browser/download_progress_window.h"
#include "browser/download_target.h"
#include "browser/download_texts.h"
#include "browser/error_page.h"
#include "browser/permission_answers.h"
#include "platform/message_box.h"

std::u16string g_strBrowserTitle;

namespace {

QString ProposedDownloadFile(const QString& suggestedName)
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    const std::string folder = ProposedDownloadFolder(
        downloads.toStdString(), QFileInfo(downloads).isDir(), QDir::homePath().toStdString());
    return QString::fromStdString(ProposedDownloadPath(folder, suggestedName.toStdString()));
}

QString AskSaveTarget(QWidget* owner, const QString& suggestedName)
{
    return QFileDialog::getSaveFileName(owner, QString(), ProposedDownloadFile(suggestedName),
                                        QString(), nullptr, QFileDialog::DontUseNativeDialog);
}

QString PageFor(int errorCode, const QString& errorText, const QUrl& failedUrl)
{
    const std::string url = failedUrl.toString().toStdString();
    if (IsCertificateError(errorCode))
        return QString::fromStdString(ComposeCertificateErrorPage(url, errorCode));
    return QString::fromStdString(ComposeErrorPage(url, errorText.toStdString(), errorCode));
}

}

CCefBrowserEventHandler::CCefBrowserEventHandler(BrowserHostWindow& mainWindow,
                                                 QWebEngineProfile* profile)
    : m_mainWindow(mainWindow),
      m_permissions(std::make_unique<PermissionAnswers>())
{
    if (profile)
        connect(profile, &QWebEngineProfile::downloadRequested, this,
                &CCefBrowserEventHandler::OnDownloadRequested);
}

CCefBrowserEventHandler::~CCefBrowserEventHandler()
{
    CloseAllBrowsers(true);
}

// Display.

void CCefBrowserEventHandler::OnTitleChange(BrowserPage& browser, const QString& title)
{
    // Every page has its main frame here, so the title always becomes the
    // main window's caption.
    m_mainWindow.HostWidget().setWindowTitle(title);
    g_strBrowserTitle = title.toStdU16String();
    m_mainWindow.OnBrowserTitle(browser.HostWindow());
}

// Load.

void CCefBrowserEventHandler::OnLoadError(BrowserPage& browser, int errorCode,
                                          const QString& errorText, const QUrl& failedUrl)
{
    if (!LoadErrorShowsPage(errorCode))
        return;
    browser.setHtml(PageFor(errorCode, errorText, failedUrl), failedUrl);
}

// Life span.

void CCefBrowserEventHandler::OnAfterCreated(BrowserPage& browser)
{
    m_browserList.push_back(&browser);
    m_mainWindow.OnBrowserWindowCreated(browser.HostWindow());
}

bool CCefBrowserEventHandler::DoClose(BrowserPage& browser)
{
    if (!browser.IsPopup())
        m_bMainBrowserClosing = true;
    return false;
}

void CCefBrowserEventHandler::OnBeforeClose(const BrowserPage& browser)
{
    const auto entry = std::find(m_browserList.begin(), m_browserList.end(), &browser);
    if (entry != m_browserList.end())
        m_browserList.erase(entry);
    if (m_browserList.empty())
        emit quitRequested();
    if (m_bClosingAll)
        // Not inside the closing page's destruction.
        QMetaObject::invokeMethod(this, &CCefBrowserEventHandler::CloseNextBrowser,
                                  Qt::QueuedConnection);
}

void CCefBrowserEventHandler::OnCloseCancelled(BrowserPage&)
{
    m_bClosingAll = false;
    m_bMainBrowserClosing = false;
}

// Downloads.

void CCefBrowserEventHandler::OnBeforeDownload(BrowserPage* browser,
                                               QWebEngineDownloadRequest* download,
                                               const QString& suggestedName)
{
    const auto placed = m_downloadTargets.find(download->id());
    const bool resumed = placed != m_downloadTargets.end();
    QWidget* owner = browser && browser->HostWindow() ? browser->HostWindow()->window()
                                                      : &m_mainWindow.HostWidget();
    const QString target = resumed ? placed->second : AskSaveTarget(owner, suggestedName);
    if (target.isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo targetFile(target);
    download->setDownloadDirectory(targetFile.absolutePath());
    download->setDownloadFileName(targetFile.fileName());
    m_downloadTargets[download->id()] = target;
    DownloadWindow().Track(download);
    connect(download, &QWebEngineDownloadRequest::stateChanged, this,
            [this, page = QPointer<BrowserPage>(browser), download] {
                OnDownloadUpdated(page, download);
            });
    download->accept();
}

void CCefBrowserEventHandler::OnDownloadUpdated(BrowserPage* browser,
                                                QWebEngineDownloadRequest* download)
{
    switch (download->state()) {
    case QWebEngineDownloadRequest::DownloadCompleted:
        ShowMessageBox(u"下载成功");
        break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        // The engine has given up resuming it; its partial file goes.
        ShowMessageBox(DownloadFailureText(download->downloadFileName().toStdU16String(),
                                           download->interruptReason()));
        download->cancel();
        return;
    case QWebEngineDownloadRequest::DownloadCancelled:
        break;
    default:
        return;
    }
    // A pop-up that only started the download has nothing left to show.
    if (browser && browser->IsPopup() && !browser->HasDocument())
        browser->CloseBrowser();
}

void CCefBrowserEventHandler::OnDownloadRequested(QWebEngineDownloadRequest* download)
{
    BrowserPage* browser = FindBrowser(download->page());
    OnBeforeDownload(browser, download, download->suggestedFileName());
}

// Closing every browser.

void CCefBrowserEventHandler::CloseAllBrowsers(bool bForceClose)
{
    if (!bForceClose) {
        m_bClosingAll = true;
        CloseNextBrowser();
        return;
    }
    m_bClosingAll = false;
    std::vector<QPointer<QWidget>> windows;
    for (BrowserPage* browser : m_browserList)
        windows.emplace_back(browser->HostWindow());
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
}

bool CCefBrowserEventHandler::IsClosing() const
{
    return m_browserList.empty() || (m_bMainBrowserClosing && m_browserList.size() == 1);
}

void CCefBrowserEventHandler::CloseNextBrowser()
{
    if (!m_bClosingAll)
        return;
    if (IsClosing()) {
        m_bClosingAll = false;
        m_mainWindow.HostWidget().close();
        return;
    }
    // The list starts with the main browser, whose close ends the main window.
    m_browserList.back()->RequestClose();
}

bool CCefBrowserEventHandler::MayCloseMainWindow()
{
    return !m_downloadWindow || m_downloadWindow->RunningCount() == 0 ||
           m_downloadWindow->ConfirmEndingDownloads(&m_mainWindow.HostWidget());
}

DownloadProgressWindow& CCefBrowserEventHandler::DownloadWindow()
{
    // Made at the first download: most sessions have none.
    if (!m_downloadWindow)
        m_downloadWindow = new DownloadProgressWindow(&m_mainWindow.HostWidget());
    return *m_downloadWindow;
}

PermissionAnswers& CCefBrowserEventHandler::Permissions() const
{
    return *m_permissions;
}

const std::vector<BrowserPage*>& CCefBrowserEventHandler::Browsers() const
{
    return m_browserList;
}

BrowserPage* CCefBrowserEventHandler::FindBrowser(const QObject* page) const
{
    const auto entry = std::find(m_browserList.begin(), m_browserList.end(), page);
    return entry == m_browserList.end() ? nullptr : *entry;
}
