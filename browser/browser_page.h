#pragma once

#include <QPointer>
#include <QWebEnginePage>
#include <QWidget>

class CCefBrowserEventHandler;
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
    BrowserPage(QWebEngineProfile* profile, CCefBrowserEventHandler& client, Kind kind,
                QWebEngineView* view, QWidget* hostWindow);
    ~BrowserPage() override;

    bool IsPopup() const;
    // True once a page of its own has been shown, even while it is still
    // loading; a pop-up opened only to start a download never gets one.
    bool HasDocument() const;
    // Null once the window is gone.
    QWidget* HostWindow() const;

    // Ends the browser's window and, with it, the browser.
    void CloseBrowser();

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void OnWindowCloseRequested();

    CCefBrowserEventHandler& m_client;
    const Kind m_kind;
    QPointer<QWidget> m_hostWindow;
};

// The frame window of a pop-up browser: a plain top-level window filled by
// the browser view, deleted when closed.
class BrowserPopupWindow : public QWidget {
    Q_OBJECT

public:
    BrowserPopupWindow();

    QWebEngineView* View() const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWebEngineView* m_view;
    bool m_bShown = false;
    bool m_bMaximizeAtMap = false;
};
