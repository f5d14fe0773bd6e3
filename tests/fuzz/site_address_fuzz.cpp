// The site address, whatever the configuration file made of it: a split that
// succeeds sends the request to the host the address names, never elsewhere.

#include "platform/address_syntax.h"
#include "platform/http_exchange.h"
#include "tests/fuzz/fuzz_locale.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

std::string_view Authority(std::string_view address)
{
    const std::size_t start = address.find("://") + 3;
    const std::size_t end = address.find_first_of("/?#", start);
    return address.substr(start, end == std::string_view::npos ? end : end - start);
}

std::string_view Host(std::string_view authority)
{
    if (!authority.empty() && authority.front() == '[')
        return authority.substr(0, authority.find(']') + 1);
    return authority.substr(0, authority.find(':'));
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string address(data, data + size);
    const std::optional<std::string> split = SplitHttpAddress(address);
    if (!split)
        return 0;

    FUZZ_CHECK(split->rfind("http://", 0) == 0);
    const std::string_view given = Authority(address);
    const std::string_view sent = Authority(*split);
    FUZZ_CHECK(IsSiteAuthority(given));
    FUZZ_CHECK(IsSiteAuthority(sent));
    FUZZ_CHECK(sent.size() > Host(sent).size());  // the port is always written
    // curl writes IPv4 numbers and IPv6 addresses in their usual form; a name
    // goes out exactly as given.
    const std::string_view sentHost = Host(sent);
    FUZZ_CHECK(sentHost == Host(given) || IsIpv4Address(sentHost) || sentHost.front() == '[');
    return 0;
}
