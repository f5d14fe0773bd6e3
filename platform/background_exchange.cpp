#include "platform/background_exchange.h"

#include <utility>

BackgroundExchange::BackgroundExchange(HttpExchange exchange, HttpExchangeRequest request, Done done)
    : m_done(std::move(done))
{
    request.abandoned = &m_abandoned;
    m_worker = std::thread([this, exchange, request = std::move(request)] {
        const HttpExchangeResult result = exchange(request);
        QMetaObject::invokeMethod(
            &m_receiver, [this, result] { m_done(result); }, Qt::QueuedConnection);
    });
}

BackgroundExchange::~BackgroundExchange()
{
    m_abandoned = true;
    m_worker.join();
}
