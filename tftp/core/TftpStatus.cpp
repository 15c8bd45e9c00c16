#include "TftpStatus.h"

namespace VtTFTP {

namespace {

// Codes 3..0 are entries 0..3; code -n (n from 1101) is entry n - 1097.
const char* const kTexts[] = {
    "(VtTFTP) Success to transfer file.",
    "(VtTFTP) File is transferring...",
    "(VtTFTP) A TFTP session is connected...",
    "(VtTFTP) A TFTP session is disconnected...",
    "(VtTFTP) Undefined error:",
    "(VtTFTP) File not found!",
    "(VtTFTP) Access violation!",
    "(VtTFTP) Disk full!",
    "(VtTFTP) Bad operation!",
    "(VtTFTP) Unknown port!",
    "(VtTFTP) File already exist!",
    "(VtTFTP) No such user!",
    "(VtTFTP) Fail to open socket!Please check if the network is ready.",
    "(VtTFTP) Fail to send or receive socket packet!",
    "(VtTFTP) Socket is not ready!",
    "(VtTFTP) Bad packet!",
    "(VtTFTP) Timeout!",
    "(VtTFTP) Transfer has been canceled.",
};

}  // namespace

const char* statusText(int code)
{
    int index = -1;
    if (code >= 0 && code <= 3)
        index = 3 - code;
    else if (code <= -1101 && code >= -1114)
        index = -code - 1097;
    return index < 0 ? "" : kTexts[index];
}

}  // namespace VtTFTP
