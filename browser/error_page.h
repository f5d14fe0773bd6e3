#pragma once

#include <cstddef>
#include <string>

// Chromium's code for a load that was cancelled, by a new navigation or by a
// download taking over: it leaves the page as it was.
inline constexpr int kErrAborted = -3;

bool LoadErrorShowsPage(int errorCode);

// '&', '<', '>', '"' and '\'' as character references; everything else,
// UTF-8 included, as it stands.
std::string EscapeHtmlText(const std::string& text);

// How much of a failed URL the error page shows: the page must stay well
// within what the engine accepts from setHtml (2 MB once percent-encoded).
inline constexpr std::size_t kErrorPageUrlCharacters = 2000;

// The page that replaces a failed load. The URL and the error text are UTF-8
// and shown as text, never as markup; a URL longer than
// kErrorPageUrlCharacters characters shows its start followed by "…".
std::string ComposeErrorPage(const std::string& failedUrl, const std::string& errorText,
                             int errorCode);
