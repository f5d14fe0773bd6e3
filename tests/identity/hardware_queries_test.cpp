#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "identity/hardware_queries.h"
#include "tests/support/message_recorder.h"

namespace {

const char kPrevious[] = "previous text";
const int kOtherType = 32;  // InfiniBand

NetworkAdapter Adapter(int index, bool ipEnabled, const char* mac, std::optional<int> type = kEthernetLinkType)
{
    NetworkAdapter adapter;
    adapter.index = index;
    adapter.name = "if" + std::to_string(index);
    adapter.ipEnabled = ipEnabled;
    adapter.mac = mac;
    adapter.type = type;
    return adapter;
}

struct AdapterCase {
    const char* name;
    std::vector<NetworkAdapter> adapters;
    std::string text;  // kPrevious when the text must stay as it was
    int result;
    std::u16string message;
};

void PrintTo(const AdapterCase& c, std::ostream* os)
{
    *os << c.name;
}

const AdapterCase kAdapterCases[] = {
    {"OneEthernetAdapter", {Adapter(2, true, "00:1A:2B:3C:4D:5E")}, "IM001A2B3C4D5E\n", 15, u""},
    {"NoAdapter", {}, kPrevious, 0, u""},
    {"NoIpEnabledAdapter", {Adapter(2, false, "00:1A:2B:3C:4D:5E")}, kPrevious, 0, u""},
    {"LoopbackWithoutMacIsPassedOver",
     {Adapter(1, true, "", 772), Adapter(2, true, "00:1A:2B:3C:4D:5E")}, "IM001A2B3C4D5E\n", 15, u""},
    {"FirstAdapterNotEthernet",
     {Adapter(2, true, "80:00:02:08:FE:80", kOtherType), Adapter(3, true, "00:1A:2B:3C:4D:5E")}, kPrevious, 0,
     u""},
    {"OnlyTheFirstIpEnabledAdapterIsExamined",
     {Adapter(2, true, "00:1A:2B:3C:4D:5E"), Adapter(3, true, "00:1A:2B:3C:4D:5F")}, "IM001A2B3C4D5E\n", 15, u""},
    {"OrderIsByInterfaceIndex",
     {Adapter(7, true, "00:1A:2B:3C:4D:77"), Adapter(3, true, "00:1A:2B:3C:4D:33")}, "IM001A2B3C4D33\n", 15, u""},
    {"MacSharedWithNonEthernetInterface",
     {Adapter(2, true, "00:1A:2B:3C:4D:5E"), Adapter(5, false, "00:1A:2B:3C:4D:5E", kOtherType)}, kPrevious, 0,
     u""},
    {"MacSharedWithEthernetBridge",
     {Adapter(2, true, "00:1A:2B:3C:4D:5E"), Adapter(5, true, "00:1A:2B:3C:4D:5E")}, "IM001A2B3C4D5E\n", 15, u""},
    {"ExcludedPlaceholderMacIsPassedOver",
     {Adapter(2, true, "00:53:45:00:00:00"), Adapter(3, true, "00:1A:2B:3C:4D:5E")}, "IM001A2B3C4D5E\n", 15, u""},
    {"ExcludedRasSuffixIsPassedOver",
     {Adapter(2, true, "20:41:53:52:41:53"), Adapter(3, true, "00:1A:2B:3C:4D:5E")}, "IM001A2B3C4D5E\n", 15, u""},
    {"OnlyExcludedMacs", {Adapter(2, true, "00:53:45:00:00:00"), Adapter(3, true, "02:00:00:52:41:53")},
     kPrevious, 0, u""},
    {"TypeOfExaminedAdapterUnreadable", {Adapter(2, true, "00:1A:2B:3C:4D:5E", std::nullopt)}, kPrevious, 0,
     u"启动器遇到系统故障[77]：查不到值。  "},
    {"TypeOfInterfaceWithSameMacUnreadable",
     {Adapter(2, true, "00:1A:2B:3C:4D:5E"), Adapter(4, false, "00:1A:2B:3C:4D:5E", std::nullopt)}, kPrevious, 0,
     u"启动器遇到系统故障[77]：查不到值。  "},
    {"UnreadableTypeOfOtherMacDoesNotMatter",
     {Adapter(2, true, "00:1A:2B:3C:4D:5E"), Adapter(4, false, "00:1A:2B:3C:4D:99", std::nullopt)},
     "IM001A2B3C4D5E\n", 15, u""},
};

class MacQuery : public testing::TestWithParam<AdapterCase> {};

TEST_P(MacQuery, WritesTheEntryOfTheFirstIpEnabledEthernetAdapter)
{
    const AdapterCase& c = GetParam();
    MessageRecorder messages;
    AdapterListing listing;
    listing.adapters = c.adapters;
    std::string text = kPrevious;
    EXPECT_EQ(QueryMacText(text, listing), c.result);
    EXPECT_EQ(text, c.text);
    const std::vector<std::u16string> expected =
        c.message.empty() ? std::vector<std::u16string>{} : std::vector<std::u16string>{c.message};
    EXPECT_EQ(messages.texts(), expected);
}

INSTANTIATE_TEST_SUITE_P(HardwareQueries, MacQuery, testing::ValuesIn(kAdapterCases),
                         [](const testing::TestParamInfo<AdapterCase>& info) { return info.param.name; });

Disk DiskNamed(const char* name, const char* serial)
{
    Disk disk;
    disk.name = name;
    disk.serial = serial;
    return disk;
}

struct DiskCase {
    const char* name;
    std::vector<Disk> disks;
    std::string text;
    int result;
};

void PrintTo(const DiskCase& c, std::ostream* os)
{
    *os << c.name;
}

const DiskCase kDiskCases[] = {
    {"NoDisk", {}, kPrevious, 0},
    {"NoSerial", {DiskNamed("sda", "")}, kPrevious, 0},
    {"SerialOfBlanks", {DiskNamed("sda", "    ")}, "    ", 4},
    {"SerialWithColonsKeepsItsBlanks", {DiskNamed("sda", " WD:12:34 ")}, " WD1234 ", 8},
    // Found by fuzzing: a serial of colons alone is found, and written as nothing.
    {"SerialOfColonsAlone", {DiskNamed("sda", "::"), DiskNamed("sdb", "S3Z9NB0K")}, "", 0},
    {"TwoSerialsFirstByName", {DiskNamed("sdb", "SECOND"), DiskNamed("sda", "FIRST")}, "FIRST", 5},
    {"DiskWithoutSerialIsPassedOver", {DiskNamed("nvme0n1", ""), DiskNamed("sda", "S3Z9NB0K")}, "S3Z9NB0K", 8},
};

class DiskQuery : public testing::TestWithParam<DiskCase> {};

TEST_P(DiskQuery, WritesTheSerialOfTheFirstDiskThatHasOne)
{
    const DiskCase& c = GetParam();
    MessageRecorder messages;
    DiskListing listing;
    listing.disks = c.disks;
    std::string text = kPrevious;
    EXPECT_EQ(QueryDiskSerial(text, listing), c.result);
    EXPECT_EQ(text, c.text);
    EXPECT_TRUE(messages.texts().empty());
}

INSTANTIATE_TEST_SUITE_P(HardwareQueries, DiskQuery, testing::ValuesIn(kDiskCases),
                         [](const testing::TestParamInfo<DiskCase>& info) { return info.param.name; });

struct FailureCase {
    const char* name;
    bool adapters;
    ListingStatus status;
    std::u16string message;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

const FailureCase kFailureCases[] = {
    {"AdaptersCannotStart", true, ListingStatus::CannotStart, u"启动器遇到系统故障[11]：无法初始化COM库(网卡)"},
    {"AdaptersCannotList", true, ListingStatus::CannotList, u"启动器遇到系统故障[55]：查不到值(网卡) "},
    {"DisksCannotStart", false, ListingStatus::CannotStart, u"启动器遇到系统故障[31]：无法初始化COM库(硬盘序列号)"},
    {"DisksCannotList", false, ListingStatus::CannotList, u"启动器遇到系统故障[35]：查不到值(硬盘序列号) "},
};

class ListingFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(ListingFailure, ShowsItsMessageAndWritesNothing)
{
    const FailureCase& c = GetParam();
    MessageRecorder messages;
    std::string text = kPrevious;
    int result;
    if (c.adapters) {
        AdapterListing listing;
        listing.status = c.status;
        listing.adapters = {Adapter(2, true, "00:1A:2B:3C:4D:5E")};
        result = QueryMacText(text, listing);
    } else {
        DiskListing listing;
        listing.status = c.status;
        listing.disks = {DiskNamed("sda", "SERIAL")};
        result = QueryDiskSerial(text, listing);
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(text, kPrevious);
    EXPECT_EQ(messages.texts(), std::vector<std::u16string>{c.message});
}

INSTANTIATE_TEST_SUITE_P(HardwareQueries, ListingFailure, testing::ValuesIn(kFailureCases),
                         [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

}
