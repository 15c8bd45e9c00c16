#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "VtError.h"
#include "VtRequest.h"
#include "VtSession.h"

namespace {

class BootCounter : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/snmpcore-boot-XXXXXX";
        dir_ = mkdtemp(tmpl);
    }
    void TearDown() override {
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string file() const { return dir_ + "/VtSNMP_PP_BootCounter"; }
    std::string contents() const {
        std::ifstream in(file());
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string dir_;
};

TEST_F(BootCounter, FirstStartStoresOneAndTheNextTwo) {
    VtStartSNMP(dir_);
    EXPECT_EQ(contents(), "VtSNMP_PP_Application 1\n");
    VtStartSNMP(dir_ + "/");
    EXPECT_EQ(contents(), "VtSNMP_PP_Application 2\n");
    EXPECT_TRUE(VtSNMPStarted());
    EXPECT_EQ(VtSNMPEngineBoots(), 2);
}

TEST_F(BootCounter, OtherEnginesAreKeptAndABadEntryFails) {
    std::ofstream(file()) << "OtherEngine 40\nVtSNMP_PP_Application 6\n";
    VtStartSNMP(dir_);
    EXPECT_EQ(contents(), "OtherEngine 40\nVtSNMP_PP_Application 7\n");

    std::ofstream(file()) << "VtSNMP_PP_Application seven\n";
    try {
        VtStartSNMP(dir_);
        FAIL();
    } catch (const VtException& e) {
        EXPECT_EQ(e.code(), -507);
        EXPECT_STREQ(e.what(), "(VtSNMP++) Error when loading SNMP engine boots counter!");
    }
}

TEST_F(BootCounter, UnreadableOrUnwritableFileFails) {
    // The counter is written through a temporary beside it: a folder in its
    // place makes the save fail; a folder in the counter's place, the load.
    mkdir((file() + ".new").c_str(), 0700);
    try {
        VtStartSNMP(dir_);
        FAIL();
    } catch (const VtException& e) {
        EXPECT_EQ(e.code(), -508);
        EXPECT_STREQ(e.what(), "(VtSNMP++) Error when saving SNMP engine boots counter!");
    }
    rmdir((file() + ".new").c_str());
    mkdir(file().c_str(), 0700);
    try {
        VtStartSNMP(dir_);
        FAIL();
    } catch (const VtException& e) {
        EXPECT_EQ(e.code(), -507);
    }
    rmdir(file().c_str());
}

TEST_F(BootCounter, StartResetsRecordsThatNewRequestsCopy) {
    VtSNMPDevice.address = "10.1.1.1";
    VtSNMPSecurity.version = 3;
    VtSNMPDefaultTimeout = 5;
    VtStartSNMP(dir_);
    VtSNMPRequest request;
    EXPECT_EQ(request.Device.address, "127.0.0.1");
    EXPECT_EQ(request.Device.port, 161);
    EXPECT_EQ(request.Security.version, 0);
    EXPECT_EQ(request.Security.readCommunity, "gondek");
    EXPECT_EQ(request.Security.writeCommunity, "mardule");
    EXPECT_EQ(request.Timeout, 100);
    EXPECT_EQ(request.Retries, 1);
    VtSNMPDevice.address = "10.9.9.9";  // later changes leave the request alone
    EXPECT_EQ(request.Device.address, "127.0.0.1");
}

}  // namespace
