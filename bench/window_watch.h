#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <set>
#include <string>

#include "bench/clock.h"

// Watches the display's top-level windows: when the first window created
// since the last StartOver is mapped, and when the first of them gets a
// caption (_NET_WM_NAME) that starts with a given text. Works under a
// reparenting window manager: the client windows are watched themselves.
class WindowWatch {
public:
    WindowWatch();  // the display named by DISPLAY
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    bool Connected() const;
    int Descriptor() const;  // readable when events have arrived

    // Forgets the windows seen so far and what was stamped.
    void StartOver(std::string captionStart);

    // Takes in every event that has arrived; never waits.
    void ReadEvents();

    std::optional<Clock::time_point> FirstShown() const;
    std::optional<Clock::time_point> CaptionShown() const;
    const std::string& Caption() const;

private:
    void Watch(Window window);
    void CheckCaption(Window window);
    std::string CaptionOf(Window window) const;

    Display* m_display = nullptr;
    Atom m_netWmName = 0;
    Atom m_utf8String = 0;
    std::string m_captionStart;
    std::set<Window> m_watched;
    std::optional<Clock::time_point> m_firstShown;
    std::optional<Clock::time_point> m_captionShown;
    std::string m_caption;
};
