#include "bench/window_watch.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace {

// Windows come and go while they are looked at; a request about one that is
// gone is no fault of the watch.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}

}

WindowWatch::WindowWatch()
{
    m_display = XOpenDisplay(nullptr);
    if (!m_display)
        return;
    XSetErrorHandler(IgnoreError);
    m_netWmName = XInternAtom(m_display, "_NET_WM_NAME", False);
    m_utf8String = XInternAtom(m_display, "UTF8_STRING", False);
    XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
    XFlush(m_display);
}

WindowWatch::~WindowWatch()
{
    if (m_display)
        XCloseDisplay(m_display);
}

bool WindowWatch::Connected() const
{
    return m_display != nullptr;
}

int WindowWatch::Descriptor() const
{
    return ConnectionNumber(m_display);
}

void WindowWatch::StartOver(std::string captionStart)
{
    ReadEvents();
    for (const Window window : m_watched)
        XSelectInput(m_display, window, NoEventMask);
    XFlush(m_display);
    m_watched.clear();
    m_captionStart = std::move(captionStart);
    m_firstShown.reset();
    m_captionShown.reset();
    m_caption.clear();
}

void WindowWatch::ReadEvents()
{
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        switch (event.type) {
        case CreateNotify:
            if (event.xcreatewindow.parent == DefaultRootWindow(m_display)
                && !event.xcreatewindow.override_redirect)
                Watch(event.xcreatewindow.window);
            break;
        case MapNotify:
            if (m_watched.count(event.xmap.window) && !m_firstShown)
                m_firstShown = Clock::now();
            break;
        case PropertyNotify:
            if (event.xproperty.atom == m_netWmName && m_watched.count(event.xproperty.window))
                CheckCaption(event.xproperty.window);
            break;
        case DestroyNotify:
            m_watched.erase(event.xdestroywindow.window);
            break;
        }
    }
}

void WindowWatch::Watch(Window window)
{
    m_watched.insert(window);
    XSelectInput(m_display, window, PropertyChangeMask | StructureNotifyMask);
    // What happened before the selection took effect is read once.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state != IsUnmapped
        && !m_firstShown)
        m_firstShown = Clock::now();
    CheckCaption(window);
}

void WindowWatch::CheckCaption(Window window)
{
    if (m_captionShown)
        return;
    const std::string caption = CaptionOf(window);
    if (!m_captionStart.empty() && caption.rfind(m_captionStart, 0) == 0) {
        m_captionShown = Clock::now();
        m_caption = caption;
    }
}

std::string WindowWatch::CaptionOf(Window window) const
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string caption;
    if (XGetWindowProperty(m_display, window, m_netWmName, 0, 1024, False, m_utf8String, &type,
                           &format, &count, &remaining, &data) == Success
        && data && type == m_utf8String && format == 8)
        caption.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    return caption;
}

std::optional<Clock::time_point> WindowWatch::FirstShown() const
{
    return m_firstShown;
}

std::optional<Clock::time_point> WindowWatch::CaptionShown() const
{
    return m_captionShown;
}

const std::string& WindowWatch::Caption() const
{
    return m_caption;
}
