#include "bench/program_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "bench/clock.h"

ProgramRun::ProgramRun(const SpawnRequest& request, pid_t spared)
    : m_pid(Spawn(request)), m_spared(spared)
{
}

ProgramRun::~ProgramRun()
{
    End(std::chrono::seconds(3));
}

bool ProgramRun::Started() const
{
    return m_pid > 0;
}

bool ProgramRun::Exited()
{
    if (!m_exited && m_pid > 0 && waitpid(m_pid, &m_status, WNOHANG) == m_pid)
        m_exited = true;
    return m_exited;
}

bool ProgramRun::ExitedCleanly() const
{
    return m_exited && WIFEXITED(m_status) && WEXITSTATUS(m_status) == 0;
}

std::string ProgramRun::HowItEnded() const
{
    if (WIFSIGNALED(m_status))
        return "signal " + std::to_string(WTERMSIG(m_status));
    return "exit status " + std::to_string(WEXITSTATUS(m_status));
}

TreeMemory ProgramRun::Memory() const
{
    return MemoryOf(Processes());
}

std::vector<pid_t> ProgramRun::Processes() const
{
    return DescendantsOf(getpid(), m_spared);
}

void ProgramRun::ReapChildren()
{
    for (const pid_t pid : Processes()) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == m_pid) {
            m_exited = true;
            m_status = status;
        }
    }
}

void ProgramRun::End(std::chrono::milliseconds grace)
{
    if (m_pid <= 0)
        return;
    if (!Exited())
        kill(m_pid, SIGTERM);
    const Clock::time_point killTime = Clock::now() + grace;
    bool killed = false;
    for (;;) {
        ReapChildren();
        const std::vector<pid_t> left = Processes();
        if (left.empty())
            break;
        if (killed && Clock::now() >= killTime + std::chrono::seconds(10)) {
            std::fprintf(stderr, "startup_bench: %zu processes did not end on SIGKILL\n", left.size());
            break;
        }
        if (!killed && Clock::now() >= killTime) {
            for (const pid_t pid : left)
                kill(pid, SIGKILL);
            killed = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_pid = -1;
}
