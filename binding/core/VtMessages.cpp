#include "VtMessages.h"

#include <dirent.h>
#include <strings.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <vector>

#include "VtError.h"

namespace {

const std::vector<std::string> kSnmp = {
    "(SNMP) Response PDU Too Big!",
    "(SNMP) Variable does not exist!",
    "(SNMP) Cannot modify variable: Bad Value!",
    "(SNMP) Cannot modify object, Read Only!",
    "(SNMP) Cannot perform operation, General Error!",
    "(SNMP) Cannot access variable, No Access!",
    "(SNMP) Cannot create/modify variable, Wrong Type!",
    "(SNMP) Cannot create/set variable, Wrong Length!",
    "(SNMP) Cannot create/set variable, Wrong Encoding!",
    "(SNMP) Cannot create/set variable, Wrong Value!",
    "(SNMP) Cannot create variable, Creation Not Allowed!",
    "(SNMP) Cannot create/set variable, Inconsistent Value!",
    "(SNMP) Cannot create/set variable, Resource Unavailable!",
    "(SNMP) Cannot create/set variable, Commit Failed!",
    "(SNMP) Cannot create/set variable, Undo Failed!",
    "(SNMP) Cannot perform operation, Authorization Error!",
    "(SNMP) Cannot create/set variable, Not Writable!",
    "(SNMP) Cannot create variable, Inconsistent Name!",
    "(SNMP) Cannot download the overdue firmware!",
};

const std::vector<std::string> kSnmpV3 = {
    "(SNMPv3) Unsupported Security Model!",
    "(SNMPv3) Message not in Time Window!",
    "(SNMPv3) Received same Message twice!",
    "(SNMPv3) Invalid Message!",
    "(SNMPv3) Invalid EngineID!",
    "(SNMPv3) v3MP not initialized!",
    "(SNMPv3) Parse Error!",
    "(SNMPv3) Received Message with unknown MsgID!",
    "(SNMPv3) Message does not match known message!",
    "(SNMPv3) Community format error!",
    "(SNMPv3) Unknown UserName!",
    "(SNMPv3) Build error!",
    "(SNMPv3) USM: error!",
    "(SNMPv3) Unknown pdu handlers!",
    "(SNMPv3) Unavailable Context!",
    "(SNMPv3) Unknown Context!",
    "(SNMPv3) Report sent!",
};

const std::vector<std::string> kSnmpUsm = {
    "(SNMPv3USM) error!",
    "(SNMPv3USM) Configfile write error!",
    "(SNMPv3USM) Unsupported SecurityLevel!",
    "(SNMPv3USM) Unknown SecurityName!",
    "(SNMPv3USM) Encryption error!",
    "(SNMPv3USM) Decryption error!",
    "(SNMPv3USM) Authentication error!",
    "(SNMPv3USM) Authentication failure!",
    "(SNMPv3USM) Parse error!",
    "(SNMPv3USM) Unknown EngineID!",
    "(SNMPv3USM) Message not in TimeWindow!",
    "(SNMPv3USM) Unsupported AuthProtocol!",
    "(SNMPv3USM) Unsupported PrivProtocol!",
    "(SNMPv3USM) Address error!",
};

const std::vector<std::string> kSnmpClass = {
    "(SNMPClass) Operation failed!",
    "(SNMPClass) Resource unavailable!",
    "(SNMPClass) Internal error!",
    "(SNMPClass) Unsupported function!",
    "(SNMPClass) SNMP request timed out!",
    "(SNMPClass) Received SNMP Response!",
    "(SNMPClass) Received SNMP Notification (trap or inform)!",
    "(SNMPClass) Closing session with outstanding requests!",
    "(SNMPClass)Unknown error code!",
    "(SNMPClass) Class not valid!",
    "(SNMPClass) Invalid Pdu!",
    "(SNMPClass) Invalid Target!",
    "(SNMPClass) Invalid (null) Callback Function!",
    "(SNMPClass) Invalid Request Id!",
    "(SNMPClass) Invalid Notification Id!",
    "(SNMPClass) SNMP Operation not supported on specified Target!",
    "(SNMPClass) Invalid Object Identifier!",
    "(SNMPClass) Invalid Address!",
    "(SNMPClass) Agent indicates error in SNMP request!",
    "(SNMP Class) Transport is not supported!",
    "(SNMPClass) Transport is in use!",
    "(SNMPClass) Transport operation failed!",
    "(SNMPClass) Blocked Mode Shutdown!",
};

const std::vector<std::string> kVtSnmp = {
    "(VtSNMP++) Ok!",
    "(VtSNMP++) Fail to read SNMP variables from file([FILENAME])!",
    "(VtSNMP++) Bad format at line([LINENO])in SNMP variables file([FILENAME])!",
    "(VtSNMP++) Bad item type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(VtSNMP++) Bad syntax at line([LINENO])in SNMP variables file([FILENAME])!",
    "(VtSNMP++) Bad access type at line([LINENO])in SNMP variables file([FILENAME])!",
    "(VtSNMP++) Cannot create the global VtSNMP++ session!",
    "(VtSNMP++) Error when loading SNMP engine boots counter!",
    "(VtSNMP++) Error when saving SNMP engine boots counter!",
    "(VtSNMP++) Invalid IP Address or DNS name!",
    "(VtSNMP++) Can't send get-next command for a SNMP variable list with single value!",
    "(VtSNMP++) Bad SNMP syntax!",
    "(VtSNMP++) Null value in the expression!",
    "(VtSNMP++) Bad SNMP syntax in the expression!",
    "(VtSNMP++) Bad key count of SNMP variable list!",
    "(VtSNMP++) Bad item type of SNMP variable list!",
    "(VtSNMP++) Bad item type of associated SNMP variable list!",
    "(VtSNMP++) Bad syntax of the associated SNMP variable's (partial) data!",
    "(VtSNMP++) Bad value of the associated SNMP variable's (partial) data!",
    "(VtSNMP++) Out of range for the bit(byte) index of the associated SNMP variable's (partial) data!",
    "(VtSNMP++) No reference option list for a SNMP variable's (partial) data associating with a optional visual control!",
    "(VtSNMP++) Bad type of the associated visual control!",
    "(VtSNMP++) Count of the associated visual controls is not enough!",
    "(VtSNMP++) No system start time for the time whose data source is the SNMP variable's (partial) data with syntax timeticks!",
    "(VtSNMP++) Count of the value items for the chart's history data is not enough!",
    "(VtSNMP++) Log database is not connected!",
    "(VtSNMP++) Log database field not found!",
    "(VtSNMP++) Bad syntax for the history chart of log!",
    "(VtSNMP++) Unknown error code!",
};

const std::vector<std::string> kSnmpMsg = {
    "Get: [ERROR] Request:[VARLIST]. Receive at [TIME].",
    "Set: [ERROR] Request:[VARLIST]. Receive at [TIME].",
};

const std::vector<std::string> kCommon = {
    "(VtCommon) Ok!",
    "(VtCommon) Bad logic operand!",
    "(VtCommon) Bad format specifier of edit's constraint!",
    "(VtCommon) Empty value is not allowed!",
    "(VtCommon) Please enter a string whose length is less than [MAXLEN]!",
    "(VtCommon) Please enter a string whose length is [LEN]!",
    "(VtCommon) Please enter a hex string whose length is less than [MAXLEN]!",
    "(VtCommon) Please enter a hex string whose length is [LEN]!",
    "(VtCommon) Please enter a number between [MIN] and [MAX]!",
    "(VtCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
    "Here,the count of the number is less than [MAXCOUNT]!",
    "(VtCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
    "Here,the count of the number is equal to [COUNT]!",
    "(VtCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
    "Here,each number is between [MIN] and [MAX]!",
    "(VtCommon) Out of range at index of array or list!",
    "(VtCommon) Destination buffer is undersize!",
    "(VtCommon) The source to dncrypt is not encrypted!",
    "(VtCommon) Fail to read data from file([FILENAME])!",
    "(VtCommon) Fail to write data to file([FILENAME])!",
    "(VtCommon) Fail to write value in ini file([FILENAME])!",
    "(VtCommon) Fail to read option data from file([FILENAME])!",
};

constexpr int kTableCount = 7;

const std::vector<std::string>& builtIn(VtMsgTable t) {
    static const std::array<const std::vector<std::string>*, kTableCount> tables = {
        &kSnmp, &kSnmpV3, &kSnmpUsm, &kSnmpClass, &kVtSnmp, &kSnmpMsg, &kCommon};
    return *tables.at(static_cast<int>(t));
}

std::array<std::vector<std::string>, kTableCount>& current() {
    static std::array<std::vector<std::string>, kTableCount> tables = [] {
        std::array<std::vector<std::string>, kTableCount> t;
        for (int i = 0; i < kTableCount; ++i) t[i] = builtIn(static_cast<VtMsgTable>(i));
        return t;
    }();
    return tables;
}

bool isBlankLine(const std::string& line) {
    for (unsigned char c : line)
        if (c > ' ') return false;  // blanks and control characters are trimmed
    return true;
}

// Reads the file's lines as the loader sees them: at most 1023 characters
// per piece, the line end removed.
bool readLines(const std::string& path, std::vector<std::string>& lines) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[1024];
    while (std::fgets(buf, sizeof buf, f)) {
        std::string line(buf);
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            if (!line.empty() && line.back() == '\r') line.pop_back();
        }
        lines.push_back(std::move(line));
    }
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

