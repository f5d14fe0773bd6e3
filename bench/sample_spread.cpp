#include "bench/sample_spread.h"

#include <algorithm>

SampleSpread SpreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    const double median =
        values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    return SampleSpread{median, values.front(), values.back()};
}
