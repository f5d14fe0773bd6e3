#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "identity/hardware_queries_linux.h"
#include "tests/support/message_recorder.h"
#include "tests/support/temporary_folder.h"

namespace {

const NetworkAdapter* FindAdapter(const AdapterListing& listing, const std::string& name)
{
    for (const NetworkAdapter& adapter : listing.adapters) {
        if (adapter.name == name)
            return &adapter;
    }
    return nullptr;
}

class SysfsAdapters : public testing::Test {
protected:
    void SetUp() override
    {
        m_sys.write("class/net/lo/ifindex", "1\n");
        m_sys.write("class/net/lo/address", "00:00:00:00:00:00\n");
        m_sys.write("class/net/lo/type", "772\n");
        m_sys.write("class/net/eth0/ifindex", "2\n");
        m_sys.write("class/net/eth0/address", "00:1a:2b:3c:4d:5e\n");
        m_sys.write("class/net/eth0/type", "1\n");
        m_sys.write("class/net/wlan0/ifindex", "3\n");
        m_sys.write("class/net/wlan0/address", "00:1a:2b:3c:4d:99\n");
        m_sys.write("class/net/bonding_masters", "bond0\n");
    }

    TemporaryFolder m_sys;
};

TEST_F(SysfsAdapters, ReadsIndexMacAndTypeOfEveryInterface)
{
    const AdapterListing listing = ReadNetworkAdapters(m_sys.path().string(), {"lo", "eth0"});
    ASSERT_EQ(listing.status, ListingStatus::Listed);
    ASSERT_EQ(listing.adapters.size(), 3u);

    const NetworkAdapter* loopback = FindAdapter(listing, "lo");
    ASSERT_NE(loopback, nullptr);
    EXPECT_EQ(loopback->index, 1);
    EXPECT_TRUE(loopback->ipEnabled);
    EXPECT_EQ(loopback->mac, "");
    EXPECT_EQ(loopback->type, 772);

    const NetworkAdapter* ethernet = FindAdapter(listing, "eth0");
    ASSERT_NE(ethernet, nullptr);
    EXPECT_EQ(ethernet->index, 2);
    EXPECT_TRUE(ethernet->ipEnabled);
    EXPECT_EQ(ethernet->mac, "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(ethernet->type, kEthernetLinkType);

    const NetworkAdapter* wireless = FindAdapter(listing, "wlan0");
    ASSERT_NE(wireless, nullptr);
    EXPECT_FALSE(wireless->ipEnabled);
    EXPECT_EQ(wireless->type, std::nullopt);

    std::string text;
    EXPECT_EQ(QueryMacText(text, listing), 15);
    EXPECT_EQ(text, "IM001A2B3C4D5E\n");
}

TEST_F(SysfsAdapters, UnreadableTypeOfTheExaminedMacShowsMessage77)
{
    std::filesystem::remove(m_sys.path() / "class/net/eth0/type");
    MessageRecorder messages;
    std::string text;
    EXPECT_EQ(QueryMacText(text, ReadNetworkAdapters(m_sys.path().string(), {"eth0"})), 0);
    EXPECT_EQ(messages.texts(), std::vector<std::u16string>{u"启动器遇到系统故障[77]：查不到值。  "});
}

TEST(SysfsAdaptersMissing, NetClassFolderMissingCannotList)
{
    TemporaryFolder sys;
    EXPECT_EQ(ReadNetworkAdapters(sys.path().string(), {}).status, ListingStatus::CannotList);
}

class SysfsDisks : public testing::Test {
protected:
    void SetUp() override
    {
        AddDisk("devices/virtual/block/loop0", "");
        AddDisk("devices/virtual/block/dm-0", "VIRTUAL-SERIAL");
        AddDisk("devices/pci0000:00/virtio1/block/vda", "1356631619533302");
        AddDisk("devices/pci0000:00/nvme/nvme0/nvme0n1", "");
        m_sys.write("devices/pci0000:00/nvme/nvme0/nvme0n1/device/serial", "  S4EWNX0N12:34      \n");
        AddDisk("devices/pci0000:00/ata1/block/sda", "");
    }

    void AddDisk(const std::string& devicePath, const std::string& serial)
    {
        const std::filesystem::path device = m_sys.path() / devicePath;
        std::filesystem::create_directories(device);
        if (!serial.empty())
            m_sys.write(devicePath + "/serial", serial);
        std::filesystem::create_directories(m_sys.path() / "block");
        std::filesystem::create_directory_symlink(std::filesystem::path("..") / devicePath,
                                                  m_sys.path() / "block" / device.filename());
    }

    TemporaryFolder m_sys;
};

TEST_F(SysfsDisks, ListsPhysicalDisksWithTheirSerials)
{
    DiskListing listing = ListDisks(m_sys.path().string());
    ASSERT_EQ(listing.status, ListingStatus::Listed);
    std::sort(listing.disks.begin(), listing.disks.end(),
              [](const Disk& a, const Disk& b) { return a.name < b.name; });
    ASSERT_EQ(listing.disks.size(), 3u);
    EXPECT_EQ(listing.disks[0].name, "nvme0n1");
    EXPECT_EQ(listing.disks[0].serial, "  S4EWNX0N12:34      ");
    EXPECT_EQ(listing.disks[1].name, "sda");
    EXPECT_EQ(listing.disks[1].serial, "");
    EXPECT_EQ(listing.disks[2].name, "vda");
    EXPECT_EQ(listing.disks[2].serial, "1356631619533302");

    std::string text;
    EXPECT_EQ(QueryDiskSerial(text, listing), 20);
    EXPECT_EQ(text, "  S4EWNX0N1234      ");
}

TEST(SysfsDisksMissing, MissingSysfsCannotStartAndMissingBlockCannotList)
{
    TemporaryFolder sys;
    EXPECT_EQ(ListDisks((sys.path() / "absent").string()).status, ListingStatus::CannotStart);
    EXPECT_EQ(ListDisks(sys.path().string()).status, ListingStatus::CannotList);
}

TEST(ThisMachine, AdapterQueryGivesOneEntryOrNothing)
{
    MessageRecorder messages;
    const AdapterListing listing = ListNetworkAdapters("/sys");
    ASSERT_EQ(listing.status, ListingStatus::Listed);
    EXPECT_FALSE(listing.adapters.empty());
    const std::regex macForm("([0-9A-F]{2}:)+[0-9A-F]{2}");
    for (const NetworkAdapter& adapter : listing.adapters) {
        if (!adapter.mac.empty()) {
            EXPECT_TRUE(std::regex_match(adapter.mac, macForm)) << adapter.name << " " << adapter.mac;
        }
    }

    std::string text = "unchanged";
    const int result = QueryMacText(text, ListNetworkAdapters("/sys"));
    if (result == 0) {
        EXPECT_EQ(text, "unchanged");
    } else {
        EXPECT_EQ(result, 15);
        EXPECT_TRUE(std::regex_match(text, std::regex("IM[0-9A-F]{12}\n"))) << text;
    }
    EXPECT_TRUE(messages.texts().empty());
}

TEST(ThisMachine, DiskQueryGivesTheSerialItCounts)
{
    MessageRecorder messages;
    const DiskListing listing = ListDisks("/sys");
    ASSERT_EQ(listing.status, ListingStatus::Listed);
    for (const Disk& disk : listing.disks) {
        EXPECT_NE(disk.name.rfind("loop", 0), 0u) << disk.name;
        EXPECT_NE(disk.name.rfind("zram", 0), 0u) << disk.name;
    }
    std::string text;
    const int result = QueryDiskSerial(text, ListDisks("/sys"));
    EXPECT_EQ(result, static_cast<int>(text.size()));
    EXPECT_EQ(text.find(':'), std::string::npos);
    EXPECT_TRUE(messages.texts().empty());
}

}
