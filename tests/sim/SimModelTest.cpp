// The device model on its own: value texts, the loader's tables and free
// slots, and the store's successor order.

#include "ObjectStore.h"

#include <gtest/gtest.h>

using namespace ksrsim;

namespace {

Oid oid(const std::string& text) {
    Oid o;
    EXPECT_TRUE(parseOid(text, o)) << text;
    return o;
}

}  // namespace

TEST(SimModel, ValueTextsRoundTrip) {
    struct Case {
        char type;
        std::string input;
        std::string text;
    } cases[] = {
        {'i', "-2147483648", "i:-2147483648"},
        {'u', "4294967295", "u:4294967295"},
        {'t', "0", "t:0"},
        {'a', "127.0.0.2", "a:127.0.0.2"},
        {'o', "1.3.6.1.4.1.28687.10.37.40", "o:1.3.6.1.4.1.28687.10.37.40"},
        {'s', "say \"hi\" \\ there", "s:\"say \\\"hi\\\" \\\\ there\""},
        {'s', "", "s:\"\""},
        {'x', "000000000000", "x:000000000000"},
        {'x', "00:a0:ff", "x:00A0FF"},
        {'x', "4142", "s:\"AB\""},  // printable octets read as text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        Value v;
        ASSERT_TRUE(parseValue(c.type, c.input, v));
        EXPECT_EQ(valueText(v), c.text);
        Value back;
        ASSERT_TRUE(parseValueText(c.text, back));
        EXPECT_EQ(back, v);
    }
    for (auto [type, bad] : std::initializer_list<std::pair<char, const char*>>{
             {'i', "2147483648"}, {'i', "12abc"}, {'u', "-1"}, {'a', "10.0.1"}, {'a', "256.1.1.1"},
             {'a', "1.2.3.4.5"}, {'o', "1..3"}, {'x', "ABC"}, {'x', "zz"}, {'q', "1"}}) {
        Value v;
        EXPECT_FALSE(parseValue(type, bad, v)) << type << " " << bad;
    }
}

TEST(SimModel, SuccessorIsLexicographicAcrossTheTree) {
    ObjectStore s;
    for (const char* o : {"1.3.6.1.2.1.1.1.0", "1.3.6.1.4.1.28687.10.37.40.2.1.1.1.1.2.1",
                          "1.3.6.1.4.1.28687.10.37.40.10.1.0", "1.3.6.1.4.1.28687.10.37.40.9.1.0"}) {
        Value v;
        v.type = 'i';
        s.put(oid(o), v);
    }
    EXPECT_EQ(oidText(s.next(oid("1.3"), false)->first), "1.3.6.1.2.1.1.1.0");
    EXPECT_EQ(oidText(s.next(oid("1.3.6.1.2.1.1.1.0"), false)->first), "1.3.6.1.4.1.28687.10.37.40.2.1.1.1.1.2.1");
    // 9 comes before 10 (numeric arcs, not text order).
    EXPECT_EQ(oidText(s.next(oid("1.3.6.1.4.1.28687.10.37.40.2.1.1.1.1.2.1"), false)->first),
              "1.3.6.1.4.1.28687.10.37.40.9.1.0");
    EXPECT_EQ(oidText(s.next(oid("1.3.6.1.2.1.1.1.0"), true)->first), "1.3.6.1.2.1.1.1.0");
    EXPECT_EQ(s.next(oid("1.3.6.1.4.1.28687.10.37.40.10.1.0"), false), nullptr);
    EXPECT_EQ(s.erasePrefix(oid("1.3.6.1.4.1.28687.10.37.40.1")), 0u);  // not a prefix of .10
    EXPECT_EQ(s.erasePrefix(oid("1.3.6.1.4.1.28687.10.37.40")), 3u);
    EXPECT_EQ(s.size(), 1u);
}

