#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

#include "bench/process_tree.h"
#include "bench/spawn.h"

// One started program with every process it starts. The benchmark is the
// subreaper of its children (PR_SET_CHILD_SUBREAPER), so processes the
// program leaves behind stay below the benchmark and are ended with it.
class ProgramRun {
public:
    // `spared`: a child of the benchmark that is not part of this run.
    ProgramRun(const SpawnRequest& request, pid_t spared);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const;

    // Whether the program itself has ended (it is reaped then); never waits.
    bool Exited();
    bool ExitedCleanly() const;
    // "exit status N" or "signal N", once Exited.
    std::string HowItEnded() const;

    TreeMemory Memory() const;

    // SIGTERM to the program; after `grace`, SIGKILL to every process of the
    // run still there. Returns once all of them are gone.
    void End(std::chrono::milliseconds grace);

private:
    std::vector<pid_t> Processes() const;
    void ReapChildren();

    pid_t m_pid;
    pid_t m_spared;
    bool m_exited = false;
    int m_status = 0;
};
