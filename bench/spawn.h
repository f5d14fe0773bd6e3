#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct SpawnRequest {
    std::vector<std::string> arguments;    // the program's path first
    std::vector<std::string> environment;  // "NAME=value", the whole environment
    std::string folder;                    // working folder; empty: the caller's
    int output = -1;                       // standard output and error; -1: /dev/null
};

// Starts the program with nothing else of this process open in it. The
// process id, or -1 when it could not be forked; a program that cannot be
// executed exits at once with status 127.
pid_t Spawn(const SpawnRequest& request);
