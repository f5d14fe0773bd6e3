#pragma once

#include <QObject>

class PrintController;
class QKeySequence;
class QWebEngineView;
class ZoomController;

// The keys of a browser window that has no visible chrome, active while the
// view's window is: reload, back and forward, zoom, find, print and full
// screen. Esc, Enter and Backspace are left to the page.
class BrowserShortcuts : public QObject {
    Q_OBJECT

public:
    BrowserShortcuts(QWebEngineView* view, ZoomController& zoom, PrintController& printer);

private:
    template <typename Action>
    void Bind(std::initializer_list<QKeySequence> keys, Action action);
    void ToggleFullScreen();

    QWebEngineView* m_view;
};
