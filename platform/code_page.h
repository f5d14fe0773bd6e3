#pragma once

#include <string>

// The crossings between the program's UTF-16 text and the 8-bit text of the
// system code page (the codeset of the user's locale: GBK under zh_CN.GBK,
// UTF-8 under the usual locales). Characters the code page lacks become '?'.
std::string ToNarrow(const std::u16string& text);
std::u16string ToWide(const std::string& text);
