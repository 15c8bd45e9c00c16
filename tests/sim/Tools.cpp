#include "Tools.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

namespace simtest {

ToolResult runTool(const std::string& commandLine) {
    static const std::string dir = [] {
        char templ[] = "/tmp/ksr-snmptools-XXXXXX";
        const char* d = mkdtemp(templ);
        std::string path = d ? d : "/tmp";
        // Made beforehand, so that no tool announces creating it.
        mkdir((path + "/cert_indexes").c_str(), 0700);
        return path;
    }();
    std::string cmd = "MIBS= SNMP_PERSISTENT_DIR=" + dir + " SNMPCONFPATH=" + dir + " " + commandLine + " 2>&1";
    ToolResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace simtest
