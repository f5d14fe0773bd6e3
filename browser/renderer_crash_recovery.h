#pragma once

#include <QObject>
#include <QWebEnginePage>

#include "browser/renderer_crash_policy.h"

class CrashNotice;
class QWebEngineView;

// Brings a page back when its renderer process dies: it reloads by itself
// once, and a second death soon after shows a notice whose button reloads.
// The keyboard focus returns to the page once it is back.
class RendererCrashRecovery : public QObject {
    Q_OBJECT

public:
    // Lives as long as `view`, which shows `page`.
    RendererCrashRecovery(QWebEnginePage& page, QWebEngineView& view);

private:
    void OnRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status);
    void Reload();
    void OnLoadFinished(bool ok);
    CrashNotice& Notice();

    QWebEnginePage& m_page;
    QWebEngineView& m_view;
    CrashNotice* m_notice = nullptr;
    RendererCrashPolicy m_policy;
    bool m_bReloading = false;
};
