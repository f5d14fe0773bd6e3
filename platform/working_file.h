#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The one way the program reads and writes its files: the configuration file,
// "key.json" and "qlx.ico" in the working folder, and the small system files
// the identity is read from. Nothing here follows a link it writes through,
// blocks on a pipe or reads without a bound.

// Bounds for the files the program reads.
inline constexpr std::size_t kSettingsFileBound = 1024 * 1024;  // the INI, key.json
inline constexpr std::size_t kFirstLineBound = 4 * 1024;        // qlx.ico
inline constexpr std::size_t kSystemFileBound = 64 * 1024;      // sysfs, /etc

// At most `maxBytes` of a regular file, following links to it. Nothing when
// there is no such file or it cannot be read; a pipe, device or folder counts
// as no file, and opening one never blocks.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes);

// The first line of the file's first `maxBytes` without its line end (LF or
// CR LF); empty when the file cannot be read.
std::string ReadFirstLine(const std::string& path, std::size_t maxBytes);

enum class FileWriteResult {
    Written,
    NotOpened,    // the file could not be created or put in place; nothing changed
    WriteFailed,  // the bytes could not be written; nothing changed
};

// Creates the file anew with exactly `bytes`. Whatever stands at `path`, a
// link included, is removed first and never written through.
FileWriteResult CreateFreshFile(const std::string& path, const std::string& bytes);

// Replaces the file with exactly `bytes` through a new file beside it, synced
// to the disk with its folder before and after the rename, so that a crash or
// power cut leaves the old file or the new one, never a part. The new file
// takes the usual permissions (0666 less the umask).
FileWriteResult ReplaceFile(const std::string& path, const std::string& bytes);

// Removes the file; true when it is gone, also when there was none.
bool RemoveFile(const std::string& path);
