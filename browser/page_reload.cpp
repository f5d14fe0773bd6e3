#include "browser/page_reload.h"

#include <QWebEnginePage>

namespace {

// The error page is the launcher's own HTML shown under the failed address;
// nothing else the launcher shows comes from a data URL.
bool ShowsErrorPage(const QWebEnginePage& page)
{
    return page.requestedUrl().scheme() == QLatin1String("data") &&
           page.url().scheme() != QLatin1String("data");
}

}

void ReloadPage(QWebEnginePage& page, bool bypassCache)
{
    if (ShowsErrorPage(page))
        page.load(page.url());
    else
        page.triggerAction(bypassCache ? QWebEnginePage::ReloadAndBypassCache
                                       : QWebEnginePage::Reload);
}
