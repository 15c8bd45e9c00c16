#pragma once
// One TFTP transfer as a state machine without sockets or timers: the driver
// hands it datagrams and the time (milliseconds on a steady clock) and gets
// back the packets to send and the status to report.
//
// Lock-step, 512-byte blocks. Block numbers are 16 bits on the wire and roll
// over from 65535 to 0 (as tftp-hpa and curl do), so files of any size move.

#include "TftpPacket.h"
#include "TftpStatus.h"
#include "TftpStorage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ksr::tftp {

// An IPv4 address and UDP port, both in host byte order.
struct Endpoint {
    uint32_t address = 0;
    uint16_t port = 0;
    bool operator==(const Endpoint& o) const { return address == o.address && port == o.port; }
    bool operator!=(const Endpoint& o) const { return !(*this == o); }
};

struct Outgoing {
    Endpoint to;
    Packet bytes;
};

// What one event asks of the driver: send these packets in order, then (when
// `reported`) call the progress callback with the record's new status.
struct Step {
    std::vector<Outgoing> sends;
    bool reported = false;
};

class TftpTransfer {
public:
    enum State { Failed = 0, Running = 1, Finished = 2 };

    // `record` is the server's template with this request's kind, mode, file
    // name and peer filled in; `folder` already ends in a separator (or is empty).
    TftpTransfer(const VtTFTPStatus& record, const std::string& folder, Endpoint peer,
                 int maxRetries, TftpStorage& storage);

    // Opens the file and sends the first packet (DATA 1, ACK 0 or an ERROR).
    Step start(int64_t nowMs);
    // A datagram that arrived on the session's port.
    Step receive(const uint8_t* data, std::size_t size, Endpoint from, int64_t nowMs);
    // Time-outs: resends the current DATA block, or fails with -1113.
    Step tick(int64_t nowMs);
    // The driver could not send or receive: fails with -1110.
    Step socketFailed();
    // Ends with `code` (negative) unless the transfer already ended.
    Step fail(int code);

    State state() const { return state_; }
    bool running() const { return state_ == Running; }
    // The transfer takes datagrams while its file is open.
    bool fileOpen() const { return file_ != nullptr; }
    VtTFTPStatus& record() { return record_; }
    const VtTFTPStatus& record() const { return record_; }
    Endpoint peer() const { return peer_; }
    // Time of the next time-out check, or -1 when none is due.
    int64_t deadline() const { return deadline_; }
    // Set by the progress callback; the transfer ends with -1114 at the next packet.
    uint8_t cancel = 0;

private:
    Step report(Step step, int code);
    Step failWithError(int code, uint16_t tftpError);
    void close(bool keepWrittenFile);
    void arm(int64_t nowMs);
    Step sendNextBlock(int64_t nowMs);

    VtTFTPStatus record_;
    std::string path_;
    Endpoint peer_;
    int maxRetries_;
    TftpStorage& storage_;
    std::unique_ptr<TftpFile> file_;
    State state_ = Running;
    int64_t deadline_ = -1;       // -1 = none
    uint32_t block_ = 0;          // read: block last sent; write: block last acknowledged
    Packet lastData_;             // for resends
    bool created_ = false;        // a write transfer made the file
};

}  // namespace ksr::tftp
