#include "browser/download_target.h"

namespace {

constexpr char kUnnamedDownload[] = "download";

std::string BaseName(const std::string& name)
{
    const std::string::size_type slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}

std::string ProposedDownloadPath(const std::string& downloadFolder,
                                 const std::string& suggestedName)
{
    std::string name = BaseName(suggestedName);
    if (name.empty() || name == "." || name == "..")
        name = kUnnamedDownload;
    if (downloadFolder.empty())
        return name;
    if (downloadFolder.back() == '/')
        return downloadFolder + name;
    return downloadFolder + "/" + name;
}

std::string ProposedDownloadFolder(const std::string& downloadFolder, bool downloadFolderExists,
                                   const std::string& homeFolder)
{
    if (downloadFolder.empty() || !downloadFolderExists)
        return homeFolder;
    return downloadFolder;
}
