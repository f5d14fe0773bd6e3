#include "tests/support/http_test_server.h"

#include <chrono>
#include <stdexcept>

HttpTestServer::HttpTestServer(std::string host, int port)
    : m_host(std::move(host)), m_port(port)
{
    // A kept-alive connection would hold stop() up for the keep-alive time-out
    // (5 s); a test that wants reuse raises the count again.
    m_server.set_keep_alive_max_count(1);
    m_server.set_logger([this](const httplib::Request& request, const httplib::Response&) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back({request.method, request.target, request.path, request.body,
                              request.headers});
    });
}

HttpTestServer::~HttpTestServer()
{
    stop();
}

void HttpTestServer::start()
{
    if (m_port == 0) {
        m_port = m_server.bind_to_any_port(m_host);
    } else if (!m_server.bind_to_port(m_host, m_port)) {
        m_port = -1;
    }
    if (m_port <= 0)
        throw std::runtime_error("cannot bind the test server on " + m_host);
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // The socket is bound already, so clients may connect before the loop runs.
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void HttpTestServer::stop()
{
    if (m_thread.joinable()) {
        m_server.stop();
        m_thread.join();
    }
}

std::string HttpTestServer::baseUrl() const
{
    return "http://" + m_host + ":" + std::to_string(m_port);
}

std::vector<RecordedRequest> HttpTestServer::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}
