#pragma once

#include <cstdint>
#include <deque>

// The speed of a download over its last few seconds, from samples of the
// bytes received so far at a time in milliseconds.
class DownloadRate {
public:
    void AddSample(std::int64_t timeMs, std::int64_t receivedBytes);
    // Zero until two samples lie apart in time.
    double BytesPerSecond() const;

private:
    struct Sample {
        std::int64_t timeMs;
        std::int64_t receivedBytes;
    };
    std::deque<Sample> m_samples;
};
