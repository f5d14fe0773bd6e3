#pragma once

#include <string>

// The first line of the file without its line end; empty when the file
// cannot be read.
std::string ReadFirstLine(const std::string& path);

// Replaces the file with exactly `bytes` through a temporary file in the same
// folder, so readers see either the old or the new content, never a part.
bool ReplaceFile(const std::string& path, const std::string& bytes);
