#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// One launcher per user session. The first start listens on a local socket in
// the user's runtime folder; a later start connects to it, which asks the
// running launcher to bring its window to the front, and then ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QObject* parent = nullptr);

    // True when this process is the session's launcher and goes on starting;
    // false when a running launcher has been asked to come to the front.
    // Needs the QApplication; comes before any report or window.
    bool Claim();

private:
    bool HandOver(const QString& socketPath);
    void OnHandOverRequest();

    QLocalServer m_server;
};
