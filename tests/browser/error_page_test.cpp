#include "browser/error_page.h"

#include <gtest/gtest.h>

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

TEST(ErrorPageTest, OnlyAnAbortedLoadLeavesThePage)
{
    EXPECT_FALSE(LoadErrorShowsPage(-3));
    EXPECT_TRUE(LoadErrorShowsPage(-105));
    EXPECT_TRUE(LoadErrorShowsPage(-2));
    EXPECT_TRUE(LoadErrorShowsPage(0));
}

}
