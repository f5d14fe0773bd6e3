#include "config/config_file.h"

#include "app/launch_state.h"
#include "config/config_text.h"
#include "config/profile_reader.h"
#include "identity/conversions.h"
#include "platform/message_box.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

// The whole file decoded from the system code page; empty when it cannot be
// read, which the reader treats like a file without the section.
std::u16string ReadProfileText(const std::u16string& path)
{
    const int fd = open(ToNarrow(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count > 0) {
            bytes.append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            break;
        }
    }
    close(fd);
    return ToWide(bytes);
}

std::u16string ReadConfigValue(const std::u16string& path, const char16_t* key,
                               const char16_t* defaultValue)
{
    return ReadProfileString(ReadProfileText(path), ConfigText::kSection, key, defaultValue);
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += static_cast<std::size_t>(count);
    }
    return true;
}

// A new file beside the configuration file, created with the usual permissions
// (0666 less the umask) so that the renamed file looks like one written in place.
int CreateTemporaryFile(std::string& name)
{
    const std::string base = ToNarrow(ConfigText::kFileName) + "." + std::to_string(getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + std::to_string(attempt);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}

std::u16string GetConfigFilePath()
{
    std::string directory(256, '\0');
    while (getcwd(directory.data(), directory.size()) == nullptr) {
        // Without a directory name the bare file name still resolves to the same file.
        if (errno != ERANGE)
            return ConfigText::kFileName;
        directory.resize(directory.size() * 2);
    }
    directory.resize(directory.find('\0'));
    return ToWide(directory) + u"/" + ConfigText::kFileName;
}

std::u16string ReadServerSetting(const std::u16string& path)
{
    return ReadConfigValue(path, ConfigText::kHttpServerKey, ConfigText::kServerProbeDefault);
}

bool ReadLaunchSettings()
{
    const std::u16string path = GetConfigFilePath();

    const std::u16string server =
        ReadConfigValue(path, ConfigText::kHttpServerKey, ConfigText::kHttpServerDefault);
    if (server.empty()) {
        ShowMessageBox(MissingFileMessage(path));
        return false;
    }
    LaunchState.HttpServer = server;

    // Only whether Para is empty matters.
    if (ReadConfigValue(path, ConfigText::kParaKey, ConfigText::kParaDefault).empty()) {
        ShowMessageBox(MissingFileMessage(path));
        return false;
    }

    const std::u16string port =
        ReadConfigValue(path, ConfigText::kPortKey, ConfigText::kPortDefault);
    if (port.empty()) {
        ShowMessageBox(MissingKeyMessage(ConfigText::kPortKey, path));
        return false;
    }
    LaunchState.Port = port;

    const std::u16string pathValue =
        ReadConfigValue(path, ConfigText::kPathKey, ConfigText::kPathDefault);
    if (pathValue.empty()) {
        ShowMessageBox(MissingKeyMessage(ConfigText::kPathKey, path));
        return false;
    }
    LaunchState.Path = pathValue;
    return true;
}

WriteConfigResult WriteConfigFile(const std::u16string& host)
{
    const std::optional<std::string> text = ComposeConfigText(host);
    if (!text)
        return WriteConfigResult::WriteFailed;

    // Written beside the file and renamed over it, so that a full disk or a
    // crash leaves the old file or none, never part of the new one.
    std::string temporaryName;
    const int fd = CreateTemporaryFile(temporaryName);
    if (fd < 0)
        return WriteConfigResult::NotOpened;
    const bool written = WriteAll(fd, *text) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed) {
        unlink(temporaryName.c_str());
        return WriteConfigResult::WriteFailed;
    }
    // The name is taken by something that cannot be replaced, such as a folder.
    if (rename(temporaryName.c_str(), ToNarrow(ConfigText::kFileName).c_str()) != 0) {
        unlink(temporaryName.c_str());
        return WriteConfigResult::NotOpened;
    }
    return WriteConfigResult::Written;
}
