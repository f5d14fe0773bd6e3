#pragma once

// The launcher's application object: the whole start, from the browser
// engine's set-up to the end of the main window, runs in InitInstance.
class CVantorApp {
public:
    // Runs once per process; always false, after which the process ends.
    bool InitInstance();
};

extern CVantorApp theApp;
