#pragma once

#include <sys/types.h>

#include <vector>

// Every process below `ancestor`, found through /proc, except `spared` and
// the processes below it. Zombies are included until they are reaped.
std::vector<pid_t> DescendantsOf(pid_t ancestor, pid_t spared);

struct TreeMemory {
    long pssKiB = 0;  // each shared page counted once over the whole system
    long rssKiB = 0;  // shared pages counted in every process that maps them
    int processes = 0;
};

// Summed from /proc/PID/smaps_rollup; processes that are gone add nothing.
TreeMemory MemoryOf(const std::vector<pid_t>& processes);
