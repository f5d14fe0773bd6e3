#pragma once

#include <string>

// The text with the hexadecimal digits a-f upper-cased, whatever the locale.
std::string UpperCaseHex(std::string text);

// 32 upper-case hexadecimal digits of the MD5 of `bytes` up to their first NUL.
std::u16string Md5HexOfBytes(const std::string& bytes);

// The same of `text` in the system code page.
std::u16string Md5Hex(const std::u16string& text);
