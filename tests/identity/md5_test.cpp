#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <cstdio>
#include <random>
#include <ostream>
#include <string>

#include "identity/md5.h"
#include "platform/message_pump.h"
#include "tests/support/rfc1321_suite.h"

namespace {

std::string Digest(const std::string& text)
{
    CMD5 md5;
    EXPECT_TRUE(md5.DigestString(text.c_str()));
    const char* digest = md5.GetDigestText();
    return digest ? digest : "(none)";
}

std::string OpenSslDigest(const std::string& text)
{
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(text.data(), text.size(), bytes, &length, EVP_md5(), nullptr);
    std::string hex;
    char pair[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        hex += pair;
    }
    return hex;
}

class Rfc1321Suite : public testing::TestWithParam<Rfc1321Case> {};

TEST_P(Rfc1321Suite, GivesTheSuiteDigestInLowerCase)
{
    EXPECT_EQ(Digest(GetParam().text), GetParam().digest);
}

INSTANTIATE_TEST_SUITE_P(Md5, Rfc1321Suite, testing::ValuesIn(kRfc1321Suite));

// Around the padding boundary: 56 to 63 bytes need an extra block.
class PaddingBoundary : public testing::TestWithParam<int> {};

TEST_P(PaddingBoundary, MatchesOpenSsl)
{
    const std::string text(static_cast<std::size_t>(GetParam()), 'q');
    EXPECT_EQ(Digest(text), OpenSslDigest(text));
}

INSTANTIATE_TEST_SUITE_P(Md5, PaddingBoundary, testing::Values(55, 56, 63, 64, 65, 119, 120, 128));

TEST(Md5, RandomTextsMatchOpenSsl)
{
    std::mt19937 generator(20140927);
    std::uniform_int_distribution<int> length(0, 300);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int round = 0; round < 3000; ++round) {
        std::string text(static_cast<std::size_t>(length(generator)), '\0');
        for (char& c : text)
            c = static_cast<char>(byte(generator));
        ASSERT_EQ(Digest(text), OpenSslDigest(text)) << "length " << text.size();
    }
}

TEST(Md5, FreshObjectHasNoDigestText)
{
    CMD5 md5;
    EXPECT_EQ(md5.GetDigestText(), nullptr);
}

TEST(Md5, SecondDigestStartsOver)
{
    CMD5 md5;
    md5.DigestString("first text");
    md5.DigestString("abc");
    EXPECT_STREQ(md5.GetDigestText(), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, TextEndsAtItsTerminator)
{
    EXPECT_EQ(Digest(std::string("abc\0def", 7)), "900150983cd24fb0d6963f7d28e17f72");
}

int g_pumpRuns = 0;

void CountPumpRun()
{
    ++g_pumpRuns;
}

class PumpPerBlock : public testing::TestWithParam<std::pair<int, int>> {
protected:
    void SetUp() override
    {
        g_pumpRuns = 0;
        SetMessagePump(CountPumpRun);
    }
    void TearDown() override { SetMessagePump(nullptr); }
};

TEST_P(PumpPerBlock, RunsOnceBeforeEachBlock)
{
    const auto [length, blocks] = GetParam();
    CMD5 md5;
    md5.DigestString(std::string(static_cast<std::size_t>(length), 'x').c_str());
    EXPECT_EQ(g_pumpRuns, blocks);
}

INSTANTIATE_TEST_SUITE_P(Md5, PumpPerBlock,
                         testing::Values(std::pair{0, 1}, std::pair{55, 1}, std::pair{56, 2}, std::pair{63, 2},
                                         std::pair{64, 2}, std::pair{119, 2}, std::pair{120, 3},
                                         std::pair{1000, 16}));

}
