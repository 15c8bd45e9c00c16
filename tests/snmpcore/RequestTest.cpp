// The request engine end to end against the simulated access point: real
// SNMP over loopback, checked through the values it stores and the PDU
// journal of the simulator.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <unistd.h>

#include "MainArrays.h"
#include "SimulatedDevice.h"
#include "VtMessages.h"
#include "VtRequest.h"
#include "VtSession.h"

using simtest::SimulatedDevice;

namespace {

constexpr char kTable[] = "1.3.6.1.4.1.99999.1.1";  // test table beyond every device object

class Requests : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char tmpl[] = "/tmp/snmpcore-req-XXXXXX";
        folder_ = mkdtemp(tmpl);
        VtStartSNMP(folder_);
    }
    static void TearDownTestSuite() { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    void aim(VtSNMPRequest& r, int version, SimulatedDevice& sim) {
        r.Device.address = sim.address();
        r.Device.port = sim.port();
        r.Security.version = static_cast<uint8_t>(version);
        r.OnResult = [this](VtSNMPError* e) { reports.push_back(*e); };
    }

    // Waits for asynchronous completions the way a caller without Qt does.
    static void waitFor(const std::function<bool()>& done) {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < until) VtProcessEvents();
    }

    std::vector<VtSNMPError> reports;
    static std::string folder_;
};
std::string Requests::folder_;

