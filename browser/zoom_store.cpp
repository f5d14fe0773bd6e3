#include "browser/zoom_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "browser/zoom_levels.h"

namespace {

// A few hundred hosts at most; anything larger is not ours.
constexpr qint64 kMaxSettingsBytes = 64 * 1024;

ZoomLevels ReadZoomLevels()
{
    const QString path = ZoomSettingsPath();
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ZoomLevels::Parse(file.read(kMaxSettingsBytes).toStdString());
}

}

QString ZoomSettingsPath()
{
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    return folder.filePath(QStringLiteral("vantor/zoom-levels"));
}

double StoredZoom(const QString& host)
{
    return ReadZoomLevels().Get(host.toStdString());
}

bool StoreZoom(const QString& host, double factor)
{
    ZoomLevels levels = ReadZoomLevels();
    levels.Set(host.toStdString(), factor);
    const QString path = ZoomSettingsPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QByteArray::fromStdString(levels.Format()));
    return file.commit();
}
