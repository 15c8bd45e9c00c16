#pragma once
// Result record and exception type shared by the whole binding layer.
//
// Device and SNMP failures never travel as exceptions: they become a code and a
// text in a VtSNMPError. Misuse (bad list, bad binding, bad value for a syntax,
// invalid agent address) and TFTP failures raise a VtException carrying the
// message text and the negative code.

#include <cstdint>
#include <stdexcept>
#include <string>

struct VtSNMPError {
    int32_t Code = 0;            // 0 = success, otherwise a code of the error map
    int32_t ErrorIndex = 0;      // error index of the response (asynchronous completions)
    std::string Message;         // text of Code
    std::string AgentAddress;    // answering agent (asynchronous completions)
    int32_t AgentPort = 0;
    bool Last = true;            // asynchronous completions: no further row follows
    int64_t Number = -1;         // error reports: the request's ErrorCount; -1 in success reports
};

class VtException : public std::runtime_error {
public:
    VtException(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    // The negative code (the "help context" of the message).
    int code() const { return code_; }

private:
    int code_;
};
