#pragma once

#include <cstdint>
#include <string>

// Texts of the download progress window and of a failed download.

// "512 B", "1.5 KB", "12.3 MB", "1.2 GB".
std::u16string ByteCountText(std::int64_t bytes);

// "3.0 MB / 50.0 MB", or only the bytes received when the size is unknown
// (not positive).
std::u16string TransferredText(std::int64_t received, std::int64_t total);

// "1.2 MB/秒".
std::u16string SpeedText(double bytesPerSecond);

// "剩余 1 分 5 秒"; "剩余时间未知" without a size or while nothing arrives.
std::u16string TimeLeftText(std::int64_t received, std::int64_t total, double bytesPerSecond);

// "文件“NAME”下载失败：REASON" for the engine's interrupt reason code.
std::u16string DownloadFailureText(const std::u16string& fileName, int interruptReason);
