#include "browser/zoom_levels.h"

#include <array>
#include <cmath>
#include <locale>
#include <sstream>

namespace {

// The steps office staff know from desktop browsers.
constexpr std::array<double, 17> kZoomSteps{0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                            1.25, 1.5, 1.75, 2.0, 2.5, 3.0, 4.0, 5.0};
// Factors the engine hands back are not exactly the steps that were set.
constexpr double kTolerance = 0.001;

bool IsUsableFactor(double factor)
{
    return std::isfinite(factor) && factor >= kZoomSteps.front() - kTolerance &&
           factor <= kZoomSteps.back() + kTolerance;
}

bool IsUsableHost(const std::string& host)
{
    if (host.empty())
        return false;
    for (const char character : host) {
        if (static_cast<unsigned char>(character) <= ' ')
            return false;
    }
    return true;
}

}

double NextZoomIn(double factor)
{
    for (const double step : kZoomSteps) {
        if (step > factor + kTolerance)
            return step;
    }
    return kZoomSteps.back();
}

double NextZoomOut(double factor)
{
    for (auto step = kZoomSteps.rbegin(); step != kZoomSteps.rend(); ++step) {
        if (*step < factor - kTolerance)
            return *step;
    }
    return kZoomSteps.front();
}

int ZoomPercent(double factor)
{
    return static_cast<int>(std::lround(factor * 100.0));
}

ZoomLevels ZoomLevels::Parse(const std::string& text)
{
    ZoomLevels levels;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        std::string host;
        double factor = 0.0;
        std::string rest;
        if (!(fields >> host >> factor) || (fields >> rest))
            continue;
        if (IsUsableHost(host) && IsUsableFactor(factor))
            levels.Set(host, factor);
    }
    return levels;
}

std::string ZoomLevels::Format() const
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    for (const auto& [host, factor] : m_levels)
        text << host << ' ' << factor << '\n';
    return text.str();
}

double ZoomLevels::Get(const std::string& host) const
{
    const auto entry = m_levels.find(host);
    return entry == m_levels.end() ? 1.0 : entry->second;
}

void ZoomLevels::Set(const std::string& host, double factor)
{
    if (!IsUsableHost(host))
        return;
    if (std::fabs(factor - 1.0) < kTolerance || !IsUsableFactor(factor))
        m_levels.erase(host);
    else
        m_levels[host] = factor;
}
