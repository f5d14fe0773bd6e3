#include "platform/curl_library.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct LibraryCase {
    const char* name;
    const char* fileName;
    bool opens;
};

class CurlLibraryTest : public testing::TestWithParam<LibraryCase> {};

TEST_P(CurlLibraryTest, OpensOnlyALibraryWithEveryFunction)
{
    EXPECT_EQ(OpenCurlLibrary(GetParam().fileName).has_value(), GetParam().opens);
}

const LibraryCase kCases[] = {
    {"Libcurl", "libcurl.so.4", true},
    {"Missing", "libvantor-missing.so.1", false},
    // Loads, but holds none of curl's functions.
    {"AnotherLibrary", "libz.so.1", false},
};

INSTANTIATE_TEST_SUITE_P(Files, CurlLibraryTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<LibraryCase>& info) {
                             return std::string(info.param.name);
                         });

// The name the exchange loads is the one this system's libcurl has.
TEST(CurlLibraryLoadTest, ProgramsLibraryLoads)
{
    EXPECT_NE(LoadCurlLibrary(), nullptr);
}

}
