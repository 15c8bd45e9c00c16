#include "Agent.h"

#include "ControlServer.h"
#include "Simulator.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/agent/net-snmp-agent-includes.h>
#include <net-snmp/agent/agent_callbacks.h>

#include <sys/socket.h>
#include <netinet/in.h>
#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

// The master agent's session; exported by libnetsnmpagent, not declared in
// its headers.
extern "C" netsnmp_session* main_session;

namespace ksrsim {

namespace {

Simulator* g_sim = nullptr;
AgentOptions* g_options = nullptr;

using Clock = std::chrono::steady_clock;
struct DelayedPdu {
    Clock::time_point at;
    netsnmp_pdu* pdu;
};
std::vector<DelayedPdu> g_delayed;

Oid oidOf(const oid* name, size_t len) { return Oid(name, name + len); }

std::vector<oid> netOid(const Oid& o) { return std::vector<oid>(o.begin(), o.end()); }

Value fromVarbind(const netsnmp_variable_list* vb) {
    Value v;
    switch (vb->type) {
    case ASN_INTEGER:
        v.type = 'i';
        v.num = *vb->val.integer;
        break;
    case ASN_GAUGE: case ASN_COUNTER: case ASN_TIMETICKS:
        v.type = vb->type == ASN_GAUGE ? 'u' : vb->type == ASN_COUNTER ? 'c' : 't';
        v.num = static_cast<uint32_t>(*vb->val.integer);
        break;
    case ASN_IPADDRESS:
        v.type = 'a';
        v.bytes.assign(reinterpret_cast<const char*>(vb->val.string), vb->val_len);
        break;
    case ASN_OBJECT_ID:
        v.type = 'o';
        v.oid = oidOf(vb->val.objid, vb->val_len / sizeof(oid));
        break;
    case ASN_OCTET_STR:
        v.type = 's';
        v.bytes.assign(reinterpret_cast<const char*>(vb->val.string), vb->val_len);
        break;
    case ASN_NULL:
        v.type = 'n';
        break;
    default:
        v.type = '?';  // a type the device never holds (Counter64, Opaque, ...)
    }
    return v;
}

void setVarbindValue(netsnmp_variable_list* vb, const Value& v) {
    switch (v.type) {
    case 'i': {
        long x = static_cast<long>(v.num);
        snmp_set_var_typed_value(vb, ASN_INTEGER, &x, sizeof x);
        break;
    }
    case 'u': case 'c': case 't': {
        u_long x = static_cast<u_long>(v.num);
        u_char t = v.type == 'u' ? ASN_GAUGE : v.type == 'c' ? ASN_COUNTER : ASN_TIMETICKS;
        snmp_set_var_typed_value(vb, t, &x, sizeof x);
        break;
    }
    case 'a':
        snmp_set_var_typed_value(vb, ASN_IPADDRESS, v.bytes.data(), v.bytes.size());
        break;
    case 'o': {
        std::vector<::oid> o = netOid(v.oid);
        snmp_set_var_typed_value(vb, ASN_OBJECT_ID, o.data(), o.size() * sizeof(oid));
        break;
    }
    case 's':
        snmp_set_var_typed_value(vb, ASN_OCTET_STR, v.bytes.data(), v.bytes.size());
        break;
    default:
        snmp_set_var_typed_value(vb, ASN_NULL, nullptr, 0);
    }
}

const char* versionText(long version) {
    switch (version) {
    case SNMP_VERSION_1: return "v1";
    case SNMP_VERSION_2c: return "v2c";
    case SNMP_VERSION_3: return "v3";
    default: return "v?";
    }
}

std::string journalLine(const netsnmp_pdu* pdu) {
    const char* op = nullptr;
    switch (pdu->command) {
    case SNMP_MSG_GET: op = "GET"; break;
    case SNMP_MSG_GETNEXT: op = "GETNEXT"; break;
    case SNMP_MSG_GETBULK: op = "GETBULK"; break;
    case SNMP_MSG_SET: op = "SET"; break;
    default: return {};
    }
    std::string line = std::string(op) + " " + versionText(pdu->version);
    for (auto* vb = pdu->variables; vb; vb = vb->next_variable) {
        line += " " + oidText(oidOf(vb->name, vb->name_length));
        if (pdu->command == SNMP_MSG_SET) {
            Value v = fromVarbind(vb);
            line += "=" + (v.type == '?' ? std::string("?") : valueText(v));
        }
    }
    return line;
}

bool knownCommunity(const netsnmp_pdu* pdu, bool* write) {
    std::string c(reinterpret_cast<const char*>(pdu->community), pdu->community_len);
    *write = c == g_options->writeCommunity;
    return *write || c == g_options->readCommunity;
}

// Answers a PDU here, outside the agent's processing: the varbinds go back as
// received with the given error status and index. Used for injected errors,
// which must reach the manager unchanged for every status 1..19 (the agent
// would fold v2 statuses into v1 ones).
void answerWithError(netsnmp_session* s, const netsnmp_pdu* pdu, int status, int index) {
    netsnmp_pdu* r = snmp_clone_pdu(const_cast<netsnmp_pdu*>(pdu));
    if (!r) return;
    r->command = SNMP_MSG_RESPONSE;
    r->errstat = status;
    r->errindex = index;
    if (!snmp_send(s, r)) snmp_free_pdu(r);
}

int injectedFor(const netsnmp_pdu* pdu, int* index) {
    int i = 1;
    for (auto* vb = pdu->variables; vb; vb = vb->next_variable, ++i) {
        Oid o = oidOf(vb->name, vb->name_length);
        if (pdu->command == SNMP_MSG_GETNEXT || pdu->command == SNMP_MSG_GETBULK) {
            auto* next = g_sim->store().next(o, false);
            if (!next) continue;
            o = next->first;
        }
        if (int st = g_sim->injectedError(o)) {
            *index = i;
            return st;
        }
    }
    return 0;
}

// Commands that take time (TFTP transfers, installs) run before the agent
// sees their SET: the PDU is held, the agent keeps serving everyone else, and
// when the command has ended the PDU goes through the agent with the
// command's outcome preset, so the answer carries that outcome. (Net-SNMP's
// own delegation would queue every other request behind the held SET.)
std::map<std::string, int> g_presets;

// A request is known by where it came from and its request id: two managers
// may well use the same id.
std::string requestKey(const netsnmp_pdu* pdu) {
    static const char* hex = "0123456789abcdef";
    std::string key = std::to_string(pdu->reqid) + "@";
    const auto* bytes = static_cast<const unsigned char*>(pdu->transport_data);
    for (int i = 0; bytes && i < pdu->transport_data_length; ++i) {
        key += hex[bytes[i] >> 4];
        key += hex[bytes[i] & 15];
    }
    return key;
}

std::string presetKey(const std::string& request, const Oid& oid) { return request + " " + oidText(oid); }

void processHeld(netsnmp_pdu* held) {
    if (main_session && !g_sim->silent())
        handle_snmp_packet(NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE, main_session, held->reqid, held, nullptr);
    snmp_free_pdu(held);
}

bool holdForCommand(const netsnmp_pdu* pdu) {
    bool write = false;
    if ((pdu->version == SNMP_VERSION_1 || pdu->version == SNMP_VERSION_2c) && (!knownCommunity(pdu, &write) || !write))
        return false;  // the agent refuses it; nothing may start
    const netsnmp_variable_list* command = nullptr;
    for (auto* vb = pdu->variables; vb; vb = vb->next_variable) {
        Oid o = oidOf(vb->name, vb->name_length);
        const Object* obj = g_sim->store().find(o);
        Value v = fromVarbind(vb);
        // Anything the agent will refuse goes to it at once; no command starts.
        if (!obj || !obj->writable || obj->uptime || v.type != obj->value.type) return false;
        if (g_sim->defers(o, v)) command = vb;
    }
    if (!command) return false;
    Oid o = oidOf(command->name, command->name_length);
    std::string request = requestKey(pdu);
    netsnmp_pdu* held = snmp_clone_pdu(const_cast<netsnmp_pdu*>(pdu));
    if (!held) return false;
    int status = g_sim->command(o, fromVarbind(command), request, [held, request, o](int s) {
        g_presets[presetKey(request, o)] = s;
        processHeld(held);
    });
    if (status >= 0) {
        g_presets[presetKey(request, o)] = status;
        processHeld(held);
    }
    return true;
}

int onPacket(int op, netsnmp_session* s, int reqid, netsnmp_pdu* pdu, void* magic) {
    if (op != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || magic)
        return handle_snmp_packet(op, s, reqid, pdu, magic);
    bool write = false;
    if ((pdu->version == SNMP_VERSION_1 || pdu->version == SNMP_VERSION_2c) && !knownCommunity(pdu, &write))
        return 1;  // unknown community: no answer at all
    if (g_sim->silent()) return 1;
    std::string line = journalLine(pdu);
    if (!line.empty()) g_sim->journalPdu(line);
    int index = 0;
    if (int st = injectedFor(pdu, &index)) {
        answerWithError(s, pdu, st, index);
        return 1;
    }
    if (pdu->command == SNMP_MSG_SET && holdForCommand(pdu)) return 1;
    if (unsigned ms = g_sim->delayMs()) {
        if (netsnmp_pdu* copy = snmp_clone_pdu(pdu))
            g_delayed.push_back({Clock::now() + std::chrono::milliseconds(ms), copy});
        return 1;
    }
    return handle_snmp_packet(op, s, reqid, pdu, magic);
}

void freeValue(void* p) { delete static_cast<Value*>(p); }

int onRequest(netsnmp_mib_handler*, netsnmp_handler_registration*,
              netsnmp_agent_request_info* reqinfo, netsnmp_request_info* requests) {
    ObjectStore& store = g_sim->store();
    for (netsnmp_request_info* req = requests; req; req = req->next) {
        if (req->processed) continue;
        netsnmp_variable_list* vb = req->requestvb;
        Oid oid = oidOf(vb->name, vb->name_length);
        switch (reqinfo->mode) {
        case MODE_GET: {
            const Object* o = store.find(oid);
            if (!o) netsnmp_set_request_error(reqinfo, req, SNMP_NOSUCHOBJECT);
            else setVarbindValue(vb, g_sim->served(*o));
            break;
        }
        case MODE_GETNEXT: {
            auto* next = store.next(oid, req->inclusive != 0);
            if (!next) {
                netsnmp_set_request_error(reqinfo, req, SNMP_ENDOFMIBVIEW);
                break;
            }
            std::vector<::oid> name = netOid(next->first);
            snmp_set_var_objid(vb, name.data(), name.size());
            setVarbindValue(vb, g_sim->served(next->second));
            break;
        }
        case MODE_SET_RESERVE1: {
            const Object* o = store.find(oid);
            Value v = fromVarbind(vb);
            if (!o) netsnmp_set_request_error(reqinfo, req, SNMP_ERR_NOCREATION);
            else if (!o->writable || o->uptime) netsnmp_set_request_error(reqinfo, req, SNMP_ERR_NOTWRITABLE);
            else if (v.type != o->value.type) netsnmp_set_request_error(reqinfo, req, SNMP_ERR_WRONGTYPE);
            else if (v.type == 'a' && v.bytes.size() != 4) netsnmp_set_request_error(reqinfo, req, SNMP_ERR_WRONGLENGTH);
            break;
        }
        case MODE_SET_ACTION: {
            Object* o = store.find(oid);
            if (!o) break;
            netsnmp_request_add_list_data(req, netsnmp_create_data_list("ksr-old", new Value(o->value), freeValue));
            Value v = fromVarbind(vb);
            o->value = v;
            if (!g_sim->hasBehaviour(oid)) break;
            std::string request = reqinfo->asp && reqinfo->asp->pdu ? requestKey(reqinfo->asp->pdu) : std::string();
            int status;
            auto preset = g_presets.find(presetKey(request, oid));
            if (preset != g_presets.end()) {
                // A command that took time has already run (see onPacket).
                status = preset->second;
                g_presets.erase(preset);
                g_sim->settle(oid);
            } else {
                status = g_sim->command(oid, v, request, [](int) {});
            }
            if (status > 0) netsnmp_set_request_error(reqinfo, req, status);
            break;
        }
        case MODE_SET_UNDO: {
            auto* old = static_cast<Value*>(netsnmp_request_get_list_data(req, "ksr-old"));
            Object* o = store.find(oid);
            if (old && o) o->value = *old;
            break;
        }
        default:  // RESERVE2, COMMIT, FREE: nothing to do
            break;
        }
    }
    return SNMP_ERR_NOERROR;
}

void remember(const std::string& line) { netsnmp_config_remember(const_cast<char*>(line.c_str())); }

void makeDir(const std::string& path) { mkdir(path.c_str(), 0700); }

void runDelayed() {
    auto now = Clock::now();
    std::vector<netsnmp_pdu*> due;
    for (auto it = g_delayed.begin(); it != g_delayed.end();) {
        if (it->at <= now) {
            due.push_back(it->pdu);
            it = g_delayed.erase(it);
        } else {
            ++it;
        }
    }
    for (netsnmp_pdu* p : due) {
        if (main_session && !g_sim->silent())
            handle_snmp_packet(NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE, main_session, p->reqid, p, nullptr);
        snmp_free_pdu(p);
    }
}

}  // namespace

Agent::Agent(Simulator& sim, AgentOptions options) : sim_(sim), options_(std::move(options)) {
    g_sim = &sim_;
    g_options = &options_;
}

Agent::~Agent() {
    stop();
    snmp_shutdown("ksr4710-sim");
    g_sim = nullptr;
    g_options = nullptr;
}

bool Agent::init(std::string* error) {
    // No MIB files, nothing read from or written to system folders: the
    // configuration and persistent folders live under the state folder
    // (two separate ones: sharing one breaks the engine ID).
    setenv("MIBS", "", 1);
    std::string conf = options_.stateDir + "/snmp-conf";
    std::string persist = options_.stateDir + "/snmp-persist";
    makeDir(conf);
    makeDir(persist);
    makeDir(persist + "/cert_indexes");  // made here, so that the library does not announce it
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_CONFIGURATION_DIR, conf.c_str());
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR, persist.c_str());
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 0);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 0);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_AGENTX_MASTER, 0);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_NO_ROOT_ACCESS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_ALARM_DONT_USE_SIG, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_DONT_LOG_TCPWRAPPERS_CONNECTS, 1);
    add_to_init_list(const_cast<char*>("-smux"));
    snmp_disable_log();
    if (const char* tokens = getenv("KSR4710_SIM_SNMPLOG")) {
        // Net-SNMP's own log (and its debug tokens, when given) on stderr.
        snmp_enable_stderrlog();
        if (*tokens) {
            debug_register_tokens(tokens);
            snmp_set_do_debugging(1);
        }
    }

    // Access through the agent's own VACM: the read community may only read
    // (a SET with it is refused as noAccess, noSuchName under v1), the write
    // community may write, an unknown community gets no answer, and every
    // SNMPv3 user may read and write at the level it was created with.
    remember("rocommunity \"" + options_.readCommunity + "\" default");
    remember("rwcommunity \"" + options_.writeCommunity + "\" default");
    for (const V3User& u : options_.users) {
        std::string line = "createUser " + u.name + " " + u.authProtocol + " \"" + u.authPass + "\"";
        if (!u.privProtocol.empty()) line += " " + u.privProtocol + " \"" + u.privPass + "\"";
        remember(line);
        remember("rwuser " + u.name + (u.privProtocol.empty() ? " auth" : " priv"));
    }

    if (init_agent("ksr4710-sim") != 0) {
        *error = "init_agent failed";
        return false;
    }
    init_snmp("ksr4710-sim");

    // One handler serves the whole tree below 1.3: GET-NEXT then walks the
    // store's own order across the system group, DeviceRoot and any object
    // a test creates. (The agent keeps placeholder registrations of its own
    // at the top-level arcs, so the device tree starts one arc lower.)
    static const oid root[] = {1, 3};
    netsnmp_handler_registration* reg =
        netsnmp_create_handler_registration("ksr4710", onRequest, root, 2, HANDLER_CAN_RWRITE);
    if (!reg || netsnmp_register_handler(reg) != MIB_REGISTERED_OK) {
        *error = "cannot register the device tree";
        return false;
    }
    if (!start()) {
        *error = "cannot listen on udp " + options_.address + ":" + std::to_string(options_.port);
        return false;
    }
    return true;
}

