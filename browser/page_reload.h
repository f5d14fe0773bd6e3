#pragma once

class QWebEnginePage;

// Reloads what the page shows. The error page stands in for its failed
// address, so reloading it asks the site for that address again.
void ReloadPage(QWebEnginePage& page, bool bypassCache);
