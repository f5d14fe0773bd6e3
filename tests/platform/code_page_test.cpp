#include <gtest/gtest.h>

#include <clocale>
#include <ostream>
#include <string>

#include "identity/conversions.h"

namespace {

// Switches the process to a locale for one test and back afterwards.
class LocaleScope {
public:
    explicit LocaleScope(const char* name)
    {
        const char* current = std::setlocale(LC_ALL, nullptr);
        m_previous = current ? current : "C";
        m_active = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, m_previous.c_str()); }
    bool active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

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

struct HexCase {
    std::u16string text;
    std::u16string hex;
};

void PrintTo(const HexCase& c, std::ostream* os)
{
    *os << '"' << std::string(c.text.begin(), c.text.end()) << '"';
}

const HexCase kRfc1321Suite[] = {
    {u"", u"D41D8CD98F00B204E9800998ECF8427E"},
    {u"a", u"0CC175B9C0F1B6A831C399E269772661"},
    {u"abc", u"900150983CD24FB0D6963F7D28E17F72"},
    {u"message digest", u"F96B697D7CB7938D525A2F31AAF161D0"},
    {u"abcdefghijklmnopqrstuvwxyz", u"C3FCD3D76192E4007DFB496CCA67E13B"},
    {u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", u"D174AB98D277D9F5A5611C2C9F419D9F"},
    {u"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     u"57EDF4A22BE3C955AC49DA2E2107B67A"},
};

class Md5HexSuite : public testing::TestWithParam<HexCase> {};

TEST_P(Md5HexSuite, GivesTheSuiteDigestInUpperCase)
{
    EXPECT_EQ(Md5Hex(GetParam().text), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(CodePage, Md5HexSuite, testing::ValuesIn(kRfc1321Suite));

TEST(CodePage, Md5HexDigestsTheCodePageBytes)
{
    {
        LocaleScope locale("zh_CN.GBK");
        ASSERT_TRUE(locale.active());
        EXPECT_EQ(Md5Hex(u"张三"), u"894152FFF4F97E8FB2B8F304C5C56EBB");  // D5 C5 C8 FD
    }
    LocaleScope locale("C.UTF-8");
    ASSERT_TRUE(locale.active());
    EXPECT_EQ(Md5Hex(u"张三"), u"615DB57AA314529AAA0FBE95B3E95BD3");
}

TEST(CodePage, CharactersOutsideTheCodePageDigestAsTheDefaultCharacter)
{
    LocaleScope locale("zh_CN.GBK");
    ASSERT_TRUE(locale.active());
    EXPECT_EQ(Md5Hex(u"pc\u0E01"), Md5Hex(u"pc\u0E02"));
    EXPECT_EQ(Md5Hex(u"pc\u0E01"), Md5Hex(u"pc?"));
}

}
