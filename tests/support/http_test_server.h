#pragma once

#include <httplib.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A real HTTP server on the loopback interface, started and stopped by a test.
// Register routes on server() before start(); every request that reaches the
// server is recorded, whether a route answered it or not. The server closes each
// connection after its answer, so that stop() returns at once.
struct RecordedRequest {
    std::string method;
    std::string target;  // the request target as sent, query included
    std::string path;
    std::string body;
    httplib::Headers headers;
};

class HttpTestServer {
public:
    // Port 0 takes a free port.
    explicit HttpTestServer(std::string host = "127.0.0.1", int port = 0);
    ~HttpTestServer();

    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    httplib::Server& server() { return m_server; }
    void start();
    void stop();

    int port() const { return m_port; }
    std::string baseUrl() const;  // "http://127.0.0.1:PORT"

    // A request is recorded once its answer has gone out, so a client may see
    // the answer first: read the requests after stop().
    std::vector<RecordedRequest> requests() const;

private:
    std::string m_host;
    int m_port;
    httplib::Server m_server;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<RecordedRequest> m_requests;
};
