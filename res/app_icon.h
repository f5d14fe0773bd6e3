#pragma once

#include <QIcon>

// The application icon (32 x 32) of every window of the launcher.
QIcon AppIcon();