std::string replaceAll(std::string text, const std::string& what, const std::string& with) {
    for (size_t pos = 0; (pos = text.find(what, pos)) != std::string::npos; pos += with.size())
        text.replace(pos, what.size(), with);
    return text;
}

std::time_t (*g_clock)() = [] { return std::time(nullptr); };

}  // namespace

const char* VtMsgFileName(VtMsgTable table) {
    static const char* const names[kTableCount] = {"snmp.err",     "snmpv3.err", "snmpusm.err", "snmpclass.err",
                                                   "vtsnmp.err",   "snmp.msg",   "common.err"};
    return names[static_cast<int>(table)];
}

std::string VtMsgText(VtMsgTable table, int entry) {
    const auto& t = current().at(static_cast<int>(table));
    if (entry >= 0 && entry < static_cast<int>(t.size())) return t[entry];
    const auto& b = builtIn(table);
    if (entry >= 0 && entry < static_cast<int>(b.size())) return b[entry];
    return "";
}

bool VtLoadMessageTable(VtMsgTable table, const std::string& path) {
    std::vector<std::string> lines;
    if (!readLines(path, lines)) return false;
    std::vector<std::string> entries;
    for (auto& line : lines)
        if (!isBlankLine(line)) entries.push_back(std::move(line));
    if (entries.empty()) return false;
    current().at(static_cast<int>(table)) = std::move(entries);
    return true;
}

