#include "config/config_file.h"

#include "config/config_text.h"
#include "config/profile_reader.h"
#include "launch/launch_state.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "platform/working_file.h"

#include <cerrno>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

std::u16string ReadConfigValue(const ConfigFile& file, const char16_t* key,
                               const char16_t* defaultValue)
{
    return ReadProfileString(file.text, ConfigText::kSection, key, defaultValue);
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

ConfigFile ReadConfigFile(const std::u16string& path)
{
    ConfigFile file;
    file.path = path;
    // A file that cannot be read reads like one without the section.
    file.text = ToWide(ReadRegularFile(ToNarrow(file.path), kSettingsFileBound).value_or(""));
    return file;
}

std::u16string ReadServerSetting(const ConfigFile& file)
{
    return ReadConfigValue(file, ConfigText::kHttpServerKey, ConfigText::kServerProbeDefault);
}

bool ReadLaunchSettings(const ConfigFile& file)
{
    const std::u16string& path = file.path;

    const std::u16string server =
        ReadConfigValue(file, ConfigText::kHttpServerKey, ConfigText::kHttpServerDefault);
    if (server.empty()) {
        ShowMessageBox(MissingFileMessage(path));
        return false;
    }
    LaunchState.HttpServer = server;

    // Only whether Para is empty matters.
    if (ReadConfigValue(file, ConfigText::kParaKey, ConfigText::kParaDefault).empty()) {
        ShowMessageBox(MissingFileMessage(path));
        return false;
    }

    const std::u16string port = ReadConfigValue(file, ConfigText::kPortKey, ConfigText::kPortDefault);
    if (port.empty()) {
        ShowMessageBox(MissingKeyMessage(ConfigText::kPortKey, path));
        return false;
    }
    LaunchState.Port = port;

    const std::u16string pathValue =
        ReadConfigValue(file, ConfigText::kPathKey, ConfigText::kPathDefault);
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
    switch (ReplaceFile(ToNarrow(ConfigText::kFileName), *text)) {
    case FileWriteResult::Written:
        return WriteConfigResult::Written;
    case FileWriteResult::NotOpened:
        return WriteConfigResult::NotOpened;
    case FileWriteResult::WriteFailed:
        break;
    }
    return WriteConfigResult::WriteFailed;
}
