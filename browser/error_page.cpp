#include "browser/error_page.h"

namespace {

// `url` (UTF-8) cut after its first kErrorPageUrlCharacters characters and
// followed by "…"; shorter text as it stands.
std::string ShortenUrlText(const std::string& url)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < url.size(); ++i) {
        // A UTF-8 continuation byte belongs to the character before it.
        const bool startsCharacter = (static_cast<unsigned char>(url[i]) & 0xC0) != 0x80;
        if (startsCharacter && ++characters > kErrorPageUrlCharacters)
            return url.substr(0, i) + "\xE2\x80\xA6";  // "…"
    }
    return url;
}

}

bool LoadErrorShowsPage(int errorCode)
{
    return errorCode != kErrAborted;
}

std::string EscapeHtmlText(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

std::string ComposeErrorPage(const std::string& failedUrl, const std::string& errorText,
                             int errorCode)
{
    return "<html><body bgcolor=\"white\"><h2>Failed to load URL " +
           EscapeHtmlText(ShortenUrlText(failedUrl)) +
           " with error " + EscapeHtmlText(errorText) + " (" + std::to_string(errorCode) +
           ").</h2></body></html>";
}