const VtSNMPVariable kSystemVars[] = {
    {"1.3.6.1.2.1.1.1", "sysDescr", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READONLY, nullptr},
    {"1.3.6.1.2.1.1.2", "sysObjectID", VT_SYNTAX_OBJECTID, VT_ACCESS_READONLY, nullptr},
    {"1.3.6.1.2.1.1.3", "sysUpTime", VT_SYNTAX_TIMETICKS, VT_ACCESS_INVALID, nullptr},
    {"1.3.6.1.2.1.1.5", "sysName", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READWRITE, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

TEST_F(Requests, ScalarListIsOneGetOfInstanceZeroPerVersion) {
    SimulatedDevice sim;
    for (int version : {0, 1}) {
        sim.clearJournal();
        VtSNMPRequest r;
        aim(r, version, sim);
        r.VarList = VtSNMPVarList(kSystemVars, SVT_SV);
        bool ok = true;
        EXPECT_FALSE(r.Read(true, ok));
        EXPECT_TRUE(ok);
        EXPECT_EQ(r.VarList[0].Value, "KSR-4710 Wireless Access Point");
        EXPECT_EQ(r.VarList[1].Value, DeviceRoot);
        EXPECT_EQ(r.VarList[2].Value, "");  // invalid: never requested
        EXPECT_EQ(r.VarList[3].Value, "KSR-4710");
        std::string v = version == 0 ? "v1" : "v2c";
        EXPECT_EQ(sim.journal(), std::vector<std::string>{"GET " + v +
                                                          " 1.3.6.1.2.1.1.1.0 1.3.6.1.2.1.1.2.0 1.3.6.1.2.1.1.5.0"});
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(Requests, FixedListWritesOptionValuesAndReadsLabels) {
    SimulatedDevice sim;
    VtSNMPRequest r;
    aim(r, 1, sim);
    r.VarList = VtSNMPVarList(MainApModeVars, MVT_SV);
    r.VarList[0].Value = "wds";  // labels match without regard to case
    bool ok = true;
    r.Write(ok);
    EXPECT_TRUE(ok);
    std::string oid = std::string(DeviceRoot) + ".2.1.3.3.1.1.1.28.1";
    EXPECT_EQ(sim.value(oid), "i:3");
    sim.setValue(oid, 'i', "9");  // a value without a label stays a number
    r.Read(true, ok);
    EXPECT_EQ(r.VarList[0].Value, "9");
    sim.setValue(oid, 'i', "4");
    r.Read(true, ok);
    EXPECT_EQ(r.VarList[0].Value, "Wireless Client");
    EXPECT_TRUE(ok);
}

TEST_F(Requests, NullValueGoesOutAsNullVarbind) {
    SimulatedDevice sim;
    VtSNMPRequest r;
    aim(r, 1, sim);
    r.VarList = VtSNMPVarList(MainAddressVars, MVT_SV);
    r.VarList[0].Value = "10.0.0.9";
    r.VarList[1].Value = "(NULL)";
    r.VarList[2].Access = VT_ACCESS_READONLY;
    bool ok = true;
    r.Write(ok);
    auto journal = sim.journal();
    ASSERT_EQ(journal.size(), 1u);
    std::string root = DeviceRoot;
    EXPECT_EQ(journal[0], "SET v2c " + root + ".2.1.1.1.1.2.1=a:10.0.0.9 " + root + ".2.1.1.1.1.3.1=n");
}

// Three columns with key count 1; column 3 ends after two rows.
const VtSNMPVariable kWalkVars[] = {
    {"1.3.6.1.4.1.99999.1.1.9", "index", VT_SYNTAX_INTEGER, VT_ACCESS_NOTACCESS, nullptr},
    {"1.3.6.1.4.1.99999.1.1.1", "name", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READONLY, nullptr},
    {"1.3.6.1.4.1.99999.1.1.2", "other", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READONLY, nullptr},
    {"1.3.6.1.4.1.99999.1.1.3", "short", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READONLY, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

TEST_F(Requests, WalkFollowsInstanceOidsAndMarksEarlyEndedColumns) {
    SimulatedDevice sim;
    sim.control(std::string("table fill ") + kTable + " 3 3 s");
    sim.control(std::string("unset ") + kTable + ".3.3");
    VtSNMPRequest r;
    aim(r, 1, sim);
    r.VarList = VtSNMPVarList(kWalkVars, MVT_UMV, 1);
    std::vector<std::vector<std::string>> rows;
    bool ok = true;
    for (bool more = r.Read(true, ok); more; more = r.Read(false, ok))
        rows.push_back({r.VarList[0].Value, r.VarList[1].Value, r.VarList[2].Value, r.VarList[3].Value});
    EXPECT_TRUE(ok);
    EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                        {"1", "r1c1", "r1c2", "r1c3"}, {"2", "r2c1", "r2c2", "r2c3"}, {"3", "r3c1", "r3c2", "(NOTDONE)"}}));
    EXPECT_EQ(r.VarList[0].InstanceOid, std::string(kWalkVars[0].Oid) + ".3");
    auto journal = sim.journal();
    ASSERT_EQ(journal.size(), 4u);  // three rows and the step that finds every column ended
    std::string t = kTable;
    EXPECT_EQ(journal[0], "GETNEXT v2c " + t + ".1 " + t + ".2 " + t + ".3");
    EXPECT_EQ(journal[1], "GETNEXT v2c " + t + ".1.1 " + t + ".2.1 " + t + ".3.1");
    // An ended column asks again from the row before the one it missed.
    EXPECT_EQ(journal[3], "GETNEXT v2c " + t + ".1.3 " + t + ".2.3 " + t + ".3.2");
    EXPECT_TRUE(reports.empty());
}

TEST_F(Requests, Version1EndOfTableIsSilentAndAnEmptyTableReports102) {
    SimulatedDevice sim;
    sim.control(std::string("table fill ") + kTable + " 2 2 s");
    const VtSNMPVariable vars[] = {kWalkVars[0], kWalkVars[1], kWalkVars[2], {nullptr, nullptr, 0, 0, nullptr}};
    VtSNMPRequest r;
    aim(r, 0, sim);
    r.VarList = VtSNMPVarList(vars, MVT_UMV, 1);
    int rows = 0;
    bool ok = true;
    for (bool more = r.Read(true, ok); more; more = r.Read(false, ok)) ++rows;
    EXPECT_EQ(rows, 2);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(reports.empty());

    VtSNMPRequest empty;
    aim(empty, 0, sim);
    const VtSNMPVariable none[] = {{"1.3.6.1.4.1.99999.2.1.9", "i", 2, 1, nullptr},
                                   {"1.3.6.1.4.1.99999.2.1.1", "c", 76, 2, nullptr},
                                   {"1.3.6.1.4.1.99999.2.1.2", "d", 76, 2, nullptr},
                                   {nullptr, nullptr, 0, 0, nullptr}};
    empty.VarList = VtSNMPVarList(none, MVT_FMV, 1);
    EXPECT_FALSE(empty.Read(true, ok));
    EXPECT_FALSE(ok);
    ASSERT_EQ(reports.size(), 1u);  // one report per step, not one per column
    EXPECT_EQ(reports[0].Code, -102);
    EXPECT_EQ(reports[0].Message, "(SNMP) Variable does not exist!");
    EXPECT_EQ(reports[0].Number, 1);
}

TEST_F(Requests, TableWriteAddressesBothKeysAndLeavesKeysOut) {
    SimulatedDevice sim;
    std::string t = kTable;
    sim.setValue(t + ".3.3.17", 's', "old");
    sim.setValue(t + ".4.3.17", 'i', "0");
    const VtSNMPVariable vars[] = {{" ", "ifIndex", 2, 1, nullptr},
                                   {"1.3.6.1.4.1.99999.1.1.2", "index", 2, 1, nullptr},
                                   {"1.3.6.1.4.1.99999.1.1.3", "name", 76, 6, nullptr},
                                   {"1.3.6.1.4.1.99999.1.1.4", "mode", 2, 6, nullptr},
                                   {"1.3.6.1.4.1.99999.1.1.5", "seen", 2, 2, nullptr},
                                   {nullptr, nullptr, 0, 0, nullptr}};
    VtSNMPRequest r;
    aim(r, 1, sim);
    r.VarList = VtSNMPVarList(vars, MVT_FMV, 2);
    r.VarList[0].Value = "3";
    r.VarList[1].Value = "17";
    r.VarList[2].Value = "new";
    r.VarList[3].Value = "5";
    bool ok = true;
    r.Write(ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sim.journal(), std::vector<std::string>{"SET v2c " + t + ".3.3.17=s:\"new\" " + t + ".4.3.17=i:5"});
}

TEST_F(Requests, DisabledRequestSendsAndReportsNothing) {
    SimulatedDevice sim;
    VtSNMPRequest r;
    aim(r, 1, sim);
    r.VarList = VtSNMPVarList(kSystemVars, SVT_SV);
    r.Enabled = false;
    bool ok = true;
    EXPECT_FALSE(r.Read(true, ok));
    EXPECT_FALSE(ok);
    ok = true;
    r.Write(ok);
    EXPECT_FALSE(ok);
    bool called = false;
    r.ReadAsync([&](VtSNMPError&, VtSNMPVarList&) { called = true; }, true);
    EXPECT_EQ(r.Pending, 0);
    EXPECT_TRUE(sim.journal().empty());
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(called);
}

TEST_F(Requests, BlockingTimeoutReports405AndLeavesNullValues) {
    SimulatedDevice sim;
    sim.setSilent(true);
    VtSNMPRequest r;
    aim(r, 1, sim);
    r.Timeout = 10;
    r.Retries = 0;
    r.VarList = VtSNMPVarList(kSystemVars, SVT_SV);
    for (int i = 0; i < r.VarList.Count(); ++i) r.VarList[i].Value = "stale";
    bool ok = true;
    r.Read(true, ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Code, -405);
    EXPECT_EQ(reports[0].Message, "(SNMPClass) SNMP request timed out!");
    EXPECT_EQ(r.VarList[0].Value, "");        // display string
    EXPECT_EQ(r.VarList[1].Value, "(NULL)");  // object identifier
    EXPECT_EQ(r.VarList[2].Value, "stale");   // not requested
    EXPECT_EQ(r.ErrorCount, 1u);
}

TEST_F(Requests, ErrorStatusAndBadAddressAndMisuse) {
    SimulatedDevice sim;
    VtSNMPRequest r;
    aim(r, 1, sim);
    r.VarList = VtSNMPVarList(MainCommitVars, SVT_SV);
    sim.injectError(std::string(DeviceRoot) + ".4.2.4.0", 19);
    bool ok = true;
    r.Write(ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Code, -119);
    EXPECT_EQ(reports[0].Message, "(SNMP) Cannot download the overdue firmware!");

    sim.clearJournal();
    VtSNMPRequest bad;
    bad.Device.address = "no-such-host.invalid";
    bad.VarList = VtSNMPVarList(kSystemVars, SVT_SV);
    try {
        bad.Read(true, ok);
        FAIL();
    } catch (const VtException& e) {
        EXPECT_EQ(e.code(), -509);
        EXPECT_STREQ(e.what(), "(VtSNMP++) Invalid IP Address or DNS name!");
    }
    EXPECT_THROW(r.Read(false, ok), VtException);  // walk step on a scalar list: -510
    r.VarList.ItemType = 7;
    try {
        r.Read(true, ok);
        FAIL();
    } catch (const VtException& e) {
        EXPECT_EQ(e.code(), -515);
    }
    EXPECT_TRUE(sim.journal().empty());
}

TEST_F(Requests, ShortInstanceSuffixRaises514) {
    SimulatedDevice sim;
    sim.control(std::string("table fill ") + kTable + " 1 1 s");
    const VtSNMPVariable vars[] = {{" ", "a", 2, 1, nullptr},
                                   {"1.3.6.1.4.1.99999.1.1.8", "b", 2, 1, nullptr},
                                   {"1.3.6.1.4.1.99999.1.1.1", "c", 76, 2, nullptr},
                                   {nullptr, nullptr, 0, 0, nullptr}};
    VtSNMPRequest r;
    aim(r, 1, sim);
    r.VarList = VtSNMPVarList(vars, MVT_UMV, 2);
    bool ok = true;
    try {
        r.Read(true, ok);
        FAIL();
    } catch (const VtException& e) {
        EXPECT_EQ(e.code(), -514);
    }
}

TEST_F(Requests, AsynchronousWalkCompletesRowByRow) {
    SimulatedDevice sim;
    sim.control(std::string("table fill ") + kTable + " 3 2 s");
    const VtSNMPVariable vars[] = {kWalkVars[0], kWalkVars[1], kWalkVars[2], {nullptr, nullptr, 0, 0, nullptr}};
    for (int version : {0, 1}) {
        VtSNMPRequest r;
        aim(r, version, sim);
        r.VarList = VtSNMPVarList(vars, MVT_UMV, 1);
        std::vector<std::string> rows;
        bool finished = false;
        int lastCode = 99;
        std::function<void(VtSNMPError&, VtSNMPVarList&)> step = [&](VtSNMPError& e, VtSNMPVarList& l) {
            lastCode = e.Code;
            EXPECT_EQ(e.AgentAddress, "127.0.0.1");
            EXPECT_EQ(e.AgentPort, sim.port());
            if (e.Code == 0 && !e.Last) {
                rows.push_back(l[0].Value + "/" + l[1].Value);
                r.ReadAsync(step, false);
            } else {
                finished = true;
            }
        };
        r.ReadAsync(step, true);
        EXPECT_EQ(r.Pending, 1);
        waitFor([&] { return finished; });
        EXPECT_EQ(rows, (std::vector<std::string>{"1/r1c1", "2/r2c1", "3/r3c1"})) << version;
        EXPECT_EQ(lastCode, 0) << version;  // the v1 end of table counts as success
        EXPECT_EQ(r.Pending, 0);
    }
}

TEST_F(Requests, AsynchronousTimeoutGoesToTheCompletionOnly) {
    SimulatedDevice sim;
    sim.setSilent(true);
    VtSNMPRequest r;
    aim(r, 1, sim);
    r.Timeout = 10;
    r.VarList = VtSNMPVarList(kSystemVars, SVT_SV);
    VtSNMPError result;
    r.ReadAsync([&](VtSNMPError& e, VtSNMPVarList&) { result = e; }, true);
    waitFor([&] { return r.Pending == 0; });
    EXPECT_EQ(result.Code, -405);
    EXPECT_TRUE(result.Last);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(sim.journal().size(), 0u);  // a silent device journals nothing
}

TEST_F(Requests, DestructionWaitsForAnswersThenDropsLateOnes) {
    SimulatedDevice sim;
    using Clock = std::chrono::steady_clock;
    int answered = 0;
    sim.control("delay 300");
    auto start = Clock::now();
    {
        VtSNMPRequest r;
        aim(r, 1, sim);
        r.VarList = VtSNMPVarList(kSystemVars, SVT_SV);
        r.ReadAsync([&](VtSNMPError& e, VtSNMPVarList&) { answered += e.Code == 0; }, true);
    }
    EXPECT_EQ(answered, 1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));

    // A completion that destroys its own request does not wait for itself.
    auto* owned = new VtSNMPRequest;
    aim(*owned, 1, sim);
    owned->VarList = VtSNMPVarList(kSystemVars, SVT_SV);
    owned->ReadAsync([&](VtSNMPError&, VtSNMPVarList&) { delete owned; owned = nullptr; }, true);
    start = Clock::now();
    while (owned && Clock::now() - start < std::chrono::seconds(10)) VtProcessEvents();
    EXPECT_EQ(owned, nullptr);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));

    // Silent device, answer due after the bounded wait: the request is gone
    // when the time-out fires, and its completion must not run.
    sim.setSilent(true);
    start = Clock::now();
    {
        VtSNMPRequest r;
        aim(r, 1, sim);
        r.Timeout = 650;
        r.Retries = 0;
        r.VarList = VtSNMPVarList(kSystemVars, SVT_SV);
        r.ReadAsync([&](VtSNMPError&, VtSNMPVarList&) { ++answered; }, true);
    }
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(5900));
    auto until = Clock::now() + std::chrono::milliseconds(1200);
    while (Clock::now() < until) VtProcessEvents();
    EXPECT_EQ(answered, 1);
}

