#include "VtSession.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/snmpusm.h>
#include <net-snmp/library/snmpv3.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "Trace.h"
#include "VtError.h"
#include "VtMessages.h"
#include "VtSessionPool.h"

VtSNMPDeviceRec VtSNMPDevice;
VtSNMPScopeRec VtSNMPScope;
VtSNMPSecurityRec VtSNMPSecurity;
int32_t VtSNMPDefaultTimeout = 100;

// Exported by the library without a declaration in its headers; the
// single-session handle is its session_list.
extern "C" int snmpv3_engineID_probe(struct session_list* slp, netsnmp_session* in_session);

namespace {

const char kEngineId[] = "VtSNMP_PP_Application";
const char kBootCounterFile[] = "VtSNMP_PP_BootCounter";

bool g_libraryReady = false;
bool g_started = false;
bool g_inPump = false;

struct PoolEntry {
    void* sessp = nullptr;
    std::string securityName;  // v3 user of the session, "" otherwise
};
std::map<std::string, PoolEntry> g_pool;
std::map<uint64_t, VtAsyncRecord*> g_outstanding;
uint64_t g_nextRecordId = 1;
// Password set last registered for each v3 user; the library caches keys per
// engine and user, so a changed set must drop the cached user first.
std::map<std::string, std::string> g_userKeys;

// Library log lines go to the trace, not to the user's terminal.
int logToTrace(int, int, void*, void* serverArg) {
    auto* message = static_cast<snmp_log_message*>(serverArg);
    if (message && message->msg) {
        std::string line = message->msg;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        ksr::trace("net-snmp: %s", line.c_str());
    }
    return 0;
}

void initLibrary() {
    if (g_libraryReady) return;
    snmp_disable_log();
    netsnmp_register_loghandler(NETSNMP_LOGHANDLER_CALLBACK, LOG_DEBUG);
    snmp_register_callback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_LOGGING, &logToTrace, nullptr);
    setenv("MIBS", "", 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_QUICK_PRINT, 1);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string dir = std::string(runtime && *runtime ? runtime : "/tmp") + "/ksr4710-snmp-" +
                      std::to_string(static_cast<long>(getuid()));
    mkdir(dir.c_str(), 0700);
    mkdir((dir + "/cert_indexes").c_str(), 0700);  // else the library announces creating it
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR, dir.c_str());
    init_snmp("ksr4710module");
    g_libraryReady = true;
    std::atexit(&VtStopSNMP);  // sessions closed at exit, answers still out get -8
}

std::string bootCounterPath(const std::string& folder) {
    if (folder.empty()) return kBootCounterFile;
    char last = folder.back();
    return (last == '/' || last == '\\') ? folder + kBootCounterFile : folder + "/" + kBootCounterFile;
}

// The counter file holds one "engine-id counter" line per engine. Returns the
// stored counter, 0 for a missing file or entry; throws -507 when the file
// exists but cannot be read or its entry is malformed.
long readBootCounter(const std::string& path, std::vector<std::string>& otherLines) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return 0;
    std::ifstream in(path);
    if (!in || S_ISDIR(st.st_mode)) VtRaise(-507);
    long counter = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        std::string id;
        fields >> id;
        if (id == kEngineId) {
            std::string number, rest;
            fields >> number;
            char* end = nullptr;
            errno = 0;
            counter = std::strtol(number.c_str(), &end, 10);
            if (number.empty() || *end || errno || counter < 0 || (fields >> rest)) VtRaise(-507);
        } else if (!line.empty()) {
            otherLines.push_back(line);
        }
    }
    if (in.bad()) VtRaise(-507);
    return counter;
}

void saveBootCounter(const std::string& path, long counter, const std::vector<std::string>& otherLines) {
    std::string tmp = path + ".new";
    {
        std::ofstream out(tmp, std::ios::trunc);
        if (!out) VtRaise(-508);
        for (const auto& l : otherLines) out << l << '\n';
        out << kEngineId << ' ' << counter << '\n';
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            VtRaise(-508);
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        VtRaise(-508);
    }
}

void removeUsmUsers(const std::string& name) {
    for (usmUser* u = usm_get_userList(); u;) {
        usmUser* next = u->next;
        if (u->secName && name == u->secName) {
            usm_remove_user(u);
            usm_free_user(u);
        }
        u = next;
    }
}

// Tells the requests still waiting on a session that it is going away.
void closeOutstanding(const std::string& key) {
    std::vector<VtAsyncRecord*> gone;
    for (auto it = g_outstanding.begin(); it != g_outstanding.end();) {
        if (it->second->sessionKey == key) {
            gone.push_back(it->second);
            it = g_outstanding.erase(it);
        } else {
            ++it;
        }
    }
    for (auto* r : gone) r->sessionClosed();
}

