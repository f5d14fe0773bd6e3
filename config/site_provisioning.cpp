#include "config/site_provisioning.h"

#include "config/config_file.h"
#include "config/directory_answer.h"
#include "launch/build_config.h"
#include "platform/code_page.h"
#include "platform/exchange_message.h"
#include "platform/message_box.h"
#include "platform/working_file.h"

#include <algorithm>
#include <optional>

namespace {

constexpr char kAnswerFileName[] = "key.json";
constexpr std::size_t kMaxAnswerBytes = 1024 * 1024;

}

bool LookUpSiteServer(std::u16string code, HttpExchange exchange)
{
    return LookUpSiteServerAt(BuildConfig::kDirectoryUrl, code,
                              HttpExchangeRequest{}.exchangeTimeout, exchange);
}

bool LookUpSiteServerAt(const std::string& endpoint, const std::u16string& code,
                        std::chrono::milliseconds exchangeTimeout, HttpExchange exchange)
{
    HttpExchangeRequest request;
    // The code goes out as typed; the exchange encodes only what a request
    // line cannot carry.
    request.address = endpoint + ToNarrow(code);
    request.readAnswer = true;
    request.maxAnswerBytes = kMaxAnswerBytes;
    request.exchangeTimeout = exchangeTimeout;
    request.connectTimeout = std::min(request.connectTimeout, exchangeTimeout);

    const HttpExchangeResult result = exchange(request);
    if (result.outcome != HttpExchangeOutcome::Sent) {
        if (const auto message = ExchangeFailureMessage(result.outcome, ToWide(endpoint) + code))
            ShowMessageBox(*message);
        return false;
    }

    // The answer passes through "key.json" on its way to the JSON reader; the
    // file never outlives the lookup.
    const bool stored =
        CreateFreshFile(kAnswerFileName, JoinAnswerLines(result.answer)) == FileWriteResult::Written;
    const std::optional<std::string> text =
        stored ? ReadRegularFile(kAnswerFileName, kSettingsFileBound) : std::nullopt;
    const bool removed = RemoveFile(kAnswerFileName);
    if (!text)
        return false;

    const DirectoryAnswer answer = ReadDirectoryAnswer(*text);
    switch (answer.kind) {
    case DirectoryAnswer::Kind::NotJson:
        return removed;
    case DirectoryAnswer::Kind::Unusable:
        return false;
    case DirectoryAnswer::Kind::Host:
        break;
    }
    if (WriteConfigFile(ToWide(answer.host)) == WriteConfigResult::WriteFailed)
        return false;
    return removed;
}