void VtLoadMessageTables(const std::string& folder) {
    // Find each file by name without regard to case.
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.empty() ? "." : folder.c_str())) {
        while (dirent* e = readdir(d)) names.emplace_back(e->d_name);
        closedir(d);
    }
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    for (int i = 0; i < kTableCount; ++i) {
        auto table = static_cast<VtMsgTable>(i);
        for (const auto& n : names)
            if (strcasecmp(n.c_str(), VtMsgFileName(table)) == 0) {
                VtLoadMessageTable(table, prefix + n);
                break;
            }
    }
}

void VtResetMessageTables() {
    for (int i = 0; i < kTableCount; ++i) current()[i] = builtIn(static_cast<VtMsgTable>(i));
}

std::pair<int, std::string> VtMapOutcome(int outcome) {
    if (outcome == 0 || outcome == 1400 || outcome == -1401) return {0, VtMsgText(VtMsgTable::VtSnmp, 0)};
    if (outcome >= 1 && outcome <= 19) return {-100 - outcome, VtMsgText(VtMsgTable::Snmp, outcome - 1)};
    if (outcome >= 1401 && outcome <= 1414)
        return {1100 - outcome, VtMsgText(VtMsgTable::SnmpUsm, outcome - 1401)};
    if (outcome <= -1402 && outcome >= -1418)
        return {outcome + 1201, VtMsgText(VtMsgTable::SnmpV3, -1402 - outcome)};
    if (outcome <= -1 && outcome >= -23) return {outcome - 400, VtMsgText(VtMsgTable::SnmpClass, -1 - outcome)};
    return {-528, VtMsgText(VtMsgTable::VtSnmp, 28)};
}

std::string VtCodeText(int ownCode) { return VtMsgText(VtMsgTable::VtSnmp, -500 - ownCode); }

void VtRaise(int ownCode) { throw VtException(ownCode, VtCodeText(ownCode)); }

void VtSetResultLogClock(std::time_t (*clock)()) {
    g_clock = clock ? clock : [] { return std::time(nullptr); };
}

std::string VtResultLogLine(int kind, const std::string& message) {
    std::string line = VtMsgText(VtMsgTable::SnmpMsg, kind);
    size_t err = line.find("[ERROR]");
    if (err != std::string::npos) {
        size_t list = line.find("[VARLIST]", err);
        if (list != std::string::npos) {
            size_t from = err + 7;
            line.erase(from, list + 9 - from);
        }
    }
    std::time_t now = g_clock();
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%I:%M:%S %p", &local);
    line = replaceAll(line, "[ERROR]", message);
    return replaceAll(line, "[TIME]", stamp);
}
