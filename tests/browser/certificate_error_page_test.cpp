#include "browser/certificate_error_page.h"

#include <gtest/gtest.h>

namespace {

struct CertificateCase {
    int code;
    const char* reason;
    bool siteMustReplace;
};

class CertificateErrorPageTest : public testing::TestWithParam<CertificateCase> {};

TEST_P(CertificateErrorPageTest, SaysWhatIsWrongAndHowToTrustTheAgencysCertificate)
{
    const CertificateCase& c = GetParam();
    ASSERT_TRUE(IsCertificateError(c.code));
    const std::string page = ComposeCertificateErrorPage("https://127.0.0.1:8443/", c.code);
    EXPECT_NE(page.find(std::string("原因：") + c.reason), std::string::npos) << page;
    EXPECT_EQ(page.find("更换服务器的证书") != std::string::npos, c.siteMustReplace);
    EXPECT_NE(page.find("<pre>certutil -d sql:$HOME/.pki/nssdb -A -t \"C,,\" -n"), std::string::npos)
        << page;
    EXPECT_NE(page.find("https://127.0.0.1:8443/"), std::string::npos);
}

const CertificateCase kCases[] = {
    {-202, "证书的颁发机构不受本机信任。", false},
    {-201, "证书已过期或尚未生效", true},
    {-200, "证书上的名称与网站的地址不符。", true},
    {-206, "证书已被吊销。", true},
    {-207, "证书无效（错误代码 -207）。", true},
};

INSTANTIATE_TEST_SUITE_P(Cases, CertificateErrorPageTest, testing::ValuesIn(kCases));

TEST(CertificateErrorPageTest, TheUrlShowsAsText)
{
    const std::string page =
        ComposeCertificateErrorPage("https://h/<script>alert(1)</script>?a=1&b='2'", -202);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("https://h/&lt;script&gt;alert(1)&lt;/script&gt;?a=1&amp;b=&#39;2&#39;"),
              std::string::npos);
}

TEST(CertificateErrorPageTest, OnlyCertificateCodesCount)
{
    EXPECT_FALSE(IsCertificateError(-199));
    EXPECT_TRUE(IsCertificateError(-200));
    EXPECT_TRUE(IsCertificateError(-299));
    EXPECT_FALSE(IsCertificateError(-300));
    EXPECT_FALSE(IsCertificateError(-102));
}

}
