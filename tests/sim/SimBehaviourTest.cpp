// The simulator's device behaviour through a Net-SNMP manager: exact error
// statuses, empty PDUs, end of the tree, silence and delays, restarts, and
// the TFTP commands against tftpd-hpa on loopback.

#include "SimulatedDevice.h"
#include "SnmpProbe.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

using namespace simtest;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kRoot = "1.3.6.1.4.1.28687.10.37.40";
const std::string kSysDescr = "1.3.6.1.2.1.1.1.0";
const std::string kSysUpTime = "1.3.6.1.2.1.1.3.0";
const std::string kSysName = "1.3.6.1.2.1.1.5.0";
const std::string kApply = kRoot + ".4.2.3.0";
const std::string kDiscard = kRoot + ".4.2.4.0";
const std::string kRestart = kRoot + ".4.2.1.0";
const std::string kTftpServer = kRoot + ".4.3.2.1.0";
const std::string kTftpFile = kRoot + ".4.3.2.2.0";
const std::string kTftpCommand = kRoot + ".4.3.2.4.0";
const std::string kUpgrade = kRoot + ".4.3.2.5.0";
const std::string kLogServer = kRoot + ".5.4.4.0";
const std::string kLogFile = kRoot + ".5.4.5.0";
const std::string kLogGet = kRoot + ".5.4.6.0";
const std::string kLogClear = kRoot + ".5.4.10.0";

long msSince(Clock::time_point t) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

// Waits until the device answers the sysDescr poll again; returns the time it took.
long waitForAnswer(SimulatedDevice& sim, int limitMs) {
    auto start = Clock::now();
    SnmpProbe poll(sim.address(), sim.port(), "v2c", "gondek", 200, 0);
    while (msSince(start) < limitMs)
        if (!poll.get({kSysDescr}).timeout) return msSince(start);
    return -1;
}

uint16_t freeUdpPort() {
    int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    socklen_t len = sizeof sa;
    getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len);
    close(s);
    return ntohs(sa.sin_port);
}

