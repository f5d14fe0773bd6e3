#pragma once

#include <QTemporaryDir>
#include <QWebEngineProfile>

#include "browser/cefbrowserapp.h"

// The browser engine of a GUI test, its profile in a temporary cache folder
// rather than in the user's.
class TestBrowserEngine {
public:
    bool Initialize()
    {
        if (!m_cache.isValid())
            return false;
        qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
        m_browserApp.Initialize();
        return true;
    }

    QWebEngineProfile* Profile() const { return m_browserApp.Profile(); }

private:
    QTemporaryDir m_cache;
    CCefBrowserApp m_browserApp;
};
