#pragma once

#include <string>

// Full path of "QLX32-bs.ini" in the current directory.
std::u16string GetConfigFilePath();

// The HttpServer entry; empty when the file, section or key is missing or the
// value is blank. Shows nothing.
std::u16string ReadServerSetting(const std::u16string& path);

// Fills LaunchState.HttpServer, Port and Path; on an empty entry shows its
// message and returns false.
bool ReadLaunchSettings();

enum class WriteConfigResult {
    Written,
    NotOpened,    // the file could not be created; nothing was written
    WriteFailed,  // the text could not be written; the old file stays as it was
};

// Replaces "QLX32-bs.ini" in the current directory with the provisioning text
// for `host`, whole or not at all.
WriteConfigResult WriteConfigFile(const std::u16string& host);
