#include "browser/download_texts.h"

#include <gtest/gtest.h>

#include "browser/download_rate.h"

namespace {

struct ProgressCase {
    std::int64_t received;
    std::int64_t total;
    double speed;
    const char16_t* transferred;
    const char16_t* speedText;
    const char16_t* timeLeft;
};

class DownloadTextsTest : public testing::TestWithParam<ProgressCase> {};

TEST_P(DownloadTextsTest, ShowsBytesSpeedAndTimeLeft)
{
    const ProgressCase& c = GetParam();
    EXPECT_EQ(TransferredText(c.received, c.total), c.transferred);
    EXPECT_EQ(SpeedText(c.speed), c.speedText);
    EXPECT_EQ(TimeLeftText(c.received, c.total, c.speed), c.timeLeft);
}

const ProgressCase kCases[] = {
    {0, 0, 0, u"0 B", u"0 B/秒", u"剩余时间未知"},
    {512, -1, 100, u"512 B", u"100 B/秒", u"剩余时间未知"},
    {1536, 10240, 1024, u"1.5 KB / 10.0 KB", u"1.0 KB/秒", u"剩余 9 秒"},
    {3 * 1048576, 50 * 1048576, 5 * 1048576, u"3.0 MB / 50.0 MB", u"5.0 MB/秒", u"剩余 10 秒"},
    {0, 50 * 1048576, 400 * 1024, u"0 B / 50.0 MB", u"400.0 KB/秒", u"剩余 2 分 8 秒"},
    {0, 5LL * 1073741824, 1048576, u"0 B / 5.0 GB", u"1.0 MB/秒", u"剩余 1 小时 25 分"},
    {100, 1000, 0, u"100 B / 1000 B", u"0 B/秒", u"剩余时间未知"},
    // The server sent more than it announced.
    {2000, 1000, 100, u"2.0 KB / 1000 B", u"100 B/秒", u"剩余时间未知"},
};

INSTANTIATE_TEST_SUITE_P(Cases, DownloadTextsTest, testing::ValuesIn(kCases));

struct FailureCase {
    int reason;
    const char16_t* text;
};

class DownloadFailureTextTest : public testing::TestWithParam<FailureCase> {};

TEST_P(DownloadFailureTextTest, NamesTheFileAndTheReason)
{
    EXPECT_EQ(DownloadFailureText(u"月报.xls", GetParam().reason), GetParam().text);
}

const FailureCase kFailureCases[] = {
    {20, u"文件“月报.xls”下载失败：网络连接中断。"},
    {3, u"文件“月报.xls”下载失败：磁盘空间不足。"},
    {2, u"文件“月报.xls”下载失败：没有写入所选文件夹的权限。"},
    {30, u"文件“月报.xls”下载失败：服务器出错。"},
    {36, u"文件“月报.xls”下载失败：服务器禁止访问。"},
    {38, u"文件“月报.xls”下载失败：服务器发送的数据不完整。"},
    {99, u"文件“月报.xls”下载失败：未知错误（代码 99）。"},
};

INSTANTIATE_TEST_SUITE_P(Cases, DownloadFailureTextTest, testing::ValuesIn(kFailureCases));

TEST(DownloadRateTest, FollowsTheLastSecondsOnly)
{
    DownloadRate rate;
    EXPECT_EQ(rate.BytesPerSecond(), 0);
    rate.AddSample(0, 0);
    EXPECT_EQ(rate.BytesPerSecond(), 0);
    // Fast at first, then slow: after the window only the slow part counts.
    rate.AddSample(1000, 10000);
    EXPECT_DOUBLE_EQ(rate.BytesPerSecond(), 10000);
    for (int second = 2; second <= 10; ++second)
        rate.AddSample(second * 1000, 10000 + (second - 1) * 100);
    EXPECT_DOUBLE_EQ(rate.BytesPerSecond(), 100);
}

TEST(DownloadRateTest, NothingArrivingIsNoSpeed)
{
    DownloadRate rate;
    rate.AddSample(0, 500);
    rate.AddSample(5000, 500);
    EXPECT_EQ(rate.BytesPerSecond(), 0);
}

}
