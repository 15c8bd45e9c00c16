#include "Simulator.h"

#include "TftpClient.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>

namespace ksrsim {

namespace {

std::string firstWord(std::string& rest) {
    size_t b = rest.find_first_not_of(' ');
    if (b == std::string::npos) {
        rest.clear();
        return {};
    }
    size_t e = rest.find(' ', b);
    std::string w = rest.substr(b, e == std::string::npos ? std::string::npos : e - b);
    rest = e == std::string::npos ? std::string() : rest.substr(e + 1);
    return w;
}

bool number(const std::string& t, long lo, long hi, long& out) {
    if (t.empty() || t.size() > 10) return false;
    for (char c : t)
        if (c < '0' || c > '9') return false;
    long v = std::stol(t);
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

std::string ipText(const Value& v) {
    std::string t = valueText(v);
    return t.size() > 2 ? t.substr(2) : std::string();
}

std::string nowText() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%m/%d/%Y %H:%M:%S", &tm);
    return buf;
}

Value integer(long v) {
    Value x;
    x.type = 'i';
    x.num = v;
    return x;
}

}  // namespace

Simulator::Simulator(DeviceModel model, SimSettings settings)
    : model_(std::move(model)), settings_(std::move(settings)), started_(Clock::now()), log_(model_.logLines) {
    if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe_[0] = wakePipe_[1] = -1;
    loadApplied();
    snapshotApplied();
}

Simulator::~Simulator() {
    for (std::thread& t : workers_)
        if (t.joinable()) t.join();
    for (int fd : wakePipe_)
        if (fd >= 0) close(fd);
}

uint32_t Simulator::uptimeTicks() const {
    auto cs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started_).count() / 10;
    return static_cast<uint32_t>(cs);
}

Value Simulator::served(const Object& o) const {
    if (!o.uptime) return o.value;
    Value v;
    v.type = 't';
    v.num = uptimeTicks();
    return v;
}

int Simulator::injectedError(const Oid& oid) const {
    auto it = errors_.find(oid);
    return it == errors_.end() ? 0 : it->second;
}

Oid Simulator::named(const std::string& name) const {
    Oid o;
    model_.store.oidOf(name, o);
    return o;
}

void Simulator::resetCommand(const std::string& name) {
    static const std::map<std::string, long> idle = {
        {"deviceRestart", 0},       {"deviceSettingApply", 0},        {"deviceSettingDiscard", 0},
        {"tftpcommand", 4},         {"tftpUpgradeSettingCommand", 6}, {"systemLogGetLog", 0},
        {"systemLogClearLocalLog", 0},
    };
    auto it = idle.find(name);
    if (it == idle.end()) return;
    if (Object* o = model_.store.find(named(name))) o->value = integer(it->second);
}

bool Simulator::hasBehaviour(const Oid& oid) const {
    const Object* o = model_.store.find(oid);
    if (!o) return false;
    static const char* names[] = {"deviceRestart",   "deviceSettingApply", "deviceSettingDiscard",
                                  "tftpcommand",     "tftpUpgradeSettingCommand", "systemLogGetLog",
                                  "systemLogClearLocalLog"};
    return std::find(std::begin(names), std::end(names), o->name) != std::end(names);
}

bool Simulator::defers(const Oid& oid, const Value& v) const {
    const Object* o = model_.store.find(oid);
    if (!o || v.type != 'i') return false;
    if (o->name == "tftpcommand") return v.num == 2 || v.num == 3 || v.num == 5;
    if (o->name == "tftpUpgradeSettingCommand") return v.num == 1 || v.num == 3 || (v.num >= 7 && v.num <= 9);
    if (o->name == "systemLogGetLog") return v.num == 1;
    return false;
}

void Simulator::settle(const Oid& oid) {
    if (const Object* o = model_.store.find(oid)) resetCommand(o->name);
}

int Simulator::command(const Oid& oid, const Value& v, const std::string& requestKey, Done done) {
    auto now = Clock::now();
    for (auto it = finished_.begin(); it != finished_.end();) {
        if (now - it->second.at > std::chrono::minutes(2)) it = finished_.erase(it);
        else ++it;
    }
    std::string key = requestKey + " " + oidText(oid);
    auto f = finished_.find(key);
    if (f != finished_.end()) return f->second.status;
    auto p = pending_.find(key);
    if (p != pending_.end()) {
        p->second.waiters.push_back(std::move(done));
        return -1;
    }
    const Object* o = model_.store.find(oid);
    if (!o) return kGenErr;
    pending_[key].waiters.push_back(std::move(done));
    int status = startCommand(o->name, v, [this, key](int s) { finish(key, s); });
    if (status >= 0) {
        pending_.erase(key);
        finished_[key] = {status, now};
    }
    return status;
}

