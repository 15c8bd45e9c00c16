// Rows per second when walking a 1000-row, 5-column table over loopback:
// the request engine (one get-next of five varbinds per row) against
// snmpwalk (one run per column) and snmpbulkwalk (likewise). The last line
// is "ratio <engine rate / snmpwalk rate>".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "SimulatedDevice.h"
#include "VtRequest.h"
#include "VtSession.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRows = 1000;
constexpr int kColumns = 5;
constexpr char kEntry[] = "1.3.6.1.4.1.99999.7.1";

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Runs one command, returns the number of value lines (numeric OIDs, -On)
// it printed, or -1 on failure.
long runCounting(const std::string& command) {
    FILE* p = popen(command.c_str(), "r");
    if (!p) return -1;
    long lines = 0;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        if (buf[0] == '.' && !std::strstr(buf, "No more variables")) ++lines;
    return pclose(p) == 0 ? lines : -1;
}

double engineRate(simtest::SimulatedDevice& sim, int rounds) {
    const std::string base = kEntry;
    std::string oids[kColumns];
    VtSNMPVariable vars[kColumns + 2] = {};
    vars[0] = {"1.3.6.1.4.1.99999.7.1.99", "index", VT_SYNTAX_INTEGER, VT_ACCESS_NOTACCESS, nullptr};
    for (int c = 0; c < kColumns; ++c) {
        oids[c] = base + "." + std::to_string(c + 1);
        vars[c + 1] = {oids[c].c_str(), "column", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READONLY, nullptr};
    }
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        VtSNMPRequest r;
        r.Device.address = sim.address();
        r.Device.port = sim.port();
        r.Security.version = 1;
        r.VarList = VtSNMPVarList(vars, MVT_UMV, 1);
        bool ok = true;
        int rows = 0;
        auto start = Clock::now();
        for (bool more = r.Read(true, ok); more; more = r.Read(false, ok)) ++rows;
        double rate = rows / seconds(start);
        if (!ok || rows != kRows) {
            std::fprintf(stderr, "engine walk read %d rows (ok %d)\n", rows, ok);
            std::exit(1);
        }
        if (rate > best) best = rate;
    }
    return best;
}

double toolRate(simtest::SimulatedDevice& sim, const char* tool, int rounds) {
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        long cells = 0;
        for (int c = 1; c <= kColumns; ++c) {
            std::string cmd = std::string("MIBS= SNMPCONFPATH=/nonexistent ") + tool +
                              " -v2c -c gondek -On -Oq 127.0.0.1:" + std::to_string(sim.port()) + " " + kEntry +
                              "." + std::to_string(c) + " 2>/dev/null";
            long n = runCounting(cmd);
            if (n < 0) {
                std::fprintf(stderr, "%s failed\n", tool);
                std::exit(1);
            }
            cells += n;
        }
        if (cells != static_cast<long>(kRows) * kColumns) {
            std::fprintf(stderr, "%s read %ld cells\n", tool, cells);
            std::exit(1);
        }
        double rate = kRows / seconds(start);
        if (rate > best) best = rate;
    }
    return best;
}

}  // namespace

int main() {
    char tmpl[] = "/tmp/bench-walk-XXXXXX";
    std::string folder = mkdtemp(tmpl);
    VtStartSNMP(folder);
    simtest::SimulatedDevice sim;
    sim.control(std::string("table fill ") + kEntry + " " + std::to_string(kRows) + " " + std::to_string(kColumns) + " s");

    const int rounds = 3;
    double engine = engineRate(sim, rounds);
    double walk = toolRate(sim, "snmpwalk", rounds);
    double bulk = toolRate(sim, "snmpbulkwalk", rounds);
    std::printf("table %d rows x %d columns, SNMPv2c over loopback, best of %d\n", kRows, kColumns, rounds);
    std::printf("engine        %10.0f rows/s\n", engine);
    std::printf("snmpwalk      %10.0f rows/s\n", walk);
    std::printf("snmpbulkwalk  %10.0f rows/s\n", bulk);
    std::printf("ratio %.2f\n", engine / walk);
    std::system(("rm -rf '" + folder + "'").c_str());
    return 0;
}
