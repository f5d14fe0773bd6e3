#pragma once

#include <QGuiApplication>
#include <QPoint>
#include <QProcess>
#include <QScreen>
#include <QSize>
#include <QWidget>
#include <QStringList>

// Real mouse and keyboard input through the X server, as a user gives it:
// the window manager sees it and routes it as it would a user's.
inline bool RunXdotool(const QStringList& arguments)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForFinished(10000) && xdotool.exitCode() == 0;
}

inline bool ClickAt(QPoint global)
{
    return RunXdotool({QStringLiteral("mousemove"), QString::number(global.x()),
                       QString::number(global.y()), QStringLiteral("click"), QStringLiteral("1")});
}

inline bool ClickScreenCentre()
{
    return ClickAt(QGuiApplication::primaryScreen()->geometry().center());
}

// Keys in xdotool's names, such as "alt+F4" or "Escape".
inline bool PressKey(const QString& keys)
{
    return RunXdotool({QStringLiteral("key"), keys});
}

// Sent from another process while this one may sit in a modal loop.
inline void PressKeyLater(const QString& keys)
{
    QProcess::startDetached(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

inline bool TypeText(const QString& text)
{
    return RunXdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

// The window's size as the X server has it: a size asked for becomes real
// only once the window manager has applied it.
inline QSize ServerWindowSize(WId window)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("getwindowgeometry"), QString::number(window)});
    if (!xdotool.waitForFinished(10000))
        return {};
    const QString output = QString::fromLatin1(xdotool.readAllStandardOutput());
    const qsizetype start = output.indexOf(QStringLiteral("Geometry: "));
    if (start < 0)
        return {};
    const QStringList size =
        output.mid(start + 10).section(QLatin1Char('\n'), 0, 0).trimmed().split(QLatin1Char('x'));
    return size.size() == 2 ? QSize(size[0].toInt(), size[1].toInt()) : QSize();
}

// A property of the window as the X server has it, in xprop's words; empty
// when xprop gave no answer.
inline QString ServerWindowProperty(WId window, const QString& property)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), property});
    return xprop.waitForFinished(10000) ? QString::fromLatin1(xprop.readAllStandardOutput()) : QString();
}

// Whether the window manager has iconified the window: its WM_STATE says so.
inline bool ServerWindowIconic(WId window)
{
    return ServerWindowProperty(window, QStringLiteral("WM_STATE")).contains(QStringLiteral("window state: Iconic"));
}
