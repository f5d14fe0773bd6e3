#pragma once

#include <QFont>
#include <QRect>

#include "platform/dialog_units.h"

// The dialog base units of a font: the average width of the Latin letters and
// the line height, as the window system measures them for a dialog template.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// A rectangle of a dialog template, in pixels for `base`.
QRect TemplateRectInPixels(const DialogRect& dialogUnits, DialogBaseUnits base);
