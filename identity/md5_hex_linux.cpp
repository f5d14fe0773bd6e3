#include "identity/md5_hex.h"

#include "platform/code_page.h"

std::u16string Md5Hex(const std::u16string& text)
{
    return Md5HexOfBytes(ToNarrow(text));
}
