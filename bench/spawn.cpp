#include "bench/spawn.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

std::vector<char*> PointersTo(const std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (const std::string& text : texts)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

}

pid_t Spawn(const SpawnRequest& request)
{
    // Everything the child needs is prepared before the fork: after it, only
    // system calls.
    const std::vector<char*> arguments = PointersTo(request.arguments);
    const std::vector<char*> environment = PointersTo(request.environment);
    const int nowhere = open("/dev/null", O_RDWR | O_CLOEXEC);
    const int output = request.output >= 0 ? request.output : nowhere;

    const pid_t pid = fork();
    if (pid == 0) {
        if (dup2(nowhere, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0
            || dup2(output, STDERR_FILENO) < 0)
            _exit(127);
        close_range(STDERR_FILENO + 1, ~0U, 0);
        if (!request.folder.empty() && chdir(request.folder.c_str()) != 0)
            _exit(127);
        execve(arguments[0], arguments.data(), environment.data());
        _exit(127);
    }
    if (nowhere >= 0)
        close(nowhere);
    return pid;
}
