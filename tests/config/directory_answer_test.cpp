#include "config/directory_answer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Kind = DirectoryAnswer::Kind;

struct AnswerCase {
    const char* name;
    std::string answer;  // as received, line ends included
    Kind kind;
    std::string host;
};

// Test names carry the case; gtest need not dump its bytes.
void PrintTo(const AnswerCase& c, std::ostream* out)
{
    *out << c.name;
}

class DirectoryAnswerTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(DirectoryAnswerTest, TakesDomainWhenItIsAUsableHost)
{
    const AnswerCase& c = GetParam();
    const DirectoryAnswer answer = ReadDirectoryAnswer(JoinAnswerLines(c.answer));
    EXPECT_EQ(answer.kind, c.kind);
    EXPECT_EQ(answer.host, c.host);
}

// A DNS name of `labels` labels of `length` letters each.
std::string DnsName(int labels, std::size_t length)
{
    std::string name(length, 'a');
    for (int i = 1; i < labels; ++i)
        name += '.' + std::string(length, 'a');
    return name;
}

std::string DomainAnswer(const std::string& host)
{
    return "{\"Domain\":\"" + host + "\"}";
}

const AnswerCase kCases[] = {
    {"DomainString", R"({"Domain":"srv01"})", Kind::Host, "srv01"},
    {"OtherMembersIgnored", R"({"Code":"x","Domain":"srv01","Port":81})", Kind::Host, "srv01"},
    {"DomainNull", R"({"Domain":null})", Kind::Host, ""},
    {"DomainInteger", R"({"Domain":12})", Kind::Host, "12"},
    {"DomainNegative", R"({"Domain":-3})", Kind::Host, "-3"},
    {"DomainReal", R"({"Domain":12.5})", Kind::Host, "12.5"},
    {"DomainTrue", R"({"Domain":true})", Kind::Host, "true"},
    {"DomainFalse", R"({"Domain":false})", Kind::Host, "false"},
    {"OverSeveralLines", "{\r\n  \"Domain\": \"srv\r\n01\"\n}\r\n", Kind::Host, "srv01"},
    {"BlockComment", "/* directory */ {\"Domain\": /* host */ \"srv01\"}", Kind::Host, "srv01"},
    {"FullName", DomainAnswer("site-01.hz.example.cn"), Kind::Host, "site-01.hz.example.cn"},
    {"Ipv4", DomainAnswer("192.168.1.20"), Kind::Host, "192.168.1.20"},
    {"Ipv6InBrackets", DomainAnswer("[2001:db8::1]"), Kind::Host, "[2001:db8::1]"},
    {"Ipv6WithIpv4InBrackets", DomainAnswer("[::ffff:10.0.0.1]"), Kind::Host, "[::ffff:10.0.0.1]"},
    {"LabelOf63", DomainAnswer(DnsName(2, 63)), Kind::Host, DnsName(2, 63)},
    {"NameOf253", DomainAnswer(DnsName(4, 61) + ".abcde"), Kind::Host, DnsName(4, 61) + ".abcde"},
    // Nothing but a usable host is written.
    {"NoDomain", R"({"Code":"x"})", Kind::Unusable, ""},
    {"DomainNameIsCaseSensitive", R"({"domain":"srv01"})", Kind::Unusable, ""},
    {"RootNull", "null", Kind::Unusable, ""},
    {"DomainEmpty", R"({"Domain":""})", Kind::Unusable, ""},
    {"PathTraversal", DomainAnswer("../../../etc/passwd"), Kind::Unusable, ""},
    {"TenKilobytes", DomainAnswer(std::string(10 * 1024, 'a')), Kind::Unusable, ""},
    {"PortPathQuery", DomainAnswer("127.0.0.1:9999/x?y#"), Kind::Unusable, ""},
    {"Credentials", DomainAnswer("evil@srv01"), Kind::Unusable, ""},
    {"Escape", DomainAnswer("srv%30%31"), Kind::Unusable, ""},
    {"Gbk", "{\"Domain\":\"\xB7\xFE\xCE\xF1.example\"}", Kind::Unusable, ""},
    {"Utf8FromEscape", R"({"Domain":"\u670d\u52a1.example"})", Kind::Unusable, ""},
    {"TabFromEscape", R"({"Domain":"a\u00e9\tb"})", Kind::Unusable, ""},
    {"LineBreakFromEscape", R"({"Domain":"srv01\r\nPort=81"})", Kind::Unusable, ""},
    {"NulFromEscape", R"({"Domain":"srv01\u0000x"})", Kind::Unusable, ""},
    {"Blanks", DomainAnswer(" srv01 "), Kind::Unusable, ""},
    {"Underscore", DomainAnswer("srv_01"), Kind::Unusable, ""},
    {"TrailingDot", DomainAnswer("srv01."), Kind::Unusable, ""},
    {"EmptyLabel", DomainAnswer("srv01..example"), Kind::Unusable, ""},
    {"LabelOf64", DomainAnswer(DnsName(2, 64)), Kind::Unusable, ""},
    {"NameOf254", DomainAnswer(DnsName(4, 61) + ".abcdef"), Kind::Unusable, ""},
    {"Ipv6WithoutBrackets", DomainAnswer("2001:db8::1"), Kind::Unusable, ""},
    {"Ipv6WithZone", DomainAnswer("[fe80::1%eth0]"), Kind::Unusable, ""},
    {"Ipv6WithPort", DomainAnswer("[::1]:8080"), Kind::Unusable, ""},
    {"HtmlErrorPage", "<html><head><title>500</title></head><body>Error</body></html>",
     Kind::NotJson, ""},
    {"EmptyAnswer", "", Kind::NotJson, ""},
    {"UnclosedObject", R"({"Domain":"srv01")", Kind::NotJson, ""},
    {"VeryDeepNesting", std::string(100000, '['), Kind::NotJson, ""},
    {"ArrayRoot", R"([{"Domain":"srv01"}])", Kind::Unusable, ""},
    {"StringRoot", R"("srv01")", Kind::Unusable, ""},
    {"NumberRoot", "12", Kind::Unusable, ""},
    {"DomainArray", R"({"Domain":["srv01"]})", Kind::Unusable, ""},
    {"DomainObject", R"({"Domain":{"host":"srv01"}})", Kind::Unusable, ""},
};

INSTANTIATE_TEST_SUITE_P(Answers, DirectoryAnswerTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JoinAnswerLinesTest, DropsLineEndsKeepsEveryOtherByte)
{
    EXPECT_EQ(JoinAnswerLines(std::string("a\r\nb\nc\rd\0\xFF \t", 12)),
              std::string("abcd\0\xFF \t", 8));
}

}
