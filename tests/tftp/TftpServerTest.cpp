// The server on loopback against real TFTP clients (curl, tftp-hpa) and a
// scripted UDP client for the packet-level cases.

#include "VtError.h"
#include "VtTFTPServer.h"
#include "core/TftpPacket.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ksr::tftp;

namespace {

// Lets the event loop run until `done` or `ms` have passed, waking at least
// every 2 ms to look at sockets the loop does not watch.
void pumpUntil(const std::function<bool()>& done, int ms)
{
    QTimer wake;
    wake.start(2);
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void pumpFor(int ms) { pumpUntil([] { return false; }, ms); }

std::string bytes(std::size_t size, unsigned seed = 1)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 31 + seed * 7 + i / 509) & 0xff);
    return s;
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// A TFTP client that sends what the test says, from 127.0.0.1 on a port of its own.
class ScriptedClient {
public:
    ScriptedClient()
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~ScriptedClient() { ::close(fd_); }

    void sendTo(uint16_t port, const Packet& p)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        ::sendto(fd_, p.data(), p.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    // Replies go back to the port the last packet came from.
    void reply(const Packet& p) { sendTo(lastFrom_, p); }

    // The next datagram, letting the server run meanwhile; empty after `ms`.
    Packet receive(int ms = 2000)
    {
        Packet p(kMaxDatagram);
        ssize_t n = -1;
        pumpUntil([&] {
            sockaddr_in from{};
            socklen_t len = sizeof from;
            n = ::recvfrom(fd_, p.data(), p.size(), 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n >= 0)
                lastFrom_ = ntohs(from.sin_port);
            return n >= 0;
        }, ms);
        p.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
        return p;
    }
    uint16_t lastFrom() const { return lastFrom_; }
    uint16_t port() const
    {
        sockaddr_in a{};
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        return ntohs(a.sin_port);
    }

private:
    int fd_ = -1;
    uint16_t lastFrom_ = 0;
};

uint16_t block(const Packet& p) { return blockOf(p.data(), p.size()); }
uint16_t opcode(const Packet& p) { return opcodeOf(p.data(), p.size()); }

class TftpServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        folder = root.path().toStdString() + "/srv";
        ::mkdir(folder.c_str(), 0755);
        server.SetBindAddress("127.0.0.1");
        server.SetProgressCallback([this](const VtTFTPStatus& s, uint8_t&) {
            statuses.push_back(s.Status);
            last = s;
        });
        server.Listen(folder, 0);
        port = static_cast<uint16_t>(server.Port());
    }

    std::string in(const std::string& name) const { return folder + "/" + name; }
    std::string url(const std::string& name) const
    {
        return "tftp://127.0.0.1:" + std::to_string(port) + "/" + name;
    }

    // Runs a client program to its end while the server keeps working.
    int run(const QString& program, const QStringList& args, const QByteArray& input = {})
    {
        QProcess p;
        p.setProgram(program);
        p.setArguments(args);
        p.start();
        if (!p.waitForStarted())
            return -1;
        if (!input.isEmpty()) {
            p.write(input);
            p.closeWriteChannel();
        }
        pumpUntil([&] { return p.state() == QProcess::NotRunning; }, 30000);
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished();
            return -2;
        }
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -3;
    }
    int curl(const QStringList& args)
    {
        return run("curl", QStringList{"-s", "--max-time", "20"} + args);
    }
    // Waits until every session has been cleared away (status 0 reported).
    void settle() { pumpUntil([&] { return server.SessionCount() == 0; }, 5000); }

    QTemporaryDir root;
    std::string folder;
    // Before the server: its sessions report to them while it is destroyed.
    std::vector<int> statuses;
    VtTFTPStatus last;
    VtTFTPServer server;
    uint16_t port = 0;
};

}  // namespace

