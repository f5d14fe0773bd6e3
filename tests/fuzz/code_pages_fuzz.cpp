// The crossings between UTF-16 and the system code page, whatever the bytes or
// units: what one direction gives, the other takes back unchanged.

#include "platform/code_page.h"
#include "tests/fuzz/fuzz_locale.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    UseLocale(kFuzzLocales[data[0] & 1]);
    const std::string bytes(data + 1, data + size);

    // Bytes in the code page: what they decode to encodes and decodes again
    // to the same text.
    const std::u16string wide = ToWide(bytes);
    FUZZ_CHECK(wide.size() <= bytes.size());
    FUZZ_CHECK(ToWide(ToNarrow(wide)) == wide);

    // The same bytes as UTF-16 units, lone surrogates included.
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i])
                                              | static_cast<unsigned char>(bytes[i + 1]) << 8));
    const std::string narrow = ToNarrow(units);
    FUZZ_CHECK(ToNarrow(ToWide(narrow)) == narrow);
    FUZZ_CHECK(Md5Hex(units).size() == 32);
    return 0;
}
