#include "browser/load_retry.h"

#include <algorithm>
#include <iterator>

namespace {

// Chromium's network error codes.
constexpr int kRetriedErrors[] = {
    -7,    // timed out
    -21,   // network changed
    -100,  // connection closed
    -101,  // connection reset
    -102,  // connection refused
    -104,  // connection failed
    -105,  // name not resolved
    -106,  // internet disconnected
    -109,  // address unreachable
    -118,  // connection timed out
    -130,  // proxy connection failed
    -137,  // name resolution failed
};

constexpr int kFirstDelaySeconds = 5;
constexpr int kLongestDelaySeconds = 60;

}

bool LoadErrorIsRetried(int errorCode)
{
    return std::find(std::begin(kRetriedErrors), std::end(kRetriedErrors), errorCode) !=
           std::end(kRetriedErrors);
}

int RetryDelaySeconds(int attempt)
{
    int delay = kFirstDelaySeconds;
    for (int i = 0; i < attempt && delay < kLongestDelaySeconds; ++i)
        delay *= 2;
    return std::min(delay, kLongestDelaySeconds);
}
