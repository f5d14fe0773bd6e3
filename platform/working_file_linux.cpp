#include "platform/working_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
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

// Writes, syncs and closes `descriptor`; false when any step fails.
bool WriteAndClose(int descriptor, const std::string& bytes, bool sync)
{
    const bool written = WriteAll(descriptor, bytes) && (!sync || fsync(descriptor) == 0);
    const bool closed = close(descriptor) == 0;
    return written && closed;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the folder's entries durable; false only when the disk reports an
// error. A folder that cannot be opened for reading (write and search rights
// only) or a file system that cannot sync folders (EINVAL) keeps its entries as
// well as it can: the rename still never leaves a part of a file.
bool SyncFolder(const std::string& folder)
{
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return true;
    const bool synced = fsync(descriptor) == 0 || errno == EINVAL;
    close(descriptor);
    return synced;
}

// A new file beside `path`, never an existing one or a link.
int CreateTemporaryFile(const std::string& path, std::string& temporaryPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = path + "." + std::to_string(getpid()) + "." + std::to_string(attempt);
        const int descriptor =
            open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    while (bytes.size() < maxBytes) {
        const std::size_t wanted = std::min(sizeof buffer, maxBytes - bytes.size());
        const ssize_t count = read(descriptor, buffer, wanted);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            close(descriptor);
            return std::nullopt;
        }
        if (count == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    close(descriptor);
    return bytes;
}

std::string ReadFirstLine(const std::string& path, std::size_t maxBytes)
{
    std::string line = ReadRegularFile(path, maxBytes).value_or("");
    line.resize(std::min(line.size(), line.find('\n')));
    // CR LF ends a line as LF does.
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

FileWriteResult CreateFreshFile(const std::string& path, const std::string& bytes)
{
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        return FileWriteResult::NotOpened;
    const int descriptor =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return FileWriteResult::NotOpened;
    if (!WriteAndClose(descriptor, bytes, false))
        return FileWriteResult::WriteFailed;
    return FileWriteResult::Written;
}

FileWriteResult ReplaceFile(const std::string& path, const std::string& bytes)
{
    std::string temporaryPath;
    const int descriptor = CreateTemporaryFile(path, temporaryPath);
    if (descriptor < 0)
        return FileWriteResult::NotOpened;
    const std::string folder = FolderOf(path);
    if (!WriteAndClose(descriptor, bytes, true) || !SyncFolder(folder)) {
        unlink(temporaryPath.c_str());
        return FileWriteResult::WriteFailed;
    }
    // The name is taken by something that cannot be replaced, such as a folder.
    if (rename(temporaryPath.c_str(), path.c_str()) != 0) {
        unlink(temporaryPath.c_str());
        return FileWriteResult::NotOpened;
    }
    // The new file is in place; a failed sync here cannot be undone.
    SyncFolder(folder);
    return FileWriteResult::Written;
}

bool RemoveFile(const std::string& path)
{
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}
