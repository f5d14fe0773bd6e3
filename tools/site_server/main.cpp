// The demo site server: directory lookup, device reports and the login page,
// on one address. Prints "listening on ADDRESS:PORT" once clients can connect
// (the port actually bound, so --port 0 takes a free one), then one line per
// lookup and per report; with --log-requests also one line per request as it
// arrives, "request SECONDS METHOD TARGET", SECONDS on the monotonic clock
// (CLOCK_MONOTONIC) that other programs on this machine can time against.
// With --hold-posts SECONDS, the directory lookup and the device reports are
// answered (and recorded) only that long after they arrive: a slow site.
// Stops on SIGINT or SIGTERM.
#include "tools/site_server/site_routes.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr char kUsage[] =
    "usage: site_server [--address 127.0.0.1] [--port 80] [--domain HOST] [--hold-posts SECONDS]\n"
    "                   [--log-requests]\n"
    "  --domain is the host the directory lookup answers (default: the address)\n";

constexpr char kLogRequests[] = "--log-requests";

bool ParseArguments(int argc, char** argv, std::map<std::string, std::string>& options,
                    bool& logRequests)
{
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == kLogRequests) {
            logRequests = true;
            continue;
        }
        if (!options.count(name) || i + 1 >= argc)
            return false;
        options[name] = argv[++i];
    }
    return true;
}

// "request 1234.567890123 GET /Account/LogOn?..."
std::string RequestLine(const httplib::Request& request)
{
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceBoot).count();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%lld.%09lld", static_cast<long long>(nanoseconds / 1000000000),
                  static_cast<long long>(nanoseconds % 1000000000));
    return std::string("request ") + seconds + " " + request.method + " " + request.target;
}

bool ParseNumber(const std::string& text, int limit, int& number)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = std::stoi(text);
    return number <= limit;
}

}  // namespace

int main(int argc, char** argv)
{
    std::map<std::string, std::string> options{
        {"--address", "127.0.0.1"}, {"--port", "80"}, {"--domain", ""}, {"--hold-posts", "0"}};
    int port = 0;
    int holdSeconds = 0;
    bool logRequests = false;
    if (!ParseArguments(argc, argv, options, logRequests) || !ParseNumber(options["--port"], 65535, port) ||
        !ParseNumber(options["--hold-posts"], 600, holdSeconds)) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string address = options["--address"];
    const std::string domain = options["--domain"].empty() ? address : options["--domain"];

    // Every thread inherits the blocked signals; only sigwait below takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGUSR1);  // the listener ended by itself
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::mutex outputMutex;
    const SiteRoutes::LineSink print = [&](const std::string& line) {
        const std::lock_guard<std::mutex> lock(outputMutex);
        std::cout << line << std::endl;
    };
    SiteRoutes routes(domain, print);
    httplib::Server server;
    // An idle kept-alive connection holds stop() up until it times out.
    server.set_keep_alive_timeout(1);
    // Runs once the request's head has been read, before its route.
    server.set_pre_routing_handler([&](const httplib::Request& request, httplib::Response&) {
        if (logRequests)
            print(RequestLine(request));
        if (request.method == "POST")
            std::this_thread::sleep_for(std::chrono::seconds(holdSeconds));
        return httplib::Server::HandlerResponse::Unhandled;
    });
    routes.install(server);

    const int boundPort =
        port == 0 ? server.bind_to_any_port(address) : (server.bind_to_port(address, port) ? port : -1);
    if (boundPort <= 0) {
        std::cerr << "site_server: cannot listen on " << address << ":" << port << "\n";
        return 1;
    }
    {
        const std::lock_guard<std::mutex> lock(outputMutex);
        std::cout << "listening on " << address << ":" << boundPort << std::endl;
    }

    std::thread listener([&] {
        server.listen_after_bind();
        kill(getpid(), SIGUSR1);
    });
    int received = 0;
    sigwait(&stopSignals, &received);
    server.stop();
    listener.join();
    return received == SIGUSR1 ? 1 : 0;
}
