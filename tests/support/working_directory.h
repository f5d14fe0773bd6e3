#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

#include <stdlib.h>

// A fresh temporary directory made the current directory for the life of the
// object; the previous current directory is restored and the folder removed
// afterwards.
class TemporaryWorkingDirectory {
public:
    TemporaryWorkingDirectory() : m_previous(std::filesystem::current_path())
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vantor-config-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary directory");
        m_path = pattern;
        std::filesystem::current_path(m_path);
    }

    ~TemporaryWorkingDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }

    TemporaryWorkingDirectory(const TemporaryWorkingDirectory&) = delete;
    TemporaryWorkingDirectory& operator=(const TemporaryWorkingDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The file's bytes, or nothing when it does not exist.
inline std::optional<std::string> ReadBytes(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

// The names in `folder`, sorted.
inline std::set<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}
