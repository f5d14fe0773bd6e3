#pragma once

// Hands the program's message boxes and its event pump to Qt; needs the
// QApplication to exist.
void InstallMessageBoxWindow();
void InstallEventPump();
