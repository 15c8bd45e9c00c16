#pragma once
// Diagnostic trace: with KSR4710_TRACE set in the environment, one line per
// event goes to standard error, prefixed with the local time "hh:mm:ss".
// Without it, trace calls cost one cached flag test. Safe to call from any
// Qt-free code (SNMP and TFTP cores included).

namespace ksr {

bool traceEnabled();

// printf-style; the formatted line is cut at 512 bytes.
void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace ksr
