#pragma once
// Status codes of a TFTP transfer, their fixed texts, and the record that the
// server keeps as a template for new sessions and hands to progress callbacks.

#include <cstdint>
#include <string>

namespace VtTFTP {

enum StatusCode : int {
    Success = 3,
    Transferring = 2,
    Connected = 1,
    Disconnected = 0,
    UndefinedError = -1101,   // TFTP error 0
    FileNotFound = -1102,     // TFTP error 1
    AccessViolation = -1103,  // TFTP error 2
    DiskFull = -1104,         // TFTP error 3
    BadOperation = -1105,     // TFTP error 4
    UnknownPort = -1106,      // TFTP error 5
    FileExists = -1107,       // TFTP error 6
    NoSuchUser = -1108,       // TFTP error 7
    SocketOpenFailed = -1109,
    SocketIoFailed = -1110,
    SocketNotReady = -1111,
    BadPacket = -1112,
    Timeout = -1113,
    Canceled = -1114,
};

// The fixed text of a status code; "" for a code outside the table.
const char* statusText(int code);

}  // namespace VtTFTP

// Kinds of request.
enum : int { TFTP_READ = 1, TFTP_WRITE = 2 };

// Template of the server and status record of a session (same fields, same order).
struct VtTFTPStatus {
    int Status = VtTFTP::SocketNotReady;
    std::string StatusText = VtTFTP::statusText(VtTFTP::SocketNotReady);
    int Kind = TFTP_READ;
    std::string Mode = "octet";
    std::string PeerAddress = "0.0.0.0";
    std::string LocalAddress = "127.0.0.1";
    int Port = 69;
    std::string FileName;
    int64_t TotalBytes = 0;
    int LastBlockSize = -1;
    int PeerPort = 0;
    int SessionNumber = -1;
    int TimeOut = 1000;    // units of 10 ms
    int RetriesUsed = 0;   // sends of the current data block

    void setStatus(int code)
    {
        Status = code;
        StatusText = VtTFTP::statusText(code);
    }
};
