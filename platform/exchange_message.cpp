#include "platform/exchange_message.h"

std::optional<std::u16string> ExchangeFailureMessage(HttpExchangeOutcome outcome,
                                                     const std::u16string& address)
{
    switch (outcome) {
    case HttpExchangeOutcome::SplitFailed:
        return address;
    case HttpExchangeOutcome::NoConnection:
        return u"无法连接到主服务器";
    case HttpExchangeOutcome::NoRequest:
        return u"找不到网址";
    case HttpExchangeOutcome::SendFailed:
    case HttpExchangeOutcome::Sent:
        break;
    }
    return std::nullopt;
}
