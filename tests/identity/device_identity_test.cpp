#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <regex>

#include "identity/md5_hex.h"
#include "platform/code_page.h"
#include "identity/device_identity.h"
#include "identity/identity_sources_linux.h"
#include "identity/identity_values.h"
#include "tests/support/message_recorder.h"
#include "tests/support/temporary_folder.h"

namespace {

namespace fs = std::filesystem;

const char kGuid[] = "{3d1219c7-c4c5-404a-aa1f-6d2a48adfda4}";
const std::u16string kMd5OfEmptyText = u"D41D8CD98F00B204E9800998ECF8427E";

std::string ToAscii(const std::u16string& text)
{
    return std::string(text.begin(), text.end());
}

NetworkAdapter EthernetAdapter()
{
    NetworkAdapter adapter;
    adapter.index = 2;
    adapter.name = "eth0";
    adapter.ipEnabled = true;
    adapter.mac = "00:1A:2B:3C:4D:5E";
    adapter.type = kEthernetLinkType;
    return adapter;
}

// Fixed facts of one office PC, with the machine-id file's real birth time.
IdentitySources FixedSources()
{
    IdentitySources sources;
    sources.userName = [] { return std::string("zhang"); };
    sources.hostName = [] { return std::optional<std::string>("abc"); };
    sources.resolverConfig = [] { return std::string("nameserver 10.0.0.1\ndomain d\n"); };
    sources.hardwareProfileGuid = [] { return std::string(kGuid); };
    sources.listAdapters = [] { return AdapterListing{ListingStatus::Listed, {EthernetAdapter()}}; };
    sources.listDisks = [] { return DiskListing{ListingStatus::Listed, {Disk{"sda", "WD-WCC4E1234567"}}}; };
    sources.now = [] { return LocalTime{2017, 9, 15, 9, 5, 3, 42}; };
    sources.creationTime = ReadCreationTime;
    UseSystemCodePageAndFiles(sources);
    return sources;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

struct FileStamp {
    ino_t inode = 0;
    timespec modified{};
    bool operator==(const FileStamp& other) const
    {
        return inode == other.inode && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FileStamp StampOf(const char* path)
{
    struct stat status {};
    stat(path, &status);
    return FileStamp{status.st_ino, status.st_mtim};
}

// Each test runs in a fresh office folder as its current directory.
class Fingerprint : public testing::Test {
protected:
    void SetUp() override
    {
        m_previousFolder = fs::current_path();
        fs::current_path(m_office.path());
        DeviceIdentity = {};
    }
    void TearDown() override
    {
        fs::current_path(m_previousFolder);
        DeviceIdentity = {};
    }

    // One start of the launcher: a new process has an empty record.
    void Start(const IdentitySources& sources)
    {
        DeviceIdentity = {};
        ASSERT_TRUE(ReadAccountAndDomain(sources));
        GatherDeviceValues(sources);
    }

    std::u16string PersistedPart() const { return DeviceIdentity.MachineId.substr(0, 96); }
    std::u16string CreationPart() const { return DeviceIdentity.MachineId.substr(96); }

    TemporaryFolder m_office;
    fs::path m_previousFolder;
    MessageRecorder m_messages;
};

TEST_F(Fingerprint, GathersEveryValueOfOneStart)
{
    Start(FixedSources());
    const DeviceIdentityRecord& identity = DeviceIdentity;
    EXPECT_EQ(identity.WinAccount, u"zhang");
    EXPECT_EQ(identity.WinDomain, u"abc.d");
    EXPECT_EQ(identity.MacText, "IM001A2B3C4D5E\nGM000000000000");
    EXPECT_EQ(identity.MacHash, Md5Hex(u"IM001A2B3C4D5E\n"));
    EXPECT_EQ(identity.TimeToken, Md5Hex(u"9:05:03:0042"));
    EXPECT_EQ(identity.DiskHash, Md5Hex(u"WD-WCC4E1234567"));
    EXPECT_TRUE(m_messages.texts().empty());
}

TEST_F(Fingerprint, FiveCharacterDomainAndGuidGiveThreePieces)
{
    Start(FixedSources());
    // 5 + 32 + 38 = 75 characters: three pieces.
    const std::u16string source = u"abc.d" + Md5Hex(u"M001A2B3C4D5E\n") + ToWide(kGuid);
    ASSERT_EQ(source.size(), 75u);
    const std::u16string persisted =
        Md5Hex(source.substr(0, 32)) + Md5Hex(source.substr(32, 32)) + Md5Hex(source.substr(64));

    ASSERT_EQ(DeviceIdentity.MachineId.size(), 128u);
    EXPECT_EQ(PersistedPart(), persisted);
    EXPECT_EQ(ReadFile(kMachineIdFileName), ToAscii(persisted));
    EXPECT_EQ(CreationPart(), Md5Hex(ToWide(FormatCreationTime(ReadCreationTime(kMachineIdFileName)))));
}

TEST_F(Fingerprint, SecondStartKeepsMachineIdAndLeavesFileUntouched)
{
    Start(FixedSources());
    const std::u16string firstMachineId = DeviceIdentity.MachineId;
    const FileStamp firstStamp = StampOf(kMachineIdFileName);

    Start(FixedSources());
    EXPECT_EQ(DeviceIdentity.MachineId, firstMachineId);
    EXPECT_TRUE(StampOf(kMachineIdFileName) == firstStamp);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_office.path()), fs::directory_iterator()), 1);
}

TEST_F(Fingerprint, DeletedFileChangesOnlyTheCreationPart)
{
    // The file system's clock, advanced between the two starts.
    LocalTime fileTime{2017, 9, 15, 8, 12, 15, 0};
    IdentitySources sources = FixedSources();
    sources.creationTime = [&fileTime](const std::string& path) {
        return fs::exists(path) ? fileTime : LocalTime{};
    };
    Start(sources);
    const std::u16string firstPersisted = PersistedPart();
    EXPECT_EQ(CreationPart(), Md5Hex(u"09/15/17 08:12:15"));

    fs::remove(kMachineIdFileName);
    fileTime = LocalTime{2017, 9, 16, 10, 0, 1, 0};
    Start(sources);
    EXPECT_EQ(PersistedPart(), firstPersisted);
    EXPECT_EQ(CreationPart(), Md5Hex(u"09/16/17 10:00:01"));
    EXPECT_EQ(ReadFile(kMachineIdFileName), ToAscii(firstPersisted));
}

TEST_F(Fingerprint, EditedFileIsReplacedWithThePersistedPart)
{
    Start(FixedSources());
    const std::u16string persisted = PersistedPart();
    const ino_t firstInode = StampOf(kMachineIdFileName).inode;
    std::ofstream(kMachineIdFileName, std::ios::binary | std::ios::trunc) << "edited by hand\r\n";

    Start(FixedSources());
    EXPECT_EQ(PersistedPart(), persisted);
    EXPECT_EQ(ReadFile(kMachineIdFileName), ToAscii(persisted));
    // Replaced by a new file, not rewritten in place.
    EXPECT_NE(StampOf(kMachineIdFileName).inode, firstInode);
}

TEST_F(Fingerprint, FileWithCrLfLineEndCountsAsEqual)
{
    Start(FixedSources());
    const std::string persisted = ToAscii(PersistedPart());
    std::ofstream(kMachineIdFileName, std::ios::binary | std::ios::trunc) << persisted << "\r\n";
    const FileStamp stamp = StampOf(kMachineIdFileName);

    Start(FixedSources());
    EXPECT_TRUE(StampOf(kMachineIdFileName) == stamp);
}

TEST_F(Fingerprint, ChangedHostNameRewritesTheFile)
{
    Start(FixedSources());
    const std::u16string firstPersisted = PersistedPart();
    IdentitySources renamed = FixedSources();
    renamed.hostName = [] { return std::optional<std::string>("xyz"); };

    Start(renamed);
    EXPECT_NE(PersistedPart(), firstPersisted);
    EXPECT_EQ(ReadFile(kMachineIdFileName), ToAscii(PersistedPart()));
}

TEST_F(Fingerprint, UnwritableFileLeavesNoPartialFile)
{
    // A folder in the way of the file: it can be neither read nor replaced.
    fs::create_directory(kMachineIdFileName);
    Start(FixedSources());
    EXPECT_EQ(DeviceIdentity.MachineId.size(), 128u);
    EXPECT_TRUE(fs::is_directory(kMachineIdFileName));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_office.path()), fs::directory_iterator()), 1);
}

