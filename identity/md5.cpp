#include "identity/md5.h"

#include <cstdio>
#include <cstring>

#include "platform/message_pump.h"

namespace {

constexpr std::uint32_t kInitialState[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

// Per-round shift amounts and the sine-derived constants of RFC 1321.
constexpr int kShifts[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21,
};

constexpr std::uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

std::uint32_t RotateLeft(std::uint32_t value, int count)
{
    return value << count | value >> (32 - count);
}

}

bool CMD5::DigestString(const char* text)
{
    StartDigest();
    TakeBytes(reinterpret_cast<const unsigned char*>(text), std::strlen(text));
    FinishDigest();
    return true;
}

const char* CMD5::GetDigestText() const
{
    return m_bReady ? m_szDigestText : nullptr;
}

void CMD5::StartDigest()
{
    std::memcpy(m_state, kInitialState, sizeof m_state);
    m_nByteCount = 0;
    m_bReady = true;
    m_szDigestText[0] = '\0';
}

void CMD5::TakeBytes(const unsigned char* bytes, std::uint64_t count)
{
    for (std::uint64_t i = 0; i < count; ++i) {
        m_block[m_nByteCount % 64] = bytes[i];
        ++m_nByteCount;
        if (m_nByteCount % 64 == 0)
            TransformBlock();
    }
}

void CMD5::FinishDigest()
{
    const std::uint64_t bitCount = m_nByteCount * 8;
    static const unsigned char kPadding = 0x80;
    static const unsigned char kZero = 0;
    TakeBytes(&kPadding, 1);
    while (m_nByteCount % 64 != 56)
        TakeBytes(&kZero, 1);
    unsigned char length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<unsigned char>(bitCount >> (8 * i));
    TakeBytes(length, sizeof length);

    for (int word = 0; word < 4; ++word) {
        const std::uint32_t value = m_state[word];
        const std::uint32_t swapped = (value & 0xff) << 24 | (value & 0xff00) << 8 |
                                      (value >> 8 & 0xff00) | value >> 24;
        std::snprintf(m_szDigestText + 8 * word, 9, "%08x", static_cast<unsigned>(swapped));
    }
}

void CMD5::TransformBlock()
{
    PumpMessages();

    std::uint32_t words[16];
    for (int i = 0; i < 16; ++i)
        words[i] = std::uint32_t{m_block[4 * i]} | std::uint32_t{m_block[4 * i + 1]} << 8 |
                   std::uint32_t{m_block[4 * i + 2]} << 16 | std::uint32_t{m_block[4 * i + 3]} << 24;

    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int step = 0; step < 64; ++step) {
        std::uint32_t mixed;
        int wordIndex;
        if (step < 16) {
            mixed = (b & c) | (~b & d);
            wordIndex = step;
        } else if (step < 32) {
            mixed = (d & b) | (~d & c);
            wordIndex = (5 * step + 1) % 16;
        } else if (step < 48) {
            mixed = b ^ c ^ d;
            wordIndex = (3 * step + 5) % 16;
        } else {
            mixed = c ^ (b | ~d);
            wordIndex = (7 * step) % 16;
        }
        const std::uint32_t rotated = RotateLeft(a + mixed + kSines[step] + words[wordIndex], kShifts[step]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}
