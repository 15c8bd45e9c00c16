#pragma once
// The device's TFTP client: libcurl's tftp:// support, used blocking from a
// worker thread so that the agent keeps answering meanwhile.

#include <cstdint>
#include <string>

namespace ksrsim {

struct TftpResult {
    bool ok = false;
    size_t bytes = 0;
    std::string error;   // curl's text when !ok
    std::string data;    // what a fetch received
};

// Reads <name> from the server (RRQ, octet mode, 512-byte blocks, no options).
TftpResult tftpGet(const std::string& host, uint16_t port, const std::string& name, unsigned timeoutSeconds);
// Writes data as <name> to the server (WRQ).
TftpResult tftpPut(const std::string& host, uint16_t port, const std::string& name, const std::string& data,
                   unsigned timeoutSeconds);

}  // namespace ksrsim