TEST(SimModel, LoaderBuildsTablesWithFreeSlots) {
    DeviceModel m;
    std::string error;
    ASSERT_TRUE(loadModelText(R"(# comment
define Root 1.3.6.1.4.1.28687.10.37.40
object sysName 1.3.6.1.2.1.1.5.0 s rw "KSR 4710"
object hIPAddress Root.2.1.1.1.1.2.1 a rw 127.0.0.2
object gw Root.2.1.1.1.1.4.1 a ro
table peers Root.3.5.1 1..3 prefix 1
column peers 2 peerMac x rw 000000000000
column peers 3 peerName s rw ""
column peers 4 peerVid i rw 0
cell peers 1.2 2 0011223344AA
cell peers 1.2 3 "second peer"
log 01/01/2010 00:00:01 | [System] started
)",
                              m, &error))
        << error;
    EXPECT_EQ(valueText(m.store.find(oid("1.3.6.1.2.1.1.5.0"))->value), "s:\"KSR 4710\"");
    EXPECT_EQ(valueText(m.store.find(oid("1.3.6.1.4.1.28687.10.37.40.2.1.1.1.1.4.1"))->value), "a:0.0.0.0");
    EXPECT_FALSE(m.store.find(oid("1.3.6.1.4.1.28687.10.37.40.2.1.1.1.1.4.1"))->writable);
    EXPECT_EQ(valueText(m.store.find(oid("1.3.6.1.4.1.28687.10.37.40.3.5.1.2.1.1"))->value), "x:000000000000");
    EXPECT_EQ(valueText(m.store.find(oid("1.3.6.1.4.1.28687.10.37.40.3.5.1.2.1.2"))->value), "x:0011223344AA");
    EXPECT_EQ(valueText(m.store.find(oid("1.3.6.1.4.1.28687.10.37.40.3.5.1.3.1.2"))->value), "s:\"second peer\"");
    EXPECT_EQ(valueText(m.store.find(oid("1.3.6.1.4.1.28687.10.37.40.3.5.1.4.1.3"))->value), "i:0");
    ASSERT_NE(m.table(oid("1.3.6.1.4.1.28687.10.37.40.3.5.1")), nullptr);
    EXPECT_EQ(m.table(oid("1.3.6.1.4.1.28687.10.37.40.3.5.1"))->indexes.size(), 3u);
    Oid named;
    ASSERT_TRUE(m.store.oidOf("peerName", named));
    EXPECT_EQ(oidText(named), "1.3.6.1.4.1.28687.10.37.40.3.5.1.3");
    EXPECT_EQ(m.logLines, std::vector<std::string>{"01/01/2010 00:00:01 | [System] started"});

    for (auto [text, why] : std::initializer_list<std::pair<const char*, const char*>>{
             {"object a 1.3.x i rw 1", "bad OID"},
             {"object a 1.3 i rx 1", "access"},
             {"object a 1.3 a rw 1.2.3", "bad value"},
             {"object a 1.3 s rw \"open", "unterminated"},
             {"column nowhere 1 a i rw 0", "unknown table"},
             {"frobnicate", "unknown keyword"}}) {
        DeviceModel bad;
        EXPECT_FALSE(loadModelText(std::string("\n") + text, bad, &error, "m.txt")) << text;
        EXPECT_NE(error.find("m.txt:2: "), std::string::npos) << error;
        EXPECT_NE(error.find(why), std::string::npos) << error;
    }
}

TEST(SimModel, ShippedModelLoads) {
    DeviceModel m;
    std::string error;
    ASSERT_TRUE(loadModel(KSR_SIM_MODEL_FILE, m, &error)) << error;
    for (const char* name : {"sysDescr", "sysUpTime", "hGetIPFrom", "hIPAddress", "hSubnetMask", "hDefaultGateway",
                             "ifIpAddress", "wirelessLed2dot4G", "dot11ApMode", "deviceSettingApply",
                             "tftpcommand", "tftpUpgradeSettingCommand", "systemLogGetLog"}) {
        Oid o;
        EXPECT_TRUE(m.store.oidOf(name, o)) << name;
    }
}
