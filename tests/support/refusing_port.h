#pragma once

// A loopback port that refuses every connection while the object lives: its
// socket is bound, so no other program can take the port, and never listens,
// so the system answers each connection with a reset.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();

    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    int port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};
