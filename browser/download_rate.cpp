#include "browser/download_rate.h"

namespace {

// Long enough to smooth bursts of the network, short enough to follow changes.
constexpr std::int64_t kWindowMs = 3000;

}

void DownloadRate::AddSample(std::int64_t timeMs, std::int64_t receivedBytes)
{
    m_samples.push_back({timeMs, receivedBytes});
    // Keep one sample at or before the window's start, so the window is full.
    while (m_samples.size() > 2 && m_samples[1].timeMs <= timeMs - kWindowMs)
        m_samples.pop_front();
}

double DownloadRate::BytesPerSecond() const
{
    if (m_samples.size() < 2)
        return 0;
    const Sample& first = m_samples.front();
    const Sample& last = m_samples.back();
    if (last.timeMs <= first.timeMs || last.receivedBytes <= first.receivedBytes)
        return 0;
    return static_cast<double>(last.receivedBytes - first.receivedBytes) * 1000 /
           static_cast<double>(last.timeMs - first.timeMs);
}
