#pragma once

#include <QPoint>
#include <QString>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "tests/support/gui_waits.h"

// The page's markup as the engine has it now; empty when it does not answer.
inline QString PageHtml(QWebEnginePage* page)
{
    QString html;
    bool done = false;
    page->toHtml([&](const QString& result) {
        html = result;
        done = true;
    });
    return WaitFor([&] { return done; }) ? html : QString();
}

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

// Clicks the element with that id with the mouse, as a user would; false when
// the page has no such element.
inline bool ClickElement(QWebEnginePage* page, const QString& id)
{
    const QStringList centre =
        RunScript(page, QStringLiteral("(() => { const e = document.getElementById('%1');"
                                       "if (!e) return '';"
                                       "const r = e.getBoundingClientRect();"
                                       "return Math.round(r.left + r.width / 2) + ',' +"
                                       "       Math.round(r.top + r.height / 2); })()")
                                .arg(id))
            .toString()
            .split(QLatin1Char(','));
    QWebEngineView* view = QWebEngineView::forPage(page);
    if (centre.size() != 2 || !view || !view->focusProxy())
        return false;
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(centre[0].toInt(), centre[1].toInt()));
    return true;
}
