#pragma once

#include <QObject>
#include <QPointer>

class QShortcut;
class QWebEngineFullScreenRequest;
class QWebEnginePage;
class QWidget;

// Grants a page's full-screen requests: the page's window covers the screen
// until the page leaves full screen or the user presses Esc, and then gets
// its former state back.
class FullScreenSwitch : public QObject {
    Q_OBJECT

public:
    explicit FullScreenSwitch(QWebEnginePage* page);

private:
    void OnRequested(QWebEngineFullScreenRequest request);
    void Enter(QWidget* window);
    void Leave();

    QWebEnginePage* m_page;
    QPointer<QWidget> m_window;
    QPointer<QShortcut> m_escape;
    Qt::WindowStates m_formerState;
};
