// The configuration file's bytes, whatever they are, decoded in the code page
// the first byte chooses and read for every entry start-up and the report read.

#include "config/config_text.h"
#include "config/profile_reader.h"
#include "platform/code_page.h"
#include "tests/fuzz/fuzz_locale.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void ReadEntry(const std::u16string& text, const char16_t* key, const char16_t* defaultValue)
{
    const std::u16string value = ReadProfileString(text, ConfigText::kSection, key, defaultValue);
    // A value is one line of the file at most.
    FUZZ_CHECK(value.find_first_of(u"\r\n") == std::u16string::npos);
    FUZZ_CHECK(value.size() <= text.size() || value.size() <= std::u16string(defaultValue).size());
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    UseLocale(kFuzzLocales[data[0] & 1]);
    const std::u16string text = ToWide(std::string(data + 1, data + size));

    using namespace ConfigText;
    ReadEntry(text, kHttpServerKey, kServerProbeDefault);
    ReadEntry(text, kHttpServerKey, kHttpServerDefault);
    ReadEntry(text, kParaKey, kParaDefault);
    ReadEntry(text, kPortKey, kPortDefault);
    ReadEntry(text, kPathKey, kPathDefault);
    return 0;
}
