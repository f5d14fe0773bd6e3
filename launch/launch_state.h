#pragma once

#include <string>

// What one start of the launcher decides: the configured site server, the
// site code typed on first use and the page the browser opens.
struct LaunchStateRecord {
    std::u16string HttpServer;
    std::u16string Port;
    std::u16string Path;
    std::u16string SiteCode;
    std::u16string StartUrl;
};

extern LaunchStateRecord LaunchState;
