#pragma once

#include <chrono>
#include <string>

#include "platform/http_exchange.h"

// Looks the site code up on the directory server through `exchange` and writes
// the configuration file with the host it answers. True when the exchange ran
// to its end, whether or not a file was written; false when it failed on the
// way, which shows a message only when the address does not split or no
// request can be made.
bool LookUpSiteServer(std::u16string code, HttpExchange exchange);

// The same lookup against `endpoint` (the address the code is appended to),
// with the whole exchange bounded by `exchangeTimeout`.
bool LookUpSiteServerAt(const std::string& endpoint, const std::u16string& code,
                        std::chrono::milliseconds exchangeTimeout, HttpExchange exchange);
