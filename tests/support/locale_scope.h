#pragma once

#include <clocale>
#include <string>

// Switches the process to another locale, and so another system code page,
// for the life of the object.
class LocaleScope {
public:
    explicit LocaleScope(const char* name) : m_previous(std::setlocale(LC_ALL, nullptr))
    {
        m_active = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, m_previous.c_str()); }

    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

    bool active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};
