#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/working_file.h"
#include "tests/support/working_directory.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBound = 64;

// What stands at "file" in the working folder before the read.
struct ReadCase {
    const char* name;
    std::function<void()> plant;
    std::optional<std::string> expected;
};

const ReadCase kReadCases[] = {
    {"Regular", [] { WriteBytes("file", "[QLXBSINFO]\r\n"); }, "[QLXBSINFO]\r\n"},
    {"Empty", [] { WriteBytes("file", ""); }, ""},
    {"OverTheBound", [] { WriteBytes("file", std::string(10 * kBound, 'x')); },
     std::string(kBound, 'x')},
    {"LinkToRegular",
     [] {
         WriteBytes("target", "text");
         fs::create_symlink("target", "file");
     },
     "text"},
    {"LinkToDevZero", [] { fs::create_symlink("/dev/zero", "file"); }, std::nullopt},
    {"Fifo", [] { ASSERT_EQ(mkfifo("file", 0600), 0); }, std::nullopt},
    {"Folder", [] { fs::create_directory("file"); }, std::nullopt},
    {"DanglingLink", [] { fs::create_symlink("nowhere", "file"); }, std::nullopt},
    {"Missing", [] {}, std::nullopt},
};

class ReadRegularFileTest : public testing::TestWithParam<ReadCase> {
protected:
    TemporaryWorkingDirectory m_directory;
};

// A pipe or device is no file: the read neither blocks nor grows without end.
TEST_P(ReadRegularFileTest, ReadsRegularFilesUpToTheBound)
{
    GetParam().plant();
    EXPECT_EQ(ReadRegularFile("file", kBound), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ReadRegularFileTest, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FirstLineCase {
    const char* name;
    std::string bytes;
    std::string line;
};

const FirstLineCase kFirstLineCases[] = {
    {"Lf", "abc\ndef", "abc"},
    {"CrLf", "abc\r\ndef", "abc"},
    {"NoLineEnd", "abc", "abc"},
    {"LongerThanTheBound", std::string(2 * kBound, 'a') + "\n", std::string(kBound, 'a')},
};

class ReadFirstLineTest : public testing::TestWithParam<FirstLineCase> {
protected:
    TemporaryWorkingDirectory m_directory;
};

TEST_P(ReadFirstLineTest, GivesTheLineWithoutItsEnd)
{
    WriteBytes("file", GetParam().bytes);
    EXPECT_EQ(ReadFirstLine("file", kBound), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Lines, ReadFirstLineTest, testing::ValuesIn(kFirstLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadFirstLine, PipeReadsAsNoLine)
{
    TemporaryWorkingDirectory directory;
    ASSERT_EQ(mkfifo("qlx.ico", 0600), 0);
    EXPECT_EQ(ReadFirstLine("qlx.ico", kFirstLineBound), "");
}

// A link planted where a file is written is replaced, never written through.
struct WriteCase {
    const char* name;
    std::function<FileWriteResult(const std::string&, const std::string&)> write;
};

const WriteCase kWriteCases[] = {
    {"CreateFreshFile", CreateFreshFile},
    {"ReplaceFile", ReplaceFile},
};

class LinkInTheWayTest : public testing::TestWithParam<WriteCase> {
protected:
    TemporaryWorkingDirectory m_directory;
};

TEST_P(LinkInTheWayTest, LinkToAFileLeavesItsTarget)
{
    WriteBytes("bashrc", "export PATH\n");
    fs::create_symlink(m_directory.path() / "bashrc", "key.json");

    EXPECT_EQ(GetParam().write("key.json", "{\"Domain\":\"srv01\"}"), FileWriteResult::Written);

    EXPECT_EQ(ReadBytes("bashrc"), "export PATH\n");
    EXPECT_FALSE(fs::is_symlink("key.json"));
    EXPECT_EQ(ReadBytes("key.json"), "{\"Domain\":\"srv01\"}");
    EXPECT_EQ(FolderEntries("."), (std::set<std::string>{"bashrc", "key.json"}));
}

TEST_P(LinkInTheWayTest, DanglingLinkCreatesNothingAtItsTarget)
{
    fs::create_symlink(m_directory.path() / "created", "key.json");

    EXPECT_EQ(GetParam().write("key.json", "{}"), FileWriteResult::Written);

    EXPECT_FALSE(fs::exists(m_directory.path() / "created"));
    EXPECT_EQ(ReadBytes("key.json"), "{}");
}

TEST_P(LinkInTheWayTest, FifoIsReplacedWithoutBlocking)
{
    ASSERT_EQ(mkfifo("key.json", 0600), 0);

    EXPECT_EQ(GetParam().write("key.json", "{}"), FileWriteResult::Written);

    EXPECT_TRUE(fs::is_regular_file("key.json"));
    EXPECT_EQ(ReadBytes("key.json"), "{}");
}

INSTANTIATE_TEST_SUITE_P(Writers, LinkInTheWayTest, testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReplaceFile, FileInAnotherFolderIsReplacedBesideItself)
{
    TemporaryWorkingDirectory directory;
    fs::create_directory("sub");
    WriteBytes("sub/file", "old");

    EXPECT_EQ(ReplaceFile("sub/file", "new"), FileWriteResult::Written);

    EXPECT_EQ(ReadBytes("sub/file"), "new");
    EXPECT_EQ(FolderEntries("sub"), std::set<std::string>{"file"});
    EXPECT_EQ(FolderEntries("."), std::set<std::string>{"sub"});
}

TEST(RemoveFile, MissingFileCountsAsRemoved)
{
    TemporaryWorkingDirectory directory;
    WriteBytes("key.json", "{}");
    EXPECT_TRUE(RemoveFile("key.json"));
    EXPECT_TRUE(RemoveFile("key.json"));
    EXPECT_TRUE(FolderEntries(".").empty());
}

}
