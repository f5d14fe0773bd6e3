// How long gathering the identity values of this PC takes, from its real
// sources, set against one MD5 of a short text measured in the same run.

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "identity/device_identity.h"
#include "identity/identity_sources_linux.h"
#include "identity/md5.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
    double median;
    double slowest;
};

// Seconds per call over `runs` calls: the median and the slowest.
Timing Measure(int runs, const std::function<void()>& call)
{
    std::vector<double> seconds;
    seconds.reserve(static_cast<std::size_t>(runs));
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        call();
        seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return Timing{seconds[seconds.size() / 2], seconds.back()};
}

void DigestShortText()
{
    CMD5 md5;
    md5.DigestString("9:05:03:0042");
}

void GatherIdentity()
{
    DeviceIdentity = {};
    const IdentitySources sources = LinuxIdentitySources();
    if (ReadAccountAndDomain(sources))
        GatherDeviceValues(sources);
}

}

int main()
{
    std::setlocale(LC_ALL, "");

    // The machine-id file goes into a folder of the benchmark's own.
    const std::filesystem::path previousFolder = std::filesystem::current_path();
    std::string folder = (std::filesystem::temp_directory_path() / "vantor-bench-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    std::filesystem::current_path(folder);

    // Warm-up: the first start creates the machine-id file.
    GatherIdentity();
    const Timing baseline = Measure(10000, DigestShortText);
    const Timing gather = Measure(200, GatherIdentity);

    std::filesystem::current_path(previousFolder);
    std::filesystem::remove_all(folder);

    std::printf("baseline, one MD5 of a short text: median %.2f us\n", baseline.median * 1e6);
    std::printf("gathering all identity values:     median %.3f ms, slowest %.3f ms (budget 50 ms)\n",
                gather.median * 1e3, gather.slowest * 1e3);
    std::printf("ratio gathering / baseline:        %.0f\n", gather.median / baseline.median);
    return 0;
}
