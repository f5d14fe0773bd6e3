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

TEST_P(DirectoryAnswerTest, ReadsDomainAsJsonCppAsStringGivesIt)
{
    const AnswerCase& c = GetParam();
    const DirectoryAnswer answer = ReadDirectoryAnswer(JoinAnswerLines(c.answer));
    EXPECT_EQ(answer.kind, c.kind);
    EXPECT_EQ(answer.host, c.host);
}

const AnswerCase kCases[] = {
    {"DomainString", R"({"Domain":"srv01"})", Kind::Host, "srv01"},
    {"OtherMembersIgnored", R"({"Code":"x","Domain":"srv01","Port":81})", Kind::Host, "srv01"},
    {"NoDomain", R"({"Code":"x"})", Kind::Host, "null"},
    {"DomainNull", R"({"Domain":null})", Kind::Host, ""},
    {"DomainEmpty", R"({"Domain":""})", Kind::Host, ""},
    {"DomainInteger", R"({"Domain":12})", Kind::Host, "12"},
    {"DomainNegative", R"({"Domain":-3})", Kind::Host, "-3"},
    {"DomainReal", R"({"Domain":12.5})", Kind::Host, "12.5"},
    {"DomainTrue", R"({"Domain":true})", Kind::Host, "true"},
    {"DomainFalse", R"({"Domain":false})", Kind::Host, "false"},
    {"DomainNameIsCaseSensitive", R"({"domain":"srv01"})", Kind::Host, "null"},
    {"RootNull", "null", Kind::Host, "null"},
    {"OverSeveralLines", "{\r\n  \"Domain\": \"srv\r\n01\"\n}\r\n", Kind::Host, "srv01"},
    {"BytesKeptAsSent", "{\"Domain\":\"\xB7\xFE\xCE\xF1.example\"}", Kind::Host,
     "\xB7\xFE\xCE\xF1.example"},
    {"EscapesDecoded", R"({"Domain":"a\u00e9\tb"})", Kind::Host, "a\xC3\xA9\tb"},
    {"BlockComment", "/* directory */ {\"Domain\": /* host */ \"srv01\"}", Kind::Host, "srv01"},
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
