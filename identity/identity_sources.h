#pragma once

#include <functional>
#include <optional>
#include <string>

#include "identity/hardware_queries.h"

struct LocalTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Where the identity values come from, one member per source. The Linux set
// reads this PC; tests replace single members with fixed facts.
struct IdentitySources {
    std::function<std::string()> userName;                 // empty when unknown
    std::function<std::optional<std::string>()> hostName;  // none when it cannot be read
    std::function<std::string()> resolverConfig;           // resolv.conf text, empty when unreadable
    std::function<std::string()> hardwareProfileGuid;      // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" or empty
    std::function<AdapterListing()> listAdapters;
    std::function<DiskListing()> listDisks;
    std::function<LocalTime()> now;
    // Local time of the file's creation; of the zero time when there is no file.
    std::function<LocalTime(const std::string& path)> creationTime;

    // The system code page, in which the values are hashed.
    std::function<std::u16string(const std::string& text)> toWide;
    std::function<std::string(const std::u16string& text)> toNarrow;
    // The first line of the file, empty when it cannot be read; and its replacement.
    std::function<std::string(const std::string& path)> readFirstLine;
    std::function<void(const std::string& path, const std::string& bytes)> replaceFile;
};