void Simulator::finish(const std::string& key, int status) {
    auto p = pending_.find(key);
    if (p == pending_.end()) return;
    std::vector<Done> waiters = std::move(p->second.waiters);
    pending_.erase(p);
    finished_[key] = {status, Clock::now()};
    for (Done& d : waiters) d(status);
}

int Simulator::startCommand(const std::string& name, const Value& v, Done done) {
    long x = v.num;
    auto restartAfterAnswer = [&] {
        restartPending_ = true;
        resetCommand(name);
        return kNoError;
    };
    if (name == "deviceSettingApply" || name == "deviceSettingDiscard" || name == "deviceRestart") {
        if (x == 0) return kNoError;
        if (x != 1) return kWrongValue;
        if (name == "deviceSettingApply") {
            resetCommand(name);
            snapshotApplied();
            saveApplied();
            addLog("System", "Settings applied");
        } else if (name == "deviceSettingDiscard") {
            for (auto& [oid, value] : applied_)
                if (Object* o = model_.store.find(oid)) o->value = value;
            addLog("System", "Settings discarded");
        }
        return restartAfterAnswer();
    }
    if (name == "tftpUpgradeSettingCommand") {
        switch (x) {
        case 4: return restartAfterAnswer();
        case 2: case 6: resetCommand(name); return kNoError;
        case 1: case 3: case 7: case 8: case 9: install(x, std::move(done)); return -1;
        default: return kWrongValue;
        }
    }
    if (name == "tftpcommand") {
        const Value& server = model_.store.find(named("tftpServerIPAddress"))->value;
        std::string file = model_.store.find(named("tftpRemoteFileName"))->value.bytes;
        auto answer = [this, done](bool ok) {
            resetCommand("tftpcommand");
            done(ok ? kNoError : kGenErr);
        };
        switch (x) {
        case 4: return kNoError;
        case 2: {
            if (fetchRunning_) return kGenErr;
            bool started = runTransfer(true, server, file, {}, [this, answer](bool ok, std::string data) {
                fetchRunning_ = false;
                fetchOk_ = ok;
                fetched_ = ok ? std::move(data) : std::string();
                std::vector<std::function<void()>> waiters;
                waiters.swap(fetchWaiters_);
                for (auto& w : waiters) w();
                answer(ok);
            });
            if (!started) return kGenErr;
            fetchRunning_ = true;
            return -1;
        }
        case 3:
        case 5: {
            // "Put" sends the configuration; "putacl" the access list (none
            // kept by this model yet: an empty file).
            std::string data = x == 3 ? configDump() : std::string();
            return runTransfer(false, server, file, std::move(data), [answer](bool ok, std::string) { answer(ok); })
                       ? -1
                       : kGenErr;
        }
        default: return kWrongValue;
        }
    }
    if (name == "systemLogGetLog") {
        if (x == 0) return kNoError;
        if (x != 1) return kWrongValue;
        const Value& server = model_.store.find(named("systemLogTFTPServerIPAddress"))->value;
        std::string file = model_.store.find(named("systemLogFileName"))->value.bytes;
        return runTransfer(false, server, file, logText(),
                           [this, done](bool ok, std::string) {
                               resetCommand("systemLogGetLog");
                               done(ok ? kNoError : kGenErr);
                           })
                   ? -1
                   : kGenErr;
    }
    if (name == "systemLogClearLocalLog") {
        if (x == 0) return kNoError;
        if (x != 1) return kWrongValue;
        log_.clear();
        resetCommand(name);
        return kNoError;
    }
    return kNoError;
}

void Simulator::whenFetchIdle(std::function<void()> fn) {
    if (fetchRunning_) fetchWaiters_.push_back(std::move(fn));
    else fn();
}

