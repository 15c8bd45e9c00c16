#include "Checks.h"
#include "LocalAddressList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct Case {
    std::string text;
    bool passes;
};

std::string show(const std::string& text) { return "\"" + text + "\""; }

TEST(SharedChecks, HostAddress)
{
    const Case cases[] = {
        {"192.168.0.1", true},
        {"1.0.0.0", true},
        {"223.255.255.254", true},
        {"010.0.0.1", true},  // leading zeros still read as decimal
        {"127.0.0.1", false},
        {"224.0.0.1", false},
        {"0.1.2.3", false},
        {"10.0.0.255", false},
        {"10.256.0.1", false},
        {"10.0.0", false},
        {"10.0.0.1.5", false},
        {".10.0.0.1", false},
        {"10.", false},
        {"10..0.1", false},
        {"10.0.0.x", false},
        {"10.0.0.-1", false},
        {"10.0.0.1 ", false},
        {" 10.0.0.1", false},
        {"", false},
        {"99999999999.0.0.1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ksr::isHostAddress(c.text), c.passes) << show(c.text);
}

TEST(SharedChecks, SubnetMask)
{
    const Case cases[] = {
        {"255.255.255.0", true},
        {"192.0.0.0", true},
        {"255.255.255.252", true},
        {"255.255.255.254", true},
        {"255.255.128.0", true},
        {"128.0.0.0", false},
        {"255.255.255.255", false},
        {"255.0.255.0", false},
        {"255.96.0.0", false},
        {"255.255.1.0", false},
        {"0.0.0.0", false},
        {"255.255.256.0", false},
        {"255.255.255", false},
        {"255.255.255.0 ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ksr::isSubnetMask(c.text), c.passes) << show(c.text);
}

TEST(SharedChecks, AddressAndMask)
{
    struct Pair {
        std::string address, mask;
        bool passes;
    };
    const Pair cases[] = {
        {"192.168.1.10", "255.255.255.0", true},
        {"10.1.2.3", "255.0.0.0", true},
        {"192.168.1.0", "255.255.255.0", false},    // host part all zeros
        {"192.168.1.255", "255.255.255.0", false},  // host part all ones
        {"0.0.0.5", "255.255.255.0", false},        // network part zero
        {"192.168.1.10", "bad", false},
        {"192.168.1.300", "255.255.255.0", false},
    };
    for (const Pair& c : cases)
        EXPECT_EQ(ksr::isAddressAndMask(c.address, c.mask), c.passes) << c.address << " / " << c.mask;
}

TEST(SharedChecks, MacAddress)
{
    const Case cases[] = {
        {"00112233AABB", true},
        {"02112233aabb", true},
        {"0e0000000001", true},
        {"01112233AABB", false},
        {"0F0000000000", false},
        {"0b0000000000", false},  // group bit in lower case
        {"000000000000", false},
        {"", false},
        {"0", false},              // too short to hold a second digit
        {"0011223344", false},
        {"00112233AABBCC", false},
        {"0011223344GG", false},
        {"00:11:22:33:44:55", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ksr::isMacAddress(c.text), c.passes) << show(c.text);
}

TEST(SharedChecks, PlainTextAndBlankEdges)
{
    EXPECT_TRUE(ksr::isPlainText(""));
    EXPECT_TRUE(ksr::isPlainText("Office 2, floor ~3"));
    EXPECT_FALSE(ksr::isPlainText("Caf\xc3\xa9"));  // UTF-8 é
    EXPECT_FALSE(ksr::isPlainText("\x80"));

    const Case edges[] = {
        {"my ap", true},
        {"x", true},
        {"", false},
        {" ap", false},
        {"ap ", false},
        {"my ap ", false},
        {" ", false},
    };
    for (const Case& c : edges)
        EXPECT_EQ(ksr::hasNoBlankEdge(c.text), c.passes) << show(c.text);
}

TEST(SharedChecks, NetworkOf)
{
    EXPECT_EQ(ksr::networkOf("192.168.1.77", "255.255.255.0"), "192.168.1.0");
    EXPECT_EQ(ksr::networkOf("10.20.30.40", "255.255.0.0"), "10.20.0.0");
    EXPECT_EQ(ksr::networkOf("10.x.30.40", "255.255.255.0"), "10.0.30.0");
    EXPECT_EQ(ksr::networkOf("", ""), "0.0.0.0");
}

TEST(LocalAddressList, UniqueShortEntriesOnlyGrow)
{
    ksr::LocalAddressList list;
    EXPECT_TRUE(list.add("192.168.0.10"));
    EXPECT_FALSE(list.add("192.168.0.10"));
    EXPECT_FALSE(list.add(""));
    EXPECT_FALSE(list.add("fe80::1234:5678:9abc"));  // 16 characters or more
    EXPECT_TRUE(list.add("10.0.0.1"));

    list.discover();
    list.discover();  // a second discovery adds no duplicates and removes nothing
    const auto& all = list.addresses();
    ASSERT_GE(all.size(), 3u);  // the loopback interface is always up
    EXPECT_EQ(all[0], "192.168.0.10");
    EXPECT_EQ(all[1], "10.0.0.1");
    EXPECT_NE(std::find(all.begin(), all.end(), "127.0.0.1"), all.end());
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j)
            EXPECT_NE(all[i], all[j]);
}

}  // namespace
