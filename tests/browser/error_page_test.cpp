#include "browser/error_page.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>

namespace {

TEST(ErrorPageTest, ComposesThePageAroundUrlTextAndCode)
{
    EXPECT_EQ(ComposeErrorPage("http://127.0.0.1:9/", "net::ERR_CONNECTION_REFUSED", -102),
              "<html><body bgcolor=\"white\"><h2>Failed to load URL http://127.0.0.1:9/ with "
              "error net::ERR_CONNECTION_REFUSED (-102).</h2></body></html>");
}

struct EscapeCase {
    const char* text;
    const char* escaped;
};

class ErrorPageEscapeTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(ErrorPageEscapeTest, UrlAndErrorTextShowAsText)
{
    const EscapeCase& c = GetParam();
    EXPECT_EQ(EscapeHtmlText(c.text), c.escaped);
    EXPECT_EQ(ComposeErrorPage(c.text, c.text, 7),
              std::string("<html><body bgcolor=\"white\"><h2>Failed to load URL ") + c.escaped +
                  " with error " + c.escaped + " (7).</h2></body></html>");
}

const EscapeCase kEscapeCases[] = {
    {"http://h/<script>alert(1)</script>", "http://h/&lt;script&gt;alert(1)&lt;/script&gt;"},
    {"http://h/?a=1&b=\"2\"&c='3'", "http://h/?a=1&amp;b=&quot;2&quot;&amp;c=&#39;3&#39;"},
    {"http://主机/页面 失败", "http://主机/页面 失败"},
    {"", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, ErrorPageEscapeTest, testing::ValuesIn(kEscapeCases));

std::string PageFor(const std::string& shownUrl)
{
    return "<html><body bgcolor=\"white\"><h2>Failed to load URL " + shownUrl +
           " with error net::ERR_FAILED (-2).</h2></body></html>";
}

std::string Repeated(const std::string& text, std::size_t times)
{
    std::string repeated;
    for (std::size_t i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

struct LongUrlCase {
    const char* name;
    std::string url;
    std::string shown;  // escaped, as on the page
};

// Test names carry the case; gtest need not dump its bytes.
void PrintTo(const LongUrlCase& c, std::ostream* out)
{
    *out << c.name;
}

class ErrorPageLongUrlTest : public testing::TestWithParam<LongUrlCase> {};

TEST_P(ErrorPageLongUrlTest, ShowsAtMostTheFirst2000Characters)
{
    EXPECT_EQ(ComposeErrorPage(GetParam().url, "net::ERR_FAILED", -2), PageFor(GetParam().shown));
}

const std::string kPrefix = "http://h/";
const std::string kEllipsis = "\xE2\x80\xA6";

const LongUrlCase kLongUrlCases[] = {
    {"Exactly2000", kPrefix + std::string(1991, 'a'), kPrefix + std::string(1991, 'a')},
    {"Of2001", kPrefix + std::string(1992, 'a'), kPrefix + std::string(1991, 'a') + kEllipsis},
    {"TwoMegabytes", kPrefix + std::string(2 * 1024 * 1024, 'a'),
     kPrefix + std::string(1991, 'a') + kEllipsis},
    // Characters, not bytes: a Chinese character is three bytes and never split.
    {"ChineseExactly2000", kPrefix + Repeated("页", 1991), kPrefix + Repeated("页", 1991)},
    {"ChineseOver2000", kPrefix + Repeated("页", 3000), kPrefix + Repeated("页", 1991) + kEllipsis},
    // Cut first, escaped after: no reference is cut in two.
    {"EscapedAfterTheCut", kPrefix + std::string(1990, 'a') + "&<",
     kPrefix + std::string(1990, 'a') + "&amp;" + kEllipsis},
};

INSTANTIATE_TEST_SUITE_P(Urls, ErrorPageLongUrlTest, testing::ValuesIn(kLongUrlCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ErrorPageTest, OnlyAnAbortedLoadLeavesThePage)
{
    EXPECT_FALSE(LoadErrorShowsPage(-3));
    EXPECT_TRUE(LoadErrorShowsPage(-105));
    EXPECT_TRUE(LoadErrorShowsPage(-2));
    EXPECT_TRUE(LoadErrorShowsPage(0));
}

}
