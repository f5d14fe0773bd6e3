#include "browser/browser_page.h"

#include <QEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

#include "browser/browser_tools.h"
#include "browser/cefbrowsereventhandler.h"

namespace {

// Failures of the network and the engine replace the page; an HTTP status is
// the server's own page and stays.
bool IsLoadError(const QWebEngineLoadingInfo& info)
{
    return info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
           info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain &&
           info.errorDomain() != QWebEngineLoadingInfo::NoErrorDomain;
}

}

BrowserPage::BrowserPage(QWebEngineProfile* profile, CCefBrowserEventHandler& client, Kind kind,
                         QWebEngineView* view, QWidget* hostWindow)
    : QWebEnginePage(profile, view), m_client(client), m_kind(kind), m_hostWindow(hostWindow)
{
    view->setPage(this);
    AddBrowserTools(view);
    connect(this, &QWebEnginePage::titleChanged, this,
            [this](const QString& title) { m_client.OnTitleChange(*this, title); });
    connect(this, &QWebEnginePage::loadingChanged, this, &BrowserPage::OnLoadingChanged);
    connect(this, &QWebEnginePage::windowCloseRequested, this,
            &BrowserPage::OnWindowCloseRequested);
}

BrowserPage::~BrowserPage()
{
    m_client.OnBeforeClose(*this);
}

bool BrowserPage::IsPopup() const
{
    return m_kind == Kind::Popup;
}

bool BrowserPage::HasDocument() const
{
    // Committed documents enter the history as they show, before their load
    // ends; a navigation that turned into a download never does.
    return history()->count() > 0;
}

QWidget* BrowserPage::HostWindow() const
{
    return m_hostWindow;
}

void BrowserPage::CloseBrowser()
{
    // Later, not now: this may run inside one of the page's own signals.
    if (m_hostWindow) {
        m_hostWindow->hide();
        m_hostWindow->deleteLater();
    }
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType)
{
    auto* popup = new BrowserPopupWindow();
    auto* page = new BrowserPage(profile(), m_client, Kind::Popup, popup->View(), popup);
    m_client.OnAfterCreated(*page);
    return page;
}

void BrowserPage::OnLoadingChanged(const QWebEngineLoadingInfo& info)
{
    if (IsLoadError(info))
        m_client.OnLoadError(*this, info.errorCode(), info.errorString(), info.url());
}

void BrowserPage::OnWindowCloseRequested()
{
    if (!m_client.DoClose(*this))
        CloseBrowser();
}

BrowserPopupWindow::BrowserPopupWindow() : m_view(new QWebEngineView(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

QWebEngineView* BrowserPopupWindow::View() const
{
    return m_view;
}

void BrowserPopupWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_bShown)
        return;
    m_bShown = true;
    m_bMaximizeAtMap = isMaximized();
}

void BrowserPopupWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_bMaximizeAtMap)
        return;
    // The page's view makes Qt replace the native window right after the
    // first show, and the window manager then maps the new one at its normal
    // size: the first state it reports must still be maximised.
    m_bMaximizeAtMap = false;
    if (windowState() == Qt::WindowNoState)
        QTimer::singleShot(0, this, &QWidget::showMaximized);
}
