#pragma once

#include <memory>

#include <QDialog>
#include <QIcon>
#include <QPointer>

#include "browser/relayout.h"

class BrowserPage;
class CCefBrowserEventHandler;
class QWebEngineProfile;

// The launcher's main window: a dialog that shows maximised and hosts the
// main browser over its hidden placeholder, scales its children whenever it
// is restored or maximised, and places every pop-up browser window. The main
// browser shows a waiting page until OpenStartUrl.
class CVantorDlg : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 102, IDC_BROWSER_AREA = 1002 };

    explicit CVantorDlg(QWebEngineProfile* profile, QWidget* pParent = nullptr);
    ~CVantorDlg() override;

    // LaunchState.StartUrl is decided: the main browser opens it now, or at
    // the first show. An empty start URL leaves a blank page.
    void OpenStartUrl();

    // A browser window has been created: the main browser's view or a
    // pop-up's frame window.
    void OnBrowserWindowCreated(QWidget* browserWindow);
    // The window's text becomes the latest page title.
    void OnBrowserTitle(QWidget* browserWindow);

    QWidget* BrowserArea() const;
    CCefBrowserEventHandler& BrowserClient() const;

    void setVisible(bool visible) override;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnInitDialog();
    void OnSize(SizeChange change);
    void OnDestroy();
    bool FocusIsInBrowser() const;
    void LoadStartUrl();
    void ForgetWaitingPage();

    int m_nClientWidth;
    int m_nClientHeight;
    QIcon m_hIcon;
    QWebEngineProfile* m_profile;
    QWidget* m_browserArea;
    std::unique_ptr<CCefBrowserEventHandler> m_browserClient;
    bool m_bInitialized = false;
    bool m_bMaximizeAtMap = false;
    QPointer<BrowserPage> m_mainPage;
    bool m_bStartUrlKnown = false;
};
