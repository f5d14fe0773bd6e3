#include "browser/download_target.h"

#include <gtest/gtest.h>

namespace {

struct DownloadCase {
    const char* folder;
    const char* suggested;
    const char* proposed;
};

class DownloadTargetTest : public testing::TestWithParam<DownloadCase> {};

TEST_P(DownloadTargetTest, ProposesTheSuggestedNameInTheFolder)
{
    const DownloadCase& c = GetParam();
    EXPECT_EQ(ProposedDownloadPath(c.folder, c.suggested), c.proposed);
}

const DownloadCase kCases[] = {
    {"/home/agent/Downloads", "合同.pdf", "/home/agent/Downloads/合同.pdf"},
    {"/home/agent/Downloads/", "report.xls", "/home/agent/Downloads/report.xls"},
    {"/home/agent/Downloads", "../../etc/passwd", "/home/agent/Downloads/passwd"},
    {"/home/agent/Downloads", "..\\boot.ini", "/home/agent/Downloads/boot.ini"},
    {"/home/agent/Downloads", "", "/home/agent/Downloads/download"},
    {"/home/agent/Downloads", "..", "/home/agent/Downloads/download"},
    {"", "a.txt", "a.txt"},
};

INSTANTIATE_TEST_SUITE_P(Cases, DownloadTargetTest, testing::ValuesIn(kCases));

}

namespace {

struct FolderCase {
    const char* downloads;
    bool downloadsExist;
    const char* proposed;
};

class DownloadFolderTest : public testing::TestWithParam<FolderCase> {};

TEST_P(DownloadFolderTest, OpensInTheDownloadFolderElseAtHome)
{
    const FolderCase& c = GetParam();
    EXPECT_EQ(ProposedDownloadFolder(c.downloads, c.downloadsExist, "/home/agent"), c.proposed);
}

const FolderCase kFolderCases[] = {
    {"/home/agent/下载", true, "/home/agent/下载"},
    {"/home/agent/下载", false, "/home/agent"},
    {"", true, "/home/agent"},
};

INSTANTIATE_TEST_SUITE_P(Cases, DownloadFolderTest, testing::ValuesIn(kFolderCases));

}
