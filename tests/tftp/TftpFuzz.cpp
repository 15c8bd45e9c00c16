// libFuzzer target for the transfer machine: the input is a request followed
// by a script of datagrams (from the peer or a stranger), clock ticks, cancels
// and send failures. Checks that the machine never sends an oversized packet,
// never talks after it ended, serves exactly the file's bytes and writes
// exactly the bytes it acknowledged.

#include "MemoryStorage.h"
#include "TftpTransfer.h"

#include <cstdio>
#include <cstdlib>

using namespace ksr::tftp;

namespace {

struct Input {
    const uint8_t* p;
    std::size_t n;
    bool empty() const { return n == 0; }
    uint8_t byte()
    {
        if (!n)
            return 0;
        --n;
        return *p++;
    }
};

void failed(int line)
{
    std::fprintf(stderr, "TftpFuzz.cpp:%d: check failed\n", line);
    std::abort();
}
#define check(ok) ((ok) ? void() : failed(__LINE__))

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    Input in{data, size};
    const std::size_t requestSize = in.byte();
    Request request;
    const std::size_t take = std::min(requestSize, in.n);
    const bool parsed = parseRequest(in.p, take, request);
    in.p += take;
    in.n -= take;
    if (!parsed)
        request = {in.byte() & 3, "f", "octet"};

    MemoryStorage storage;
    std::vector<uint8_t> file(static_cast<std::size_t>(in.byte()) * 37 + in.byte());
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<uint8_t>(i);
    storage.files["d/f"] = file;
    storage.files["d/sub/g"] = {1, 2, 3};
    if (in.byte() & 1)
        storage.writeLimit = in.byte() * 16u;

    VtTFTPStatus record;
    record.Kind = request.kind;
    record.FileName = request.fileName;
    record.Mode = request.mode;
    record.TimeOut = in.byte() % 8;
    const Endpoint peer{0x7f000001, 1000}, stranger{0x7f000002, 1000};
    TftpTransfer t(record, "d/", peer, in.byte() % 5, storage);

    int64_t now = 0;
    std::vector<uint8_t> served, acked;
    bool completed = false;  // a send failure after the last ACK keeps the whole file
    auto follow = [&](const Step& s) {
        for (const Outgoing& o : s.sends) {
            check(o.bytes.size() >= 4 && o.bytes.size() <= 4 + kBlockSize);
            const uint16_t op = opcodeOf(o.bytes.data(), o.bytes.size());
            check(op == DATA || op == ACK || op == ERROR);
            if (op == DATA && o.to == peer && record.Kind == TFTP_READ && t.record().RetriesUsed == 1)
                served.insert(served.end(), o.bytes.begin() + 4, o.bytes.end());
        }
    };
    follow(t.start(now));

    while (!in.empty()) {
        const uint8_t op = in.byte();
        const bool wasOpen = t.fileOpen();
        Step s;
        switch (op % 5) {
        case 0:
        case 1: {
            std::size_t len = std::min<std::size_t>(in.byte() * 3u, in.n);
            std::vector<uint8_t> dgram(in.p, in.p + len);
            in.p += len;
            in.n -= len;
            const Endpoint from = op % 5 == 0 ? peer : stranger;
            const bool expectedData = from == peer && record.Kind == TFTP_WRITE && len >= 4
                && opcodeOf(dgram.data(), len) == DATA;
            const int64_t before = t.record().TotalBytes;
            s = t.receive(dgram.data(), dgram.size(), from, now);
            if (expectedData && t.record().TotalBytes != before)
                acked.insert(acked.end(), dgram.begin() + 4, dgram.end());
            break;
        }
        case 2:
            now += in.byte();
            s = t.tick(now);
            break;
        case 3:
            t.cancel = in.byte() & 1;
            break;
        case 4:
            if (in.byte() == 0xff)
                s = t.socketFailed();
            break;
        }
        completed = completed || t.state() == TftpTransfer::Finished;
        if (!wasOpen && op % 5 < 2)
            check(s.sends.empty() && !s.reported);
        follow(s);
    }

    if (record.Kind == TFTP_READ) {
        check(served.size() <= file.size());
        check(std::equal(served.begin(), served.end(), file.begin()));
        if (t.state() == TftpTransfer::Finished)
            check(served.size() == file.size());
    }
    if (record.Kind == TFTP_WRITE && t.state() == TftpTransfer::Finished) {
        auto it = storage.files.find("d/" + record.FileName);
        check(it != storage.files.end() && it->second == acked);
    }
    if (record.Kind == TFTP_WRITE && t.state() == TftpTransfer::Failed && !completed)
        check(storage.files.count("d/" + record.FileName) == 0 || record.FileName == "f"
              || record.FileName == "sub/g");
    return 0;
}