TEST_F(TftpServerTest, CurlGetsAndPutsByteIdenticalFiles)
{
    for (std::size_t size : {0u, 511u, 512u, 513u, 1u << 20}) {
        const std::string name = "f" + std::to_string(size);
        const std::string content = bytes(size, static_cast<unsigned>(size));
        writeFile(in(name), content);
        const std::string got = root.path().toStdString() + "/got";
        EXPECT_EQ(curl({"-o", QString::fromStdString(got), QString::fromStdString(url(name))}), 0) << size;
        EXPECT_TRUE(readFile(got) == content) << size;
        settle();
        EXPECT_EQ(last.Status, VtTFTP::Disconnected);
        EXPECT_EQ(last.TotalBytes, static_cast<int64_t>(size));
        EXPECT_EQ(statuses.end()[-2], VtTFTP::Success) << size;

        const std::string src = root.path().toStdString() + "/src";
        writeFile(src, content);
        EXPECT_EQ(curl({"-T", QString::fromStdString(src), QString::fromStdString(url("up" + name))}), 0) << size;
        settle();
        EXPECT_TRUE(readFile(in("up" + name)) == content) << size;
        EXPECT_EQ(statuses.end()[-2], VtTFTP::Success) << size;
    }
}

TEST_F(TftpServerTest, TftpHpaClientGetsAndPutsInBinaryMode)
{
    const std::string content = bytes(3000, 5);
    writeFile(in("cfg.bin"), content);
    const std::string got = root.path().toStdString() + "/cfg.got";
    const QString host = "127.0.0.1";
    EXPECT_EQ(run("tftp", {"-m", "binary", host, QString::number(port), "-c", "get", "cfg.bin",
                           QString::fromStdString(got)}), 0);
    EXPECT_TRUE(readFile(got) == content);
    EXPECT_EQ(run("tftp", {"-m", "binary", host, QString::number(port), "-c", "put",
                           QString::fromStdString(got), "back.bin"}), 0);
    settle();
    EXPECT_TRUE(readFile(in("back.bin")) == content);
}

TEST_F(TftpServerTest, MissingFileAndMissingFolderAreRefused)
{
    ScriptedClient c;
    ::mkdir(in("sub").c_str(), 0755);
    for (const char* name : {"absent.bin", "sub"}) {
        c.sendTo(port, makeRequest(RRQ, name));
        EXPECT_EQ(c.receive(), makeError(ErrNotFound)) << name;
        settle();
        EXPECT_EQ(statuses.end()[-2], VtTFTP::FileNotFound) << name;
    }

    c.sendTo(port, makeRequest(WRQ, "nodir/x.bin"));
    EXPECT_EQ(c.receive(), makeError(ErrAccess));
    settle();
    EXPECT_EQ(statuses.end()[-2], VtTFTP::AccessViolation);
    EXPECT_FALSE(exists(in("nodir")));
}

TEST_F(TftpServerTest, TraversalNamesAreRefusedAndNothingOutsideIsTouched)
{
    const std::string outside = root.path().toStdString() + "/x";
    for (const char* name : {"../x", "a/../../x", "/etc/passwd", "..\\x"}) {
        for (int kind : {RRQ, WRQ}) {
            ScriptedClient c;
            c.sendTo(port, makeRequest(kind, name));
            EXPECT_EQ(c.receive(), makeError(ErrAccess)) << name << " " << kind;
            settle();
            EXPECT_EQ(statuses.end()[-2], VtTFTP::AccessViolation) << name;
        }
    }
    EXPECT_FALSE(exists(outside));
    EXPECT_FALSE(exists(folder + "/..\\x"));
}

TEST_F(TftpServerTest, SilentClientGetsTheBlockThreeTimesThenTimeOut)
{
    server.SetLimits(/*timeOut=*/5, /*retries=*/3);
    writeFile(in("f"), bytes(1500));
    ScriptedClient c;
    c.sendTo(port, makeRequest(RRQ, "f"));
    EXPECT_EQ(block(c.receive()), 1);
    c.reply(makeAck(1));
    int sends = 0;
    for (Packet p = c.receive(); !p.empty(); p = c.receive(300)) {
        EXPECT_EQ(opcode(p), DATA);
        EXPECT_EQ(block(p), 2);
        ++sends;
    }
    EXPECT_EQ(sends, 3);
    settle();
    EXPECT_EQ(statuses.end()[-2], VtTFTP::Timeout);
}