void Simulator::install(long kind, Done done) {
    // The install waits for a fetch still running, so that "Get" followed at
    // once by the install command applies the file just fetched.
    whenFetchIdle([this, kind, done] {
        after(settings_.installDelayMs, [this, kind, done] {
            resetCommand("tftpUpgradeSettingCommand");
            if (!fetchOk_) {
                done(kGenErr);
                return;
            }
            if (kind == 1 && !settings_.refuseMarker.empty() &&
                fetched_.find(settings_.refuseMarker) != std::string::npos) {
                addLog("System", "Firmware image refused");
                done(kRefusedImage);
                return;
            }
            if (kind == 3) applyConfig(fetched_);
            addLog("System", kind == 1 ? "Firmware image installed" : "File installed");
            done(kNoError);
        });
    });
}

bool Simulator::runTransfer(bool get, const Value& server, const std::string& name, std::string data,
                            std::function<void(bool, std::string)> then) {
    std::string host = ipText(server);
    if (server.type != 'a' || host == "0.0.0.0" || name.empty()) return false;
    uint16_t port = settings_.tftpPort;
    unsigned timeout = settings_.tftpTimeoutSeconds;
    workers_.emplace_back([this, get, host, port, name, timeout, data = std::move(data), then = std::move(then)] {
        TftpResult r = get ? tftpGet(host, port, name, timeout) : tftpPut(host, port, name, data, timeout);
        std::string line = std::string(get ? "GET " : "PUT ") + host + ":" + std::to_string(port) + " " + name +
                           " " + std::to_string(r.bytes) + (r.ok ? " ok" : " error " + r.error);
        {
            std::lock_guard<std::mutex> lock(doneMutex_);
            doneQueue_.emplace_back(std::this_thread::get_id(), [this, line, then, r]() mutable {
                tftpJournal_.push_back(line);
                then(r.ok, std::move(r.data));
            });
        }
        char c = 1;
        if (write(wakePipe_[1], &c, 1) < 0) { /* the loop also polls the queue on timers */ }
    });
    return true;
}

void Simulator::after(unsigned ms, std::function<void()> fn) {
    timers_.push_back({Clock::now() + std::chrono::milliseconds(ms), std::move(fn)});
}

int Simulator::timeoutMs() const {
    if (timers_.empty()) return -1;
    auto first = std::min_element(timers_.begin(), timers_.end(),
                                  [](const Timer& a, const Timer& b) { return a.at < b.at; })->at;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(first - Clock::now()).count();
    return ms < 0 ? 0 : static_cast<int>(ms) + 1;
}

void Simulator::runDue() {
    char buf[64];
    while (read(wakePipe_[0], buf, sizeof buf) > 0) {}
    std::deque<std::pair<std::thread::id, std::function<void()>>> done;
    {
        std::lock_guard<std::mutex> lock(doneMutex_);
        done.swap(doneQueue_);
    }
    for (auto& [id, fn] : done) {
        // The worker has nothing left to do but return: join it at once.
        auto t = std::find_if(workers_.begin(), workers_.end(), [&](const std::thread& w) { return w.get_id() == id; });
        if (t != workers_.end()) {
            t->join();
            workers_.erase(t);
        }
        fn();
    }
    auto now = Clock::now();
    std::vector<Timer> due;
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->at <= now) {
            due.push_back(std::move(*it));
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
    for (Timer& t : due) t.fn();
}

void Simulator::afterPacket() {
    if (restartPending_) restart(settings_.restartSilenceMs);
}

void Simulator::restart(unsigned silenceMs) {
    restartPending_ = false;
    if (restarting_) return;
    restarting_ = true;
    if (stopAgent) stopAgent();
    after(silenceMs, [this] {
        restarting_ = false;
        started_ = Clock::now();
        addLog("System", "System started");
        if (startAgent) startAgent();
    });
}

void Simulator::snapshotApplied() {
    applied_.clear();
    for (const auto& [oid, o] : model_.store.objects())
        if (o.writable) applied_[oid] = o.value;
}

void Simulator::saveApplied() const {
    if (settings_.stateDir.empty()) return;
    std::ofstream f(settings_.stateDir + "/applied.txt", std::ios::trunc);
    for (const auto& [oid, v] : applied_) f << oidText(oid) << ' ' << valueText(v) << '\n';
}

void Simulator::loadApplied() {
    if (settings_.stateDir.empty()) return;
    std::ifstream f(settings_.stateDir + "/applied.txt");
    std::stringstream ss;
    ss << f.rdbuf();
    applyConfig(ss.str());
}

