#pragma once

#include <functional>

#include "identity/identity_sources.h"
#include "platform/http_exchange.h"

// Gathers the identity from `sources`, fills the launch settings with
// `readLaunchSettings` (between the two identity phases, and stops when it
// fails), posts the device report through `exchange` and sets
// LaunchState.StartUrl. True when the report was sent.
bool PrepareStartUrl(const IdentitySources& sources, const std::function<bool()>& readLaunchSettings,
                     HttpExchange exchange);
