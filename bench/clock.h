#pragma once

#include <chrono>

// CLOCK_MONOTONIC: one time line for every process of this machine, so times
// stamped by the site server and by the benchmark compare directly.
using Clock = std::chrono::steady_clock;
