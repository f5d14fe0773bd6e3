#include "identity/identity_sources_linux.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "identity/hardware_queries_linux.h"
#include "identity/identity_values.h"
#include "platform/code_page.h"
#include "platform/working_file.h"

namespace {

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

// The system folders this PC's identity is read from.
constexpr char kSysfsFolder[] = "/sys";
constexpr char kEtcFolder[] = "/etc";
constexpr char kRootFolder[] = "/";

std::string ReadSystemFile(const std::string& path)
{
    return ReadRegularFile(path, kSystemFileBound).value_or("");
}

LocalTime ToLocalTime(std::time_t seconds, long nanoseconds)
{
    std::tm parts{};
    if (!localtime_r(&seconds, &parts))
        return {};
    LocalTime time;
    time.year = parts.tm_year + 1900;
    time.month = parts.tm_mon + 1;
    time.day = parts.tm_mday;
    time.hour = parts.tm_hour;
    time.minute = parts.tm_min;
    time.second = parts.tm_sec;
    time.millisecond = static_cast<int>(nanoseconds / 1000000);
    return time;
}

}

std::string ReadUserName()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 1024);
    passwd entry{};
    passwd* found = nullptr;
    while (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE)
        buffer.resize(buffer.size() * 2);
    return found && found->pw_name ? found->pw_name : "";
}

std::optional<std::string> ReadHostName()
{
    const long maxLength = sysconf(_SC_HOST_NAME_MAX);
    std::vector<char> buffer(maxLength > 0 ? static_cast<std::size_t>(maxLength) + 1 : 256, '\0');
    if (gethostname(buffer.data(), buffer.size() - 1) != 0)
        return std::nullopt;
    return std::string(buffer.data());
}

std::string ReadResolverConfig(const std::string& etcFolder)
{
    return ReadSystemFile(JoinPath(etcFolder, "resolv.conf"));
}

std::string ReadHardwareProfileGuid(const std::string& rootFolder)
{
    for (const char* file : {"etc/machine-id", "var/lib/dbus/machine-id"}) {
        const std::string guid = FormatMachineIdAsGuid(ReadSystemFile(JoinPath(rootFolder, file)));
        if (!guid.empty())
            return guid;
    }
    return {};
}

LocalTime ReadLocalTime()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return ToLocalTime(now.tv_sec, now.tv_nsec);
}

LocalTime ReadCreationTime(const std::string& path)
{
    struct statx status {};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &status) != 0)
        return ToLocalTime(0, 0);
    const statx_timestamp& created = (status.stx_mask & STATX_BTIME) ? status.stx_btime : status.stx_mtime;
    return ToLocalTime(static_cast<std::time_t>(created.tv_sec), 0);
}

void UseSystemCodePageAndFiles(IdentitySources& sources)
{
    sources.toWide = ToWide;
    sources.toNarrow = ToNarrow;
    sources.readFirstLine = [](const std::string& path) { return ReadFirstLine(path, kFirstLineBound); };
    sources.replaceFile = [](const std::string& path, const std::string& bytes) { ReplaceFile(path, bytes); };
}

IdentitySources LinuxIdentitySources()
{
    IdentitySources sources;
    sources.userName = ReadUserName;
    sources.hostName = ReadHostName;
    sources.resolverConfig = [] { return ReadResolverConfig(kEtcFolder); };
    sources.hardwareProfileGuid = [] { return ReadHardwareProfileGuid(kRootFolder); };
    sources.listAdapters = [] { return ListNetworkAdapters(kSysfsFolder); };
    sources.listDisks = [] { return ListDisks(kSysfsFolder); };
    sources.now = ReadLocalTime;
    sources.creationTime = ReadCreationTime;
    UseSystemCodePageAndFiles(sources);
    return sources;
}