TEST_F(Fingerprint, EmptyDomainEndsWithDot)
{
    IdentitySources sources = FixedSources();
    sources.hostName = [] { return std::optional<std::string>("pc01"); };
    sources.resolverConfig = [] { return std::string(); };
    Start(sources);
    EXPECT_EQ(DeviceIdentity.WinDomain, u"pc01.");
}

TEST_F(Fingerprint, UnreadableHostNameStopsGathering)
{
    IdentitySources sources = FixedSources();
    sources.hostName = [] { return std::optional<std::string>(); };
    EXPECT_FALSE(ReadAccountAndDomain(sources));
    EXPECT_EQ(DeviceIdentity.WinDomain, u"");
}

TEST_F(Fingerprint, NoAcceptedAdapterGivesEmptyMacTextAndDigestOfEmptyText)
{
    IdentitySources sources = FixedSources();
    sources.listAdapters = [] { return AdapterListing{}; };
    Start(sources);
    EXPECT_EQ(DeviceIdentity.MacText, "");
    EXPECT_EQ(DeviceIdentity.MacHash, kMd5OfEmptyText);
    const std::u16string source = u"abc.d" + kMd5OfEmptyText + ToWide(kGuid);
    EXPECT_EQ(PersistedPart(), Md5Hex(source.substr(0, 32)) + Md5Hex(source.substr(32, 32)) +
                                   Md5Hex(source.substr(64)));
}

