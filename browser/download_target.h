#pragma once

#include <string>

// Where the save dialog proposes to put a download: the name the download
// suggests (never a path of its own), in the user's download folder.
std::string ProposedDownloadPath(const std::string& downloadFolder,
                                 const std::string& suggestedName);
