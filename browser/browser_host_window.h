#pragma once

class QWidget;

// What the browser client asks of the main window, which hosts the main
// browser and places every pop-up.
class BrowserHostWindow {
public:
    // The main window itself: its caption shows the latest page title.
    virtual QWidget& HostWidget() = 0;
    // A browser window has been created: the main browser's view or a
    // pop-up's frame window.
    virtual void OnBrowserWindowCreated(QWidget* browserWindow) = 0;
    // The window's text becomes the latest page title.
    virtual void OnBrowserTitle(QWidget* browserWindow) = 0;

protected:
    ~BrowserHostWindow() = default;
};
