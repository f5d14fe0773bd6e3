#include "identity/md5_hex.h"

#include "identity/md5.h"

std::u16string Md5HexOfBytes(const std::string& bytes)
{
    CMD5 md5;
    md5.DigestString(bytes.c_str());
    std::u16string hex;
    for (const char* digit = md5.GetDigestText(); *digit != '\0'; ++digit)
        hex.push_back(*digit >= 'a' && *digit <= 'f' ? static_cast<char16_t>(*digit - 'a' + 'A')
                                                     : static_cast<char16_t>(*digit));
    return hex;
}
