#pragma once

#include <string>

// 32 upper-case hexadecimal digits of the MD5 of `bytes` up to their first NUL.
std::u16string Md5HexOfBytes(const std::string& bytes);

// The same of `text` in the system code page.
std::u16string Md5Hex(const std::u16string& text);
