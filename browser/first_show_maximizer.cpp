#include "browser/first_show_maximizer.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "browser/page_compositing.h"

FirstShowMaximizer::FirstShowMaximizer(QWidget& window) : QObject(&window), m_window(window)
{
    if (!PagesCompositedInSoftware())
        window.installEventFilter(this);
}

bool FirstShowMaximizer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window || m_stage == Stage::Done)
        return false;
    if (event->type() == QEvent::Show && m_stage == Stage::BeforeShow) {
        m_stage = m_window.isMaximized() ? Stage::Watching : Stage::Done;
    } else if (event->type() == QEvent::WindowStateChange && m_stage == Stage::Watching) {
        m_stage = Stage::Done;
        if (m_window.windowState() == Qt::WindowNoState)
            QTimer::singleShot(0, &m_window, &QWidget::showMaximized);
    }
    return false;
}
