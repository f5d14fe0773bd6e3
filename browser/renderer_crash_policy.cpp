#include "browser/renderer_crash_policy.h"

RendererCrashResponse RendererCrashPolicy::OnRendererGone(bool normalExit, Clock::time_point now)
{
    if (normalExit)
        return RendererCrashResponse::None;
    const bool diedRecently = m_lastDeath && now - *m_lastDeath < kRepeatWindow;
    m_lastDeath = now;
    return diedRecently ? RendererCrashResponse::ShowNotice : RendererCrashResponse::ReloadByItself;
}
