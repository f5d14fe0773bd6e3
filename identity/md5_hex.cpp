#include "identity/md5_hex.h"

#include "identity/md5.h"

std::string UpperCaseHex(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::u16string Md5HexOfBytes(const std::string& bytes)
{
    CMD5 md5;
    md5.DigestString(bytes.c_str());
    const std::string hex = UpperCaseHex(md5.GetDigestText());
    return std::u16string(hex.begin(), hex.end());
}
