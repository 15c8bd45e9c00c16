// The simulator as Net-SNMP's own command-line tools see it: reads, writes,
// walks and refusals under v1, v2c and SNMPv3 authPriv.

#include "SimulatedDevice.h"
#include "Tools.h"

#include <gtest/gtest.h>

#include <sstream>

using simtest::runTool;
using simtest::SimOptions;
using simtest::SimulatedDevice;

namespace {

const std::string kSysName = "1.3.6.1.2.1.1.5.0";
const std::string kSysLocation = "1.3.6.1.2.1.1.6.0";
const std::string kDeviceRoot = "1.3.6.1.4.1.28687.10.37.40";

SimOptions withUsers() {
    return SimOptions{{"--v3-user", "alice:SHA:authpass12:AES:privpass12", "--v3-user",
                       "bob:MD5:bobauth123:DES:bobpriv123"}};
}

struct Version {
    const char* name;
    const char* journal;  // version word in the journal
    std::string read;     // tool arguments for reading
    std::string write;    // and for writing
};

const Version kVersions[] = {
    {"v1", "v1", "-v1 -c gondek", "-v1 -c mardule"},
    {"v2c", "v2c", "-v2c -c gondek", "-v2c -c mardule"},
    {"v3-SHA-AES", "v3", "-v3 -u alice -l authPriv -a SHA -A authpass12 -x AES -X privpass12",
     "-v3 -u alice -l authPriv -a SHA -A authpass12 -x AES -X privpass12"},
    {"v3-MD5-DES", "v3", "-v3 -u bob -l authPriv -a MD5 -A bobauth123 -x DES -X bobpriv123",
     "-v3 -u bob -l authPriv -a MD5 -A bobauth123 -x DES -X bobpriv123"},
};

std::string target(SimulatedDevice& sim) { return sim.address() + ":" + std::to_string(sim.port()); }

size_t lineCount(const std::string& s) {
    size_t n = 0;
    std::istringstream in(s);
    std::string l;
    while (std::getline(in, l))
        if (!l.empty()) ++n;
    return n;
}

}  // namespace

TEST(SimTools, ReadsAndWritesUnderEveryVersion) {
    SimulatedDevice sim(withUsers());
    for (const Version& v : kVersions) {
        SCOPED_TRACE(v.name);
        auto get = runTool("snmpget -On " + v.read + " " + target(sim) + " 1.3.6.1.2.1.1.1.0 " + kDeviceRoot +
                           ".2.1.1.1.1.2.1");
        EXPECT_EQ(get.status, 0) << get.out;
        EXPECT_NE(get.out.find("STRING: \"KSR-4710 Wireless Access Point\""), std::string::npos) << get.out;
        EXPECT_NE(get.out.find("IpAddress: 127.0.0.2"), std::string::npos) << get.out;

        sim.clearJournal();
        std::string room = std::string("room ") + v.name;
        auto set = runTool("snmpset " + v.write + " " + target(sim) + " " + kSysLocation + " s '" + room + "' " +
                           kDeviceRoot + ".2.1.1.1.1.4.1 a 127.0.0.254");
        EXPECT_EQ(set.status, 0) << set.out;
        EXPECT_EQ(sim.value(kSysLocation), "s:\"" + room + "\"");
        EXPECT_EQ(sim.value(kDeviceRoot + ".2.1.1.1.1.4.1"), "a:127.0.0.254");
        EXPECT_EQ(sim.journal(), (std::vector<std::string>{std::string("SET ") + v.journal + " " + kSysLocation +
                                                           "=s:\"" + room + "\" " + kDeviceRoot +
                                                           ".2.1.1.1.1.4.1=a:127.0.0.254"}));
    }
}

TEST(SimTools, WalksEndCleanlyAtTheEndOfATableAndOfTheTree) {
    SimulatedDevice sim;
    // A table after everything else the device serves: the walk meets the
    // end of the tree (v1 noSuchName, v2c endOfMibView).
    sim.control("fill 1.3.6.1.4.1.28687.99.1.1 3 2");
    sim.control("fill 1.3.6.1.4.1.28687.98.1.1 4 3 i");
    for (const char* version : {"-v1", "-v2c"}) {
        SCOPED_TRACE(version);
        auto last = runTool(std::string("snmpwalk -On -Oq ") + version + " -c gondek " + target(sim) +
                            " 1.3.6.1.4.1.28687.99");
        EXPECT_EQ(last.status, 0) << last.out;
        // snmpwalk reports the end of the tree in its own words per version.
        std::string end = version == std::string("-v1")
                              ? "End of MIB\n"
                              : ".1.3.6.1.4.1.28687.99.1.1.2.3 No more variables left in this MIB View (It is past "
                                "the end of the MIB tree)\n";
        EXPECT_EQ(last.out,
                  ".1.3.6.1.4.1.28687.99.1.1.1.1 \"r1c1\"\n.1.3.6.1.4.1.28687.99.1.1.1.2 \"r2c1\"\n"
                  ".1.3.6.1.4.1.28687.99.1.1.1.3 \"r3c1\"\n.1.3.6.1.4.1.28687.99.1.1.2.1 \"r1c2\"\n"
                  ".1.3.6.1.4.1.28687.99.1.1.2.2 \"r2c2\"\n.1.3.6.1.4.1.28687.99.1.1.2.3 \"r3c2\"\n" +
                      end);

        // A table followed by other objects ends where its subtree ends.
        auto inner = runTool(std::string("snmpwalk -On -Oq ") + version + " -c gondek " + target(sim) +
                             " 1.3.6.1.4.1.28687.98");
        EXPECT_EQ(inner.status, 0) << inner.out;
        EXPECT_EQ(lineCount(inner.out), 12u) << inner.out;

        auto system = runTool(std::string("snmpwalk -On -Oq ") + version + " -c gondek " + target(sim) +
                              " 1.3.6.1.2.1.1");
        EXPECT_EQ(system.status, 0) << system.out;
        EXPECT_EQ(lineCount(system.out), 6u) << system.out;

        auto root = runTool(std::string("snmpwalk -On -Oq ") + version + " -c gondek " + target(sim) + " " +
                            kDeviceRoot);
        EXPECT_EQ(root.status, 0) << root.out;
        EXPECT_EQ(lineCount(root.out), sim.control("walk " + kDeviceRoot).size()) << root.out;
    }
}