std::string Simulator::configDump() const {
    std::string out = "# KSR-4710 configuration\n";
    for (const auto& [oid, o] : model_.store.objects())
        if (o.writable) out += oidText(oid) + ' ' + valueText(o.value) + '\n';
    return out;
}

// Lines "<oid> <value in journal form>" (applied.txt, a configuration file):
// each writable variable named keeps its type; anything else is skipped.
void Simulator::applyConfig(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t sp = line.find(' ');
        Oid oid;
        Value v;
        if (sp == std::string::npos || !parseOid(line.substr(0, sp), oid) || !parseValueText(line.substr(sp + 1), v))
            continue;
        Object* o = model_.store.find(oid);
        if (o && o->writable && o->value.type == v.type && !hasBehaviour(oid)) o->value = v;
    }
}

std::string Simulator::logText() const {
    std::string out;
    for (const std::string& l : log_) out += l + "\n";
    return out;
}

void Simulator::addLog(const std::string& type, const std::string& message) {
    log_.push_back(nowText() + " | [" + type + "] " + message);
}

bool Simulator::controlSet(std::string rest, std::string* error) {
    Oid oid;
    if (!parseOid(firstWord(rest), oid)) {
        *error = "bad OID";
        return false;
    }
    std::string type = firstWord(rest);
    Value v;
    if (type.size() != 1 || !parseValue(type[0], rest, v, error)) {
        if (error->empty()) *error = "bad type";
        return false;
    }
    if (v.type == 'n') {
        *error = "cannot store a null value";
        return false;
    }
    Object* o = model_.store.find(oid);
    if (o) {
        o->value = v;
        o->uptime = false;
    } else {
        model_.store.put(oid, v, true);
    }
    // A value set by a test is the device's truth: a discard keeps it.
    if (!o || o->writable) applied_[oid] = v;
    return true;
}

bool Simulator::controlTable(std::string rest, std::vector<std::string>* reply, std::string* error) {
    std::string verb = firstWord(rest);
    Oid entry;
    if (!parseOid(firstWord(rest), entry)) {
        *error = "bad entry OID";
        return false;
    }
    const ModelTable* t = model_.table(entry);
    if (verb == "empty") {
        if (!t) {
            model_.store.erasePrefix(entry);
            return true;
        }
        // Fixed slots stay; each goes back to its free value.
        for (const auto& [col, v] : t->freeValues)
            for (const Oid& idx : t->indexes) {
                Oid o = entry;
                o.push_back(col);
                o.insert(o.end(), idx.begin(), idx.end());
                if (Object* obj = model_.store.find(o)) obj->value = v;
            }
        return true;
    }
    if (verb == "fill") {
        long rows = 0, cols = 0;
        std::string rowsWord = firstWord(rest), colsWord = firstWord(rest), type = firstWord(rest);
        if (!number(rowsWord, 0, 1000000, rows)) {
            *error = "bad row count";
            return false;
        }
        if (t && colsWord.empty()) {
            // Slots 1..rows in use, each cell a value of its column's type.
            for (long r = 0; r < rows && r < static_cast<long>(t->indexes.size()); ++r)
                for (const auto& [col, freeValue] : t->freeValues) {
                    Oid o = entry;
                    o.push_back(col);
                    o.insert(o.end(), t->indexes[r].begin(), t->indexes[r].end());
                    Object* obj = model_.store.find(o);
                    if (!obj) continue;
                    Value v = freeValue;
                    unsigned n = static_cast<unsigned>(r + 1);
                    if (v.type == 's' && v.bytes.size() == 6 && v.bytes.find_first_not_of('\0') == std::string::npos)
                        v.bytes = std::string{0, 0x11, 0x22, 0x33, 0, static_cast<char>(n)};
                    else if (v.type == 's')
                        v.bytes = "r" + std::to_string(n) + "c" + std::to_string(col);
                    else if (v.type == 'a')
                        v.bytes = std::string{10, 0, static_cast<char>(n / 256), static_cast<char>(n % 256)};
                    else if (v.type != 'o')
                        v.num = n;
                    obj->value = v;
                }
            return true;
        }
        if (!number(colsWord, 1, 1000, cols) || (!type.empty() && type.size() != 1)) {
            *error = "usage: table fill <entryOid> <rows> [<columns> [<type>]]";
            return false;
        }
        model_.store.fill(entry, static_cast<unsigned>(rows), static_cast<unsigned>(cols), type.empty() ? 's' : type[0]);
        return true;
    }
    (void)reply;
    *error = "usage: table fill|empty <entryOid> ...";
    return false;
}

