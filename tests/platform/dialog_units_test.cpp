#include "platform/dialog_units.h"

#include <gtest/gtest.h>

namespace {

struct DialogUnitsCase {
    DialogBaseUnits base;
    DialogRect units;
    DialogRect pixels;
};

class DialogUnitsTest : public testing::TestWithParam<DialogUnitsCase> {};

TEST_P(DialogUnitsTest, ConvertsWithRounding)
{
    const DialogUnitsCase& c = GetParam();
    const DialogRect pixels = ToPixels(c.units, c.base);
    EXPECT_EQ(pixels.x, c.pixels.x);
    EXPECT_EQ(pixels.y, c.pixels.y);
    EXPECT_EQ(pixels.width, c.pixels.width);
    EXPECT_EQ(pixels.height, c.pixels.height);
}

const DialogUnitsCase kCases[] = {
    // The common 96-dpi base units 6 x 13.
    {{6, 13}, {0, 0, 316, 182}, {0, 0, 474, 296}},
    {{6, 13}, {53, 83, 212, 14}, {80, 135, 318, 23}},
    {{7, 16}, {0, 1, 519, 285}, {0, 2, 908, 570}},
    {{6, 13}, {-3, -5, 1, 1}, {-5, -8, 2, 2}},
};

INSTANTIATE_TEST_SUITE_P(Cases, DialogUnitsTest, testing::ValuesIn(kCases));

}
