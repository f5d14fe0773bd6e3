#include "browser/zoom_levels.h"

#include <gtest/gtest.h>

namespace {

struct StepCase {
    double from;
    double in;
    double out;
};

class ZoomStepTest : public testing::TestWithParam<StepCase> {};

TEST_P(ZoomStepTest, GoesToTheNeighbouringStep)
{
    const StepCase& c = GetParam();
    EXPECT_DOUBLE_EQ(NextZoomIn(c.from), c.in);
    EXPECT_DOUBLE_EQ(NextZoomOut(c.from), c.out);
}

const StepCase kStepCases[] = {
    {1.0, 1.1, 0.9},
    {1.1, 1.25, 1.0},
    // What the engine hands back for a step that was set.
    {1.0999999, 1.25, 1.0},
    {0.6699999, 0.75, 0.5},
    // A factor between steps, as a page's own zoom may leave it.
    {1.2, 1.25, 1.1},
    {0.25, 0.33, 0.25},
    {5.0, 5.0, 4.0},
    {0.1, 0.25, 0.25},
    {7.0, 5.0, 5.0},
};

INSTANTIATE_TEST_SUITE_P(Cases, ZoomStepTest, testing::ValuesIn(kStepCases));

struct ParseCase {
    const char* name;
    const char* text;
    const char* host;
    double factor;
};

class ZoomLevelsParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ZoomLevelsParseTest, ReadsTheHostsLevel)
{
    const ParseCase& c = GetParam();
    EXPECT_DOUBLE_EQ(ZoomLevels::Parse(c.text).Get(c.host), c.factor);
}

const ParseCase kParseCases[] = {
    {"stored", "oa.example.cn 1.25\n", "oa.example.cn", 1.25},
    {"other host", "oa.example.cn 1.25\n", "127.0.0.1", 1.0},
    {"several", "a.cn 1.5\nb.cn 0.75\n", "b.cn", 0.75},
    {"no final line feed", "a.cn 1.5", "a.cn", 1.5},
    {"carriage returns", "a.cn 1.5\r\nb.cn 2\r\n", "b.cn", 2.0},
    {"damaged line skipped", "a.cn x\nb.cn 2\n", "b.cn", 2.0},
    {"damaged factor", "a.cn 1.5x\n", "a.cn", 1.0},
    {"extra field", "a.cn 1.5 3\n", "a.cn", 1.0},
    {"too small", "a.cn 0.01\n", "a.cn", 1.0},
    {"too large", "a.cn 50\n", "a.cn", 1.0},
    {"not a number", "a.cn nan\n", "a.cn", 1.0},
    {"empty", "", "a.cn", 1.0},
    {"binary", "\x01\x02\xff\n", "a.cn", 1.0},
};

INSTANTIATE_TEST_SUITE_P(Cases, ZoomLevelsParseTest, testing::ValuesIn(kParseCases),
                         [](const testing::TestParamInfo<ParseCase>& info) {
                             std::string name = info.param.name;
                             for (char& character : name) {
                                 if (!isalnum(static_cast<unsigned char>(character)))
                                     character = '_';
                             }
                             return name;
                         });

TEST(ZoomLevelsTest, WhatIsFormattedReadsBackTheSame)
{
    ZoomLevels levels;
    levels.Set("oa.example.cn", 1.25);
    levels.Set("127.0.0.1", 0.67);
    const ZoomLevels read = ZoomLevels::Parse(levels.Format());
    EXPECT_DOUBLE_EQ(read.Get("oa.example.cn"), 1.25);
    EXPECT_DOUBLE_EQ(read.Get("127.0.0.1"), 0.67);
    EXPECT_EQ(read.Format(), levels.Format());
}

TEST(ZoomLevelsTest, HundredPercentForgetsTheHost)
{
    ZoomLevels levels = ZoomLevels::Parse("a.cn 1.5\nb.cn 2\n");
    levels.Set("a.cn", 1.0);
    EXPECT_EQ(levels.Format(), "b.cn 2\n");
}

TEST(ZoomLevelsTest, AHostThatCouldBreakTheLinesIsNotKept)
{
    ZoomLevels levels;
    levels.Set("a.cn\nb.cn", 2.0);
    levels.Set("a b", 2.0);
    levels.Set("", 2.0);
    EXPECT_EQ(levels.Format(), "");
}

}
