#include "tests/support/misbehaving_server.h"

#include "tests/support/loopback_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

void ResetAndClose(int socketFd)
{
    const linger abort{1, 0};
    setsockopt(socketFd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close(socketFd);
}

}  // namespace

MisbehavingServer::MisbehavingServer(Behaviour behaviour) : m_behaviour(behaviour) {}

MisbehavingServer::~MisbehavingServer()
{
    stop();
}

void MisbehavingServer::start()
{
    std::tie(m_listener, m_port) = BindLoopback();
    if (listen(m_listener, 16) != 0 || pipe2(m_wakeUp, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot listen on a loopback socket");
    m_thread = std::thread([this] { serve(); });
}

void MisbehavingServer::stop()
{
    if (!m_thread.joinable())
        return;
    const char wake = 0;
    (void)write(m_wakeUp[1], &wake, 1);
    m_thread.join();
    close(m_listener);
    close(m_wakeUp[0]);
    close(m_wakeUp[1]);
    m_listener = m_wakeUp[0] = m_wakeUp[1] = -1;
}

std::string MisbehavingServer::baseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(m_port);
}

void MisbehavingServer::serve()
{
    // Slot 0 wakes the loop for stop(), slot 1 is the listener, then the clients.
    std::vector<pollfd> watched{{m_wakeUp[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
    while (poll(watched.data(), watched.size(), -1) >= 0 && !(watched[0].revents & POLLIN)) {
        for (std::size_t i = watched.size(); i-- > 2;) {
            if (!watched[i].revents)
                continue;
            char bytes[4096];
            // A reset lands after the first few bytes, while the request is
            // still unread; a silent server swallows the request for ever.
            const std::size_t wanted =
                m_behaviour == Behaviour::ResetMidRequest ? 5 : sizeof bytes;
            const ssize_t received = recv(watched[i].fd, bytes, wanted, 0);
            if (received > 0 && m_behaviour == Behaviour::NeverAnswer)
                continue;
            if (received > 0)
                ResetAndClose(watched[i].fd);
            else
                close(watched[i].fd);
            watched.erase(watched.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (watched[1].revents & POLLIN) {
            const int client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                ++m_accepted;
                watched.push_back({client, POLLIN, 0});
            }
        }
    }
    for (std::size_t i = 2; i < watched.size(); ++i)
        close(watched[i].fd);
}