TEST_F(TftpServerTest, RepeatedAcksAndRepeatedRequestsAreIgnored)
{
    const std::string content = bytes(1100);
    writeFile(in("f"), content);
    ScriptedClient c;
    c.sendTo(port, makeRequest(RRQ, "f"));
    c.sendTo(port, makeRequest(RRQ, "f"));  // the same request again, same port
    Packet d1 = c.receive();
    EXPECT_EQ(block(d1), 1);
    EXPECT_TRUE(c.receive(150).empty());  // no second session answered
    EXPECT_EQ(server.SessionCount(), 1u);
    EXPECT_EQ(server.Request().SessionNumber, 0);

    c.reply(makeAck(1));
    Packet d2 = c.receive();
    EXPECT_EQ(block(d2), 2);
    c.reply(makeAck(1));
    c.reply(makeAck(1));
    EXPECT_TRUE(c.receive(150).empty());
    c.reply(makeAck(2));
    Packet d3 = c.receive();
    EXPECT_EQ(block(d3), 3);
    c.reply(makeAck(3));
    settle();
    EXPECT_EQ(statuses.end()[-2], VtTFTP::Success);
    std::string got;
    for (const Packet* p : {&d1, &d2, &d3})
        got.append(p->begin() + 4, p->end());
    EXPECT_EQ(got, content);
}

TEST_F(TftpServerTest, PacketFromAForeignPortGetsUnknownTransferId)
{
    const std::string content = bytes(700);
    writeFile(in("f"), content);
    ScriptedClient device, stranger;
    device.sendTo(port, makeRequest(RRQ, "f"));
    Packet d1 = device.receive();
    stranger.sendTo(device.lastFrom(), makeAck(1));
    EXPECT_EQ(stranger.receive(), makeError(ErrUnknownTid));
    device.reply(makeAck(1));
    Packet d2 = device.receive();
    EXPECT_EQ(block(d2), 2);
    device.reply(makeAck(2));
    settle();
    EXPECT_EQ(statuses.end()[-2], VtTFTP::Success);
    EXPECT_EQ(std::string(d1.begin() + 4, d1.end()) + std::string(d2.begin() + 4, d2.end()), content);
}

TEST_F(TftpServerTest, SecondListenOnlyChangesTheFolder)
{
    const std::string other = root.path().toStdString() + "/other";
    ::mkdir(other.c_str(), 0755);
    writeFile(other + "/o.bin", "from other");
    server.Listen(other, port == 60000 ? 60001 : 60000);
    EXPECT_EQ(server.Port(), port);
    EXPECT_EQ(server.Folder(), other + "/");
    const std::string got = root.path().toStdString() + "/o.got";
    EXPECT_EQ(curl({"-o", QString::fromStdString(got), QString::fromStdString(url("o.bin"))}), 0);
    EXPECT_EQ(readFile(got), "from other");
}

TEST_F(TftpServerTest, BusyPortRaisesAndTheEnvironmentPicksTheWellKnownPort)
{
    VtTFTPServer second;
    second.SetBindAddress("127.0.0.1");
    try {
        second.Listen(folder, port);
        ADD_FAILURE() << "bound a port in use";
    } catch (const VtException& e) {
        EXPECT_EQ(e.code(), -1109);
        EXPECT_STREQ(e.what(), "(VtTFTP) Fail to open socket!Please check if the network is ready.");
    }
    EXPECT_FALSE(second.Listening());

    // Other processes on this machine may hold any fixed number: take one
    // the kernel just handed out and gave back.
    int freePort = ScriptedClient().port();
    ::setenv("KSR4710_TFTP_PORT", std::to_string(freePort).c_str(), 1);
    VtTFTPServer third;
    third.SetBindAddress("127.0.0.1");
    third.Listen(folder);
    ::unsetenv("KSR4710_TFTP_PORT");
    EXPECT_EQ(third.Port(), freePort);
}

TEST_F(TftpServerTest, StopWaitsForRunningSessions)
{
    writeFile(in("f"), bytes(600));
    ScriptedClient c;
    c.sendTo(port, makeRequest(RRQ, "f"));
    EXPECT_EQ(block(c.receive()), 1);
    c.reply(makeAck(1));
    EXPECT_EQ(block(c.receive()), 2);
    c.reply(makeAck(2));
    server.Stop();
    EXPECT_EQ(server.SessionCount(), 0u);
    EXPECT_FALSE(server.Listening());
    EXPECT_EQ(statuses.end()[-2], VtTFTP::Success);
}
