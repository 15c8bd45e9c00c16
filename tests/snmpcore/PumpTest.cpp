// The 20 ms event pump: asynchronous completions run from its timer on the
// GUI thread, never inside a blocking request.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QtTest/QTest>
#include <cstdlib>
#include <unistd.h>

#include "MainArrays.h"
#include "SimulatedDevice.h"
#include "SnmpEventProcessor.h"
#include "VtRequest.h"
#include "VtSession.h"

namespace {

TEST(EventPump, CompletesAsynchronousRequestsOnlyFromItsTimer) {
    char tmpl[] = "/tmp/snmpcore-pump-XXXXXX";
    std::string folder = mkdtemp(tmpl);
    VtStartSNMP(folder);
    SnmpEventProcessor* pump = SnmpEventProcessor::start();
    ASSERT_EQ(pump, SnmpEventProcessor::start());  // one global pump
    EXPECT_EQ(pump->timer()->interval(), 20);
    EXPECT_TRUE(pump->timer()->isActive());

    simtest::SimulatedDevice sim;
    auto aim = [&](VtSNMPRequest& r) {
        r.Device.address = sim.address();
        r.Device.port = sim.port();
        r.Security.version = 1;
    };
    VtSNMPRequest async;
    aim(async);
    async.VarList = VtSNMPVarList(MainStatusVars, SVT_SV);
    int completions = 0;
    std::string value;
    async.ReadAsync(
        [&](VtSNMPError& e, VtSNMPVarList& l) {
            ++completions;
            value = e.Code == 0 ? l[0].Value : e.Message;
        },
        true);

    // Its answer arrives while the blocking request waits: it must stay queued.
    VtSNMPRequest blocking;
    aim(blocking);
    blocking.VarList = VtSNMPVarList(MainApModeVars, MVT_SV);
    bool ok = true;
    blocking.Read(true, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(blocking.VarList[0].Value, "Access Point");
    EXPECT_EQ(completions, 0);

    for (int waited = 0; completions == 0 && waited < 3000; waited += 10) QTest::qWait(10);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(value, "KSR-4710 Wireless Access Point");
    EXPECT_EQ(async.Pending, 0);

    SnmpEventProcessor::stop();
    EXPECT_EQ(SnmpEventProcessor::instance(), nullptr);
    std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
