#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "identity/md5_hex.h"
#include "tests/support/locale_scope.h"
#include "tests/support/rfc1321_suite.h"

namespace {

std::u16string Ascii(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

std::string UpperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

class Md5HexSuite : public testing::TestWithParam<Rfc1321Case> {};

TEST_P(Md5HexSuite, GivesTheSuiteDigestInUpperCase)
{
    EXPECT_EQ(Md5Hex(Ascii(GetParam().text)), Ascii(UpperCase(GetParam().digest)));
}

INSTANTIATE_TEST_SUITE_P(Md5Hex, Md5HexSuite, testing::ValuesIn(kRfc1321Suite));

TEST(Md5Hex, Md5HexDigestsTheCodePageBytes)
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

TEST(Md5Hex, CharactersOutsideTheCodePageDigestAsTheDefaultCharacter)
{
    LocaleScope locale("zh_CN.GBK");
    ASSERT_TRUE(locale.active());
    EXPECT_EQ(Md5Hex(u"pc\u0E01"), Md5Hex(u"pc\u0E02"));
    EXPECT_EQ(Md5Hex(u"pc\u0E01"), Md5Hex(u"pc?"));
}

TEST(Md5Hex, BytesDigestUpToTheirFirstNul)
{
    EXPECT_EQ(Md5HexOfBytes("WD-WCC4E1234567"), Md5Hex(u"WD-WCC4E1234567"));
    EXPECT_EQ(Md5HexOfBytes(std::string("abc\0def", 7)), u"900150983CD24FB0D6963F7D28E17F72");
}

}
