#include "browser/load_retry.h"

#include <gtest/gtest.h>

namespace {

struct ErrorCase {
    int code;
    bool retried;
};

class LoadRetryErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(LoadRetryErrorTest, OnlyNetworkFailuresAreRetried)
{
    EXPECT_EQ(LoadErrorIsRetried(GetParam().code), GetParam().retried);
}

const ErrorCase kErrorCases[] = {
    {-102, true},   // refused
    {-101, true},   // reset
    {-118, true},   // connection timed out
    {-7, true},     // timed out
    {-109, true},   // address unreachable
    {-105, true},   // name not resolved
    {-106, true},   // internet disconnected
    {-3, false},    // aborted
    {-202, false},  // untrusted certificate
    {-375, false},  // too many retries
    {-310, false},  // too many redirects
    {0, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, LoadRetryErrorTest, testing::ValuesIn(kErrorCases));

struct DelayCase {
    int attempt;
    int seconds;
};

class LoadRetryDelayTest : public testing::TestWithParam<DelayCase> {};

TEST_P(LoadRetryDelayTest, DoublesFromFiveSecondsToAMinute)
{
    EXPECT_EQ(RetryDelaySeconds(GetParam().attempt), GetParam().seconds);
}

const DelayCase kDelayCases[] = {
    {0, 5}, {1, 10}, {2, 20}, {3, 40}, {4, 60}, {5, 60}, {1000, 60}, {-1, 5},
};

INSTANTIATE_TEST_SUITE_P(Cases, LoadRetryDelayTest, testing::ValuesIn(kDelayCases));

}
