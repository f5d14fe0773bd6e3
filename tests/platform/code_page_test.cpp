#include <gtest/gtest.h>

#include <clocale>
#include <ostream>
#include <string>

#include "platform/code_page.h"
#include "tests/support/locale_scope.h"

namespace {

struct ConversionCase {
    const char* name;
    const char* locale;
    std::u16string wide;
    std::string narrow;
    bool roundTrip;
};

void PrintTo(const ConversionCase& c, std::ostream* os)
{
    *os << c.name;
}

const ConversionCase kCases[] = {
    {"Utf8Ascii", "C.UTF-8", u"PC-01 office", "PC-01 office", true},
    {"Utf8Chinese", "C.UTF-8", u"张三的电脑", "\xE5\xBC\xA0\xE4\xB8\x89\xE7\x9A\x84\xE7\x94\xB5\xE8\x84\x91", true},
    {"Utf8Astral", "C.UTF-8", u"a\U0001F600b", "a\xF0\x9F\x98\x80" "b", true},
    {"Utf8LoneSurrogate", "C.UTF-8", std::u16string{u'\xD800', u'A'}, "?A", false},
    {"GbkTwoBytesPerCharacter", "zh_CN.GBK", u"张三", "\xD5\xC5\xC8\xFD", true},
    {"GbkMixed", "zh_CN.GBK", u"lab-张三.corp", "lab-\xD5\xC5\xC8\xFD.corp", true},
    {"GbkLacksThai", "zh_CN.GBK", u"A\u0E01B", "A?B", false},
    {"GbkLacksAstral", "zh_CN.GBK", u"A\U0001F600B", "A?B", false},
    {"AsciiLacksChinese", "C", u"x张y", "x?y", false},
};

class Conversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, NarrowsAndWidens)
{
    const ConversionCase& c = GetParam();
    LocaleScope locale(c.locale);
    ASSERT_TRUE(locale.active()) << c.locale;
    EXPECT_EQ(ToNarrow(c.wide), c.narrow);
    if (c.roundTrip) {
        EXPECT_EQ(ToWide(c.narrow), c.wide);
    }
}

INSTANTIATE_TEST_SUITE_P(CodePage, Conversion, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ConversionCase>& info) { return info.param.name; });

TEST(CodePage, BytesOutsideTheCodePageWidenToQuestionMark)
{
    LocaleScope locale("zh_CN.GBK");
    ASSERT_TRUE(locale.active());
    // A lead byte without its trail byte.
    EXPECT_EQ(ToWide("ab\x81"), u"ab?");
}

}
