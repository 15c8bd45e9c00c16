// The transfer machine driven packet by packet over files in memory, the
// codec, the name confinement and the server address choice.

#include "MemoryStorage.h"
#include "ServerAddress.h"
#include "TftpPath.h"
#include "TftpTransfer.h"

#include <gtest/gtest.h>

using namespace ksr::tftp;

namespace {

const Endpoint kPeer{0x7f000001, 40000};
const Endpoint kStranger{0x7f000001, 40001};

std::vector<uint8_t> pattern(std::size_t size)
{
    std::vector<uint8_t> v(size);
    for (std::size_t i = 0; i < size; ++i)
        v[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return v;
}

struct Machine {
    MemoryStorage storage;
    std::unique_ptr<TftpTransfer> t;
    std::vector<int> reports;
    int64_t now = 1000;

    void create(int kind, const std::string& name, int timeOut = 5, int retries = 3)
    {
        VtTFTPStatus r;
        r.Kind = kind;
        r.FileName = name;
        r.TimeOut = timeOut;
        t = std::make_unique<TftpTransfer>(r, "dir/", kPeer, retries, storage);
    }
    Step note(Step s)
    {
        if (s.reported)
            reports.push_back(t->record().Status);
        return s;
    }
    Step start() { return note(t->start(now)); }
    Step send(const Packet& p, Endpoint from = kPeer) { return note(t->receive(p.data(), p.size(), from, now)); }
    Step tick() { return note(t->tick(now)); }
};

Packet only(const Step& s)
{
    EXPECT_EQ(s.sends.size(), 1u);
    return s.sends.empty() ? Packet{} : s.sends[0].bytes;
}

// Plays a well-behaved client fetching the file; returns what it received
// and the number of DATA packets.
std::pair<std::vector<uint8_t>, std::size_t> download(Machine& m)
{
    std::vector<uint8_t> got;
    std::size_t blocks = 0;
    Packet p = only(m.start());
    for (;;) {
        EXPECT_EQ(opcodeOf(p.data(), p.size()), DATA);
        ++blocks;
        got.insert(got.end(), p.begin() + 4, p.end());
        Step s = m.send(makeAck(blockOf(p.data(), p.size())));
        if (s.sends.empty())
            break;
        p = only(s);
    }
    return {got, blocks};
}

}  // namespace

TEST(TftpStatus, CodesMapToTheirTexts)
{
    EXPECT_STREQ(VtTFTP::statusText(3), "(VtTFTP) Success to transfer file.");
    EXPECT_STREQ(VtTFTP::statusText(0), "(VtTFTP) A TFTP session is disconnected...");
    EXPECT_STREQ(VtTFTP::statusText(-1101), "(VtTFTP) Undefined error:");
    EXPECT_STREQ(VtTFTP::statusText(-1109), "(VtTFTP) Fail to open socket!Please check if the network is ready.");
    EXPECT_STREQ(VtTFTP::statusText(-1114), "(VtTFTP) Transfer has been canceled.");
    for (int outside : {4, -1, -1100, -1115})
        EXPECT_STREQ(VtTFTP::statusText(outside), "") << outside;
    VtTFTPStatus defaults;
    EXPECT_EQ(defaults.Status, -1111);
    EXPECT_EQ(defaults.StatusText, "(VtTFTP) Socket is not ready!");
}

TEST(TftpPacket, RequestsIgnoreOptionsAndToleratesMissingTerminators)
{
    Packet p = makeRequest(RRQ, "fw.bin", "octet");
    const char opts[] = "blksize\0" "1468\0";
    p.insert(p.end(), opts, opts + sizeof opts - 1);
    Request r;
    ASSERT_TRUE(parseRequest(p.data(), p.size(), r));
    EXPECT_EQ(r.kind, 1);
    EXPECT_EQ(r.fileName, "fw.bin");
    EXPECT_EQ(r.mode, "octet");

    const uint8_t unterminated[] = {0, 2, 'a', 'b', 'c'};
    ASSERT_TRUE(parseRequest(unterminated, sizeof unterminated, r));
    EXPECT_EQ(r.kind, 2);
    EXPECT_EQ(r.fileName, "abc");
    EXPECT_EQ(r.mode, "");

    const uint8_t data[] = {0, 3, 0, 1};
    const uint8_t tiny[] = {0, 1, 'a'};
    EXPECT_FALSE(parseRequest(data, sizeof data, r));
    EXPECT_FALSE(parseRequest(tiny, sizeof tiny, r));
    EXPECT_EQ(makeError(ErrNotFound), (Packet{0, 5, 0, 1, 0}));
}

TEST(TftpPath, NamesStayInsideTheFolder)
{
    struct Case { const char* name; bool allowed; };
    const Case cases[] = {
        {"fw.bin", true}, {"sub/fw.bin", true}, {"a..b", true}, {"..a", true},
        {"", false}, {"/etc/passwd", false}, {"../x", false}, {"a/../../x", false},
        {"..", false}, {"a/..", false}, {"..\\x", false}, {"a\\b", false},
        {"a\x01" "b", false}, {"a\nb", false}, {"a\x7f", false},
    };
    for (const Case& c : cases) {
        std::string path;
        EXPECT_EQ(confinedPath("srv/", c.name, path), c.allowed) << c.name;
        if (c.allowed)
            EXPECT_EQ(path, std::string("srv/") + c.name);
    }
    EXPECT_EQ(folderWithSeparator(""), "");
    EXPECT_EQ(folderWithSeparator("/x"), "/x/");
    EXPECT_EQ(folderWithSeparator("/x/"), "/x/");
    EXPECT_EQ(folderWithSeparator("/x\\"), "/x/");
}

TEST(TftpTransfer, ReadsDeliverTheFileWithAnEmptyBlockAfterAFullLastOne)
{
    struct Case { std::size_t size; std::size_t blocks; };
    for (Case c : {Case{0, 1}, Case{511, 1}, Case{512, 2}, Case{513, 2}, Case{1024, 3}, Case{5000, 10}}) {
        Machine m;
        m.storage.files["dir/f"] = pattern(c.size);
        m.create(TFTP_READ, "f");
        auto [got, blocks] = download(m);
        EXPECT_EQ(got, pattern(c.size)) << c.size;
        EXPECT_EQ(blocks, c.blocks) << c.size;
        EXPECT_EQ(m.reports.back(), VtTFTP::Success) << c.size;
        EXPECT_EQ(m.t->record().TotalBytes, static_cast<int64_t>(c.size));
        EXPECT_FALSE(m.t->fileOpen());
    }
}

TEST(TftpTransfer, RepeatedAndStrayAcksGetNoReply)
{
    Machine m;
    m.storage.files["dir/f"] = pattern(1500);
    m.create(TFTP_READ, "f");
    m.start();
    Packet data2 = only(m.send(makeAck(1)));
    EXPECT_EQ(blockOf(data2.data(), data2.size()), 2);
    const std::size_t reportsBefore = m.reports.size();
    for (uint16_t stale : {1, 0, 3, 9})
        EXPECT_TRUE(m.send(makeAck(stale)).sends.empty()) << stale;
    EXPECT_TRUE(m.send(Packet{0, 3, 0, 2}).sends.empty());  // DATA to a read session
    EXPECT_TRUE(m.send(Packet{0, 4, 0}).sends.empty());     // short
    EXPECT_EQ(m.reports.size(), reportsBefore);
    Packet data3 = only(m.send(makeAck(2)));
    EXPECT_EQ(blockOf(data3.data(), data3.size()), 3);
}

TEST(TftpTransfer, SilentPeerGetsTheBlockThreeTimesThenTimeOut)
{
    Machine m;
    m.storage.files["dir/f"] = pattern(2000);
    m.create(TFTP_READ, "f", /*timeOut=*/5);
    m.start();
    Packet data2 = only(m.send(makeAck(1)));
    m.now += 49;
    EXPECT_TRUE(m.tick().sends.empty());
    for (int resend = 2; resend <= 3; ++resend) {
        m.now += 50;
        EXPECT_EQ(only(m.tick()), data2);
        EXPECT_EQ(m.t->record().RetriesUsed, resend);
    }
    m.now += 50;
    EXPECT_TRUE(m.tick().sends.empty());
    EXPECT_EQ(m.reports.back(), VtTFTP::Timeout);
    EXPECT_EQ(m.t->state(), TftpTransfer::Failed);
}

TEST(TftpTransfer, ForeignSourceGetsUnknownTransferIdAndTransferGoesOn)
{
    Machine m;
    m.storage.files["dir/f"] = pattern(700);
    m.create(TFTP_READ, "f");
    m.start();
    Step s = m.send(makeAck(1), kStranger);
    ASSERT_EQ(s.sends.size(), 1u);
    EXPECT_EQ(s.sends[0].to, kStranger);
    EXPECT_EQ(s.sends[0].bytes, makeError(ErrUnknownTid));
    EXPECT_FALSE(s.reported);
    Step next = m.send(makeAck(1));
    EXPECT_EQ(next.sends[0].to, kPeer);
    EXPECT_EQ(blockOf(next.sends[0].bytes.data(), next.sends[0].bytes.size()), 2);
}

TEST(TftpTransfer, BlockNumbersRollOverPast65535)
{
    const std::size_t size = 65536u * 512 + 100;  // 65537 blocks
    Machine read;
    read.storage.files["dir/big"] = pattern(size);
    read.create(TFTP_READ, "big");
    auto [got, blocks] = download(read);
    EXPECT_EQ(blocks, 65537u);
    EXPECT_TRUE(got == pattern(size));
    EXPECT_EQ(read.reports.back(), VtTFTP::Success);

    Machine write;
    write.create(TFTP_WRITE, "big");
    EXPECT_EQ(only(write.start()), makeAck(0));
    const std::vector<uint8_t> src = pattern(size);
    for (std::size_t block = 1, off = 0; off <= size; ++block, off += 512) {
        std::size_t n = std::min<std::size_t>(512, size - off);
        uint16_t wire = static_cast<uint16_t>(block);
        EXPECT_EQ(only(write.send(makeData(wire, src.data() + off, n))), makeAck(wire));
        if (n < 512)
            break;
    }
    EXPECT_EQ(write.reports.back(), VtTFTP::Success);
    EXPECT_TRUE(write.storage.files["dir/big"] == src);
}

TEST(TftpTransfer, WritesStoreTheDataAndIgnoreRepeatedBlocks)
{
    Machine m;
    m.create(TFTP_WRITE, "up.bin");
    EXPECT_EQ(only(m.start()), makeAck(0));
    const std::vector<uint8_t> src = pattern(1024 + 10);
    EXPECT_EQ(only(m.send(makeData(1, src.data(), 512))), makeAck(1));
    EXPECT_TRUE(m.send(makeData(1, src.data(), 512)).sends.empty());
    EXPECT_TRUE(m.send(makeData(3, src.data(), 512)).sends.empty());
    EXPECT_EQ(only(m.send(makeData(2, src.data() + 512, 512))), makeAck(2));
    EXPECT_EQ(m.reports.back(), VtTFTP::Transferring);
    EXPECT_EQ(only(m.send(makeData(3, src.data() + 1024, 10))), makeAck(3));
    EXPECT_EQ(m.reports.back(), VtTFTP::Success);
    EXPECT_EQ(m.storage.files["dir/up.bin"], src);
    EXPECT_EQ(m.t->record().LastBlockSize, 10);
}

TEST(TftpTransfer, RefusalsSendTheMatchingErrorAndStatus)
{
    struct Case { int kind; const char* name; uint16_t error; int status; };
    const Case cases[] = {
        {TFTP_READ, "absent", ErrNotFound, VtTFTP::FileNotFound},
        {TFTP_WRITE, "missing/x", ErrAccess, VtTFTP::AccessViolation},
        {TFTP_READ, "../x", ErrAccess, VtTFTP::AccessViolation},
        {TFTP_WRITE, "a/../../x", ErrAccess, VtTFTP::AccessViolation},
        {TFTP_READ, "/etc/passwd", ErrAccess, VtTFTP::AccessViolation},
        {TFTP_WRITE, "..\\x", ErrAccess, VtTFTP::AccessViolation},
        {7, "f", ErrIllegalOp, VtTFTP::BadOperation},
    };
    for (const Case& c : cases) {
        Machine m;
        m.create(c.kind, c.name);
        Step s = m.start();
        ASSERT_EQ(s.sends.size(), 1u) << c.name;
        EXPECT_EQ(s.sends[0].bytes, makeError(c.error)) << c.name;
        EXPECT_EQ(m.reports, std::vector<int>{c.status}) << c.name;
        EXPECT_EQ(m.t->state(), TftpTransfer::Failed);
        if (c.status == VtTFTP::AccessViolation && c.error == ErrAccess && std::string(c.name) != "missing/x")
            EXPECT_TRUE(m.storage.touched.empty()) << c.name;
    }
}

TEST(TftpTransfer, DiskFailuresEndWithAnErrorAndLeaveNoPartialFile)
{
    Machine w;
    w.storage.writeLimit = 600;
    w.create(TFTP_WRITE, "up");
    w.start();
    const std::vector<uint8_t> src = pattern(1024);
    w.send(makeData(1, src.data(), 512));
    EXPECT_EQ(only(w.send(makeData(2, src.data() + 512, 512))), makeError(ErrDiskFull));
    EXPECT_EQ(w.reports.back(), VtTFTP::DiskFull);
    EXPECT_EQ(w.storage.files.count("dir/up"), 0u);

    Machine r;
    r.storage.files["dir/f"] = pattern(100);
    r.storage.failReads = true;
    r.create(TFTP_READ, "f");
    EXPECT_EQ(only(r.start()), makeError(ErrUndefined));
    EXPECT_EQ(r.reports.back(), VtTFTP::UndefinedError);
}

TEST(TftpTransfer, CancelEndsAtTheNextPacketAndTimedOutWritesLeaveNoFile)
{
    Machine m;
    m.create(TFTP_WRITE, "up");
    m.start();
    const std::vector<uint8_t> src = pattern(512);
    m.send(makeData(1, src.data(), 512));
    m.t->cancel = 1;
    EXPECT_TRUE(m.send(makeData(2, src.data(), 512)).sends.empty());
    EXPECT_EQ(m.reports.back(), VtTFTP::Canceled);
    EXPECT_EQ(m.storage.files.count("dir/up"), 0u);

    Machine silent;
    silent.create(TFTP_WRITE, "up2", /*timeOut=*/5);
    silent.start();
    silent.send(makeData(1, src.data(), 512));
    silent.now += 50;
    silent.tick();
    EXPECT_EQ(silent.reports.back(), VtTFTP::Timeout);
    EXPECT_EQ(silent.storage.files.count("dir/up2"), 0u);
}

TEST(ServerAddress, InterfaceOnTheDeviceNetworkThenTheLocalListThenNone)
{
    const std::vector<ksr::InterfaceAddress> itfs = {
        {"127.0.0.1", "255.0.0.0"}, {"10.1.2.3", "255.255.0.0"}, {"192.168.1.20", "255.255.255.0"}};
    int asked = 0;
    auto list = [&] { ++asked; return std::vector<std::string>{"172.16.0.9", " 192.168.7.44 "}; };

    EXPECT_EQ(ksr::chooseServerAddress(itfs, "192.168.1.1", "255.255.255.0", "192.168.7.1", list), "192.168.1.20");
    EXPECT_EQ(ksr::chooseServerAddress(itfs, "10.1.200.1", "255.255.0.0", "", list), "10.1.2.3");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ksr::chooseServerAddress(itfs, "192.168.9.1", "255.255.255.0", "192.168.7.1", list), "192.168.7.44");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ksr::chooseServerAddress(itfs, "192.168.9.1", "255.255.255.0", "192.168.8.1", list), std::nullopt);
    EXPECT_EQ(ksr::chooseServerAddress({}, "192.168.9.1", "255.255.255.0", "192.168.8.1", nullptr), std::nullopt);
}
