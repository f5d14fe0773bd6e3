#pragma once

#include <QString>

// The zoom level of each site host, kept across starts in "vantor/zoom-levels"
// under the user's configuration folder. Read on every use, so every window
// and every running launcher sees the latest choice.
QString ZoomSettingsPath();
double StoredZoom(const QString& host);
// False when the file could not be written; the old file then stays whole.
bool StoreZoom(const QString& host, double factor);
