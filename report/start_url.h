#pragma once

// Gathers the identity, posts the device report to the configured site server
// and sets LaunchState.StartUrl. True when the report was sent.
bool PrepareStartUrl();
