#pragma once

#include <string>

// Chromium's code for a load that was cancelled, by a new navigation or by a
// download taking over: it leaves the page as it was.
inline constexpr int kErrAborted = -3;

bool LoadErrorShowsPage(int errorCode);

// '&', '<', '>', '"' and '\'' as character references; everything else,
// UTF-8 included, as it stands.
std::string EscapeHtmlText(const std::string& text);

// The page that replaces a failed load. The URL and the error text are
// UTF-8 and shown as text, never as markup.
std::string ComposeErrorPage(const std::string& failedUrl, const std::string& errorText,
                             int errorCode);
