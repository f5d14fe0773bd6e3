#pragma once

#include <QString>

#include "browser/browser_page.h"
#include "browser/cefbrowsereventhandler.h"
#include "browser/vantordlg.h"
#include "tests/support/gui_waits.h"

// The main window's own page; null until the window has made it.
inline BrowserPage* MainPageOf(const CVantorDlg& window)
{
    const auto& browsers = window.BrowserClient().Browsers();
    return browsers.empty() ? nullptr : browsers.front();
}

// Opens a pop-up from the main page's script and waits until it shows its
// title, maximised; null when none came.
inline BrowserPage* OpenPopupByScript(const CVantorDlg& window, const QString& path, const QString& title)
{
    const auto& browsers = window.BrowserClient().Browsers();
    const size_t before = browsers.size();
    MainPageOf(window)->runJavaScript(QStringLiteral("window.open('%1')").arg(path));
    if (!WaitFor([&] { return browsers.size() == before + 1; }))
        return nullptr;
    BrowserPage* popup = browsers.back();
    if (!WaitFor([&] { return popup->title() == title; }) || !WaitUntilMaximised(*popup->HostWindow()))
        return nullptr;
    return popup;
}
