#include "tests/support/refusing_port.h"

#include <unistd.h>

#include <tuple>

#include "tests/support/loopback_socket.h"

RefusingPort::RefusingPort()
{
    std::tie(m_socket, m_port) = BindLoopback();
}

RefusingPort::~RefusingPort()
{
    close(m_socket);
}