// tftpd-hpa serving (and accepting new files into) a fresh folder on a free
// loopback port, for as long as the object lives.
class TftpServer {
public:
    TftpServer() {
        char templ[] = "/tmp/ksr-tftpd-XXXXXX";
        dir = mkdtemp(templ);
        port = freeUdpPort();
        std::string addr = "127.0.0.1:" + std::to_string(port);
        pid_ = fork();
        if (pid_ == 0) {
            execl("/usr/sbin/in.tftpd", "in.tftpd", "-L", "-a", addr.c_str(), "-c", "-p", "-u", "root", "-s",
                  dir.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    ~TftpServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::string rm = "rm -rf '" + dir + "'";
        if (system(rm.c_str()) != 0) {}
    }
    void put(const std::string& name, const std::string& content) const {
        std::ofstream(dir + "/" + name, std::ios::binary) << content;
    }
    std::string read(const std::string& name) const {
        std::ifstream f(dir + "/" + name, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }
    bool exists(const std::string& name) const {
        struct stat st {};
        return stat((dir + "/" + name).c_str(), &st) == 0;
    }

    std::string dir;
    uint16_t port = 0;

private:
    pid_t pid_ = -1;
};

}  // namespace

TEST(SimBehaviour, InjectedErrorsReachTheManagerUnchanged) {
    SimulatedDevice sim;
    for (const char* version : {"v1", "v2c"}) {
        SnmpProbe read(sim.address(), sim.port(), version, "gondek");
        SnmpProbe write(sim.address(), sim.port(), version, "mardule");
        for (int status = 1; status <= 19; ++status) {
            SCOPED_TRACE(std::string(version) + " status " + std::to_string(status));
            sim.injectError(kSysName, status);
            Reply g = read.get({kSysDescr, kSysName});
            EXPECT_EQ(g.errstat, status);
            EXPECT_EQ(g.errindex, 2);
            Reply s = write.set({{kSysName, 's', "changed"}});
            EXPECT_EQ(s.errstat, status);
            EXPECT_EQ(s.errindex, 1);
        }
        // GET-NEXT meets the error on the object it would return.
        Reply n = read.getNext({"1.3.6.1.2.1.1.4.0"});
        EXPECT_EQ(n.errstat, 19);
        sim.injectError(kSysName, 0);
        EXPECT_EQ(read.get({kSysName}).errstat, 0);
    }
    EXPECT_EQ(sim.value(kSysName), "s:\"KSR-4710\"");  // no refused SET got through
}

TEST(SimBehaviour, EmptyPdusEndOfTreeAndNullValues) {
    SimulatedDevice sim;
    const std::string last = kRoot + ".5.4.10.0";  // the last object the model serves
    for (const char* version : {"v1", "v2c"}) {
        SCOPED_TRACE(version);
        SnmpProbe read(sim.address(), sim.port(), version, "gondek");
        SnmpProbe write(sim.address(), sim.port(), version, "mardule");
        Reply g = read.get({});
        EXPECT_FALSE(g.timeout);
        EXPECT_EQ(g.errstat, 0);
        Reply s = write.set({});
        EXPECT_FALSE(s.timeout);
        EXPECT_EQ(s.errstat, 0);

        Reply end = read.getNext({last});
        ASSERT_EQ(end.vars.size(), 1u);
        EXPECT_EQ(end.vars[0].first, last);  // the request's varbind comes back
        if (std::string(version) == "v1") {
            EXPECT_EQ(end.errstat, 2);  // noSuchName
            EXPECT_EQ(end.errindex, 1);
            EXPECT_EQ(end.vars[0].second, "n");
        } else {
            EXPECT_EQ(end.errstat, 0);
            EXPECT_EQ(end.vars[0].second, "endOfMibView");
        }

        Reply null = write.set({{kRoot + ".2.1.1.1.1.4.1", 'n', ""}});
        EXPECT_EQ(null.errstat, std::string(version) == "v1" ? 3 : 7);  // badValue / wrongType
    }
    EXPECT_EQ(sim.value(kRoot + ".2.1.1.1.1.4.1"), "a:0.0.0.0");
}

TEST(SimBehaviour, SilenceAndDelay) {
    SimulatedDevice sim;
    SnmpProbe quick(sim.address(), sim.port(), "v2c", "gondek", 500, 0);
    sim.clearJournal();
    sim.setSilent(true);
    EXPECT_TRUE(quick.get({kSysDescr}).timeout);
    EXPECT_TRUE(sim.journal().empty());  // a silent device hears nothing
    sim.setSilent(false);
    EXPECT_FALSE(quick.get({kSysDescr}).timeout);

    sim.control("delay 1200");
    EXPECT_TRUE(quick.get({kSysDescr}).timeout);
    SnmpProbe patient(sim.address(), sim.port(), "v2c", "gondek", 5000, 0);
    auto start = Clock::now();
    Reply late = patient.get({kSysDescr});
    EXPECT_FALSE(late.timeout);
    EXPECT_GE(msSince(start), 1150);
    sim.control("delay 0");
    EXPECT_FALSE(quick.get({kSysDescr}).timeout);
}

TEST(SimBehaviour, RestartingCommandsAnswerThenGoSilentThenComeBack) {
    SimulatedDevice sim;
    sim.control("restart-silence 800");
    struct Case {
        const char* what;
        std::vector<Varbind> set;
    } cases[] = {
        {"save and activate", {{kApply, 'i', "1"}, {kDiscard, 'i', "0"}, {kRestart, 'i', "0"}}},
        {"discard", {{kApply, 'i', "0"}, {kDiscard, 'i', "1"}, {kRestart, 'i', "0"}}},
        {"restart", {{kRestart, 'i', "1"}}},
        {"reboot command", {{kUpgrade, 'i', "4"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SnmpProbe write(sim.address(), sim.port(), "v2c", "mardule", 1000, 0);
        Reply r = write.set(c.set);
        ASSERT_FALSE(r.timeout);
        EXPECT_EQ(r.errstat, 0);
        SnmpProbe poll(sim.address(), sim.port(), "v2c", "gondek", 200, 0);
        EXPECT_TRUE(poll.get({kSysDescr}).timeout);
        long back = waitForAnswer(sim, 5000);
        EXPECT_GE(back, 400);
        ASSERT_GE(back, 0) << "the device never came back";
        Reply up = poll.get({kSysUpTime, kApply, kDiscard, kRestart, kUpgrade});
        ASSERT_EQ(up.vars.size(), 5u);
        EXPECT_LT(std::stol(up.vars[0].second.substr(2)), 300);  // uptime restarted
        EXPECT_EQ(up.vars[1].second, "i:0");
        EXPECT_EQ(up.vars[2].second, "i:0");
        EXPECT_EQ(up.vars[3].second, "i:0");
        EXPECT_EQ(up.vars[4].second, "i:6");
    }
}

TEST(SimBehaviour, ApplyKeepsSettingsAndDiscardDropsTheRest) {
    SimulatedDevice sim;
    sim.control("restart-silence 100");
    SnmpProbe write(sim.address(), sim.port(), "v2c", "mardule", 1000, 0);
    ASSERT_EQ(write.set({{kSysName, 's', "kept"}}).errstat, 0);
    ASSERT_EQ(write.set({{kApply, 'i', "1"}, {kDiscard, 'i', "0"}, {kRestart, 'i', "0"}}).errstat, 0);
    ASSERT_GE(waitForAnswer(sim, 3000), 0);
    ASSERT_EQ(write.set({{kSysName, 's', "dropped"}}).errstat, 0);
    ASSERT_EQ(write.set({{kApply, 'i', "0"}, {kDiscard, 'i', "1"}, {kRestart, 'i', "0"}}).errstat, 0);
    ASSERT_GE(waitForAnswer(sim, 3000), 0);
    EXPECT_EQ(sim.value(kSysName), "s:\"kept\"");
    std::ifstream applied(sim.stateDir() + "/applied.txt");
    std::stringstream ss;
    ss << applied.rdbuf();
    EXPECT_NE(ss.str().find(kSysName + " s:\"kept\""), std::string::npos) << ss.str();
}

TEST(SimBehaviour, JournalRecordsWhatWasWrittenInOrder) {
    SimulatedDevice sim(SimOptions{{"--v3-user", "carol:SHA:carolauth1:AES:carolpriv1"}});
    SnmpProbe v1(sim.address(), sim.port(), "v1", "mardule");
    SnmpProbe v3(sim.address(), sim.port(), "v3:carol:SHA:carolauth1:AES:carolpriv1", "");
    sim.clearJournal();
    v1.set({{kRoot + ".2.1.1.1.1.1.1", 'i', "1"}});
    v1.set({{kRoot + ".2.1.1.1.1.2.1", 'a', "127.0.0.9"}, {kRoot + ".2.1.1.1.1.3.1", 'a', "255.0.0.0"},
            {kRoot + ".2.1.1.1.1.4.1", 'a', "0.0.0.0"}});
    v3.set({{kSysName, 's', "a \"quoted\" name"}, {"1.3.6.1.2.1.1.6.0", 'x', "00FF"}});
    v1.get({kSysDescr});
    v1.getNext({kRoot + ".2.1.1.1.1.1"});
    EXPECT_EQ(sim.journal(),
              (std::vector<std::string>{
                  "SET v1 " + kRoot + ".2.1.1.1.1.1.1=i:1",
                  "SET v1 " + kRoot + ".2.1.1.1.1.2.1=a:127.0.0.9 " + kRoot + ".2.1.1.1.1.3.1=a:255.0.0.0 " + kRoot +
                      ".2.1.1.1.1.4.1=a:0.0.0.0",
                  "SET v3 " + kSysName + "=s:\"a \\\"quoted\\\" name\" 1.3.6.1.2.1.1.6.0=x:00FF",
                  "GET v1 " + kSysDescr,
                  "GETNEXT v1 " + kRoot + ".2.1.1.1.1.1",
              }));
}

class SimTftp : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "tftpd-hpa needs root to serve a folder of its own";
        tftpd = std::make_unique<TftpServer>();
        sim = std::make_unique<SimulatedDevice>(
            SimOptions{{"--tftp-port", std::to_string(tftpd->port), "--install-delay", "100", "--tftp-timeout", "5"}});
        write = std::make_unique<SnmpProbe>(sim->address(), sim->port(), "v2c", "mardule", 10000, 0);
    }
    Reply fetch(const std::string& name) {
        EXPECT_EQ(write->set({{kTftpServer, 'a', "127.0.0.1"}, {kTftpFile, 's', name}}).errstat, 0);
        return write->set({{kTftpCommand, 'i', "2"}});
    }

    std::unique_ptr<TftpServer> tftpd;
    std::unique_ptr<SimulatedDevice> sim;
    std::unique_ptr<SnmpProbe> write;
};

TEST_F(SimTftp, GetFetchesTheFileAndInstallRefusesAMarkedImage) {
    std::string good(3000, 'g');
    tftpd->put("good.bin", good);
    tftpd->put("overdue.bin", "header KSR4710-REFUSED trailer");

    EXPECT_EQ(fetch("good.bin").errstat, 0);
    EXPECT_EQ(write->set({{kUpgrade, 'i', "1"}}).errstat, 0);
    EXPECT_EQ(fetch("overdue.bin").errstat, 0);
    EXPECT_EQ(write->set({{kUpgrade, 'i', "1"}}).errstat, 19);
    Reply missing = fetch("missing.bin");
    EXPECT_EQ(missing.errstat, 5);  // genErr: the transfer failed
    EXPECT_EQ(write->set({{kUpgrade, 'i', "1"}}).errstat, 5);  // nothing fetched to install
    // Refused SETs start nothing: read community, and a wrong type beside the command.
    SnmpProbe readOnly(sim->address(), sim->port(), "v2c", "gondek", 3000, 0);
    EXPECT_EQ(readOnly.set({{kTftpCommand, 'i', "2"}}).errstat, 6);  // noAccess
    EXPECT_EQ(write->set({{kTftpCommand, 'i', "2"}, {kTftpFile, 'i', "1"}}).errstat, 7);  // wrongType

    std::string port = std::to_string(tftpd->port);
    auto j = sim->tftpJournal();
    ASSERT_EQ(j.size(), 3u);
    EXPECT_EQ(j[0], "GET 127.0.0.1:" + port + " good.bin 3000 ok");
    EXPECT_EQ(j[1], "GET 127.0.0.1:" + port + " overdue.bin 30 ok");
    EXPECT_EQ(j[2].rfind("GET 127.0.0.1:" + port + " missing.bin 0 error ", 0), 0u) << j[2];
    EXPECT_EQ(sim->value(kTftpCommand), "i:4");
    EXPECT_EQ(sim->value(kUpgrade), "i:6");
}

TEST_F(SimTftp, InstallWaitsForTheFetchAndTheAgentKeepsAnswering) {
    tftpd->put("good.bin", std::string(600, 'g'));
    tftpd->put("overdue.bin", std::string(200000, 'x') + "KSR4710-REFUSED");
    ASSERT_EQ(fetch("good.bin").errstat, 0);
    sim->control("install-delay 3000");

    // "Get" then at once the install, without waiting for the Get's answer:
    // the install must judge the file just fetched, not the older one.
    ASSERT_EQ(write->set({{kTftpFile, 's', "overdue.bin"}}).errstat, 0);
    write->sendSet({{kTftpCommand, 'i', "2"}});
    SnmpProbe install(sim->address(), sim->port(), "v2c", "mardule", 10000, 0);
    install.sendSet({{kUpgrade, 'i', "1"}});

    // Meanwhile the sysDescr poll is answered, long before the install ends.
    SnmpProbe poll(sim->address(), sim->port(), "v2c", "gondek", 1500, 0);
    auto start = Clock::now();
    EXPECT_FALSE(poll.get({kSysDescr}).timeout);
    EXPECT_LT(msSince(start), 1500);

    EXPECT_EQ(write->collect(10000).errstat, 0);
    Reply installed = install.collect(10000);
    EXPECT_FALSE(installed.timeout);
    EXPECT_EQ(installed.errstat, 19);
}

TEST_F(SimTftp, RetransmittedInstallRunsOnce) {
    tftpd->put("good.bin", "image");
    ASSERT_EQ(fetch("good.bin").errstat, 0);
    sim->control("install-delay 1000");
    sim->control("log clear");
    sim->clearJournal();
    // A manager that gives up waiting after 250 ms and sends the same request
    // (same request id) again, several times.
    SnmpProbe impatient(sim->address(), sim->port(), "v2c", "mardule", 250, 8);
    Reply r = impatient.set({{kUpgrade, 'i', "1"}});
    EXPECT_FALSE(r.timeout);
    EXPECT_EQ(r.errstat, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // late duplicates drain
    auto journal = sim->journal();
    EXPECT_GE(journal.size(), 3u);  // the retransmissions did arrive
    auto log = sim->control("log");
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) { return l.find("Firmware image installed") != std::string::npos; }),
              1);
}

TEST_F(SimTftp, LogUploadEndsBeforeTheAnswerAndPutSendsTheConfiguration) {
    ASSERT_EQ(write->set({{kLogServer, 'a', "127.0.0.1"}, {kLogFile, 's', "LogFile.RD"}, {kLogGet, 'i', "0"}}).errstat,
              0);
    EXPECT_FALSE(tftpd->exists("LogFile.RD"));
    ASSERT_EQ(write->set({{kLogGet, 'i', "1"}}).errstat, 0);
    std::string log = tftpd->read("LogFile.RD");  // there as soon as the answer is
    EXPECT_NE(log.find("01/01/2010 00:00:01 | [System] System started\n"), std::string::npos) << log;
    std::istringstream lines(log);
    for (std::string l; std::getline(lines, l);) {
        EXPECT_NE(l.find(" | ["), std::string::npos) << l;
        EXPECT_NE(l.find("] "), std::string::npos) << l;
    }

    ASSERT_EQ(write->set({{kLogClear, 'i', "1"}}).errstat, 0);
    ASSERT_EQ(write->set({{kLogGet, 'i', "1"}}).errstat, 0);
    EXPECT_EQ(tftpd->read("LogFile.RD"), "");

    ASSERT_EQ(write->set({{kSysName, 's', "configured"}}).errstat, 0);
    ASSERT_EQ(write->set({{kTftpServer, 'a', "127.0.0.1"}, {kTftpFile, 's', "saved.dcf"}}).errstat, 0);
    ASSERT_EQ(write->set({{kTftpCommand, 'i', "3"}}).errstat, 0);
    EXPECT_NE(tftpd->read("saved.dcf").find(kSysName + " s:\"configured\""), std::string::npos);

    // No server at the address: the command fails instead of claiming success.
    ASSERT_EQ(write->set({{kLogServer, 'a', "0.0.0.0"}}).errstat, 0);
    EXPECT_EQ(write->set({{kLogGet, 'i', "1"}}).errstat, 5);
}

TEST(SimBehaviour, ModelTablesKeepTheirFreeSlots) {
    char templ[] = "/tmp/ksr-simmodel-XXXXXX";
    int fd = mkstemp(templ);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(templ) << "define Root 1.3.6.1.4.1.28687.10.37.40\n"
                            "object sysDescr 1.3.6.1.2.1.1.1.0 s ro \"test\"\n"
                            "table peers Root.3.5.1 1..3 prefix 1\n"
                            "column peers 2 peerMac x rw 000000000000\n"
                            "column peers 3 peerName s rw \"\"\n"
                            "column peers 4 peerAddr a rw\n"
                            "cell peers 1.1 3 first\n";
    SimulatedDevice sim(SimOptions{{"--model", templ}});
    const std::string entry = kRoot + ".3.5.1";
    SnmpProbe read(sim.address(), sim.port(), "v1", "gondek");
    // A walk step over the three columns reads the first slot.
    Reply first = read.getNext({entry + ".2", entry + ".3", entry + ".4"});
    ASSERT_EQ(first.vars.size(), 3u);
    EXPECT_EQ(first.vars[0], std::make_pair(entry + ".2.1.1", std::string("x:000000000000")));
    EXPECT_EQ(first.vars[1], std::make_pair(entry + ".3.1.1", std::string("s:\"first\"")));
    EXPECT_EQ(first.vars[2], std::make_pair(entry + ".4.1.1", std::string("a:0.0.0.0")));

    sim.control("table fill " + entry + " 2");
    EXPECT_EQ(sim.value(entry + ".2.1.2"), "x:001122330002");
    EXPECT_EQ(sim.value(entry + ".3.1.2"), "s:\"r2c3\"");
    EXPECT_EQ(sim.value(entry + ".4.1.2"), "a:10.0.0.2");
    EXPECT_EQ(sim.value(entry + ".3.1.3"), "s:\"\"");  // beyond the filled rows: still free

    sim.control("table empty " + entry);
    auto walk = sim.control("walk " + entry);
    ASSERT_EQ(walk.size(), 9u);  // every slot stays, back to its free value
    EXPECT_EQ(walk[1], entry + ".2.1.2 x:000000000000");
    EXPECT_EQ(walk[4], entry + ".3.1.2 s:\"\"");
    EXPECT_EQ(walk[8], entry + ".4.1.3 a:0.0.0.0");
    unlink(templ);
}
