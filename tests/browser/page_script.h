#pragma once

#include <QPoint>
#include <QStringList>
#include <QVariant>
#include <QWebEnginePage>
#include <QWidget>

#include "tests/browser/desktop_input.h"
#include "tests/support/gui_waits.h"

// The result of a script run in the page; invalid when none came.
inline QVariant RunScript(QWebEnginePage* page, const QString& script)
{
    QVariant value;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& result) {
        value = result;
        done = true;
    });
    return WaitFor([&] { return done; }) ? value : QVariant();
}

// The screen point at the middle of the page's element `id`, shown in `view`.
inline QPoint ElementCentreOnScreen(QWebEnginePage* page, const QWidget& view, const QString& id)
{
    const QStringList centre =
        RunScript(page, QStringLiteral("(() => { const r = document.getElementById('%1')"
                                       ".getBoundingClientRect();"
                                       "return Math.round(r.left + r.width / 2) + ',' +"
                                       "Math.round(r.top + r.height / 2); })()")
                            .arg(id))
            .toString()
            .split(QLatin1Char(','));
    if (centre.size() != 2)
        return {};
    return view.mapToGlobal(QPoint(centre[0].toInt(), centre[1].toInt()));
}

// Every key the page takes, in `keys`: add to a page's body.
inline constexpr char kKeyRecorder[] =
    "<script>window.keys = []; addEventListener('keydown', e => keys.push(e.key));</script>";

// Keys typed right after a page took the focus may still be lost on their way
// to its renderer: presses Shift, which types nothing, until the page records
// it. The page must carry kKeyRecorder.
inline bool WaitUntilPageTakesKeys(QWebEnginePage* page)
{
    return WaitFor([&] {
        RunXdotool({QStringLiteral("key"), QStringLiteral("shift")});
        return RunScript(page, QStringLiteral("keys.includes('Shift')")).toBool();
    });
}

// The keys the page took, Shift left out.
inline QString KeysTaken(QWebEnginePage* page)
{
    return RunScript(page, QStringLiteral("keys.filter(k => k != 'Shift').join()")).toString();
}
