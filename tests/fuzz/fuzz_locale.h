#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>

// The code pages the launcher meets on office PCs: UTF-8 and GBK.
inline constexpr const char* kFuzzLocales[] = {"C.UTF-8", "zh_CN.GBK"};

// Switches the process to `locale`, which must exist: a fuzzer that silently
// ran under "C" would test the wrong conversions.
inline void UseLocale(const char* locale)
{
    static const char* current = nullptr;
    if (current == locale)
        return;
    if (!std::setlocale(LC_ALL, locale)) {
        std::fprintf(stderr, "locale %s is missing (see tools/install-deps.sh)\n", locale);
        std::abort();
    }
    current = locale;
}

// A property of the code that does not hold: the input is a finding.
#define FUZZ_CHECK(condition)                                                   \
    do {                                                                        \
        if (!(condition)) {                                                     \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition,   \
                         __FILE__, __LINE__);                                   \
            std::abort();                                                       \
        }                                                                       \
    } while (false)
