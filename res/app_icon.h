#pragma once

#include <QIcon>

// The icon of every window of the launcher, in sizes from 16 to 256 pixels:
// the drawing that the desktop's menus show for it too.
QIcon AppIcon();
