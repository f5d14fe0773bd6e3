#pragma once

#include <memory>

#include <QDialog>
#include <QIcon>
#include <QPointer>

#include "browser/browser_host_window.h"
#include "browser/relayout.h"

class BrowserPage;
class CCefBrowserEventHandler;
class QWebEngineProfile;

// The launcher's main window: a dialog that shows maximised and hosts the
// main browser over its hidden placeholder, scales its other children whenever
// it is restored or maximised, and places every pop-up browser window. The
// main browser shows a waiting page until OpenStartUrl.
class CVantorDlg : public QDialog, public BrowserHostWindow {
    Q_OBJECT

public:
    enum { IDD = 102, IDC_BROWSER_AREA = 1002 };

    explicit CVantorDlg(QWebEngineProfile* profile, QWidget* pParent = nullptr);
    ~CVantorDlg() override;

    // LaunchState.StartUrl is decided: the main browser opens it now, or at
    // the first show. An empty start URL leaves a blank page.
    void OpenStartUrl();

    // Runs the window until it ends, without blocking the pop-ups: they are
    // top-level windows of their own that take input beside it.
    int exec() override;

    QWidget& HostWidget() override;
    void OnBrowserWindowCreated(QWidget* browserWindow) override;
    void OnBrowserTitle(QWidget* browserWindow) override;

    QWidget* BrowserArea() const;
    CCefBrowserEventHandler& BrowserClient() const;

    void setVisible(bool visible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnInitDialog();
    void OnSize(SizeChange change);
    void OnDestroy();
    void ShowWaitingPage();
    void LoadStartUrl();
    void ForgetWaitingPage();

    int m_nClientWidth;
    int m_nClientHeight;
    QIcon m_hIcon;
    QWebEngineProfile* m_profile;
    QWidget* m_browserArea;
    QPointer<QWidget> m_mainBrowserWindow;
    std::unique_ptr<CCefBrowserEventHandler> m_browserClient;
    bool m_bInitialized = false;
    QPointer<BrowserPage> m_mainPage;
    bool m_bStartUrlKnown = false;
    bool m_bWaitingPageShown = false;
};
