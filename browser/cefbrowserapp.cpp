#include "browser/cefbrowserapp.h"

#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QLocale>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QWebEngineProfile>

#include "browser/page_compositing.h"

namespace {

constexpr char kProfileName[] = "QLX_Cache";
constexpr char kBrowserLanguage[] = "zh-CN";

void TurnSandboxOffForRoot()
{
    // Chromium will not start sandboxed as root; nobody else loses it.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

void QuietEngineSetUpReport()
{
    // The engine describes its set-up, twenty lines, at every start. Support
    // turns it back on with QT_LOGGING_RULES=qt.webenginecontext.info=true,
    // which overrides this.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

}

QString BrowserCachePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QString::fromLatin1(kProfileName));
}

CCefBrowserApp::CCefBrowserApp() = default;

CCefBrowserApp::~CCefBrowserApp() = default;

void CCefBrowserApp::Initialize()
{
    if (m_profile)
        return;
    TurnSandboxOffForRoot();
    QuietEngineSetUpReport();
    // The engine reads the choice when its first profile starts it.
    ChoosePageCompositing();
    // The engine takes its user-interface language from the default locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));

    m_profile = std::make_unique<QWebEngineProfile>(QString::fromLatin1(kProfileName));
    const QString cachePath = BrowserCachePath();
    m_profile->setPersistentStoragePath(cachePath);
    m_profile->setCachePath(cachePath);
    m_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    m_profile->setHttpAcceptLanguage(QString::fromLatin1(kBrowserLanguage));
}

QWebEngineProfile* CCefBrowserApp::Profile() const
{
    return m_profile.get();
}
