#pragma once
// RFC 1350 packets: opcodes 1 RRQ, 2 WRQ, 3 DATA, 4 ACK, 5 ERROR, numbers in
// network byte order. Options after the mode text are ignored.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ksr::tftp {

enum Opcode : uint16_t { RRQ = 1, WRQ = 2, DATA = 3, ACK = 4, ERROR = 5 };
enum ErrorCode : uint16_t {
    ErrUndefined = 0, ErrNotFound = 1, ErrAccess = 2, ErrDiskFull = 3,
    ErrIllegalOp = 4, ErrUnknownTid = 5, ErrExists = 6, ErrNoUser = 7,
};

constexpr std::size_t kBlockSize = 512;
constexpr std::size_t kMaxDatagram = 2048;

using Packet = std::vector<uint8_t>;

// First two bytes as a number; 0 when shorter.
uint16_t opcodeOf(const uint8_t* data, std::size_t size);
// Bytes 2 and 3 as a number (DATA and ACK block numbers); 0 when shorter.
uint16_t blockOf(const uint8_t* data, std::size_t size);

struct Request {
    int kind = 0;           // 1 read, 2 write
    std::string fileName;
    std::string mode;
};

// A read or write request: the zero-terminated file name and mode after the
// opcode (an unterminated text runs to the end of the datagram). False for
// anything shorter than 4 bytes or with another opcode.
bool parseRequest(const uint8_t* data, std::size_t size, Request& out);

Packet makeData(uint16_t block, const uint8_t* payload, std::size_t size);
Packet makeAck(uint16_t block);
// Code and an empty message (5 bytes).
Packet makeError(uint16_t code);
Packet makeRequest(int kind, const std::string& fileName, const std::string& mode = "octet");

}  // namespace ksr::tftp
