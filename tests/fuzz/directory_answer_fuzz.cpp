// The directory's answer, whatever it holds, from its text through the host
// check to the configuration text written for it.

#include "config/config_text.h"
#include "config/directory_answer.h"
#include "config/profile_reader.h"
#include "platform/code_page.h"
#include "platform/address_syntax.h"
#include "tests/fuzz/fuzz_locale.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 2;
    }
}

std::u16string Entry(const std::u16string& text, const char16_t* key)
{
    return ReadProfileString(text, ConfigText::kSection, key, u"missing");
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    UseLocale(kFuzzLocales[0]);
    const DirectoryAnswer answer =
        ReadDirectoryAnswer(JoinAnswerLines(std::string(data, data + size)));
    if (answer.kind != DirectoryAnswer::Kind::Host)
        return 0;
    FUZZ_CHECK(answer.host.empty() || IsUsableHost(answer.host));

    // What provisioning hands to the configuration file.
    const std::u16string host = ToWide(answer.host);
    const std::optional<std::string> text = ComposeConfigText(host);
    FUZZ_CHECK(text.has_value());
    const std::vector<std::string> lines = Lines(*text);
    FUZZ_CHECK(lines.size() == 6);
    FUZZ_CHECK(lines[0] == "[QLXBSINFO]");
    FUZZ_CHECK(lines[1] == "HttpServer=" + answer.host);
    FUZZ_CHECK(lines[2] == "Port=80");
    FUZZ_CHECK(lines[3] == "Path=/Account/LogOn");
    FUZZ_CHECK(lines[4] == "Para=--disable-plugins");
    FUZZ_CHECK(lines[5] == "BrowserPath=");

    // Read back as the next start reads it.
    const std::u16string written = ToWide(*text);
    FUZZ_CHECK(Entry(written, ConfigText::kHttpServerKey) == host);
    FUZZ_CHECK(Entry(written, ConfigText::kPortKey) == u"80");
    FUZZ_CHECK(Entry(written, ConfigText::kPathKey) == u"/Account/LogOn");
    FUZZ_CHECK(Entry(written, ConfigText::kParaKey) == u"--disable-plugins");
    FUZZ_CHECK(Entry(written, u"BrowserPath").empty());
    return 0;
}
