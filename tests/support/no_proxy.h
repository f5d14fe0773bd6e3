#pragma once

#include <cstdlib>

// Tests talk to 127.0.0.1 directly: a proxy named in the environment would
// otherwise take the requests.
inline void ClearProxyEnvironment()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY"})
        unsetenv(name);
}
