#pragma once
// Runs Net-SNMP's command-line tools against the simulator, quietly (no MIB
// files) and with their own persistent files in a folder of the test's.

#include <string>

namespace simtest {

struct ToolResult {
    int status = -1;
    std::string out;  // stdout and stderr together
};

// Runs "<tool> <args>" through the shell with the tools' environment set.
ToolResult runTool(const std::string& commandLine);

}  // namespace simtest
