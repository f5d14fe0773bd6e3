#include "browser/renderer_crash_recovery.h"

#include <QTimer>
#include <QWebEngineView>

#include "browser/crash_notice.h"

RendererCrashRecovery::RendererCrashRecovery(QWebEnginePage& page, QWebEngineView& view)
    : QObject(&view), m_page(page), m_view(view)
{
    connect(&page, &QWebEnginePage::renderProcessTerminated, this,
            &RendererCrashRecovery::OnRenderProcessTerminated);
    connect(&page, &QWebEnginePage::loadFinished, this, &RendererCrashRecovery::OnLoadFinished);
}

void RendererCrashRecovery::OnRenderProcessTerminated(
    QWebEnginePage::RenderProcessTerminationStatus status)
{
    const bool normalExit = status == QWebEnginePage::NormalTerminationStatus;
    switch (m_policy.OnRendererGone(normalExit, RendererCrashPolicy::Clock::now())) {
    case RendererCrashResponse::None:
        return;
    case RendererCrashResponse::ReloadByItself:
        // Not inside the engine's own report of the death.
        QTimer::singleShot(0, this, &RendererCrashRecovery::Reload);
        return;
    case RendererCrashResponse::ShowNotice:
        m_bReloading = false;
        Notice().ShowOverPage();
        return;
    }
}

void RendererCrashRecovery::Reload()
{
    if (m_notice)
        m_notice->hide();
    m_bReloading = true;
    m_page.triggerAction(QWebEnginePage::Reload);
}

CrashNotice& RendererCrashRecovery::Notice()
{
    // Made at the first need: most pages never show it.
    if (!m_notice) {
        m_notice = new CrashNotice(m_view);
        connect(m_notice, &CrashNotice::reloadClicked, this, &RendererCrashRecovery::Reload);
    }
    return *m_notice;
}

void RendererCrashRecovery::OnLoadFinished(bool)
{
    if (!m_bReloading)
        return;
    m_bReloading = false;
    m_view.setFocus();
}