TEST_F(Requests, Version3UserAndPasswordChanges) {
    simtest::SimOptions options;
    options.extraArgs = {"--v3-user", "alice:SHA:authpass12:AES:privpass12"};
    SimulatedDevice sim(options);
    auto makeRequest = [&](VtSNMPRequest& r, const std::string& authPassword) {
        aim(r, 3, sim);
        r.Security.securityModel = 3;
        r.Security.securityLevel = 3;
        r.Security.securityName = "alice";
        r.Security.authProtocol = 3;
        r.Security.authPassword = authPassword;
        r.Security.privProtocol = 3;
        r.Security.privPassword = "privpass12";
        r.Timeout = 50;
        r.Retries = 0;
        r.VarList = VtSNMPVarList(MainStatusVars, SVT_SV);
    };
    bool ok = true;
    {
        VtSNMPRequest r;
        makeRequest(r, "authpass12");
        r.Read(true, ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(r.VarList[0].Value, "KSR-4710 Wireless Access Point");
        auto journal = sim.journal();
        ASSERT_FALSE(journal.empty());
        EXPECT_EQ(journal.back(), "GET v3 1.3.6.1.2.1.1.1.0");
    }
    {
        // The same user with a wrong password after a success must fail.
        VtSNMPRequest r;
        makeRequest(r, "wrongpass99");
        r.Read(true, ok);
        EXPECT_FALSE(ok);
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.back().Code, -308);
    }
    {
        VtSNMPRequest r;
        makeRequest(r, "authpass12");
        r.Security.securityName = "mallory";
        ok = true;
        r.Read(true, ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(reports.back().Code, -304);
    }
    {
        // Asynchronous v3, good password again.
        VtSNMPRequest r;
        makeRequest(r, "authpass12");
        int code = 99;
        r.ReadAsync([&](VtSNMPError& e, VtSNMPVarList&) { code = e.Code; }, true);
        waitFor([&] { return r.Pending == 0; });
        EXPECT_EQ(code, 0);
        EXPECT_EQ(r.VarList[0].Value, "KSR-4710 Wireless Access Point");
    }
}

}  // namespace
