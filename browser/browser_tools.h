#pragma once

class QWebEngineView;

// Gives a browser view what office staff use every day without any visible
// chrome: keys, printing, find, zoom remembered per site and a context menu
// fit for a window that shows one site. Everything lives as long as the view.
void AddBrowserTools(QWebEngineView* view);
