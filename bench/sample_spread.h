#pragma once

#include <vector>

struct SampleSpread {
    double median = 0;
    double lowest = 0;
    double highest = 0;
};

// Of one value or more.
SampleSpread SpreadOf(std::vector<double> values);
