#include "platform/background_exchange.h"

#include <utility>

BackgroundExchange::BackgroundExchange(HttpExchange exchange, HttpExchangeRequest request, Done done)
    : m_done(std::move(done))
{
    request.abandoned = &m_abandoned;
    m_worker = std::thread([this, exchange, request = std::move(request)] {
        m_result = exchange(request);
        m_ended.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(&m_receiver, [this] { HandOverNow(); }, Qt::QueuedConnection);
    });
}

BackgroundExchange::~BackgroundExchange()
{
    m_abandoned = true;
    m_worker.join();
}

std::optional<HttpExchangeResult> BackgroundExchange::EndedResult() const
{
    if (m_handedOver || !m_ended.load(std::memory_order_acquire))
        return std::nullopt;
    return m_result;
}

void BackgroundExchange::HandOverNow()
{
    if (m_handedOver || !m_ended.load(std::memory_order_acquire))
        return;
    m_handedOver = true;
    m_done(m_result);
}
