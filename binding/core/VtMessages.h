#pragma once
// The seven replaceable message tables, the error map and the result-log line.

#include <string>
#include <utility>

enum class VtMsgTable {
    Snmp,       // "snmp.err"      error status - 1
    SnmpV3,     // "snmpv3.err"    -1402 - code
    SnmpUsm,    // "snmpusm.err"   code - 1401
    SnmpClass,  // "snmpclass.err" -1 - code
    VtSnmp,     // "vtsnmp.err"    -500 - own code; entry 0 = success
    SnmpMsg,    // "snmp.msg"      result-log templates: 0 read, 1 write
    Common,     // "common.err"
};

// File name of a table ("common.err", ...).
const char* VtMsgFileName(VtMsgTable table);

// Current text of an entry. An entry beyond a replacement table that is shorter
// than the built-in one falls back to the built-in entry; beyond that, "".
std::string VtMsgText(VtMsgTable table, int entry);

// Replaces a table from a text file: one entry per non-blank line. Returns true
// when the table was replaced; a missing, unreadable or blank file keeps it.
bool VtLoadMessageTable(VtMsgTable table, const std::string& path);

// Loads all seven tables from folder + name (the order of start-up), where
// the folder's file names are matched without regard to case.
void VtLoadMessageTables(const std::string& folder);

// Back to the built-in texts (tests).
void VtResetMessageTables();

// Error map: library outcome / error status -> (code, text).
std::pair<int, std::string> VtMapOutcome(int outcome);

// Text of one of the binding layer's own codes (-500 - entry), e.g. -509.
std::string VtCodeText(int ownCode);

// Throws VtException(ownCode, VtCodeText(ownCode)).
[[noreturn]] void VtRaise(int ownCode);

// Result-log line for kind 0 (read) or 1 (write): the snmp.msg template with the
// list part removed, "[ERROR]" replaced by the message and "[TIME]" by the local
// time as "hh:nn:ss AM/PM".
std::string VtResultLogLine(int kind, const std::string& message);

#include <ctime>
// Clock of the result-log line (tests inject a fixed time); nullptr restores
// the system clock.
void VtSetResultLogClock(std::time_t (*clock)());
