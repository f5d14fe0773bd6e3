#include "config/profile_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ReadCase {
    const char* name;
    std::u16string text;
    std::u16string key;
    std::u16string defaultValue;
    std::u16string expected;
};

// Test names carry the case; gtest need not dump its bytes.
void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class ProfileReaderTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReaderTest, ReadsValueOrDefault)
{
    const ReadCase& c = GetParam();
    EXPECT_EQ(ReadProfileString(c.text, u"QLXBSINFO", c.key, c.defaultValue), c.expected);
}

const std::u16string kLongValue(150, u'x');

const ReadCase kCases[] = {
    {"Plain", u"[QLXBSINFO]\r\nHttpServer=srv01\r\n", u"HttpServer", u"d", u"srv01"},
    {"NamesInAnyCaseWithBlanks", u"[qlxbsinfo]\r\n  httpserver  =  srv01  \r\n", u"HttpServer",
     u"d", u"srv01"},
    {"BlanksInsideSectionHeader", u"[ QLXBSINFO ]\r\nPort=80", u"Port", u"d", u"80"},
    {"TabsAroundValue", u"[QLXBSINFO]\r\nPort\t=\t80\t", u"Port", u"d", u"80"},
    {"DoubleQuotes", u"[QLXBSINFO]\r\nPort=\"8080\"\r\n", u"Port", u"d", u"8080"},
    {"SingleQuotes", u"[QLXBSINFO]\r\nPort='8080'\r\n", u"Port", u"d", u"8080"},
    {"BlanksOutsideQuotes", u"[QLXBSINFO]\r\nPort=  \"8080\"  \r\n", u"Port", u"d", u"8080"},
    {"BlanksInsideQuotesKept", u"[QLXBSINFO]\r\nPath=\" /a b \"", u"Path", u"d", u" /a b "},
    {"EmptyQuotes", u"[QLXBSINFO]\r\nPort=\"\"", u"Port", u"d", u""},
    {"OnePairOnly", u"[QLXBSINFO]\r\nPort=\"\"80\"\"", u"Port", u"d", u"\"80\""},
    {"LoneQuoteKept", u"[QLXBSINFO]\r\nPort=\"", u"Port", u"d", u"\""},
    {"MismatchedQuotesKept", u"[QLXBSINFO]\r\nPort=\"80'", u"Port", u"d", u"\"80'"},
    {"EqualsInsideValue", u"[QLXBSINFO]\r\nPath=/a?b=c", u"Path", u"d", u"/a?b=c"},
    {"EmptyValue", u"[QLXBSINFO]\r\nHttpServer=\r\n", u"HttpServer", u"d", u""},
    {"BlankValue", u"[QLXBSINFO]\r\nHttpServer=   \r\n", u"HttpServer", u"d", u""},
    {"LongValueWhole", u"[QLXBSINFO]\r\nPath=" + kLongValue, u"Path", u"d", kLongValue},
    {"LineFeedsOnly", u"[QLXBSINFO]\nPort=80\nPath=/p\n", u"Path", u"d", u"/p"},
    {"CarriageReturnsOnly", u"[QLXBSINFO]\rPort=80\rPath=/p", u"Path", u"d", u"/p"},
    {"ByteOrderMark", u"\uFEFF[QLXBSINFO]\r\nPort=80", u"Port", u"d", u"80"},
    {"ChineseValue", u"[QLXBSINFO]\r\nHttpServer=服务器", u"HttpServer", u"d", u"服务器"},
    {"FirstOccurrenceWins", u"[QLXBSINFO]\r\nPort=80\r\nPort=81", u"Port", u"d", u"80"},
    // A later section of the same name is ignored.
    {"SectionRepeated", u"[QLXBSINFO]\r\nPort=80\r\n[Other]\r\n[qlxbsinfo]\r\nPath=/p", u"Path",
     u"d", u"d"},
    {"SectionRepeatedAtOnce", u"[QLXBSINFO]\r\nPort=80\r\n[QLXBSINFO]\r\nPath=/p", u"Path", u"d",
     u"d"},
    {"RepeatedSectionValueIgnored", u"[QLXBSINFO]\r\nPort=80\r\n[QLXBSINFO]\r\nPort=81", u"Port",
     u"d", u"80"},
    {"FirstSectionEmpty", u"[QLXBSINFO]\r\n[ qlxbsinfo ]\r\nPort=80", u"Port", u"d", u"d"},
    {"OtherSectionRepeatedFirst", u"[Other]\r\nPort=1\r\n[Other]\r\n[QLXBSINFO]\r\nPort=80",
     u"Port", u"d", u"80"},
    {"MissingFileText", u"", u"Port", u"Bogus Value: Get Port didn't work",
     u"Bogus Value: Get Port didn't work"},
    {"MissingSection", u"[Other]\r\nPort=80", u"Port", u"d", u"d"},
    {"KeyBeforeAnySection", u"Port=80\r\n[QLXBSINFO]\r\nPath=/p", u"Port", u"d", u"d"},
    {"KeyInAnotherSection", u"[QLXBSINFO]\r\nPath=/p\r\n[Other]\r\nPort=80", u"Port", u"d", u"d"},
    {"MissingKey", u"[QLXBSINFO]\r\nHttpServer=srv01", u"Port", u"d", u"d"},
    {"KeyWithoutEquals", u"[QLXBSINFO]\r\nPort\r\n", u"Port", u"d", u"d"},
    {"LongerKeyName", u"[QLXBSINFO]\r\nPort2=80", u"Port", u"d", u"d"},
    {"CommentedKey", u"[QLXBSINFO]\r\n;Port=80", u"Port", u"d", u"d"},
    {"UnclosedSectionHeader", u"[QLXBSINFO\r\nPort=80", u"Port", u"d", u"d"},
    {"SingleBlankDefaultIsEmpty", u"", u"HttpServer", u" ", u""},
    {"TrailingBlanksOfDefaultDropped", u"", u"Port", u"  ab  ", u"  ab"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProfileReaderTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}
