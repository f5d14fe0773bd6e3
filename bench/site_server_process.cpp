#include "bench/site_server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "bench/spawn.h"

extern char** environ;

namespace {

constexpr char kListening[] = "listening on 127.0.0.1:";
constexpr char kRequest[] = "request ";

// "1234.567890123" as a point on the monotonic clock.
std::optional<Clock::time_point> MonotonicTime(const std::string& text)
{
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos || text.size() - dot - 1 != 9)
        return std::nullopt;
    try {
        const std::chrono::seconds seconds(std::stoll(text.substr(0, dot)));
        const std::chrono::nanoseconds fraction(std::stoll(text.substr(dot + 1)));
        return Clock::time_point(std::chrono::duration_cast<Clock::duration>(seconds + fraction));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}

SiteServerProcess::SiteServerProcess(const std::string& program)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    SpawnRequest request;
    request.arguments = {program, "--address", "127.0.0.1", "--port", "0", "--log-requests"};
    for (char** entry = environ; *entry; ++entry)
        request.environment.emplace_back(*entry);
    request.output = pipeEnds[1];
    m_pid = Spawn(request);
    close(pipeEnds[1]);
    m_log = pipeEnds[0];
    if (m_pid < 0)
        return;
    fcntl(m_log, F_SETFL, O_NONBLOCK);

    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
    while (m_port == 0 && Clock::now() < deadline) {
        pollfd ready{m_log, POLLIN, 0};
        if (poll(&ready, 1, 100) < 0)
            break;
        const bool ended = (ready.revents & (POLLHUP | POLLERR)) != 0 && (ready.revents & POLLIN) == 0;
        if (ended)
            break;
        ReadLog();
    }
}

SiteServerProcess::~SiteServerProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_log >= 0)
        close(m_log);
}

bool SiteServerProcess::Listening() const
{
    return m_port != 0;
}

int SiteServerProcess::Port() const
{
    return m_port;
}

pid_t SiteServerProcess::Pid() const
{
    return m_pid;
}

int SiteServerProcess::Descriptor() const
{
    return m_log;
}

void SiteServerProcess::ReadLog()
{
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(m_log, buffer, sizeof buffer)) > 0) {
        m_partialLine.append(buffer, static_cast<std::size_t>(count));
        std::size_t end = 0;
        while ((end = m_partialLine.find('\n')) != std::string::npos) {
            TakeLine(m_partialLine.substr(0, end));
            m_partialLine.erase(0, end + 1);
        }
    }
}

void SiteServerProcess::TakeLine(const std::string& line)
{
    if (line.rfind(kListening, 0) == 0) {
        m_port = std::atoi(line.c_str() + sizeof kListening - 1);
        return;
    }
    if (line.rfind(kRequest, 0) != 0)
        return;
    std::istringstream fields(line.substr(sizeof kRequest - 1));
    std::string time;
    Request request;
    if (!(fields >> time >> request.method >> request.target))
        return;
    if (const std::optional<Clock::time_point> arrival = MonotonicTime(time)) {
        request.arrival = *arrival;
        m_requests.push_back(std::move(request));
    }
}

std::optional<Clock::time_point> SiteServerProcess::FirstRequest(const std::string& method,
                                                                 const std::string& targetStart,
                                                                 Clock::time_point since) const
{
    for (const Request& request : m_requests) {
        if (request.arrival >= since && request.method == method
            && request.target.rfind(targetStart, 0) == 0)
            return request.arrival;
    }
    return std::nullopt;
}
