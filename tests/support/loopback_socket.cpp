#include "tests/support/loopback_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

std::pair<int, int> BindLoopback()
{
    const int socketFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (socketFd < 0 || bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || getsockname(socketFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (socketFd >= 0)
            close(socketFd);
        throw std::runtime_error("cannot bind a loopback socket");
    }
    return {socketFd, ntohs(address.sin_port)};
}
