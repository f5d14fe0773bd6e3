#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class BrowserPage;
class CVantorDlg;
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
class CCefBrowserEventHandler : public QObject {
    Q_OBJECT

public:
    // Downloads of every browser of `profile` come here.
    CCefBrowserEventHandler(CVantorDlg& mainWindow, QWebEngineProfile* profile);
    ~CCefBrowserEventHandler() override;

    void OnTitleChange(BrowserPage& browser, const QString& title);
    void OnLoadError(BrowserPage& browser, int errorCode, const QString& errorText,
                     const QUrl& failedUrl);
    void OnAfterCreated(BrowserPage& browser);
    // Never vetoes a close.
    bool DoClose(BrowserPage& browser);
    // The browser is going; it is not used beyond its address.
    void OnBeforeClose(const BrowserPage& browser);
    void OnBeforeDownload(BrowserPage* browser, QWebEngineDownloadRequest* download,
                          const QString& suggestedName);
    void OnDownloadUpdated(BrowserPage* browser, QWebEngineDownloadRequest* download);

    // Ends every browser at once; the engine's shut-down.
    void CloseAllBrowsers();
    // False when downloads run and the user chose to keep waiting for them.
    bool MayCloseMainWindow();

    // The answers to the pages' permission questions, for this session.
    PermissionAnswers& Permissions() const;

    const std::vector<BrowserPage*>& Browsers() const;

signals:
    // The last browser has closed. The launcher does not wait for this: it
    // ends when the main window closes.
    void quitRequested();

private:
    void OnDownloadRequested(QWebEngineDownloadRequest* download);
    BrowserPage* FindBrowser(const QObject* page) const;

    CVantorDlg& m_mainWindow;
    std::vector<BrowserPage*> m_browserList;
    DownloadProgressWindow* m_downloadWindow;
    // Where each download placed by the user goes, by the engine's id: the
    // engine asks again when it resumes an interrupted download.
    std::map<quint32, QString> m_downloadTargets;
    std::unique_ptr<PermissionAnswers> m_permissions;
};
