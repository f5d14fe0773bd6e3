#pragma once

#include <string>

// Where the save dialog proposes to put a download: the name the download
// suggests (never a path of its own), in the user's download folder.
std::string ProposedDownloadPath(const std::string& downloadFolder,
                                 const std::string& suggestedName);

// The folder the save dialog opens in: the user's download folder, or the
// home folder when that does not exist; never the working folder.
std::string ProposedDownloadFolder(const std::string& downloadFolder, bool downloadFolderExists,
                                   const std::string& homeFolder);
