#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>
#include <QUrl>

#include "browser/browser_events.h"

class BrowserHostWindow;
class BrowserPage;
class DownloadProgressWindow;
class PermissionAnswers;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

// The latest page title of any browser, read by the main window.
extern std::u16string g_strBrowserTitle;

// The one client of every browser in the process, the main browser and each
// pop-up: it keeps the list of live browsers, carries titles into captions,
// announces new browser windows to the main window, replaces failed loads by
// an error page (a certificate page for a certificate failure) and runs
// downloads through a save dialog and the download progress window.
class CCefBrowserEventHandler : public QObject, public BrowserEvents {
    Q_OBJECT

public:
    // Downloads of every browser of `profile` come here.
    CCefBrowserEventHandler(BrowserHostWindow& mainWindow, QWebEngineProfile* profile);
    ~CCefBrowserEventHandler() override;

    // Display: captions.
    void OnTitleChange(BrowserPage& browser, const QString& title) override;

    // Load: the error page.
    void OnLoadError(BrowserPage& browser, int errorCode, const QString& errorText,
                     const QUrl& failedUrl) override;

    // Life span: the list of browsers and their close.
    void OnAfterCreated(BrowserPage& browser) override;
    // Never vetoes a close; notes that the main browser agreed to close.
    bool DoClose(BrowserPage& browser) override;
    // The browser is going; it is not used beyond its address.
    void OnBeforeClose(const BrowserPage& browser) override;
    void OnCloseCancelled(BrowserPage& browser) override;

    // Downloads: the save dialog and the completion message.
    void OnBeforeDownload(BrowserPage* browser, QWebEngineDownloadRequest* download,
                          const QString& suggestedName);
    void OnDownloadUpdated(BrowserPage* browser, QWebEngineDownloadRequest* download);

    // Forced: ends every browser at once, as at the engine's shut-down.
    // Otherwise asks each page in turn, the newest pop-up first and the main
    // browser last; a page that keeps its window stops the round.
    void CloseAllBrowsers(bool bForceClose);
    // True once the main browser agreed to close and no pop-up is left, or
    // when no browser is left at all: the main window may end.
    bool IsClosing() const;
    // False when downloads run and the user chose to keep waiting for them.
    bool MayCloseMainWindow();

    // Permissions.
    PermissionAnswers& Permissions() const override;

    const std::vector<BrowserPage*>& Browsers() const;

signals:
    // The last browser has closed. The launcher does not wait for this: it
    // ends when the main window closes.
    void quitRequested();

private:
    void OnDownloadRequested(QWebEngineDownloadRequest* download);
    BrowserPage* FindBrowser(const QObject* page) const;
    void CloseNextBrowser();
    DownloadProgressWindow& DownloadWindow();

    BrowserHostWindow& m_mainWindow;
    std::vector<BrowserPage*> m_browserList;
    bool m_bClosingAll = false;
    bool m_bMainBrowserClosing = false;
    DownloadProgressWindow* m_downloadWindow = nullptr;
    // Where each download placed by the user goes, by the engine's id: the
    // engine asks again when it resumes an interrupted download.
    std::map<quint32, QString> m_downloadTargets;
    std::unique_ptr<PermissionAnswers> m_permissions;
};