void closeEntry(const std::string& key, PoolEntry& e) {
    closeOutstanding(key);
    if (e.sessp) snmp_sess_close(e.sessp);
    e.sessp = nullptr;
}

const oid* authProtocol(int code, size_t& len) {
    len = USM_AUTH_PROTO_MD5_LEN;
    if (code == 2) return usmHMACMD5AuthProtocol;
    if (code == 3) return usmHMACSHA1AuthProtocol;
    len = USM_AUTH_PROTO_NOAUTH_LEN;
    return usmNoAuthProtocol;
}

const oid* privProtocol(int code, size_t& len) {
    len = USM_PRIV_PROTO_DES_LEN;
    if (code == 2) return usmDESPrivProtocol;
    if (code == 3) {
        len = USM_PRIV_PROTO_AES_LEN;
        return usmAESPrivProtocol;
    }
    len = USM_PRIV_PROTO_NOPRIV_LEN;
    return usmNoPrivProtocol;
}

}  // namespace

std::string VtTargetParams::key(bool async) const {
    std::ostringstream k;
    k << (async ? 'A' : 'B') << '|' << peer << '|' << version << '|';
    if (version == 3) {
        const auto& s = security;
        k << s.securityName << '|' << s.securityLevel << '|' << s.authProtocol << '|' << s.authPassword << '|'
          << s.privProtocol << '|' << s.privPassword << '|' << scope.contextName << '|' << scope.contextEngineId;
    } else {
        k << community;
    }
    return k.str();
}

bool VtResolveTarget(const std::string& address, uint16_t port, VtTargetParams& params) {
    in_addr a{};
    std::string dotted;
    if (inet_pton(AF_INET, address.c_str(), &a) == 1) {
        dotted = address;
    } else {
        if (address.empty()) return false;
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* res = nullptr;
        if (getaddrinfo(address.c_str(), nullptr, &hints, &res) != 0 || !res) return false;
        char buf[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr, buf, sizeof buf);
        freeaddrinfo(res);
        dotted = buf;
    }
    params.address = dotted;
    params.port = port;
    params.peer = "udp:" + dotted + ":" + std::to_string(port);
    return true;
}

int VtOutcomeFromNetSnmp(int e) {
    switch (e) {
    case SNMPERR_SUCCESS: return 0;
    case SNMPERR_TIMEOUT: return -5;
    case SNMPERR_GENERR: return -1;
    case SNMPERR_BAD_ADDRESS: return -18;
    case SNMPERR_BAD_SENDTO:
    case SNMPERR_BAD_RECVFROM:
    case SNMPERR_NO_SOCKET: return -22;
    case SNMPERR_MALLOC: return -2;
    case SNMPERR_UNKNOWN_SEC_MODEL: return -1402;
    case SNMPERR_INVALID_MSG: return -1405;
    case SNMPERR_BAD_ENG_ID: return -1406;
    case SNMPERR_ASN_PARSE_ERR:
    case SNMPERR_BAD_PARSE: return -1408;
    case SNMPERR_UNKNOWN_REPORT: return -1414;
    case SNMPERR_USM_GENERICERROR: return 1401;
    case SNMPERR_UNSUPPORTED_SEC_LEVEL:
    case SNMPERR_USM_UNSUPPORTEDSECURITYLEVEL: return 1403;
    case SNMPERR_UNKNOWN_USER_NAME:
    case SNMPERR_USM_UNKNOWNSECURITYNAME: return 1404;
    case SNMPERR_USM_ENCRYPTIONERROR: return 1405;
    case SNMPERR_DECRYPTION_ERR:
    case SNMPERR_USM_DECRYPTIONERROR: return 1406;
    case SNMPERR_AUTHENTICATION_FAILURE:
    case SNMPERR_USM_AUTHENTICATIONFAILURE: return 1408;
    case SNMPERR_USM_PARSEERROR: return 1409;
    case SNMPERR_UNKNOWN_ENG_ID:
    case SNMPERR_USM_UNKNOWNENGINEID: return 1410;
    case SNMPERR_NOT_IN_TIME_WINDOW:
    case SNMPERR_USM_NOTINTIMEWINDOW: return 1411;
    default: return 100000 - e;  // no counterpart: maps to -528
    }
}

