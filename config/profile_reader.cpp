#include "config/profile_reader.h"

#include <optional>

namespace {

bool IsBlank(char16_t unit)
{
    return unit == u' ' || unit == u'\t' || unit == u'\v' || unit == u'\f';
}

std::u16string_view TrimBlanks(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char16_t FoldCase(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool SameName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

std::u16string_view StripQuotes(std::u16string_view value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The name inside "[name]", or nothing when the line is not a section header.
std::optional<std::u16string_view> SectionName(std::u16string_view line)
{
    if (line.empty() || line.front() != u'[')
        return std::nullopt;
    const std::size_t close = line.rfind(u']');
    if (close == std::u16string_view::npos)
        return std::nullopt;
    return TrimBlanks(line.substr(1, close - 1));
}

bool IsLineEnd(char16_t unit)
{
    return unit == u'\r' || unit == u'\n';
}

}

std::u16string ReadProfileString(std::u16string_view text, std::u16string_view section,
                                 std::u16string_view key, std::u16string_view defaultValue)
{
    // Notepad and friends may put a byte-order mark before the first section.
    if (!text.empty() && text.front() == u'\uFEFF')
        text.remove_prefix(1);

    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsLineEnd(text[end]))
            ++end;
        const std::u16string_view line = TrimBlanks(text.substr(start, end - start));
        start = end + 1;

        if (const auto name = SectionName(line)) {
            // Only the first section of the name counts; a later one of the
            // same name is ignored.
            if (inSection)
                break;
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        // A line without "=" names no value.
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos
            || !SameName(TrimBlanks(line.substr(0, equals)), key))
            continue;
        return std::u16string(StripQuotes(TrimBlanks(line.substr(equals + 1))));
    }

    while (!defaultValue.empty() && IsBlank(defaultValue.back()))
        defaultValue.remove_suffix(1);
    return std::u16string(defaultValue);
}
