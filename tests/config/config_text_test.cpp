#include "config/config_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ConfigTextTest, ProvisionedFileForSrv01IsSixLinesOf97Bytes)
{
    const std::optional<std::string> text = ComposeConfigText(u"srv01");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text,
              "[QLXBSINFO]\r\nHttpServer=srv01\r\nPort=80\r\nPath=/Account/LogOn\r\n"
              "Para=--disable-plugins\r\nBrowserPath=");
    EXPECT_EQ(text->size(), 97u);
}

TEST(ConfigTextTest, EmptyHostGives92Bytes)
{
    EXPECT_EQ(ComposeConfigText(u"")->size(), 92u);
}

TEST(ConfigTextTest, CharactersUpTo0xFFBecomeOneByteEach)
{
    EXPECT_NE(ComposeConfigText(u"caf\u00E9")->find("HttpServer=caf\xE9\r\n"), std::string::npos);
}

struct UnwritableHost {
    const char* name;
    std::u16string host;
};

// Test names carry the case; gtest need not dump its bytes.
void PrintTo(const UnwritableHost& c, std::ostream* out)
{
    *out << c.name;
}

class UnwritableHostTest : public testing::TestWithParam<UnwritableHost> {};

TEST_P(UnwritableHostTest, GivesNoText)
{
    EXPECT_FALSE(ComposeConfigText(GetParam().host));
}

const UnwritableHost kUnwritableHosts[] = {
    {"AboveOneByte", u"服务器.example"},
    {"JustAboveOneByte", u"a\u0100"},
    {"LineFeed", u"srv01\nPort=81"},
    {"CarriageReturn", u"srv01\rPort=81"},
    {"Nul", std::u16string(u"srv\0x", 5)},
};

INSTANTIATE_TEST_SUITE_P(Hosts, UnwritableHostTest, testing::ValuesIn(kUnwritableHosts),
                         [](const auto& info) { return std::string(info.param.name); });

}
