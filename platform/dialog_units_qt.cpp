#include "platform/dialog_units_qt.h"

#include <QFontMetrics>

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    static const QString kLetters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    const int letterCount = static_cast<int>(kLetters.size());
    return {(metrics.horizontalAdvance(kLetters) / (letterCount / 2) + 1) / 2, metrics.height()};
}

QRect TemplateRectInPixels(const DialogRect& dialogUnits, DialogBaseUnits base)
{
    const DialogRect pixels = ToPixels(dialogUnits, base);
    return QRect(pixels.x, pixels.y, pixels.width, pixels.height);
}