TEST(SimTools, RefusesWritesAsTheAgentDoes) {
    SimulatedDevice sim;
    struct Case {
        const char* what;
        std::string args;
        std::string reason;
    } cases[] = {
        {"read community, v1", "-v1 -c gondek " + kSysName + " s x", "noSuchName"},
        {"read community, v2c", "-v2c -c gondek " + kSysName + " s x", "noAccess"},
        {"read-only object, v1", "-v1 -c mardule 1.3.6.1.2.1.1.3.0 t 5", "noSuchName"},
        {"read-only object, v2c", "-v2c -c mardule 1.3.6.1.2.1.1.3.0 t 5", "notWritable"},
        {"read-only LED enable, v2c", "-v2c -c mardule " + kDeviceRoot + ".5.1.2.1.1.6.1 i 0", "notWritable"},
        {"wrong type, v1", "-v1 -c mardule " + kSysName + " i 5", "badValue"},
        {"wrong type, v2c", "-v2c -c mardule " + kDeviceRoot + ".2.1.1.1.1.2.1 s 10.0.0.1", "wrongType"},
        {"missing object, v2c", "-v2c -c mardule " + kDeviceRoot + ".9.9.9.0 i 1", "noCreation"},
        {"missing object, v1", "-v1 -c mardule " + kDeviceRoot + ".9.9.9.0 i 1", "noSuchName"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // "<version> -c <community> <oid> <type> <value>": the target goes before the OID.
        std::istringstream in(c.args);
        std::string ver, dashC, community, rest;
        in >> ver >> dashC >> community;
        std::getline(in, rest);
        auto r = runTool("snmpset " + ver + " -c " + community + " " + target(sim) + rest);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.out.find(c.reason), std::string::npos) << r.out;
    }
    EXPECT_EQ(sim.value(kSysName), "s:\"KSR-4710\"");
    EXPECT_EQ(sim.value("1.3.6.1.2.1.1.3.0").substr(0, 2), "t:");

    // An unknown community gets no answer at all.
    auto wrong = runTool("snmpget -v2c -c nobody -t 0.3 -r 0 " + target(sim) + " 1.3.6.1.2.1.1.1.0");
    EXPECT_NE(wrong.out.find("Timeout"), std::string::npos) << wrong.out;
}

TEST(SimTools, ControlCreatesAndRemovesObjects) {
    SimulatedDevice sim;
    const std::string base = "1.3.6.1.4.1.28687.97.1";
    sim.setValue(base + ".1.0", 's', "with \"quotes\" and blanks");
    sim.setValue(base + ".2.0", 'x', "00A0FF000001");
    sim.setValue(base + ".3.0", 'u', "42");
    EXPECT_EQ(sim.value(base + ".1.0"), "s:\"with \\\"quotes\\\" and blanks\"");
    EXPECT_EQ(sim.value(base + ".2.0"), "x:00A0FF000001");

    auto get = runTool("snmpget -On -Oq -v2c -c gondek " + target(sim) + " " + base + ".2.0 " + base + ".3.0");
    EXPECT_EQ(get.out, "." + base + ".2.0 \"00 A0 FF 00 00 01 \"\n." + base + ".3.0 42\n");
    // Objects made by the control connection are writable.
    auto set = runTool("snmpset -v2c -c mardule " + target(sim) + " " + base + ".3.0 u 7");
    EXPECT_EQ(set.status, 0) << set.out;
    EXPECT_EQ(sim.value(base + ".3.0"), "u:7");

    sim.control("unset " + base);
    auto gone = runTool("snmpget -v2c -c gondek " + target(sim) + " " + base + ".1.0");
    EXPECT_NE(gone.out.find("No Such Object"), std::string::npos) << gone.out;
    EXPECT_THROW(sim.value(base + ".1.0"), std::runtime_error);
    EXPECT_THROW(sim.control("set " + base + ".1.0 a 300.1.1.1"), std::runtime_error);
}

TEST(SimTools, CommunitiesAreConfigurable) {
    SimulatedDevice sim(SimOptions{{"--read-community", "lookonly", "--write-community", "change-it"}});
    auto get = runTool("snmpget -v2c -c lookonly -Oqv " + target(sim) + " " + kSysName);
    EXPECT_EQ(get.out, "\"KSR-4710\"\n");
    auto set = runTool("snmpset -v1 -c change-it " + target(sim) + " " + kSysName + " s renamed");
    EXPECT_EQ(set.status, 0) << set.out;
    EXPECT_EQ(sim.value(kSysName), "s:\"renamed\"");
    auto old = runTool("snmpget -v1 -c gondek -t 0.3 -r 0 " + target(sim) + " " + kSysName);
    EXPECT_NE(old.out.find("Timeout"), std::string::npos) << old.out;
}
