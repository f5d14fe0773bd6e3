#pragma once

#include "identity/identity_sources.h"

// Gathers the identity, posts the device report to the configured site server
// and sets LaunchState.StartUrl. True when the report was sent.
bool PrepareStartUrl();

// The same with the identity taken from `sources`.
bool PrepareStartUrl(const IdentitySources& sources);
