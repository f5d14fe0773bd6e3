#pragma once

#include <cstdint>

// One MD5 digest (RFC 1321) of one text. Pending window events are handed to
// the application before every 64-byte block, so a long text never freezes
// the UI thread.
class CMD5 {
public:
    CMD5() = default;
    CMD5(const CMD5&) = delete;
    CMD5& operator=(const CMD5&) = delete;

    // Digests the bytes of `text` up to its terminator; starts over each time.
    bool DigestString(const char* text);

    // 32 lower-case hexadecimal digits, or nullptr before the first digest.
    const char* GetDigestText() const;

private:
    void StartDigest();
    void TakeBytes(const unsigned char* bytes, std::uint64_t count);
    void FinishDigest();
    void TransformBlock();

    std::uint32_t m_state[4] = {};
    unsigned char m_block[64] = {};
    std::uint64_t m_nByteCount = 0;
    bool m_bReady = false;
    char m_szDigestText[33] = {};
};
