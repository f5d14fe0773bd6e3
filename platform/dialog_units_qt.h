#pragma once

#include <QFont>

#include "platform/dialog_units.h"

// The dialog base units of a font: the average width of the Latin letters and
// the line height, as the window system measures them for a dialog template.
DialogBaseUnits BaseUnitsOf(const QFont& font);
