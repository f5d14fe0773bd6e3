#pragma once

#include <functional>

#include <QObject>

class QMenu;
class QPoint;
class QWebEngineView;

// The context menu of one browser view, for a window that shows one site:
// the engine's own menu without the page source, the inspector and saving
// the page, with a reload that also works on the error page, and Print.
class KioskContextMenu : public QObject {
    Q_OBJECT

public:
    KioskContextMenu(QWebEngineView* view, std::function<void()> print);

    // The menu for the latest context-menu request, deleted when it closes.
    QMenu* CreateMenu();

private:
    void ShowMenu(const QPoint& position);

    QWebEngineView* m_view;
    std::function<void()> m_print;
};
