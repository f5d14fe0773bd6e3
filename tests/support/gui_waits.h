#pragma once

#include <QDeadlineTimer>
#include <QScreen>
#include <QTest>
#include <QWidget>

// QTest::qWaitFor of this Qt may go on pumping events for seconds after the
// condition holds; this one looks again every few milliseconds.
template <typename Condition>
bool WaitFor(Condition condition, int timeout = 20000)
{
    const QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

// Qt reports the maximised state at once; the window manager's resize comes later.
inline bool WaitUntilMaximised(const QWidget& window)
{
    return WaitFor([&] {
        return window.isMaximized() &&
               window.frameGeometry().width() == window.screen()->availableGeometry().width();
    });
}
