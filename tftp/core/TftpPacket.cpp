#include "TftpPacket.h"

#include <cstring>

namespace ksr::tftp {

namespace {

uint16_t number(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

void put(Packet& p, uint16_t v)
{
    p.push_back(static_cast<uint8_t>(v >> 8));
    p.push_back(static_cast<uint8_t>(v & 0xff));
}

// Zero-terminated text from `pos`; moves `pos` past the terminator.
std::string text(const uint8_t* data, std::size_t size, std::size_t& pos)
{
    std::size_t start = pos;
    while (pos < size && data[pos] != 0)
        ++pos;
    std::string s(reinterpret_cast<const char*>(data + start), pos - start);
    if (pos < size)
        ++pos;
    return s;
}

}  // namespace

uint16_t opcodeOf(const uint8_t* data, std::size_t size) { return size >= 2 ? number(data) : 0; }
uint16_t blockOf(const uint8_t* data, std::size_t size) { return size >= 4 ? number(data + 2) : 0; }

bool parseRequest(const uint8_t* data, std::size_t size, Request& out)
{
    if (size < 4)
        return false;
    uint16_t op = number(data);
    if (op != RRQ && op != WRQ)
        return false;
    std::size_t pos = 2;
    out.kind = op;
    out.fileName = text(data, size, pos);
    out.mode = text(data, size, pos);
    return true;
}

Packet makeData(uint16_t block, const uint8_t* payload, std::size_t size)
{
    Packet p;
    p.reserve(4 + size);
    put(p, DATA);
    put(p, block);
    if (size)
        p.insert(p.end(), payload, payload + size);
    return p;
}

Packet makeAck(uint16_t block)
{
    Packet p;
    put(p, ACK);
    put(p, block);
    return p;
}

Packet makeError(uint16_t code)
{
    Packet p;
    put(p, ERROR);
    put(p, code);
    p.push_back(0);
    return p;
}

Packet makeRequest(int kind, const std::string& fileName, const std::string& mode)
{
    Packet p;
    put(p, static_cast<uint16_t>(kind));
    p.insert(p.end(), fileName.begin(), fileName.end());
    p.push_back(0);
    p.insert(p.end(), mode.begin(), mode.end());
    p.push_back(0);
    return p;
}

}  // namespace ksr::tftp
