#include "platform/address_syntax.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct AddressCase {
    const char* name;
    std::string text;
    bool ipv4;
    bool ipv6;
};

// Test names carry the case; gtest need not dump its bytes.
void PrintTo(const AddressCase& c, std::ostream* out)
{
    *out << c.name;
}

class AddressSyntaxTest : public testing::TestWithParam<AddressCase> {};

TEST_P(AddressSyntaxTest, TellsIpAddressesFromOtherText)
{
    EXPECT_EQ(IsIpv4Address(GetParam().text), GetParam().ipv4);
    EXPECT_EQ(IsIpv6Address(GetParam().text), GetParam().ipv6);
}

const AddressCase kCases[] = {
    {"Ipv4", "192.168.0.1", true, false},
    {"Ipv4Extremes", "0.0.0.255", true, false},
    {"Ipv4PartOver255", "192.168.0.256", false, false},
    {"Ipv4FourDigits", "192.168.0.0001", false, false},
    {"Ipv4ThreeParts", "192.168.1", false, false},
    {"Ipv4FiveParts", "1.2.3.4.5", false, false},
    {"Ipv4EmptyPart", "1..3.4", false, false},
    {"Ipv4Sign", "1.2.3.+4", false, false},
    {"Ipv6Full", "2001:0db8:0000:0000:0000:ff00:0042:8329", false, true},
    {"Ipv6Loopback", "::1", false, true},
    {"Ipv6Unspecified", "::", false, true},
    {"Ipv6CompressedEnd", "fe80::", false, true},
    {"Ipv6CompressedMiddle", "2001:db8::ff00:42:8329", false, true},
    {"Ipv6SevenGroupsAndCompression", "1:2:3:4:5:6:7::", false, true},
    {"Ipv6WithIpv4", "::ffff:192.0.2.128", false, true},
    {"Ipv6SixGroupsAndIpv4", "1:2:3:4:5:6:192.0.2.128", false, true},
    {"Ipv6SevenGroups", "1:2:3:4:5:6:7", false, false},
    {"Ipv6NineGroups", "1:2:3:4:5:6:7:8:9", false, false},
    {"Ipv6EightGroupsAndCompression", "1:2:3:4:5:6:7:8::", false, false},
    {"Ipv6TwoCompressions", "1::2::3", false, false},
    {"Ipv6TripleColon", ":::1", false, false},
    {"Ipv6LeadingColon", ":1:2:3:4:5:6:7", false, false},
    {"Ipv6TrailingColon", "1:2:3:4:5:6:7:", false, false},
    {"Ipv6GroupOfFive", "12345::1", false, false},
    {"Ipv6NotHex", "::g", false, false},
    {"Ipv6Ipv4NotLast", "::1.2.3.4:1", false, false},
    {"Ipv6BadIpv4", "::1.2.3.256", false, false},
    {"Ipv6Zone", "fe80::1%eth0", false, false},
    {"Ipv6InBrackets", "[::1]", false, false},
    {"Empty", "", false, false},
};

INSTANTIATE_TEST_SUITE_P(Texts, AddressSyntaxTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}
