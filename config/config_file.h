#pragma once

#include <string>

// Full path of "QLX32-bs.ini" in the current directory.
std::u16string GetConfigFilePath();

// The configuration file as one start reads it: its path and its text, read
// once and decoded from the system code page. The text is empty when the file
// is missing, is not a regular file or cannot be read; only its first 1 MiB is
// read, and a larger file is never rewritten for its size.
struct ConfigFile {
    std::u16string path;
    std::u16string text;
};

ConfigFile ReadConfigFile(const std::u16string& path);

// The HttpServer entry; empty when the section or key is missing or the value
// is blank. Shows nothing.
std::u16string ReadServerSetting(const ConfigFile& file);

// Fills LaunchState.HttpServer, Port and Path; on an empty entry shows its
// message and returns false.
bool ReadLaunchSettings(const ConfigFile& file);

enum class WriteConfigResult {
    Written,
    NotOpened,    // the file could not be created; nothing was written
    WriteFailed,  // the text could not be written; the old file stays as it was
};

// Replaces "QLX32-bs.ini" in the current directory with the provisioning text
// for `host`, whole or not at all.
WriteConfigResult WriteConfigFile(const std::u16string& host);