void* VtPoolSession(const VtTargetParams& p, bool async, int& outcome) {
    outcome = 0;
    initLibrary();
    std::string key = p.key(async);
    auto it = g_pool.find(key);
    if (it != g_pool.end() && it->second.sessp) return it->second.sessp;

    netsnmp_session s;
    snmp_sess_init(&s);
    std::string peer = p.peer;
    s.peername = &peer[0];
    s.retries = p.retries;
    s.timeout = static_cast<long>(p.timeout) * 10000L;
    std::string community = p.community;
    std::string secName = p.security.securityName;
    std::string ctxName = p.scope.contextName;
    std::string ctxEngine = p.scope.contextEngineId;
    if (p.version == 3) {
        s.version = SNMP_VERSION_3;
        s.securityModel = USM_SEC_MODEL_NUMBER;
        s.securityName = &secName[0];
        s.securityNameLen = secName.size();
        int level = p.security.securityLevel;
        s.securityLevel = level == 3 ? SNMP_SEC_LEVEL_AUTHPRIV
                        : level == 2 ? SNMP_SEC_LEVEL_AUTHNOPRIV
                                     : SNMP_SEC_LEVEL_NOAUTH;
        s.contextName = &ctxName[0];
        s.contextNameLen = ctxName.size();
        if (!ctxEngine.empty()) {
            s.contextEngineID = reinterpret_cast<u_char*>(&ctxEngine[0]);
            s.contextEngineIDLen = ctxEngine.size();
        }
        size_t len = 0;
        const oid* auth = authProtocol(p.security.authProtocol, len);
        s.securityAuthProto = snmp_duplicate_objid(auth, len);
        s.securityAuthProtoLen = len;
        if (s.securityLevel != SNMP_SEC_LEVEL_NOAUTH) {
            s.securityAuthKeyLen = USM_AUTH_KU_LEN;
            const std::string& pw = p.security.authPassword;
            if (generate_Ku(s.securityAuthProto, len, reinterpret_cast<const u_char*>(pw.data()), pw.size(),
                            s.securityAuthKey, &s.securityAuthKeyLen) != SNMPERR_SUCCESS) {
                SNMP_FREE(s.securityAuthProto);
                outcome = 1407;  // unusable authentication password
                return nullptr;
            }
        }
        const oid* priv = privProtocol(p.security.privProtocol, len);
        s.securityPrivProto = snmp_duplicate_objid(priv, len);
        s.securityPrivProtoLen = len;
        if (s.securityLevel == SNMP_SEC_LEVEL_AUTHPRIV) {
            s.securityPrivKeyLen = USM_PRIV_KU_LEN;
            const std::string& pw = p.security.privPassword;
            if (generate_Ku(s.securityAuthProto, s.securityAuthProtoLen,
                            reinterpret_cast<const u_char*>(pw.data()), pw.size(), s.securityPrivKey,
                            &s.securityPrivKeyLen) != SNMPERR_SUCCESS) {
                SNMP_FREE(s.securityAuthProto);
                SNMP_FREE(s.securityPrivProto);
                outcome = 1405;  // unusable privacy password
                return nullptr;
            }
        }
        // A changed password set for a user: forget the keys the library
        // cached for it, and the sessions that were built on them.
        std::string userKey = p.key(false);
        auto known = g_userKeys.find(secName);
        if (known != g_userKeys.end() && known->second != userKey) {
            for (auto& e : g_pool)
                if (e.second.securityName == secName) closeEntry(e.first, e.second);
            removeUsmUsers(secName);
        }
        g_userKeys[secName] = userKey;
    } else {
        s.version = p.version == 1 ? SNMP_VERSION_2c : SNMP_VERSION_1;
        s.community = reinterpret_cast<u_char*>(&community[0]);
        s.community_len = community.size();
    }

    void* sessp = snmp_sess_open(&s);
    int err = s.s_snmp_errno;
    SNMP_FREE(s.securityAuthProto);
    SNMP_FREE(s.securityPrivProto);
    if (!sessp) {
        int libErr = 0, sysErr = 0;
        char* text = nullptr;
        snmp_error(&s, &sysErr, &libErr, &text);
        ksr::trace("snmp open %s failed: %s", p.peer.c_str(), text ? text : "");
        SNMP_FREE(text);
        outcome = VtOutcomeFromNetSnmp(libErr ? libErr : (err ? err : SNMPERR_GENERR));
        if (p.version == 3) removeUsmUsers(secName);
        return nullptr;
    }
    netsnmp_session* live = snmp_sess_session(sessp);
    if (p.version == 3 && live->securityEngineIDLen == 0) {
        // Engine discovery waits for the agent. Left to the library it would
        // happen inside the first send, with the request's full time-out
        // and retries even for an asynchronous send. Run it here instead:
        // blocking sessions with their own time-out, asynchronous ones with
        // one try of at most a second. No answer counts as a time-out, and
        // the next send tries afresh.
        live->retries = async ? 0 : p.retries;
        long timeout = static_cast<long>(p.timeout) * 10000L;
        live->timeout = async ? std::min(timeout, 1000000L) : timeout;
        if (!snmpv3_engineID_probe(static_cast<session_list*>(sessp), live) || live->securityEngineIDLen == 0) {
            ksr::trace("snmp engine discovery at %s failed", p.peer.c_str());
            snmp_sess_close(sessp);
            outcome = -5;
            return nullptr;
        }
    }
    live->retries = p.retries;
    live->timeout = static_cast<long>(p.timeout) * 10000L;
    PoolEntry& entry = g_pool[key];
    entry.sessp = sessp;
    entry.securityName = p.version == 3 ? secName : std::string();
    return sessp;
}

