#include "report/report_text.h"

#include <gtest/gtest.h>

namespace {

struct EncodeCase {
    const char* name;
    std::string value;
    std::string encoded;
};

class FormEncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(FormEncodeTest, EncodesOneValue)
{
    EXPECT_EQ(FormEncode(GetParam().value), GetParam().encoded);
}

const EncodeCase kEncodeCases[] = {
    {"HexDigest", "0CC175B9C0F1B6A831C399E269772661", "0CC175B9C0F1B6A831C399E269772661"},
    {"Empty", "", ""},
    {"FieldSeparators", "a&b=c", "a%26b%3Dc"},
    {"BlankAndLineFeed", "IM001A2B3C4D5E\nGM000000000000", "IM001A2B3C4D5E%0AGM000000000000"},
    {"Blank", "DOMAIN\\Li Lei", "DOMAIN%5CLi+Lei"},
    {"KeptPunctuation", "host.example-1_*", "host.example-1_*"},
    {"PlusAndPercent", "1+1%", "1%2B1%25"},
    {"GbkBytes", "\xC0\xEE", "%C0%EE"},
};

INSTANTIATE_TEST_SUITE_P(Values, FormEncodeTest, testing::ValuesIn(kEncodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReportBodyTest, FieldsInOrderWithAnEmptyDiskHash)
{
    ReportValues values{"ID", "PID", "", "CPU", "IM001A2B3C4D5E\nGM000000000000", "a&b", "HOST."};
    EXPECT_EQ(ComposeReportBody(values),
              "id=ID&pid=PID&d=&cpu=CPU&MixedMACs=IM001A2B3C4D5E%0AGM000000000000"
              "&WinAccount=a%26b&WinDomain=HOST.");
}

TEST(StartQueryTest, CarriesVersionIdPidAndCpu)
{
    EXPECT_EQ(ComposeStartQuery("ID", "PID", "CPU"), "version=1.20140927&id=ID&pid=PID&cpu=CPU");
}

TEST(SiteAddressTest, JoinsHostPortAndPath)
{
    EXPECT_EQ(ComposeSiteAddress(u"srv01", u"8080", u"/Account/LogOn"),
              u"http://srv01:8080/Account/LogOn");
    EXPECT_EQ(ComposeSiteAddress(u"srv01", u"80", u"Account/LogOn"), u"http://srv01:80Account/LogOn");
}

}
