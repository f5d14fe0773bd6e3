#pragma once

#include <optional>
#include <string>

// The texts of "QLX32-bs.ini": its name, section, keys and defaults, the text
// provisioning writes, and the messages shown when an entry is empty.
namespace ConfigText {

inline constexpr char16_t kFileName[] = u"QLX32-bs.ini";
inline constexpr char16_t kSection[] = u"QLXBSINFO";

inline constexpr char16_t kHttpServerKey[] = u"HttpServer";
inline constexpr char16_t kPortKey[] = u"Port";
inline constexpr char16_t kPathKey[] = u"Path";
inline constexpr char16_t kParaKey[] = u"Para";

// The single blank reads back as nothing, so start-up sees a missing server as
// an empty one. The other defaults are never empty: they surface in the report
// address and make the fault visible there.
inline constexpr char16_t kServerProbeDefault[] = u" ";
inline constexpr char16_t kHttpServerDefault[] = u"Bogus Value: Get webUrl didn't work";
inline constexpr char16_t kPortDefault[] = u"Bogus Value: Get Port didn't work";
inline constexpr char16_t kPathDefault[] = u"Bogus Value: Get Path didn't work";
inline constexpr char16_t kParaDefault[] = u"--normal";

}

// The file provisioning writes for `host`: six lines with CR LF between them
// and none after the last, one byte per character. Nothing when the host holds
// a character above 0xFF, which has no single byte, or a line break or NUL,
// which would break the line it stands on.
std::optional<std::string> ComposeConfigText(const std::u16string& host);

// Shown when HttpServer or Para is empty.
std::u16string MissingFileMessage(const std::u16string& path);

// Shown when Port or Path is empty; `key` is the entry's name.
std::u16string MissingKeyMessage(const std::u16string& key, const std::u16string& path);
