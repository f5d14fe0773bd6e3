#include "browser/kiosk_context_menu.h"

#include <QAction>
#include <QMenu>
#include <QWebEngineView>

#include "browser/page_reload.h"

KioskContextMenu::KioskContextMenu(QWebEngineView* view, std::function<void()> print)
    : QObject(view), m_view(view), m_print(std::move(print))
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &KioskContextMenu::ShowMenu);
}

QMenu* KioskContextMenu::CreateMenu()
{
    QMenu* menu = m_view->createStandardContextMenu();
    QWebEnginePage* page = m_view->page();
    // The page source and the inspector show the site's code to staff;
    // a saved page is no use away from the site.
    for (const auto hidden : {QWebEnginePage::ViewSource, QWebEnginePage::InspectElement,
                              QWebEnginePage::SavePage})
        menu->removeAction(page->action(hidden));

    QAction* engineReload = page->action(QWebEnginePage::Reload);
    if (menu->actions().contains(engineReload)) {
        auto* reload = new QAction(engineReload->text(), menu);
        reload->setObjectName(QStringLiteral("reload"));
        connect(reload, &QAction::triggered, page,
                [page] { ReloadPage(*page, false); });
        menu->insertAction(engineReload, reload);
        menu->removeAction(engineReload);
    }

    menu->addSeparator();
    auto* print = menu->addAction(QStringLiteral("打印..."));
    print->setObjectName(QStringLiteral("print"));
    // Queued: the print preview must not run inside the menu's own event.
    connect(print, &QAction::triggered, this, m_print, Qt::QueuedConnection);

    // A separator left at either end or doubled by a removal.
    QAction* previous = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() && (!previous || previous->isSeparator()))
            menu->removeAction(action);
        else
            previous = action;
    }
    return menu;
}

void KioskContextMenu::ShowMenu(const QPoint& position)
{
    CreateMenu()->popup(m_view->mapToGlobal(position));
}
