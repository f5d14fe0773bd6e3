#pragma once

#include <chrono>
#include <optional>

// What a page does when its renderer process has gone.
enum class RendererCrashResponse {
    None,            // a normal exit, as at shut-down
    ReloadByItself,  // the first death in a while: the page loads again
    ShowNotice,      // it died again soon after: the user decides, so no reload loop
};

// The deaths of one page's renderer: a page reloads by itself once; a second
// death within a minute of the previous one waits for the user.
class RendererCrashPolicy {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::seconds kRepeatWindow{60};

    RendererCrashResponse OnRendererGone(bool normalExit, Clock::time_point now);

private:
    std::optional<Clock::time_point> m_lastDeath;
};