void VtPoolDiscard(const VtTargetParams& params, bool async) {
    auto it = g_pool.find(params.key(async));
    if (it == g_pool.end()) return;
    closeEntry(it->first, it->second);
    g_pool.erase(it);
}

uint64_t VtPoolTrack(VtAsyncRecord* record) {
    uint64_t id = g_nextRecordId++;
    g_outstanding[id] = record;
    return id;
}

VtAsyncRecord* VtPoolFind(uint64_t id) {
    auto it = g_outstanding.find(id);
    return it == g_outstanding.end() ? nullptr : it->second;
}

void VtPoolUntrack(uint64_t id) { g_outstanding.erase(id); }

void VtStartSNMP(const std::string& folder) {
    try {
        initLibrary();
    } catch (...) {
        VtRaise(-506);
    }
    std::string path = bootCounterPath(folder);
    std::vector<std::string> others;
    long counter = readBootCounter(path, others) + 1;
    saveBootCounter(path, counter, others);
    // Local SNMPv3 engine: its own ID and the stored boot count.
    setup_engineID(nullptr, kEngineId);
    // The library keeps the stored value plus one, as on its own restart.
    std::string previous = std::to_string(counter - 1);
    engineBoots_conf("engineBoots", &previous[0]);

    VtSNMPDevice = VtSNMPDeviceRec{};
    VtSNMPScope = VtSNMPScopeRec{};
    VtSNMPSecurity = VtSNMPSecurityRec{};
    VtSNMPDefaultTimeout = 100;
    g_started = true;
    ksr::trace("snmp session started, engine boots %ld", counter);
}

bool VtSNMPStarted() { return g_started; }

long VtSNMPEngineBoots() { return static_cast<long>(snmpv3_local_snmpEngineBoots()); }

void VtSNMPProcessPendingEvents() {
    if (g_inPump) return;
    g_inPump = true;
    VtRunDeferredCompletions();
    if (g_pool.empty()) {
        g_inPump = false;
        return;
    }
    fd_set fds;
    FD_ZERO(&fds);
    int maxFd = 0;
    std::vector<void*> sessions;
    for (auto& e : g_pool) {
        if (!e.second.sessp || e.first[0] != 'A') continue;
        sessions.push_back(e.second.sessp);
        int n = 0, block = 0;
        timeval tv{};
        snmp_sess_select_info(e.second.sessp, &n, &fds, &tv, &block);
        maxFd = std::max(maxFd, n);
    }
    timeval zero{};
    int ready = maxFd > 0 ? select(maxFd, &fds, nullptr, nullptr, &zero) : 0;
    if (ready <= 0) FD_ZERO(&fds);
    // Completions may open or close sessions; the handles gathered above stay
    // valid because sessions are only closed outside the pump or by a user
    // change, which reopens rather than frees the map entry's handle in use.
    for (void* sessp : sessions) {
        bool stillOpen = false;
        for (auto& e : g_pool)
            if (e.second.sessp == sessp) stillOpen = true;
        if (!stillOpen) continue;
        if (ready > 0) snmp_sess_read(sessp, &fds);
        snmp_sess_timeout(sessp);
    }
    g_inPump = false;
}

void VtStopSNMP() {
    // Requests still out learn that the session went away (-8).
    for (auto& e : g_pool) closeEntry(e.first, e.second);
    std::vector<VtAsyncRecord*> rest;
    for (auto& r : g_outstanding) rest.push_back(r.second);
    g_outstanding.clear();
    for (auto* r : rest) r->sessionClosed();
    g_pool.clear();
    g_userKeys.clear();
    g_started = false;
}
