#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include <QObject>

#include "platform/http_exchange.h"

// One exchange run on a worker thread, so that the windows stay live while it
// waits for the server. Its result is handed to `done` once, on the thread
// that made this object: through that thread's event loop, or earlier by
// HandOverNow. Destroying the object first abandons the exchange: the worker
// ends within about a second and `done` is never called.
class BackgroundExchange {
public:
    using Done = std::function<void(const HttpExchangeResult& result)>;

    BackgroundExchange(HttpExchange exchange, HttpExchangeRequest request, Done done);
    ~BackgroundExchange();
    BackgroundExchange(const BackgroundExchange&) = delete;
    BackgroundExchange& operator=(const BackgroundExchange&) = delete;

    // The result, once the exchange has ended and until `done` has it.
    std::optional<HttpExchangeResult> EndedResult() const;
    // Hands an ended exchange's result to `done` now, without waiting for
    // the event loop. Nothing while the exchange still runs.
    void HandOverNow();

private:
    // Lives on the starting thread; queued calls to it die with it.
    QObject m_receiver;
    Done m_done;
    std::atomic<bool> m_abandoned{false};
    // Written by the worker before m_ended is set, then only read.
    HttpExchangeResult m_result;
    std::atomic<bool> m_ended{false};
    bool m_handedOver = false;
    std::thread m_worker;
};
