#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// A folder of its own under the system's temporary folder, removed with all
// its content at the end of the test.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantor-identity-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // Writes a file below the folder, creating the folders on the way.
    void write(const std::string& relativePath, const std::string& content) const
    {
        const std::filesystem::path file = m_path / relativePath;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

private:
    std::filesystem::path m_path;
};
