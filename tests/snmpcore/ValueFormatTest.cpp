#include <gtest/gtest.h>

#include "VtError.h"
#include "VtValueFormat.h"

namespace {

const VtOptionPair kSwitch[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const VtOptionList Switch(kSwitch);

VtSNMPVarItem item(int32_t syntax, const std::string& value = "", const VtOptionList* options = nullptr) {
    VtSNMPVarItem i;
    i.Syntax = syntax;
    i.Value = value;
    i.OptionList = options;
    return i;
}

TEST(ValueFormat, TimeTicksPrintAndParse) {
    struct {
        uint32_t ticks;
        const char* text;
    } cases[] = {
        {0, "0:00:00.00"},
        {30000, "0:05:00.00"},
        {8640000, "1 day 0:00:00.00"},
        {17280000, "2 days, 0:00:00.00"},
        {8640000 + 3 * 360000 + 4 * 6000 + 5 * 100 + 6, "1 day 3:04:05.06"},
        {12 * 8640000u + 100, "12 days, 0:00:01.00"},
        {4294967295u, "497 days, 2:27:52.95"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VtTimeTicksToText(c.ticks), c.text);
        EXPECT_EQ(VtTextToTimeTicks(c.text), c.ticks) << c.text;
    }
    EXPECT_EQ(VtTextToTimeTicks("1:02:03"), 360000u + 2 * 6000);  // seconds need hundredths
    EXPECT_EQ(VtTextToTimeTicks("42"), 0u);
}

TEST(ValueFormat, NormalisingControlTextPerSyntax) {
    struct Case {
        int32_t syntax;
        const char* start;
        const char* typed;
        const char* stored;
    } cases[] = {
        {VT_SYNTAX_INTEGER, "", "12abc", "12"},
        {VT_SYNTAX_INTEGER, "", "", "0"},
        {VT_SYNTAX_INTEGER, "", "  -7", "-7"},
        {VT_SYNTAX_IPADDRESS, "", "192.168.0.300", "192.168.0.44"},
        {VT_SYNTAX_IPADDRESS, "192.168.0.1", "10.0.0", "10.0.0.1"},
        {VT_SYNTAX_IPADDRESS, "", "", "(NULL)"},
        {VT_SYNTAX_MACADDRESS, "", "00a0b1c2d3e4", "00A0B1C2D3E4"},
        {VT_SYNTAX_MACADDRESS, "", "00 a0 b1 c2 d3 e4", "00A0B1C2D3E4"},
        {VT_SYNTAX_MACADDRESS, "", "0a0b1c2d3e4", "00A0B1C2D3E4"},
        {VT_SYNTAX_MACADDRESS, "", "zz0102030405", "000102030405"},
        {VT_SYNTAX_DISPLAYSTR, "long old text", "new", "new"},
        {VT_SYNTAX_DISPLAYSTR, "old", "", ""},
        {VT_SYNTAX_TIMETICKS, "", "1 day 3:04:05.06", "1 day 3:04:05.06"},
        {VT_SYNTAX_OBJECTID, "", "1.3.6.1", "1.3.6.1"},
        {VT_SYNTAX_INTEGER, "", "(NULL)", "(NULL)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VtNormaliseControlText(item(c.syntax, c.start), c.typed), c.stored)
            << c.syntax << " '" << c.start << "' + '" << c.typed << "'";
}

TEST(ValueFormat, TooShortOctetsFailWith518) {
    struct Case {
        int32_t syntax;
        const char* start;
        const char* typed;
    } cases[] = {
        {VT_SYNTAX_MACADDRESS, "", "00a0b1c2d3"},  // ten digits
        {VT_SYNTAX_MACADDRESS, "", "1"},
        {VT_SYNTAX_IPADDRESS, "", "10.0.0"},
    };
    for (const auto& c : cases) {
        try {
            VtNormaliseControlText(item(c.syntax, c.start), c.typed);
            ADD_FAILURE() << c.typed;
        } catch (const VtException& e) {
            EXPECT_EQ(e.code(), -518) << c.typed;
            EXPECT_STREQ(e.what(), "(VtSNMP++) Bad value of the associated SNMP variable's (partial) data!");
        }
    }
    EXPECT_THROW(VtTextToOctets("x", 4), VtException);
    EXPECT_THROW(VtOctetsToText({1, 2, 3, 4}, 65), VtException);
}

TEST(ValueFormat, OptionLabelsSurviveNormalising) {
    EXPECT_EQ(VtNormaliseControlText(item(VT_SYNTAX_INTEGER, "", &Switch), "enable"), "Enable");
    EXPECT_EQ(VtNormaliseControlText(item(VT_SYNTAX_INTEGER, "", &Switch), "7"), "7");
    EXPECT_EQ(VtNormaliseControlText(item(VT_SYNTAX_INTEGER, "Enable", &Switch), "Disable"), "Disable");
}

TEST(ValueFormat, OctetsRoundTrip) {
    EXPECT_EQ(VtTextToOctets("-2", VT_SYNTAX_INTEGER), (VtOctets{0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(VtOctetsToText({0xFF, 0xFF, 0xFF, 0xFE}, VT_SYNTAX_INTEGER), "-2");
    EXPECT_EQ(VtOctetsToText({}, VT_SYNTAX_MACADDRESS), "(NULL)");
    EXPECT_EQ(VtOctetsToText({}, VT_SYNTAX_DISPLAYSTR), "");
    EXPECT_EQ(VtTextToOctets("(NULL)", VT_SYNTAX_DISPLAYSTR), VtOctets{});
    EXPECT_EQ(VtIntegerKeyToText(4294967295u), "-1");
}

}  // namespace
