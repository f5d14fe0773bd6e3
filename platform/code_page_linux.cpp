#include "platform/code_page.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <langinfo.h>

namespace {

// The system code page is the codeset of the current locale.
const char* SystemCodeset()
{
    return nl_langinfo(CODESET);
}

// Converts `input` with one iconv descriptor. A unit the target lacks, or an
// input sequence that is not valid, becomes `replacement`; `unitSize` says how
// many input bytes such a unit takes at least.
std::string Convert(iconv_t descriptor, const std::string& input, const std::string& replacement,
                    std::size_t unitSize)
{
    std::string output;
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t result = iconv(descriptor, &in, &inLeft, &out, &outLeft);
        output.append(buffer, sizeof buffer - outLeft);
        if (result != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: the unit at `in` cannot be converted.
        output += replacement;
        std::size_t skip = unitSize;
        if (unitSize == 2 && inLeft >= 4) {
            // A surrogate pair counts as one character; a lone high surrogate
            // does not take the unit after it along.
            auto unitAt = [](const char* bytes) {
                return static_cast<unsigned char>(bytes[1]) << 8 | static_cast<unsigned char>(bytes[0]);
            };
            const int high = unitAt(in);
            const int low = unitAt(in + 2);
            if (high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF)
                skip = 4;
        }
        skip = std::min(skip, inLeft);
        in += skip;
        inLeft -= skip;
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    }
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(descriptor, nullptr, nullptr, &out, &outLeft);
    output.append(buffer, sizeof buffer - outLeft);
    return output;
}

class IconvDescriptor {
public:
    IconvDescriptor(const char* to, const char* from) : m_descriptor(iconv_open(to, from)) {}
    ~IconvDescriptor()
    {
        if (valid())
            iconv_close(m_descriptor);
    }
    IconvDescriptor(const IconvDescriptor&) = delete;
    IconvDescriptor& operator=(const IconvDescriptor&) = delete;

    bool valid() const { return m_descriptor != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_descriptor; }

private:
    iconv_t m_descriptor;
};

}

std::string ToNarrow(const std::u16string& text)
{
    std::string utf16;
    utf16.reserve(text.size() * 2);
    for (char16_t unit : text) {
        utf16.push_back(static_cast<char>(unit & 0xFF));
        utf16.push_back(static_cast<char>(unit >> 8));
    }
    IconvDescriptor descriptor(SystemCodeset(), "UTF-16LE");
    if (!descriptor.valid())
        return std::string(text.size(), '?');
    return Convert(descriptor.get(), utf16, "?", 2);
}

std::u16string ToWide(const std::string& text)
{
    IconvDescriptor descriptor("UTF-16LE", SystemCodeset());
    if (!descriptor.valid())
        return std::u16string(text.size(), u'?');
    std::string utf16 = Convert(descriptor.get(), text, std::string("?\0", 2), 1);
    std::u16string wide;
    wide.reserve(utf16.size() / 2);
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                             static_cast<unsigned char>(utf16[i + 1]) << 8));
    return wide;
}
