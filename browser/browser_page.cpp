#include "browser/browser_page.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

#include "browser/browser_events.h"
#include "browser/browser_popup_window.h"
#include "browser/failed_load_retry.h"
#include "browser/full_screen_switch.h"
#include "browser/http_sign_in.h"
#include "browser/permission_question.h"
#include "browser/renderer_crash_recovery.h"

namespace {

// Failures of the network and the engine replace the page; an HTTP status is
// the server's own page and stays.
bool IsLoadError(const QWebEngineLoadingInfo& info)
{
    return info.status() == QWebEngineLoadingInfo::LoadFailedStatus &&
           info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain &&
           info.errorDomain() != QWebEngineLoadingInfo::NoErrorDomain;
}

// The engine asks its leave-page question through javaScriptConfirm, in this text.
bool IsLeavePageQuestion(const QString& message)
{
    return message == QCoreApplication::translate("QWebEnginePage",
                                                  "Are you sure you want to leave this page? "
                                                  "Changes that you made may not be saved.");
}

// The site's host: the whole address would carry its query, and with it the
// device's fingerprint, across the screen.
QString DialogTitle(const QUrl& securityOrigin)
{
    const QString host = securityOrigin.host();
    return host.isEmpty() ? QGuiApplication::applicationDisplayName() : host;
}

bool AskPlainText(QWidget* parent, QMessageBox::Icon icon, const QUrl& securityOrigin,
                  const QString& message, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, DialogTitle(securityOrigin), message, buttons, parent);
    // A page's text is never markup here.
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Ok;
}

}

BrowserPage::BrowserPage(QWebEngineProfile* profile, BrowserEvents& client, Kind kind,
                         QWebEngineView* view, QWidget* hostWindow)
    : QWebEnginePage(profile, view), m_client(client), m_kind(kind), m_hostWindow(hostWindow)
{
    view->setPage(this);
    new RendererCrashRecovery(*this, *view);
    connect(this, &QWebEnginePage::titleChanged, this,
            [this](const QString& title) { m_client.OnTitleChange(*this, title); });
    connect(this, &QWebEnginePage::loadingChanged, this, &BrowserPage::OnLoadingChanged);
    connect(this, &QWebEnginePage::windowCloseRequested, this,
            &BrowserPage::OnWindowCloseRequested);
    new HttpSignIn(this);
    new PermissionQuestion(this, m_client.Permissions());
    new FullScreenSwitch(this);
    new FailedLoadRetry(this);
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

void BrowserPage::RequestClose()
{
    triggerAction(QWebEnginePage::RequestClose);
}

void BrowserPage::CloseBrowser()
{
    if (!m_hostWindow)
        return;
    if (m_kind == Kind::Main) {
        m_hostWindow->window()->close();
        return;
    }
    // Later, not now: this may run inside one of the page's own signals.
    m_hostWindow->hide();
    m_hostWindow->deleteLater();
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType)
{
    auto* popup = new BrowserPopupWindow();
    auto* page = new BrowserPage(profile(), m_client, Kind::Popup, popup->View(), popup);
    m_client.OnAfterCreated(*page);
    return page;
}

void BrowserPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    AskPlainText(DialogParent(), QMessageBox::Information, securityOrigin, msg, QMessageBox::Ok);
}

bool BrowserPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    QPointer<BrowserPage> self(this);
    const bool accepted = AskPlainText(DialogParent(), QMessageBox::Question, securityOrigin, msg,
                                       QMessageBox::Ok | QMessageBox::Cancel);
    if (self && !accepted && IsLeavePageQuestion(msg))
        m_client.OnCloseCancelled(*this);
    return accepted;
}

bool BrowserPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                   const QString& defaultValue, QString* result)
{
    QInputDialog dialog(DialogParent());
    dialog.setWindowTitle(DialogTitle(securityOrigin));
    dialog.setLabelText(msg);
    dialog.setTextValue(defaultValue);
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *result = dialog.textValue();
    return true;
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

QWidget* BrowserPage::DialogParent() const
{
    return m_hostWindow ? m_hostWindow->window() : nullptr;
}
