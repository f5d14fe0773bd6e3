#include "browser/full_screen_switch.h"

#include <QShortcut>
#include <QWebEngineFullScreenRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

FullScreenSwitch::FullScreenSwitch(QWebEnginePage* page) : QObject(page), m_page(page)
{
    // The engine refuses every request while this is off.
    page->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    connect(page, &QWebEnginePage::fullScreenRequested, this, &FullScreenSwitch::OnRequested);
}

void FullScreenSwitch::OnRequested(QWebEngineFullScreenRequest request)
{
    QWebEngineView* view = QWebEngineView::forPage(m_page);
    if (request.toggleOn() && !view) {
        request.reject();
        return;
    }
    request.accept();
    if (request.toggleOn())
        Enter(view->window());
    else
        Leave();
}

void FullScreenSwitch::Enter(QWidget* window)
{
    if (m_window)
        return;
    m_window = window;
    m_formerState = window->windowState();
    window->setWindowState(m_formerState | Qt::WindowFullScreen);
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    connect(m_escape, &QShortcut::activated, this,
            [this] { m_page->triggerAction(QWebEnginePage::ExitFullScreen); });
}

void FullScreenSwitch::Leave()
{
    delete m_escape;
    if (m_window)
        m_window->setWindowState(m_formerState);
    m_window = nullptr;
}
