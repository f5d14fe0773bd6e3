#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "bench/clock.h"

// The tools/ site server, started on 127.0.0.1 with a port of the system's
// choice and with its request log, which stamps each request on the
// monotonic clock that this process reads too.
class SiteServerProcess {
public:
    // Waits up to 20 s for the server to listen.
    explicit SiteServerProcess(const std::string& program);
    ~SiteServerProcess();
    SiteServerProcess(const SiteServerProcess&) = delete;
    SiteServerProcess& operator=(const SiteServerProcess&) = delete;

    bool Listening() const;
    int Port() const;
    pid_t Pid() const;
    int Descriptor() const;  // readable when log lines have arrived

    // Takes in the log lines that have arrived; never waits.
    void ReadLog();

    // When the first request with this method and a target that starts with
    // `targetStart` arrived at or after `since`.
    std::optional<Clock::time_point> FirstRequest(const std::string& method,
                                                  const std::string& targetStart,
                                                  Clock::time_point since) const;

private:
    struct Request {
        Clock::time_point arrival;
        std::string method;
        std::string target;
    };

    void TakeLine(const std::string& line);

    pid_t m_pid = -1;
    int m_log = -1;
    int m_port = 0;
    std::string m_partialLine;
    std::vector<Request> m_requests;
};
