#include "app/single_instance.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QWidget>

#include "browser/vantordlg.h"

namespace {

constexpr char kSocketName[] = "vantor.socket";
constexpr char kLockName[] = "vantor.lock";
// Bounds the hand-over so that a second start ends within a second.
constexpr int kLockWaitMs = 300;
constexpr int kConnectWaitMs = 300;

// Where the user is asked to go on: a dialog that holds up the start or the
// session (site code, a message), else the main window.
QWidget* FrontWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<CVantorDlg*>(widget) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

void BringToFront(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

}

SingleInstance::SingleInstance(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::OnHandOverRequest);
}

bool SingleInstance::Claim()
{
    // Qt checks that the folder is the user's own (mode 0700) and otherwise
    // falls back to one of the user's own under /tmp.
    const QString runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtimeFolder.isEmpty())
        return true;
    const QDir folder(runtimeFolder);
    const QString socketPath = folder.filePath(QString::fromLatin1(kSocketName));

    // Two starts at the same moment (a double click) take turns, so that
    // exactly one of them listens. A lock left by a crashed launcher is stale
    // once its process is gone, and QLockFile then takes it over; a lock that
    // stays held longer than the wait does not stop this start.
    QLockFile lock(folder.filePath(QString::fromLatin1(kLockName)));
    lock.tryLock(kLockWaitMs);
    if (HandOver(socketPath))
        return false;

    // Nobody answers: any socket file left is a crashed launcher's. Should
    // listening fail, this launcher still starts; later starts then do too.
    QLocalServer::removeServer(socketPath);
    m_server.listen(socketPath);
    return true;
}

bool SingleInstance::HandOver(const QString& socketPath)
{
    // The connection itself is the request: it is queued by the system even
    // while the running launcher is busy, and served once it can.
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kConnectWaitMs))
        return false;
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::OnHandOverRequest()
{
    while (QLocalSocket* request = m_server.nextPendingConnection())
        request->deleteLater();
    if (QWidget* window = FrontWindow())
        BringToFront(window);
}
