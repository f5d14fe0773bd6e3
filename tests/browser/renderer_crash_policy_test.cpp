#include "browser/renderer_crash_policy.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

using std::chrono::seconds;

struct Death {
    bool normalExit;
    int atSecond;
};

struct CrashCase {
    const char* name;
    std::vector<Death> deaths;
    std::vector<RendererCrashResponse> expected;
};

class RendererCrashPolicyTest : public testing::TestWithParam<CrashCase> {};

TEST_P(RendererCrashPolicyTest, AnswersEachDeath)
{
    const CrashCase& c = GetParam();
    RendererCrashPolicy policy;
    const RendererCrashPolicy::Clock::time_point start{seconds(1000)};
    std::vector<RendererCrashResponse> responses;
    for (const Death& death : c.deaths)
        responses.push_back(policy.OnRendererGone(death.normalExit, start + seconds(death.atSecond)));
    EXPECT_EQ(responses, c.expected);
}

constexpr auto kNone = RendererCrashResponse::None;
constexpr auto kReload = RendererCrashResponse::ReloadByItself;
constexpr auto kNotice = RendererCrashResponse::ShowNotice;

const CrashCase kCases[] = {
    {"NormalExitDoesNothing", {{true, 0}}, {kNone}},
    {"FirstDeathReloads", {{false, 0}}, {kReload}},
    {"SecondDeathWithinAMinuteShowsTheNotice", {{false, 0}, {false, 59}}, {kReload, kNotice}},
    {"SecondDeathAfterAMinuteReloadsAgain", {{false, 0}, {false, 60}}, {kReload, kReload}},
    {"EveryQuickDeathAfterTheNoticeShowsItAgain",
     {{false, 0}, {false, 5}, {false, 20}, {false, 30}},
     {kReload, kNotice, kNotice, kNotice}},
    {"QuietMinuteAfterTheNoticeReloadsAgain",
     {{false, 0}, {false, 5}, {false, 70}},
     {kReload, kNotice, kReload}},
    {"NormalExitsDoNotCountAsDeaths", {{true, 0}, {false, 10}, {true, 20}, {false, 100}},
     {kNone, kReload, kNone, kReload}},
};

INSTANTIATE_TEST_SUITE_P(Cases, RendererCrashPolicyTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CrashCase>& info) {
                             return std::string(info.param.name);
                         });

}
