#include "config/site_provisioning.h"

#include "app/build_config.h"
#include "config/config_file.h"
#include "config/directory_answer.h"
#include "identity/conversions.h"
#include "platform/message_box.h"
#include "report/http_exchange.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace {

constexpr char kAnswerFileName[] = "key.json";
constexpr std::size_t kMaxAnswerBytes = 1024 * 1024;

bool WriteAnswerFile(const std::string& text)
{
    const int fd = open(kAnswerFileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        written += static_cast<std::size_t>(count);
    }
    return close(fd) == 0 && written == text.size();
}

std::optional<std::string> ReadAnswerFile()
{
    const int fd = open(kAnswerFileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    ssize_t count;
    while ((count = read(fd, buffer, sizeof buffer)) != 0) {
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            close(fd);
            return std::nullopt;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    close(fd);
    return text;
}

}

bool LookUpSiteServer(std::u16string code)
{
    return LookUpSiteServerAt(BuildConfig::kDirectoryUrl, code,
                              HttpExchangeRequest{}.exchangeTimeout);
}

bool LookUpSiteServerAt(const std::string& endpoint, const std::u16string& code,
                        std::chrono::milliseconds exchangeTimeout)
{
    HttpExchangeRequest request;
    // The code goes out as typed; the exchange encodes only what a request
    // line cannot carry.
    request.address = endpoint + ToNarrow(code);
    request.readAnswer = true;
    request.maxAnswerBytes = kMaxAnswerBytes;
    request.exchangeTimeout = exchangeTimeout;
    request.connectTimeout = std::min(request.connectTimeout, exchangeTimeout);

    const HttpExchangeResult result = PostForm(request);
    switch (result.outcome) {
    case HttpExchangeOutcome::SplitFailed:
        ShowMessageBox(ToWide(endpoint) + code);
        return false;
    case HttpExchangeOutcome::NoConnection:
        ShowMessageBox(u"无法连接到主服务器");
        return false;
    case HttpExchangeOutcome::NoRequest:
        ShowMessageBox(u"找不到网址");
        return false;
    case HttpExchangeOutcome::SendFailed:
        return false;
    case HttpExchangeOutcome::Sent:
        break;
    }

    // The answer passes through "key.json" on its way to the JSON reader; the
    // file never outlives the lookup.
    const bool stored = WriteAnswerFile(JoinAnswerLines(result.answer));
    const std::optional<std::string> text = stored ? ReadAnswerFile() : std::nullopt;
    const bool removed = unlink(kAnswerFileName) == 0 || errno == ENOENT;
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
