#include "platform/address_syntax.h"

#include <algorithm>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool AllOf(std::string_view text, bool (*test)(char))
{
    return std::all_of(text.begin(), text.end(), test);
}

bool IsDnsLabel(std::string_view label)
{
    return !label.empty() && label.size() <= 63
        && AllOf(label, [](char c) { return IsLetter(c) || IsDigit(c) || c == '-'; });
}

bool IsIpv4Part(std::string_view part)
{
    if (part.empty() || part.size() > 3 || !AllOf(part, IsDigit))
        return false;
    int value = 0;
    for (const char c : part)
        value = value * 10 + (c - '0');
    return value <= 255;
}

bool IsHexGroup(std::string_view group)
{
    return !group.empty() && group.size() <= 4 && AllOf(group, IsHexDigit);
}

// RFC 3986 unreserved and sub-delims, and every byte from 0x80 up.
bool IsNameByte(char c)
{
    constexpr std::string_view kMarks = "-._~!$&'()*+,;=";
    return IsLetter(c) || IsDigit(c) || static_cast<unsigned char>(c) >= 0x80
        || kMarks.find(c) != std::string_view::npos;
}

bool IsBracketedIpv6(std::string_view text)
{
    return text.size() >= 2 && text.front() == '[' && text.back() == ']'
        && IsIpv6Address(text.substr(1, text.size() - 2));
}

}

bool IsUrlScheme(std::string_view text)
{
    return !text.empty() && IsLetter(text.front()) && AllOf(text, [](char c) {
        return IsLetter(c) || IsDigit(c) || c == '+' || c == '-' || c == '.';
    });
}

bool IsIpv4Address(std::string_view text)
{
    for (int part = 0; part < 3; ++part) {
        const std::size_t dot = text.find('.');
        if (dot == std::string_view::npos || !IsIpv4Part(text.substr(0, dot)))
            return false;
        text.remove_prefix(dot + 1);
    }
    return IsIpv4Part(text);
}

bool IsIpv6Address(std::string_view text)
{
    int groups = 0;
    bool compressed = false;
    if (text.substr(0, 2) == "::") {
        compressed = true;
        text.remove_prefix(2);
    }
    while (!text.empty()) {
        const std::size_t colon = text.find(':');
        const std::string_view piece = text.substr(0, colon);
        if (colon == std::string_view::npos && piece.find('.') != std::string_view::npos) {
            // A dotted IPv4 address may stand for the last two groups.
            if (!IsIpv4Address(piece))
                return false;
            groups += 2;
            break;
        }
        if (!IsHexGroup(piece))
            return false;
        ++groups;
        if (colon == std::string_view::npos)
            break;
        text.remove_prefix(colon + 1);
        if (text.empty())
            return false;  // a single colon at the end
        if (text.front() == ':') {
            if (compressed)
                return false;
            compressed = true;
            text.remove_prefix(1);
        }
    }
    return compressed ? groups <= 7 : groups == 8;
}

bool IsDnsName(std::string_view text)
{
    if (text.empty() || text.size() > 253)
        return false;
    for (;;) {
        const std::size_t dot = text.find('.');
        if (!IsDnsLabel(text.substr(0, dot)))
            return false;
        if (dot == std::string_view::npos)
            return true;
        text.remove_prefix(dot + 1);
    }
}

bool IsUsableHost(std::string_view text)
{
    return IsDnsName(text) || IsIpv4Address(text) || IsBracketedIpv6(text);
}

bool IsSiteAuthority(std::string_view authority)
{
    std::string_view host = authority;
    std::string_view rest;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return false;
        host = authority.substr(0, close + 1);
        rest = authority.substr(close + 1);
        if (!IsBracketedIpv6(host))
            return false;
    } else {
        const std::size_t colon = authority.find(':');
        host = authority.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : authority.substr(colon);
        if (host.empty() || !AllOf(host, IsNameByte))
            return false;
    }
    // An empty port after the colon stands for the default one.
    return rest.empty() || (rest.front() == ':' && AllOf(rest.substr(1), IsDigit));
}
