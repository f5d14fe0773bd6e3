#include "res/app_icon.h"

#include <QSize>

QIcon AppIcon()
{
    // Each size is read when a window or the desktop first asks for it.
    QIcon icon;
    for (const int pixels : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/res/icons/%1x%1/vantor.png").arg(pixels), QSize(pixels, pixels));
    return icon;
}
