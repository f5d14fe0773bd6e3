#pragma once

#include <atomic>
#include <string>
#include <thread>

// A TCP server on the loopback interface that takes connections and then
// misbehaves, started and stopped by a test: it never answers (the client runs
// into its time-out), or it resets the connection while the request is still
// coming in (SO_LINGER 0, so the close sends a reset).
class MisbehavingServer {
public:
    enum class Behaviour { NeverAnswer, ResetMidRequest };

    explicit MisbehavingServer(Behaviour behaviour);
    ~MisbehavingServer();

    MisbehavingServer(const MisbehavingServer&) = delete;
    MisbehavingServer& operator=(const MisbehavingServer&) = delete;

    void start();
    void stop();

    int port() const { return m_port; }
    std::string baseUrl() const;  // "http://127.0.0.1:PORT"
    int acceptedConnections() const { return m_accepted; }

private:
    void serve();

    Behaviour m_behaviour;
    int m_listener = -1;
    int m_wakeUp[2] = {-1, -1};
    int m_port = 0;
    std::thread m_thread;
    std::atomic<int> m_accepted{0};
};
