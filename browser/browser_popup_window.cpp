#include "browser/browser_popup_window.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "browser/first_show_maximizer.h"

BrowserPopupWindow::BrowserPopupWindow() : m_view(new QWebEngineView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);
    new FirstShowMaximizer(*this);
}

QWebEngineView* BrowserPopupWindow::View() const
{
    return m_view;
}

void BrowserPopupWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_view->setFocus();
}

void BrowserPopupWindow::closeEvent(QCloseEvent* event)
{
    // The page's beforeunload handler may keep it; the window goes when the
    // page asks for its close.
    event->ignore();
    m_view->page()->triggerAction(QWebEnginePage::RequestClose);
}
