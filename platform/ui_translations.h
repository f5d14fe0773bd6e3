#pragma once

class QCoreApplication;

// Qt's own Chinese texts for every dialog, menu and button Qt and the
// browser engine show; the launcher is made for Chinese offices, so the
// system's locale does not choose. Before the first window.
void InstallChineseTranslations(QCoreApplication& application);
