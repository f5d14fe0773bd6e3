#pragma once

#include <QGuiApplication>
#include <QPoint>
#include <QProcess>
#include <QScreen>
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