bool Simulator::control(const std::string& rawLine, std::vector<std::string>* reply, std::string* error) {
    std::string rest = rawLine;
    if (!rest.empty() && rest.back() == '\r') rest.pop_back();
    std::string cmd = firstWord(rest);
    error->clear();
    long n = 0;
    auto onOff = [&](bool& flag) {
        std::string w = firstWord(rest);
        if (w != "on" && w != "off") {
            *error = "expected on or off";
            return false;
        }
        flag = w == "on";
        return true;
    };
    auto millis = [&](long& out) {
        if (!number(firstWord(rest), 0, 86400000, out)) {
            *error = "expected milliseconds";
            return false;
        }
        return true;
    };
    if (cmd == "silent") return onOff(silent_);
    if (cmd == "delay") {
        if (!millis(n)) return false;
        delayMs_ = static_cast<unsigned>(n);
        return true;
    }
    if (cmd == "restart-silence") {
        if (!millis(n)) return false;
        settings_.restartSilenceMs = static_cast<unsigned>(n);
        return true;
    }
    if (cmd == "install-delay") {
        if (!millis(n)) return false;
        settings_.installDelayMs = static_cast<unsigned>(n);
        return true;
    }
    if (cmd == "restart") {
        long ms = settings_.restartSilenceMs;
        if (!rest.empty() && !millis(ms)) return false;
        restart(static_cast<unsigned>(ms));
        return true;
    }
    if (cmd == "error") {
        Oid oid;
        if (!parseOid(firstWord(rest), oid) || !number(firstWord(rest), 0, 255, n)) {
            *error = "usage: error <oid> <status>";
            return false;
        }
        if (n == 0) errors_.erase(oid);
        else errors_[oid] = static_cast<int>(n);
        return true;
    }
    if (cmd == "set") return controlSet(rest, error);
    if (cmd == "get") {
        Oid oid;
        const Object* o = parseOid(firstWord(rest), oid) ? model_.store.find(oid) : nullptr;
        if (!o) {
            *error = "no such object";
            return false;
        }
        reply->push_back(valueText(served(*o)));
        return true;
    }
    if (cmd == "walk") {
        Oid prefix;
        if (!parseOid(firstWord(rest), prefix)) {
            *error = "bad OID";
            return false;
        }
        for (auto* p = model_.store.next(prefix, true); p && oidStartsWith(p->first, prefix);
             p = model_.store.next(p->first, false))
            reply->push_back(oidText(p->first) + " " + valueText(served(p->second)));
        return true;
    }
    if (cmd == "unset") {
        Oid prefix;
        if (!parseOid(firstWord(rest), prefix)) {
            *error = "bad OID";
            return false;
        }
        model_.store.erasePrefix(prefix);
        for (auto it = applied_.lower_bound(prefix); it != applied_.end() && oidStartsWith(it->first, prefix);)
            it = applied_.erase(it);
        return true;
    }
    if (cmd == "fill") return controlTable("fill " + rest, reply, error);
    if (cmd == "table") return controlTable(rest, reply, error);
    if (cmd == "journal" || cmd == "tftp-journal") {
        auto& j = cmd == "journal" ? journal_ : tftpJournal_;
        std::string w = firstWord(rest);
        if (w == "clear") j.clear();
        else if (w.empty()) reply->insert(reply->end(), j.begin(), j.end());
        else {
            *error = "usage: " + cmd + " [clear]";
            return false;
        }
        return true;
    }
    if (cmd == "log") {
        std::string w = firstWord(rest);
        if (w == "clear") log_.clear();
        else if (w == "add") log_.push_back(rest);
        else if (w.empty()) reply->insert(reply->end(), log_.begin(), log_.end());
        else {
            *error = "usage: log [add <line>|clear]";
            return false;
        }
        return true;
    }
    if (cmd == "quit") {
        quit_ = true;
        return true;
    }
    *error = cmd.empty() ? "empty command" : "unknown command \"" + cmd + "\"";
    return false;
}

}  // namespace ksrsim
