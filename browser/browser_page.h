#pragma once

#include <QPointer>
#include <QWebEnginePage>
#include <QWidget>

class BrowserEvents;
class QWebEngineLoadingInfo;
class QWebEngineView;

// One browser of the launcher: the main browser inside the main window, or a
// pop-up in a window of its own. Every event of its page goes to the one
// browser client of the process.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT

public:
    enum class Kind { Main, Popup };

    // `view` shows the page and owns it; `hostWindow` is the view itself for the
    // main browser and the pop-up's frame window for a pop-up.
    BrowserPage(QWebEngineProfile* profile, BrowserEvents& client, Kind kind, QWebEngineView* view,
                QWidget* hostWindow);
    ~BrowserPage() override;

    bool IsPopup() const;
    // True once a page of its own has been shown, even while it is still
    // loading; a pop-up opened only to start a download never gets one.
    bool HasDocument() const;
    // Null once the window is gone.
    QWidget* HostWindow() const;

    // Asks the page to close, as closing its window does: a page that guards
    // unsaved work asks the user with the engine's leave-page question.
    void RequestClose();
    // Ends the browser's window and, with it, the browser. The main browser's
    // window is the main window.
    void CloseBrowser();

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;

private:
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void OnWindowCloseRequested();
    QWidget* DialogParent() const;

    BrowserEvents& m_client;
    const Kind m_kind;
    QPointer<QWidget> m_hostWindow;
};
