#include "bench/run_folder.h"

#include <stdlib.h>

#include <fstream>
#include <set>

extern char** environ;

namespace {

const char* const kFolders[][2] = {
    {"HOME", "home"},
    {"XDG_CACHE_HOME", "cache"},
    {"XDG_CONFIG_HOME", "config"},
    {"XDG_DATA_HOME", "data"},
    {"XDG_RUNTIME_DIR", "runtime"},
};

const std::set<std::string> kReplacedVariables = {
    "HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR",
    "LANG", "LANGUAGE", "LC_ALL", "http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY",
    "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"};

}

RunFolder::RunFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vantor-startup-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return;
    m_root = pattern;
    std::error_code error;
    for (const auto& [variable, folder] : kFolders)
        std::filesystem::create_directory(m_root / folder, error);
    std::filesystem::create_directory(Office(), error);
    std::filesystem::permissions(m_root / "runtime", std::filesystem::perms::owner_all, error);
}

RunFolder::~RunFolder()
{
    std::error_code error;
    if (!m_root.empty())
        std::filesystem::remove_all(m_root, error);
}

bool RunFolder::Created() const
{
    return !m_root.empty();
}

const std::filesystem::path& RunFolder::Root() const
{
    return m_root;
}

std::filesystem::path RunFolder::Office() const
{
    return m_root / "office";
}

std::vector<std::string> RunFolder::Environment() const
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (!kReplacedVariables.count(text.substr(0, text.find('='))))
            environment.push_back(text);
    }
    for (const auto& [variable, folder] : kFolders)
        environment.push_back(std::string(variable) + "=" + (m_root / folder).string());
    environment.push_back("LANG=C.UTF-8");
    return environment;
}

bool RunFolder::WriteConfiguration(int port) const
{
    std::ofstream file(Office() / "QLX32-bs.ini", std::ios::binary);
    file << "[QLXBSINFO]\r\nHttpServer=127.0.0.1\r\nPort=" << port
         << "\r\nPath=/Account/LogOn\r\nPara=--disable-plugins\r\nBrowserPath=";
    return static_cast<bool>(file.flush());
}
