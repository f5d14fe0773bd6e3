#include "identity/text_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace {

bool WriteAll(int descriptor, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t result = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            return false;
        written += static_cast<std::size_t>(result);
    }
    return true;
}

// A new file beside `path`, with the permissions the umask gives new files.
int CreateTemporaryFile(const std::string& path, std::string& temporaryPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int descriptor =
            open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

}

std::string ReadFirstLine(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string line;
    if (!file || !std::getline(file, line))
        return {};
    // A line end written on Windows counts as a line end.
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

bool ReplaceFile(const std::string& path, const std::string& bytes)
{
    std::string temporaryPath;
    const int descriptor = CreateTemporaryFile(path, temporaryPath);
    if (descriptor < 0)
        return false;
    const bool written = WriteAll(descriptor, bytes) && fsync(descriptor) == 0;
    const bool closed = close(descriptor) == 0;
    if (!written || !closed || rename(temporaryPath.c_str(), path.c_str()) != 0) {
        unlink(temporaryPath.c_str());
        return false;
    }
    return true;
}
