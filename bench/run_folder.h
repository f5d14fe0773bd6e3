#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A temporary folder for one start, removed with this object: a fresh home,
// cache, configuration, data and runtime folder, so every start is a first
// start of a new user and the real user's files stay untouched, and an office
// folder to start the launcher in.
class RunFolder {
public:
    RunFolder();
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    bool Created() const;
    const std::filesystem::path& Root() const;
    std::filesystem::path Office() const;

    // This process's environment with HOME and the XDG folders moved here,
    // a UTF-8 locale and no proxy.
    std::vector<std::string> Environment() const;

    // QLX32-bs.ini in the office folder, naming the site server on 127.0.0.1.
    bool WriteConfiguration(int port) const;

private:
    std::filesystem::path m_root;
};