TEST_F(Fingerprint, TimeTokenAtTheLastMillisecondOfTheDay)
{
    IdentitySources sources = FixedSources();
    sources.now = [] { return LocalTime{2017, 9, 15, 23, 59, 59, 999}; };
    Start(sources);
    EXPECT_EQ(DeviceIdentity.TimeToken, Md5Hex(u"23:59:59:0999"));
}

struct DiskHashCase {
    const char* name;
    std::vector<Disk> disks;
    std::u16string diskHash;  // empty, or the text whose digest it is
};

void PrintTo(const DiskHashCase& c, std::ostream* os)
{
    *os << c.name;
}

const DiskHashCase kDiskHashCases[] = {
    {"NoSerial", {Disk{"sda", ""}}, u""},
    {"NoDisk", {}, u""},
    {"SerialOfBlanks", {Disk{"sda", "   "}}, u"   "},
    {"SerialWithColons", {Disk{"sda", "WD:WCC4:E123"}}, u"WDWCC4E123"},
};

class DiskHash : public Fingerprint, public testing::WithParamInterface<DiskHashCase> {};

TEST_P(DiskHash, IsTheDigestOfTheSerialOrEmpty)
{
    const DiskHashCase& c = GetParam();
    IdentitySources sources = FixedSources();
    sources.listDisks = [&c] { return DiskListing{ListingStatus::Listed, c.disks}; };
    Start(sources);
    EXPECT_EQ(DeviceIdentity.DiskHash, c.diskHash.empty() ? u"" : Md5Hex(c.diskHash));
}

INSTANTIATE_TEST_SUITE_P(Fingerprint, DiskHash, testing::ValuesIn(kDiskHashCases),
                         [](const testing::TestParamInfo<DiskHashCase>& info) { return info.param.name; });

TEST_F(Fingerprint, FailingQueriesShowTheirMessagesAndYieldNothing)
{
    IdentitySources sources = FixedSources();
    sources.listAdapters = [] { return AdapterListing{ListingStatus::CannotStart, {}}; };
    sources.listDisks = [] { return DiskListing{ListingStatus::CannotList, {}}; };
    Start(sources);
    EXPECT_EQ(DeviceIdentity.MacText, "");
    EXPECT_EQ(DeviceIdentity.MacHash, kMd5OfEmptyText);
    EXPECT_EQ(DeviceIdentity.DiskHash, u"");
    EXPECT_EQ(m_messages.texts(), (std::vector<std::u16string>{
                                      u"启动器遇到系统故障[11]：无法初始化COM库(网卡)",
                                      u"启动器遇到系统故障[11]：无法初始化COM库(网卡)",
                                      u"启动器遇到系统故障[35]：查不到值(硬盘序列号) ",
                                  }));
}

