#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "identity/identity_values.h"

namespace {

struct DomainCase {
    const char* name;
    const char* resolverConfig;
    const char* hostName;
    const char* domain;
};

void PrintTo(const DomainCase& c, std::ostream* os)
{
    *os << c.name;
}

const DomainCase kDomainCases[] = {
    {"DomainLine", "nameserver 10.0.0.1\ndomain corp.example\n", "pc01", "corp.example"},
    {"FirstSearchEntry", "search office.example corp.example\nnameserver 10.0.0.1\n", "pc01", "office.example"},
    {"DomainLineBeforeSearch", "search office.example\ndomain corp.example\n", "pc01", "corp.example"},
    {"LastDomainLineCounts", "domain old.example\ndomain corp.example\n", "pc01", "corp.example"},
    {"TabsAndTrailingWords", "domain\tcorp.example  # office\n", "pc01", "corp.example"},
    {"CommentsIgnored", "# domain commented.example\n; search other.example\n", "pc01", ""},
    {"KeywordWithoutValue", "domain\n", "pc01.lab.example", "lab.example"},
    {"HostNameDomain", "nameserver 10.0.0.1\n", "pc01.lab.example", "lab.example"},
    {"NoDomainAtAll", "", "pc01", ""},
};

class Domain : public testing::TestWithParam<DomainCase> {};

TEST_P(Domain, FollowsTheResolverRules)
{
    EXPECT_EQ(ResolverDomain(GetParam().resolverConfig, GetParam().hostName), GetParam().domain);
}

INSTANTIATE_TEST_SUITE_P(IdentityValues, Domain, testing::ValuesIn(kDomainCases),
                         [](const testing::TestParamInfo<DomainCase>& info) { return info.param.name; });

TEST(IdentityValues, HostLabelEndsAtTheFirstDot)
{
    EXPECT_EQ(HostLabel("pc01.lab.example"), "pc01");
    EXPECT_EQ(HostLabel("pc01"), "pc01");
}

struct GuidCase {
    const char* machineId;
    const char* guid;
};

void PrintTo(const GuidCase& c, std::ostream* os)
{
    *os << '"' << c.machineId << '"';
}

const GuidCase kGuidCases[] = {
    {"3d1219c7c4c5404aaa1f6d2a48adfda4\n", "{3d1219c7-c4c5-404a-aa1f-6d2a48adfda4}"},
    {"3D1219C7C4C5404AAA1F6D2A48ADFDA4", "{3d1219c7-c4c5-404a-aa1f-6d2a48adfda4}"},
    {"uninitialized\n", ""},
    {"3d1219c7c4c5404aaa1f6d2a48adfda", ""},
    {"3d1219c7c4c5404aaa1f6d2a48adfdaz", ""},
    {"", ""},
};

class Guid : public testing::TestWithParam<GuidCase> {};

TEST_P(Guid, IsWrittenInBracesAndLowerCase)
{
    EXPECT_EQ(FormatMachineIdAsGuid(GetParam().machineId), GetParam().guid);
}

INSTANTIATE_TEST_SUITE_P(IdentityValues, Guid, testing::ValuesIn(kGuidCases));

LocalTime At(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    return LocalTime{year, month, day, hour, minute, second, millisecond};
}

TEST(IdentityValues, TimeOfDayText)
{
    EXPECT_EQ(FormatTimeOfDay(At(2017, 9, 15, 9, 5, 3, 42)), "9:05:03:0042");
    EXPECT_EQ(FormatTimeOfDay(At(2017, 9, 15, 23, 59, 59, 999)), "23:59:59:0999");
    EXPECT_EQ(FormatTimeOfDay(At(2017, 9, 15, 0, 0, 0, 0)), "0:00:00:0000");
}

TEST(IdentityValues, CreationTimeText)
{
    EXPECT_EQ(FormatCreationTime(At(2017, 9, 15, 8, 12, 15, 0)), "09/15/17 08:12:15");
    EXPECT_EQ(FormatCreationTime(At(2000, 12, 31, 23, 59, 59, 999)), "12/31/00 23:59:59");
    EXPECT_EQ(FormatCreationTime(LocalTime{}), "01/01/70 00:00:00");
}

struct MacCopyCase {
    const char* name;
    std::string macText;
    std::u16string copy;
    std::string markedText;
};

void PrintTo(const MacCopyCase& c, std::ostream* os)
{
    *os << c.name;
}

const MacCopyCase kMacCopyCases[] = {
    {"OneEntry", "IM001A2B3C4D5E\n", u"M001A2B3C4D5E\n", "IM001A2B3C4D5E\nGM000000000000"},
    {"Empty", "", u"", ""},
    {"EntryAlreadyMarked", "IM001A2B3C4D5E\nGM000000000000", u"M001A2B3C4D5E\n", "IM001A2B3C4D5E\nGM000000000000"},
    {"NeitherLetter", "abc", u"abc", "abc"},
    {"CutAtLowerX", "IM00x1A2B3C4D5\n", u"M00", "IM00x1A2B3C4D5\n"},
    {"StartsAtX", "0x1A2B3C4D5E6F7\n", u"", "0x1A2B3C4D5E6F7\n"},
};

class MacCopy : public testing::TestWithParam<MacCopyCase> {};

TEST_P(MacCopy, TrimsTheCopyAndMarksTheTextWhenNotCut)
{
    const MacCopyCase& c = GetParam();
    bool cut = false;
    EXPECT_EQ(TrimMacCopy(std::u16string(c.macText.begin(), c.macText.end()), cut), c.copy);
    std::string text = c.macText;
    if (!cut)
        AppendMacMarker(text);
    EXPECT_EQ(text, c.markedText);
}

INSTANTIATE_TEST_SUITE_P(IdentityValues, MacCopy, testing::ValuesIn(kMacCopyCases),
                         [](const testing::TestParamInfo<MacCopyCase>& info) { return info.param.name; });

}
