#pragma once

#include <map>
#include <string>

// The zoom steps of Ctrl+plus and Ctrl+minus, as factors of the page's size.
double NextZoomIn(double factor);
double NextZoomOut(double factor);
// The factor as a whole percentage, for the indicator.
int ZoomPercent(double factor);

// The zoom level the user chose for each site host; a host missing from it
// shows at 100 %. Kept as text, one "host factor" line each.
class ZoomLevels {
public:
    // Lines that do not hold a host and a factor within the steps' range are
    // skipped, so a damaged file costs only its damaged lines.
    static ZoomLevels Parse(const std::string& text);
    std::string Format() const;

    double Get(const std::string& host) const;
    // 100 % removes the host's line.
    void Set(const std::string& host, double factor);

private:
    std::map<std::string, double> m_levels;
};
