#pragma once

#include <memory>

#include <QString>

class QWebEngineProfile;

// The embedded Chromium's set-up for the whole process: one persistent
// profile shared by the main browser and every pop-up, Chinese locale and
// accept-language, the sandbox on unless the process runs as root, pages
// composited in software where OpenGL has no graphics chip behind it.
class CCefBrowserApp {
public:
    CCefBrowserApp();
    ~CCefBrowserApp();
    CCefBrowserApp(const CCefBrowserApp&) = delete;
    CCefBrowserApp& operator=(const CCefBrowserApp&) = delete;

    // Before the first browser; the engine starts here.
    void Initialize();

    // The browsers' profile; null before Initialize. Every browser must be
    // gone before this object is.
    QWebEngineProfile* Profile() const;

private:
    std::unique_ptr<QWebEngineProfile> m_profile;
};

// "QLX_Cache" in the user's cache folder: the profile's cache and storage.
QString BrowserCachePath();
