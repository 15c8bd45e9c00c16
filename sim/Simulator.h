#pragma once
// The simulated access point's behaviour, apart from the SNMP engine: the
// object store, the command variables and what they make the device do, the
// fault switches tests can throw, the journals, and the control commands.
// Single-threaded: everything runs on the agent's loop; TFTP transfers run on
// worker threads and hand their results back through wakeFd().

#include "ObjectStore.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ksrsim {

struct SimSettings {
    std::string stateDir;
    unsigned restartSilenceMs = 5000;
    unsigned installDelayMs = 1000;
    uint16_t tftpPort = 69;
    unsigned tftpTimeoutSeconds = 30;
    std::string refuseMarker = "KSR4710-REFUSED";
};

// SNMP error statuses the behaviours answer with.
enum : int { kNoError = 0, kGenErr = 5, kWrongValue = 10, kRefusedImage = 19 };

class Simulator {
public:
    using Clock = std::chrono::steady_clock;
    using Done = std::function<void(int status)>;

    Simulator(DeviceModel model, SimSettings settings);
    ~Simulator();

    ObjectStore& store() { return model_.store; }
    const SimSettings& settings() const { return settings_; }

    // Current value of an object as served (uptime computed).
    Value served(const Object& o) const;
    uint32_t uptimeTicks() const;

    // Fault switches read by the agent for every PDU.
    bool silent() const { return silent_ || restarting_; }
    unsigned delayMs() const { return delayMs_; }
    int injectedError(const Oid& oid) const;

    // Keeps the newest 100000 lines: a simulator left running for days under
    // the module's polls must not grow without bound.
    void journalPdu(std::string line) {
        if (journal_.size() >= 100000) journal_.erase(journal_.begin(), journal_.begin() + 10000);
        journal_.push_back(std::move(line));
    }

    // A SET of a variable with a behaviour. Returns the status at once, or
    // -1 when the answer is held back until done(status) is called from the
    // loop. requestKey names the request (manager's address and request id):
    // a retransmission joins the running command or gets the answer of the
    // finished one; it never starts the command again.
    bool hasBehaviour(const Oid& oid) const;
    // Whether this SET starts a command that takes time (its answer waits).
    bool defers(const Oid& oid, const Value& v) const;
    // After the agent stored the written value of a finished command: the
    // variable reads back its idle value.
    void settle(const Oid& oid);
    int command(const Oid& oid, const Value& v, const std::string& requestKey, Done done);

    // The loop: milliseconds until the next timer (-1: none), run what is
    // due, and the descriptor that becomes readable when a worker finished.
    int timeoutMs() const;
    void runDue();
    int wakeFd() const { return wakePipe_[0]; }

    // Restarts: the agent is stopped after the answer went out and started
    // again when the silence ends (hooks set by the program).
    std::function<void()> stopAgent;
    std::function<void()> startAgent;
    void afterPacket();
    void restart(unsigned silenceMs);

    // One control line; reply lines in *reply. Returns false with the
    // reason in *error for "ERR <reason>".
    bool control(const std::string& line, std::vector<std::string>* reply, std::string* error);
    bool quitRequested() const { return quit_; }

private:
    struct Pending {
        std::vector<Done> waiters;
    };
    struct Finished {
        int status;
        Clock::time_point at;
    };
    struct Timer {
        Clock::time_point at;
        std::function<void()> fn;
    };

    int startCommand(const std::string& name, const Value& v, Done done);
    void finish(const std::string& key, int status);
    void after(unsigned ms, std::function<void()> fn);
    // Starts a TFTP transfer with the device as client; then(ok, data) runs on
    // the loop. Returns false (nothing started) when server or name is unusable.
    bool runTransfer(bool get, const Value& server, const std::string& name, std::string data,
                     std::function<void(bool, std::string)> then);
    void whenFetchIdle(std::function<void()> fn);
    void install(long kind, Done done);
    void resetCommand(const std::string& name);
    std::string configDump() const;
    void applyConfig(const std::string& text);
    void snapshotApplied();
    void saveApplied() const;
    void loadApplied();
    std::string logText() const;
    void addLog(const std::string& type, const std::string& message);
    Oid named(const std::string& name) const;
    bool controlSet(std::string rest, std::string* error);
    bool controlTable(std::string rest, std::vector<std::string>* reply, std::string* error);

    DeviceModel model_;
    SimSettings settings_;
    Clock::time_point started_;
    std::map<Oid, Value> applied_;
    std::vector<std::string> log_;

    bool silent_ = false;
    bool restarting_ = false;
    bool restartPending_ = false;
    bool quit_ = false;
    unsigned delayMs_ = 0;
    std::map<Oid, int> errors_;

    std::vector<std::string> journal_;
    std::vector<std::string> tftpJournal_;

    std::map<std::string, Pending> pending_;
    std::map<std::string, Finished> finished_;
    std::vector<Timer> timers_;

    // Fetched image: what the last "Get" brought and whether one still runs.
    bool fetchRunning_ = false;
    bool fetchOk_ = false;
    std::string fetched_;
    std::vector<std::function<void()>> fetchWaiters_;

    // Worker threads hand completions over through this queue and pipe.
    int wakePipe_[2] = {-1, -1};
    std::mutex doneMutex_;
    std::deque<std::pair<std::thread::id, std::function<void()>>> doneQueue_;
    std::vector<std::thread> workers_;
};

}  // namespace ksrsim
