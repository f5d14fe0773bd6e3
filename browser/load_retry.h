#pragma once

// When a page that failed on the network is tried again by itself.

// Failures that end once the network or the server is back: refused, reset,
// closed, timed out, unreachable, name not resolved, network changed or gone.
bool LoadErrorIsRetried(int errorCode);

// Seconds before the retry numbered `attempt` (0 for the first): 5, then
// doubling, never more than 60.
int RetryDelaySeconds(int attempt);
