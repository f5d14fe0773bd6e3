#include "browser/browser_tools.h"

#include <QWebEngineView>

#include "browser/browser_shortcuts.h"
#include "browser/find_bar.h"
#include "browser/kiosk_context_menu.h"
#include "browser/print_controller.h"
#include "browser/zoom_controller.h"

void AddBrowserTools(QWebEngineView* view)
{
    auto* zoom = new ZoomController(view);
    auto* findBar = new FindBar(view);
    auto* printer = new PrintController(view);
    new KioskContextMenu(view, [printer] { printer->Print(); });
    new BrowserShortcuts(view, *zoom, *findBar, *printer);
}
