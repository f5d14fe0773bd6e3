#include "identity/identity_values.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

std::string HostLabel(const std::string& hostName)
{
    return hostName.substr(0, hostName.find('.'));
}

std::string ResolverDomain(const std::string& resolverConfig, const std::string& hostName)
{
    std::string domain;
    std::string firstSearchEntry;
    std::istringstream lines(resolverConfig);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string keyword;
        std::string value;
        if (!(words >> keyword >> value))
            continue;
        if (keyword == "domain")
            domain = value;
        else if (keyword == "search")
            firstSearchEntry = value;
    }
    if (!domain.empty())
        return domain;
    if (!firstSearchEntry.empty())
        return firstSearchEntry;
    const std::size_t dot = hostName.find('.');
    return dot == std::string::npos ? std::string() : hostName.substr(dot + 1);
}

std::string FormatMachineIdAsGuid(const std::string& machineId)
{
    std::string digits = machineId;
    while (!digits.empty() && std::isspace(static_cast<unsigned char>(digits.back())))
        digits.pop_back();
    if (digits.size() != 32 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return {};
    std::transform(digits.begin(), digits.end(), digits.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return "{" + digits.substr(0, 8) + "-" + digits.substr(8, 4) + "-" + digits.substr(12, 4) + "-" +
           digits.substr(16, 4) + "-" + digits.substr(20) + "}";
}

std::string FormatCreationTime(const LocalTime& time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", time.month, time.day, time.year % 100,
                  time.hour, time.minute, time.second);
    return text;
}

std::string FormatTimeOfDay(const LocalTime& time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d:%02d:%02d:%04d", time.hour, time.minute, time.second,
                  time.millisecond);
    return text;
}

std::u16string TrimMacCopy(std::u16string copy, bool& cut)
{
    const std::size_t start = copy.find_first_of(u"xM");
    if (start != std::u16string::npos)
        copy.erase(0, start);
    const std::size_t end = copy.find_first_of(u"xG");
    cut = end != std::u16string::npos;
    if (cut)
        copy.erase(end);
    return copy;
}

void AppendMacMarker(std::string& macText)
{
    const std::size_t kOffset = 15;
    if (macText.size() >= kOffset)
        macText = macText.substr(0, kOffset) + "GM000000000000";
}
