#pragma once

#include <optional>
#include <string>

#include "platform/http_exchange.h"

// The message a failed exchange shows: `address` when it does not split, a
// fixed text when no connection or request can be made. Nothing when the
// exchange was sent, or failed in sending, which shows no message.
std::optional<std::u16string> ExchangeFailureMessage(HttpExchangeOutcome outcome,
                                                     const std::u16string& address);
