#include "config/config_file.h"

#include "config/config_text.h"

#include "launch/launch_state.h"
#include "tests/support/locale_scope.h"
#include "tests/support/message_recorder.h"
#include "tests/support/working_directory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr char kFileName[] = "QLX32-bs.ini";
constexpr char kProvisionedSrv01[] =
    "[QLXBSINFO]\r\nHttpServer=srv01\r\nPort=80\r\nPath=/Account/LogOn\r\n"
    "Para=--disable-plugins\r\nBrowserPath=";
constexpr char kOldFile[] = "[QLXBSINFO]\r\nHttpServer=old.example\r\nPort=8080\r\n"
                            "Path=/Old/LogOn\r\nPara=--disable-plugins\r\nBrowserPath=\r\n";

std::u16string Wide(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string FileMessage(const std::u16string& path)
{
    return u"找不到INI文件：\n" + path + u"\n请确认INI文件与启动程序在相同的目录。";
}

std::u16string KeyMessage(const std::u16string& key, const std::u16string& path)
{
    return u"找不到关键字" + key + u"：\n" + path + u"\n请确认INI文件正确设置。";
}

class ConfigFileTest : public testing::Test {
protected:
    void SetUp() override { LaunchState = {}; }

    std::u16string ExpectedPath() const
    {
        return Wide(m_directory.path().string()) + u"/QLX32-bs.ini";
    }

    TemporaryWorkingDirectory m_directory;
    MessageRecorder m_messages;
};

enum class Message { None, File, PortKey, PathKey };

struct LaunchCase {
    const char* name;
    std::optional<std::string> file;  // nothing: no file
    bool result;
    Message message;
    std::u16string httpServer;
    std::u16string port;
    std::u16string path;
};

// Test names carry the case; gtest need not dump its bytes.
void PrintTo(const LaunchCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReadLaunchSettingsTest : public ConfigFileTest,
                               public testing::WithParamInterface<LaunchCase> {};

TEST_P(ReadLaunchSettingsTest, FillsLaunchStateOrShowsItsMessage)
{
    const LaunchCase& c = GetParam();
    if (c.file)
        WriteBytes(kFileName, *c.file);

    EXPECT_EQ(ReadLaunchSettings(ReadConfigFile(GetConfigFilePath())), c.result);

    const std::u16string path = ExpectedPath();
    switch (c.message) {
    case Message::None:
        EXPECT_TRUE(m_messages.texts().empty());
        break;
    case Message::File:
        EXPECT_EQ(m_messages.texts(), std::vector<std::u16string>{FileMessage(path)});
        break;
    case Message::PortKey:
        EXPECT_EQ(m_messages.texts(), std::vector<std::u16string>{KeyMessage(u"Port", path)});
        break;
    case Message::PathKey:
        EXPECT_EQ(m_messages.texts(), std::vector<std::u16string>{KeyMessage(u"Path", path)});
        break;
    }
    EXPECT_EQ(LaunchState.HttpServer, c.httpServer);
    EXPECT_EQ(LaunchState.Port, c.port);
    EXPECT_EQ(LaunchState.Path, c.path);
}

const std::string kLongPath = "/" + std::string(120, 'p');

const LaunchCase kLaunchCases[] = {
    {"Provisioned", kProvisionedSrv01, true, Message::None, u"srv01", u"80", u"/Account/LogOn"},
    {"LowerCaseNamesAndBlanks",
     "[qlxbsinfo]\r\nhttpserver  =  srv01  \r\nport = 80\r\npath= /Account/LogOn \r\npara=x\r\n",
     true, Message::None, u"srv01", u"80", u"/Account/LogOn"},
    {"QuotedValues",
     "[QLXBSINFO]\r\nHttpServer='srv01'\r\nPort=\"8080\"\r\nPath=\"/Account/LogOn\"\r\nPara=x",
     true, Message::None, u"srv01", u"8080", u"/Account/LogOn"},
    {"ValueOver100CharactersWhole",
     "[QLXBSINFO]\r\nHttpServer=srv01\r\nPort=80\r\nPath=" + kLongPath + "\r\nPara=x", true,
     Message::None, u"srv01", u"80", Wide(kLongPath)},
    {"MissingFile", std::nullopt, true, Message::None, u"Bogus Value: Get webUrl didn't work",
     u"Bogus Value: Get Port didn't work", u"Bogus Value: Get Path didn't work"},
    {"MissingPortKey", "[QLXBSINFO]\r\nHttpServer=srv01\r\nPath=/Account/LogOn\r\nPara=x", true,
     Message::None, u"srv01", u"Bogus Value: Get Port didn't work", u"/Account/LogOn"},
    {"MissingParaKey", "[QLXBSINFO]\r\nHttpServer=srv01\r\nPort=80\r\nPath=/Account/LogOn", true,
     Message::None, u"srv01", u"80", u"/Account/LogOn"},
    {"OnlyEmptyHttpServer", "[QLXBSINFO]\r\nHttpServer=", false, Message::File, u"", u"", u""},
    {"BlankHttpServer", "[QLXBSINFO]\r\nHttpServer=   \r\nPort=80\r\nPath=/p\r\nPara=x", false,
     Message::File, u"", u"", u""},
    {"EmptyPara", "[QLXBSINFO]\r\nHttpServer=srv01\r\nPort=80\r\nPath=/Account/LogOn\r\nPara=",
     false, Message::File, u"srv01", u"", u""},
    {"EmptyPort", "[QLXBSINFO]\r\nHttpServer=srv01\r\nPort=\r\nPath=/Account/LogOn\r\nPara=x",
     false, Message::PortKey, u"srv01", u"", u""},
    {"EmptyQuotedPath", "[QLXBSINFO]\r\nHttpServer=srv01\r\nPort=80\r\nPath=\"\"\r\nPara=x", false,
     Message::PathKey, u"srv01", u"80", u""},
};

INSTANTIATE_TEST_SUITE_P(Files, ReadLaunchSettingsTest, testing::ValuesIn(kLaunchCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ServerCase {
    const char* name;
    std::optional<std::string> file;
    std::u16string expected;
};

void PrintTo(const ServerCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReadServerSettingTest : public ConfigFileTest,
                              public testing::WithParamInterface<ServerCase> {};

TEST_P(ReadServerSettingTest, GivesServerOrNothing)
{
    if (GetParam().file)
        WriteBytes(kFileName, *GetParam().file);
    EXPECT_EQ(ReadServerSetting(ReadConfigFile(GetConfigFilePath())), GetParam().expected);
    EXPECT_TRUE(m_messages.texts().empty());
}

const ServerCase kServerCases[] = {
    {"Provisioned", kProvisionedSrv01, u"srv01"},
    {"MissingFile", std::nullopt, u""},
    {"SectionOnly", "[QLXBSINFO]", u""},
    {"MissingKey", "[QLXBSINFO]\r\nPort=80", u""},
    {"EmptyValue", "[QLXBSINFO]\r\nHttpServer=", u""},
    {"BlankValue", "[QLXBSINFO]\r\nHttpServer=  \t ", u""},
};

INSTANTIATE_TEST_SUITE_P(Files, ReadServerSettingTest, testing::ValuesIn(kServerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigFileTest, PathIsCurrentDirectoryOfAnyLengthAndFileName)
{
    const fs::path deep = m_directory.path() / std::string(200, 'a') / std::string(200, 'b');
    fs::create_directories(deep);
    fs::current_path(deep);
    WriteBytes(kFileName, "[QLXBSINFO]\r\nHttpServer=srv01\r\nPara=");

    EXPECT_EQ(GetConfigFilePath(), Wide(deep.string()) + u"/QLX32-bs.ini");
    EXPECT_EQ(ReadServerSetting(ReadConfigFile(GetConfigFilePath())), u"srv01");
    EXPECT_FALSE(ReadLaunchSettings(ReadConfigFile(GetConfigFilePath())));
    EXPECT_EQ(m_messages.texts(),
              std::vector<std::u16string>{FileMessage(Wide(deep.string()) + u"/QLX32-bs.ini")});
}

TEST_F(ConfigFileTest, ReadsGbkFileInGbkFolderUnderGbkLocale)
{
    LocaleScope locale("zh_CN.GBK");
    ASSERT_TRUE(locale.active())
        << "the zh_CN.GBK locale is missing (localedef -i zh_CN -f GBK zh_CN.GBK)";
    const std::string folderGbk = "\xC5\xE4\xD6\xC3";                  // 配置
    const std::string hostGbk = "\xB7\xFE\xCE\xF1\xC6\xF7.example";  // 服务器.example
    fs::create_directory(m_directory.path() / folderGbk);
    fs::current_path(m_directory.path() / folderGbk);
    WriteBytes(kFileName,
               "[QLXBSINFO]\r\nHttpServer=" + hostGbk + "\r\nPort=80\r\nPath=/p\r\nPara=");

    const std::u16string path = Wide(m_directory.path().string()) + u"/配置/QLX32-bs.ini";
    EXPECT_EQ(GetConfigFilePath(), path);
    EXPECT_EQ(ReadServerSetting(ReadConfigFile(path)), u"服务器.example");
    EXPECT_FALSE(ReadLaunchSettings(ReadConfigFile(GetConfigFilePath())));
    EXPECT_EQ(m_messages.texts(), std::vector<std::u16string>{FileMessage(path)});
    EXPECT_EQ(LaunchState.HttpServer, u"服务器.example");
}

// What stands at the file's name when it is not a regular file.
struct NotAFileCase {
    const char* name;
    std::function<void()> plant;
};

const NotAFileCase kNotAFileCases[] = {
    {"LinkToDevZero", [] { fs::create_symlink("/dev/zero", kFileName); }},
    {"Fifo", [] { ASSERT_EQ(mkfifo(kFileName, 0600), 0); }},
    {"Folder", [] { fs::create_directory(kFileName); }},
};

class NotAFileTest : public ConfigFileTest, public testing::WithParamInterface<NotAFileCase> {};

// Read like a missing file: at once, without growing, and without a message.
TEST_P(NotAFileTest, ReadsAsAMissingFile)
{
    GetParam().plant();

    const ConfigFile file = ReadConfigFile(GetConfigFilePath());

    EXPECT_EQ(file.text, u"");
    EXPECT_EQ(ReadServerSetting(file), u"");
    EXPECT_TRUE(ReadLaunchSettings(file));
    EXPECT_EQ(LaunchState.HttpServer, ConfigText::kHttpServerDefault);
    EXPECT_TRUE(m_messages.texts().empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotAFileTest, testing::ValuesIn(kNotAFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

const std::string kSettings = "[QLXBSINFO]\r\nHttpServer=srv01\r\nPort=81\r\nPath=/p\r\nPara=x\r\n";
const std::string kTenMegabytes(10 * 1024 * 1024, ';');

TEST_F(ConfigFileTest, LargeFileIsReadUpToItsFirstMebibyteAndLeftAsItIs)
{
    WriteBytes(kFileName, kSettings + kTenMegabytes);

    const ConfigFile file = ReadConfigFile(GetConfigFilePath());

    EXPECT_EQ(file.text.size(), 1024u * 1024u);
    EXPECT_EQ(ReadServerSetting(file), u"srv01");
    EXPECT_TRUE(ReadLaunchSettings(file));
    EXPECT_EQ(LaunchState.Port, u"81");
    EXPECT_EQ(ReadBytes(kFileName), kSettings + kTenMegabytes);
}

TEST_F(ConfigFileTest, EntryBeyondTheFirstMebibyteReadsAsMissing)
{
    WriteBytes(kFileName, "[QLXBSINFO]\r\n" + kTenMegabytes + "\r\nHttpServer=far\r\n");

    EXPECT_EQ(ReadServerSetting(ReadConfigFile(GetConfigFilePath())), u"");
}

// The lookups of one start use the text read once, not the file again.
TEST_F(ConfigFileTest, LookupsUseTheTextReadOnce)
{
    WriteBytes(kFileName, kSettings);
    const ConfigFile file = ReadConfigFile(GetConfigFilePath());
    fs::remove(kFileName);

    EXPECT_EQ(ReadServerSetting(file), u"srv01");
    EXPECT_TRUE(ReadLaunchSettings(file));
    EXPECT_EQ(LaunchState.HttpServer, u"srv01");
    EXPECT_EQ(LaunchState.Port, u"81");
    EXPECT_EQ(LaunchState.Path, u"/p");
}

TEST_F(ConfigFileTest, ProvisionedFileIsExactly97BytesAndReadsBack)
{
    EXPECT_EQ(WriteConfigFile(u"srv01"), WriteConfigResult::Written);

    EXPECT_EQ(ReadBytes(kFileName), std::string(kProvisionedSrv01));
    EXPECT_EQ(ReadBytes(kFileName)->size(), 97u);
    EXPECT_EQ(FolderEntries("."), std::set<std::string>{kFileName});
    EXPECT_TRUE(ReadLaunchSettings(ReadConfigFile(GetConfigFilePath())));
    EXPECT_EQ(LaunchState.HttpServer, u"srv01");
    EXPECT_EQ(LaunchState.Port, u"80");
    EXPECT_EQ(LaunchState.Path, u"/Account/LogOn");
}

TEST_F(ConfigFileTest, ReplacesOldFileWhole)
{
    WriteBytes(kFileName, kOldFile + std::string(500, ';'));

    EXPECT_EQ(WriteConfigFile(u"srv01"), WriteConfigResult::Written);

    EXPECT_EQ(ReadBytes(kFileName), std::string(kProvisionedSrv01));
    EXPECT_EQ(FolderEntries("."), std::set<std::string>{kFileName});
}

TEST_F(ConfigFileTest, WrittenFileTakesUsualPermissions)
{
    const mode_t previous = umask(022);
    const WriteConfigResult result = WriteConfigFile(u"srv01");
    umask(previous);

    ASSERT_EQ(result, WriteConfigResult::Written);
    EXPECT_EQ(fs::status(kFileName).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read
                  | fs::perms::others_read);
}

TEST_F(ConfigFileTest, HostWithoutOneBytePerCharacterLeavesOldFile)
{
    WriteBytes(kFileName, kOldFile);

    EXPECT_EQ(WriteConfigFile(u"服务器.example"), WriteConfigResult::WriteFailed);

    EXPECT_EQ(ReadBytes(kFileName), std::string(kOldFile));
    EXPECT_EQ(FolderEntries("."), std::set<std::string>{kFileName});
}

TEST_F(ConfigFileTest, HostWithoutOneBytePerCharacterLeavesNoFile)
{
    EXPECT_EQ(WriteConfigFile(u"服务器.example"), WriteConfigResult::WriteFailed);
    EXPECT_TRUE(FolderEntries(".").empty());
}

TEST_F(ConfigFileTest, FolderInTheFileNamesPlaceIsNotReplaced)
{
    fs::create_directory(kFileName);

    EXPECT_EQ(WriteConfigFile(u"srv01"), WriteConfigResult::NotOpened);

    EXPECT_TRUE(fs::is_directory(kFileName));
    EXPECT_EQ(FolderEntries("."), std::set<std::string>{kFileName});
}

// Ways to make a folder the current directory and one that even root cannot
// write into; each returns false when this machine does not offer it.
struct UnwritableFolder {
    const char* name;
    std::function<bool(const fs::path& folder)> enter;
    std::function<void(const fs::path& folder)> release;
};

void PrintTo(const UnwritableFolder& c, std::ostream* out)
{
    *out << c.name;
}

bool SetImmutable(const fs::path& folder, bool immutable)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return done;
}

const UnwritableFolder kUnwritableFolders[] = {
    {"Removed",
     [](const fs::path& folder) {
         fs::current_path(folder);
         return fs::remove(folder);
     },
     [](const fs::path&) {}},
    {"Immutable",
     [](const fs::path& folder) {
         if (!SetImmutable(folder, true))
             return false;
         fs::current_path(folder);
         return true;
     },
     [](const fs::path& folder) { SetImmutable(folder, false); }},
    {"ReadOnlyMount",
     [](const fs::path& folder) {
         if (mount("tmpfs", folder.c_str(), "tmpfs", MS_RDONLY, "size=64k") != 0)
             return false;
         fs::current_path(folder);
         return true;
     },
     [](const fs::path& folder) { umount2(folder.c_str(), MNT_DETACH); }},
};

class UnwritableFolderTest : public ConfigFileTest,
                             public testing::WithParamInterface<UnwritableFolder> {};

TEST_P(UnwritableFolderTest, WriteCreatesNothing)
{
    const fs::path folder = m_directory.path() / "office";
    fs::create_directory(folder);
    if (!GetParam().enter(folder))
        GTEST_SKIP() << "this machine cannot make a folder unwritable this way";

    const WriteConfigResult result = WriteConfigFile(u"srv01");

    const bool empty = !fs::exists(folder) || fs::is_empty(folder);
    fs::current_path(m_directory.path());
    GetParam().release(folder);
    EXPECT_EQ(result, WriteConfigResult::NotOpened);
    EXPECT_TRUE(empty);
}

INSTANTIATE_TEST_SUITE_P(Folders, UnwritableFolderTest, testing::ValuesIn(kUnwritableFolders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigFileTest, WriteCutShortByFileSizeLimitLeavesOldFile)
{
    WriteBytes(kFileName, kOldFile);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{40, previous.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    const WriteConfigResult result = WriteConfigFile(u"srv01");

    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(result, WriteConfigResult::WriteFailed);
    EXPECT_EQ(ReadBytes(kFileName), std::string(kOldFile));
    EXPECT_EQ(FolderEntries("."), std::set<std::string>{kFileName});
}

TEST_F(ConfigFileTest, WriteOnFullDiskLeavesOldFile)
{
    const fs::path disk = m_directory.path() / "disk";
    fs::create_directory(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    fs::current_path(disk);
    WriteBytes(kFileName, kOldFile);
    {
        // Fill every free block.
        const int fd = open("filler", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        const std::string block(4096, 'f');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        while (write(fd, block.data(), 1) > 0) {
        }
        close(fd);
    }

    const WriteConfigResult result = WriteConfigFile(u"srv01");

    const std::optional<std::string> kept = ReadBytes(kFileName);
    const std::set<std::string> entries = FolderEntries(".");
    fs::current_path(m_directory.path());
    umount2(disk.c_str(), MNT_DETACH);
    EXPECT_EQ(result, WriteConfigResult::WriteFailed);
    EXPECT_EQ(kept, std::string(kOldFile));
    EXPECT_EQ(entries, (std::set<std::string>{kFileName, "filler"}));
}

}
