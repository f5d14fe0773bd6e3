#pragma once

#include <string>

// Looks the site code up on the directory server and writes the configuration
// file with the host it answers. True when the exchange ran to its end.
bool LookUpSiteServer(std::u16string code);