TEST_F(Fingerprint, RealSourcesOfThisMachineGiveValuesOfTheDocumentedForm)
{
    const IdentitySources sources = LinuxIdentitySources();
    Start(sources);
    const DeviceIdentityRecord& identity = DeviceIdentity;
    const std::regex digest("[0-9A-F]{32}");

    const std::optional<std::string> hostName = ReadHostName();
    ASSERT_TRUE(hostName);
    EXPECT_EQ(identity.WinDomain.substr(0, HostLabel(*hostName).size() + 1), ToWide(HostLabel(*hostName) + "."));

    const std::string guid = sources.hardwareProfileGuid();
    EXPECT_TRUE(std::regex_match(guid, std::regex(R"(\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\})")))
        << guid;

    if (!identity.MacText.empty()) {
        EXPECT_TRUE(std::regex_match(identity.MacText, std::regex("IM[0-9A-F]{12}\nGM000000000000")));
    }
    EXPECT_TRUE(std::regex_match(ToAscii(identity.MacHash), digest));
    EXPECT_TRUE(std::regex_match(ToAscii(identity.TimeToken), digest));
    EXPECT_TRUE(identity.DiskHash.empty() || std::regex_match(ToAscii(identity.DiskHash), digest));

    const std::size_t sourceLength = identity.WinDomain.size() + 32 + guid.size();
    const std::size_t pieces = (sourceLength + 31) / 32;
    ASSERT_EQ(identity.MachineId.size(), 32 * (pieces + 1));
    EXPECT_EQ(ReadFile(kMachineIdFileName), ToAscii(identity.MachineId.substr(0, 32 * pieces)));
    EXPECT_EQ(identity.MachineId.substr(32 * pieces),
              Md5Hex(ToWide(FormatCreationTime(ReadCreationTime(kMachineIdFileName)))));
    EXPECT_TRUE(m_messages.texts().empty());
}

// Sets the time zone for one test and restores the previous one.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* zone)
    {
        if (const char* previous = std::getenv("TZ"))
            m_previous = previous;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZoneScope()
    {
        if (m_previous)
            setenv("TZ", m_previous->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_previous;
};

TEST(LinuxSources, MissingFileGivesTheZeroTimeInLocalTime)
{
    {
        TimeZoneScope zone("UTC0");
        EXPECT_EQ(FormatCreationTime(ReadCreationTime("/nonexistent/qlx.ico")), "01/01/70 00:00:00");
    }
    TimeZoneScope zone("CST-8");
    EXPECT_EQ(FormatCreationTime(ReadCreationTime("/nonexistent/qlx.ico")), "01/01/70 08:00:00");
}

TEST(LinuxSources, MachineIdFromEtcElseFromDbus)
{
    TemporaryFolder root;
    EXPECT_EQ(ReadHardwareProfileGuid(root.path().string()), "");
    root.write("var/lib/dbus/machine-id", "00112233445566778899aabbccddeeff\n");
    EXPECT_EQ(ReadHardwareProfileGuid(root.path().string()), "{00112233-4455-6677-8899-aabbccddeeff}");
    root.write("etc/machine-id", "uninitialized\n");
    EXPECT_EQ(ReadHardwareProfileGuid(root.path().string()), "{00112233-4455-6677-8899-aabbccddeeff}");
    root.write("etc/machine-id", "3d1219c7c4c5404aaa1f6d2a48adfda4\n");
    EXPECT_EQ(ReadHardwareProfileGuid(root.path().string()), "{3d1219c7-c4c5-404a-aa1f-6d2a48adfda4}");
}

TEST(LinuxSources, ResolverConfigUnderTheGivenFolder)
{
    TemporaryFolder etc;
    EXPECT_EQ(ReadResolverConfig(etc.path().string()), "");
    etc.write("resolv.conf", "search corp.example\n");
    EXPECT_EQ(ReadResolverConfig(etc.path().string()), "search corp.example\n");
}

}
