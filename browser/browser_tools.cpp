#include "browser/browser_tools.h"

#include <QWebEngineView>

#include "browser/browser_shortcuts.h"
#include "browser/kiosk_context_menu.h"
#include "browser/print_controller.h"
#include "browser/zoom_controller.h"

void AddBrowserTools(QWebEngineView* view)
{
    auto* zoom = new ZoomController(view);
    auto* printer = new PrintController(view);
    new KioskContextMenu(view, [printer] { printer->Print(); });
    new BrowserShortcuts(view, *zoom, *printer);
}
