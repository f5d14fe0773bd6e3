#include "browser/download_texts.h"

#include <cmath>
#include <cstdio>
#include <iterator>

namespace {

std::u16string FromAscii(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

std::u16string Number(std::int64_t value)
{
    return FromAscii(std::to_string(value));
}

std::u16string DurationText(std::int64_t seconds)
{
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds % 3600 / 60;
    if (hours > 0)
        return Number(hours) + u" 小时 " + Number(minutes) + u" 分";
    if (minutes > 0)
        return Number(minutes) + u" 分 " + Number(seconds % 60) + u" 秒";
    return Number(seconds) + u" 秒";
}

// The engine's interrupt reasons, by their numbers.
std::u16string ReasonText(int interruptReason)
{
    switch (interruptReason) {
    case 2: return u"没有写入所选文件夹的权限";
    case 3: return u"磁盘空间不足";
    case 5: return u"文件名太长";
    case 6: return u"文件太大，磁盘无法保存";
    case 1:
    case 10:
    case 13:
    case 14: return u"无法写入文件";
    case 7:
    case 11:
    case 12: return u"文件被系统阻止";
    case 20: return u"网络连接中断";
    case 21: return u"网络超时";
    case 22: return u"网络已断开";
    case 23: return u"服务器已停止响应";
    case 24: return u"请求无效";
    case 30: return u"服务器出错";
    case 33: return u"服务器发送的内容有误";
    case 34: return u"服务器拒绝访问（需要登录）";
    case 35: return u"服务器的证书有问题";
    case 36: return u"服务器禁止访问";
    case 37: return u"无法连接到服务器";
    case 38: return u"服务器发送的数据不完整";
    case 40: return u"下载已取消";
    default: return u"未知错误（代码 " + Number(interruptReason) + u"）";
    }
}

}

std::u16string ByteCountText(std::int64_t bytes)
{
    static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
    if (bytes < 1024)
        return Number(bytes < 0 ? 0 : bytes) + u" B";
    double value = static_cast<double>(bytes) / 1024;
    size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return FromAscii(text);
}

std::u16string TransferredText(std::int64_t received, std::int64_t total)
{
    if (total <= 0)
        return ByteCountText(received);
    return ByteCountText(received) + u" / " + ByteCountText(total);
}

std::u16string SpeedText(double bytesPerSecond)
{
    return ByteCountText(static_cast<std::int64_t>(bytesPerSecond)) + u"/秒";
}

std::u16string TimeLeftText(std::int64_t received, std::int64_t total, double bytesPerSecond)
{
    if (total <= 0 || !(bytesPerSecond > 0) || received > total)
        return u"剩余时间未知";
    const auto seconds =
        static_cast<std::int64_t>(std::ceil(static_cast<double>(total - received) / bytesPerSecond));
    return u"剩余 " + DurationText(seconds);
}

std::u16string DownloadFailureText(const std::u16string& fileName, int interruptReason)
{
    return u"文件“" + fileName + u"”下载失败：" + ReasonText(interruptReason) + u"。";
}