bool Agent::start() {
    if (running_) return true;
    std::string endpoint = "udp:" + options_.address + ":" + std::to_string(options_.port);
    netsnmp_ds_set_string(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_PORTS, endpoint.c_str());
    if (init_master_agent() != 0 || !main_session) return false;
    main_session->callback = onPacket;
    if (options_.port == 0) {
        // Keep the port the system picked, so that a restart comes back on it.
        netsnmp_transport* t = snmp_sess_transport(snmp_sess_pointer(main_session));
        sockaddr_in sa{};
        socklen_t len = sizeof sa;
        if (t && getsockname(t->sock, reinterpret_cast<sockaddr*>(&sa), &len) == 0) options_.port = ntohs(sa.sin_port);
    }
    running_ = true;
    return true;
}

void Agent::stop() {
    if (!running_) return;
    shutdown_master_agent();
    for (DelayedPdu& d : g_delayed) snmp_free_pdu(d.pdu);
    g_delayed.clear();
    running_ = false;
}

void Agent::run(ControlServer& control, volatile int* stopFlag) {
    sim_.stopAgent = [this] { stop(); };
    sim_.startAgent = [this] { start(); };
    while (!*stopFlag && !sim_.quitRequested()) {
        int fds = 0, block = 0;
        fd_set readfds;
        FD_ZERO(&readfds);
        struct timeval tv {};
        snmp_select_info(&fds, &readfds, &tv, &block);
        long waitMs = block ? 1000 : tv.tv_sec * 1000 + tv.tv_usec / 1000;
        int simMs = sim_.timeoutMs();
        if (simMs >= 0) waitMs = std::min<long>(waitMs, simMs);
        if (!g_delayed.empty()) waitMs = std::min<long>(waitMs, 5);
        waitMs = std::min<long>(waitMs, 1000);
        int maxFd = fds - 1;
        control.addFds(readfds, maxFd);
        FD_SET(sim_.wakeFd(), &readfds);
        maxFd = std::max(maxFd, sim_.wakeFd());
        tv.tv_sec = waitMs / 1000;
        tv.tv_usec = (waitMs % 1000) * 1000;
        int n = select(maxFd + 1, &readfds, nullptr, nullptr, &tv);
        if (n > 0) {
            control.handle(readfds);
            snmp_read(&readfds);
        } else if (n == 0) {
            snmp_timeout();
        }
        run_alarms();
        runDelayed();
        netsnmp_check_outstanding_agent_requests();
        sim_.afterPacket();
        sim_.runDue();
        netsnmp_check_outstanding_agent_requests();
        sim_.afterPacket();
    }
}

}  // namespace ksrsim
