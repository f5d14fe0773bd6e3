#include "browser/browser_shortcuts.h"

#include <QShortcut>
#include <QWebEngineView>

#include "browser/find_bar.h"
#include "browser/page_reload.h"
#include "browser/print_controller.h"
#include "browser/zoom_controller.h"

BrowserShortcuts::BrowserShortcuts(QWebEngineView* view, ZoomController& zoom, PrintController& printer)
    : QObject(view), m_view(view)
{
    QWebEnginePage* page = view->page();
    Bind({Qt::Key_F5, Qt::CTRL | Qt::Key_R}, [page] { ReloadPage(*page, false); });
    Bind({Qt::CTRL | Qt::Key_F5, Qt::CTRL | Qt::SHIFT | Qt::Key_R},
         [page] { ReloadPage(*page, true); });
    Bind({Qt::ALT | Qt::Key_Left}, [page] { page->triggerAction(QWebEnginePage::Back); });
    Bind({Qt::ALT | Qt::Key_Right}, [page] { page->triggerAction(QWebEnginePage::Forward); });
    // Ctrl+= is Ctrl+plus without Shift on most keyboards.
    Bind({Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal}, [&zoom] { zoom.ZoomIn(); });
    Bind({Qt::CTRL | Qt::Key_Minus}, [&zoom] { zoom.ZoomOut(); });
    Bind({Qt::CTRL | Qt::Key_0}, [&zoom] { zoom.ResetZoom(); });
    Bind({Qt::CTRL | Qt::Key_F}, [view] { FindBar::Of(view).Open(); });
    Bind({Qt::CTRL | Qt::Key_P}, [&printer] { printer.Print(); });
    Bind({Qt::Key_F11}, [this] { ToggleFullScreen(); });
}

template <typename Action>
void BrowserShortcuts::Bind(std::initializer_list<QKeySequence> keys, Action action)
{
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, m_view);
        shortcut->setContext(Qt::WindowShortcut);
        // Queued: a print preview or a navigation must not run inside the
        // key event that asked for it.
        connect(shortcut, &QShortcut::activated, this, action, Qt::QueuedConnection);
    }
}

void BrowserShortcuts::ToggleFullScreen()
{
    QWidget* window = m_view->window();
    window->setWindowState(window->windowState() ^ Qt::WindowFullScreen);
}
