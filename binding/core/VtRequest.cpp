#include "VtRequest.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <arpa/inet.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "Trace.h"
#include "VtMessages.h"
#include "VtSessionPool.h"
#include "VtValueFormat.h"

namespace {

void defaultProcessEvents() {
    VtSNMPProcessPendingEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void (*g_processEvents)() = &defaultProcessEvents;

// True while a PDU is inside snmp_sess_async_send; callbacks made then are
// deferred to the pump.
bool g_sending = false;

struct DeferredCompletion {
    int op;
    uint64_t id;
    netsnmp_pdu* pdu;  // a clone, or nullptr
};
std::vector<DeferredCompletion> g_deferred;

enum class Step { FirstRead, ContinueWalk, Write };

bool parseOid(const std::string& text, oid* out, size_t& len) {
    len = 0;
    size_t i = (!text.empty() && text[0] == '.') ? 1 : 0;
    if (i >= text.size()) return false;
    while (i < text.size()) {
        if (len >= MAX_OID_LEN || !isdigit(static_cast<unsigned char>(text[i]))) return false;
        unsigned long v = 0;
        while (i < text.size() && isdigit(static_cast<unsigned char>(text[i]))) {
            v = v * 10 + static_cast<unsigned>(text[i++] - '0');
            if (v > 0xFFFFFFFFUL) return false;
        }
        out[len++] = v;
        if (i < text.size()) {
            if (text[i] != '.' || i + 1 == text.size()) return false;
            ++i;
        }
    }
    return true;
}

std::string oidText(const oid* name, size_t len) {
    std::string text;
    text.reserve(len * 4);
    char buf[16];
    for (size_t i = 0; i < len; ++i) {
        int n = std::snprintf(buf, sizeof buf, i ? ".%lu" : "%lu", static_cast<unsigned long>(name[i]));
        text.append(buf, static_cast<size_t>(n));
    }
    return text;
}

bool startsWithOid(const std::string& text, const std::string& base) {
    return text.size() > base.size() + 1 && text.compare(0, base.size(), base) == 0 && text[base.size()] == '.';
}

bool isAbsent(const netsnmp_variable_list* vb) {
    return !vb || vb->type == ASN_NULL || vb->type == SNMP_NOSUCHOBJECT || vb->type == SNMP_NOSUCHINSTANCE ||
           vb->type == SNMP_ENDOFMIBVIEW;
}

bool isNumeric(u_char type) {
    return type == ASN_INTEGER || type == ASN_COUNTER || type == ASN_GAUGE || type == ASN_TIMETICKS ||
           type == ASN_UINTEGER;
}

// Text form of a received value for the item's syntax (no option labels).
std::string receivedText(int32_t syntax, const netsnmp_variable_list* vb) {
    bool absent = isAbsent(vb);
    switch (syntax) {
    case VT_SYNTAX_INTEGER:
        if (absent) return VtNullText;
        if (isNumeric(vb->type)) return std::to_string(static_cast<int32_t>(*vb->val.integer));
        if (vb->type == ASN_OCTET_STR) return std::string(reinterpret_cast<char*>(vb->val.string), vb->val_len);
        return VtNullText;
    case VT_SYNTAX_OBJECTID:
        if (absent || vb->type != ASN_OBJECT_ID) return VtNullText;
        return oidText(vb->val.objid, vb->val_len / sizeof(oid));
    case VT_SYNTAX_IPADDRESS:
        if (absent || vb->val_len < 4 || !vb->val.string) return VtNullText;
        return std::to_string(vb->val.string[0]) + "." + std::to_string(vb->val.string[1]) + "." +
               std::to_string(vb->val.string[2]) + "." + std::to_string(vb->val.string[3]);
    case VT_SYNTAX_TIMETICKS:
        if (absent || !isNumeric(vb->type)) return VtNullText;
        return VtTimeTicksToText(static_cast<uint32_t>(*vb->val.integer));
    case VT_SYNTAX_MACADDRESS: {
        if (absent || vb->type != ASN_OCTET_STR || vb->val_len == 0) return "";
        static const char hex[] = "0123456789ABCDEF";
        std::string text;
        for (size_t i = 0; i < vb->val_len; ++i) {
            text += hex[vb->val.string[i] >> 4];
            text += hex[vb->val.string[i] & 15];
        }
        return text;
    }
    case VT_SYNTAX_DISPLAYSTR: {
        if (absent || vb->type != ASN_OCTET_STR || !vb->val.string) return "";
        const char* s = reinterpret_cast<const char*>(vb->val.string);
        return std::string(s, strnlen(s, vb->val_len));
    }
    default:
        VtRaise(-511);
    }
}

void addValue(netsnmp_pdu* pdu, const oid* name, size_t len, const VtSNMPVarItem& item) {
    std::string text = item.OptionList ? item.OptionList->ValueOf(item.Value) : item.Value;
    if (text == VtNullText) {
        snmp_pdu_add_variable(pdu, name, len, ASN_NULL, nullptr, 0);
        return;
    }
    switch (item.Syntax) {
    case VT_SYNTAX_INTEGER: {
        long v = VtLeadingInteger(text);
        snmp_pdu_add_variable(pdu, name, len, ASN_INTEGER, &v, sizeof v);
        break;
    }
    case VT_SYNTAX_OBJECTID: {
        oid value[MAX_OID_LEN];
        size_t n = 0;
        if (!parseOid(text, value, n)) {
            snmp_pdu_add_variable(pdu, name, len, ASN_NULL, nullptr, 0);
            break;
        }
        snmp_pdu_add_variable(pdu, name, len, ASN_OBJECT_ID, value, n * sizeof(oid));
        break;
    }
    case VT_SYNTAX_IPADDRESS: {
        in_addr a{};
        if (inet_pton(AF_INET, text.c_str(), &a) != 1) a.s_addr = 0;  // screens check addresses first
        snmp_pdu_add_variable(pdu, name, len, ASN_IPADDRESS, &a.s_addr, 4);
        break;
    }
    case VT_SYNTAX_TIMETICKS: {
        u_long v = VtTextToTimeTicks(text);
        snmp_pdu_add_variable(pdu, name, len, ASN_TIMETICKS, &v, sizeof v);
        break;
    }
    case VT_SYNTAX_MACADDRESS: {
        VtOctets octets = VtParseHexOctets(text);
        snmp_pdu_add_variable(pdu, name, len, ASN_OCTET_STR, octets.data(), octets.size());
        break;
    }
    case VT_SYNTAX_DISPLAYSTR:
        snmp_pdu_add_variable(pdu, name, len, ASN_OCTET_STR, text.data(), text.size());
        break;
    default:
        VtRaise(-511);
    }
}

// Text of a mapped code; the map is many-to-one only for -528.
std::string codeText(int code) {
    if (code == 0) return VtMapOutcome(0).second;
    if (code <= -101 && code >= -119) return VtMapOutcome(-100 - code).second;
    if (code <= -301 && code >= -314) return VtMapOutcome(1100 - code).second;
    if (code <= -201 && code >= -217) return VtMapOutcome(code - 1201).second;
    if (code <= -401 && code >= -423) return VtMapOutcome(code + 400).second;
    return VtCodeText(code);
}

const char* stepName(Step step, bool table) {
    if (step == Step::Write) return "set";
    return table ? "getnext" : "get";
}

}  // namespace

void VtSetProcessEventsHook(void (*hook)()) { g_processEvents = hook ? hook : &defaultProcessEvents; }
void VtProcessEvents() { g_processEvents(); }

// Engine internals, kept out of the public header.
struct VtSNMPRequest::Impl {
    // Builds the target; raises -509 for an address that does not resolve.
    static VtTargetParams target(VtSNMPRequest& r, bool write) {
        VtTargetParams p;
        if (!VtResolveTarget(r.Device.address, r.Device.port, p)) VtRaise(-509);
        p.version = r.Security.version == 3 ? 3 : (r.Security.version == 1 ? 1 : 0);
        p.community = write ? r.Security.writeCommunity : r.Security.readCommunity;
        p.security = r.Security;
        p.scope = r.Scope;
        p.timeout = r.Timeout;
        p.retries = r.Retries;
        return p;
    }

    static void checkList(VtSNMPRequest& r, Step step) {
        if (r.VarList.ItemType > MVT_UMV) VtRaise(-515);
        if (step == Step::ContinueWalk && !r.VarList.IsTable()) VtRaise(-510);
    }

    // The PDU of one step; nullptr when no item qualifies. OIDs go to trace.
    static netsnmp_pdu* buildPdu(VtSNMPRequest& r, Step step, std::string& traced) {
        VtSNMPVarList& list = r.VarList;
        bool table = list.IsTable();
        int command = step == Step::Write ? SNMP_MSG_SET : (table ? SNMP_MSG_GETNEXT : SNMP_MSG_GET);
        netsnmp_pdu* pdu = snmp_pdu_create(command);
        int count = 0;
        std::string keyText;
        if (step == Step::Write && table)
            for (int k = 0; k < list.PKeyCount && k < list.Count(); ++k)
                keyText += (k ? "." : "") + r.KeyToOidText(k);
        try {
            for (int i = 0; i < list.Count(); ++i) {
                VtSNMPVarItem& item = list[i];
                bool use = step == Step::Write ? list.IsWritable(i) && !(table && i < list.PKeyCount)
                                               : list.IsReadable(i);
                if (!use) continue;
                std::string name;
                if (step == Step::ContinueWalk) {
                    name = item.InstanceOid;
                } else if (list.ItemType == SVT_SV) {
                    name = item.Oid + ".0";
                } else if (step == Step::Write && table) {
                    name = item.Oid + "." + keyText;
                } else {
                    name = item.Oid;
                }
                if (step == Step::FirstRead) item.InstanceOid.clear();
                oid o[MAX_OID_LEN];
                size_t len = 0;
                if (!parseOid(name, o, len)) {
                    auto m = VtMapOutcome(-16);  // invalid object identifier
                    throw VtException(m.first, m.second);
                }
                if (step == Step::Write)
                    addValue(pdu, o, len, item);
                else
                    snmp_add_null_var(pdu, o, len);
                if (traced.size() < 400) traced += " " + name;
                ++count;
            }
        } catch (...) {
            snmp_free_pdu(pdu);
            throw;
        }
        if (count == 0) {
            snmp_free_pdu(pdu);
            return nullptr;
        }
        return pdu;
    }

    // Varbind processing shared by the blocking step and async completions.
    // Returns true when a table row was read. With async, a -102 answer
    // settles result->Code from the first readable item and stops there.
    static bool processVarbinds(VtSNMPRequest& r, int code, netsnmp_variable_list* vbs, bool async,
                                VtSNMPError* result, bool& ok, bool& reported) {
        VtSNMPVarList& list = r.VarList;
        bool table = list.IsTable();
        std::string keyText = table ? list.KeyText() : std::string();
        int unfinished = 0;
        std::string suffix;
        bool haveSuffix = false;
        netsnmp_variable_list* vb = vbs;
        for (int i = 0; i < list.Count(); ++i) {
            if (!list.IsReadable(i)) continue;
            VtSNMPVarItem& item = list[i];
            netsnmp_variable_list* cur = vb;
            if (vb) vb = vb->next_variable;
            std::string vbOid = cur ? oidText(cur->name, cur->name_length) : std::string();
            if (code == -102 && table) {
                if (async) {
                    if (item.InstanceOid == vbOid) {
                        auto m = VtMapOutcome(0);
                        result->Code = m.first;
                        result->Message = m.second;
                    }
                    result->Last = true;
                    return false;
                }
                if (item.InstanceOid == vbOid) return false;  // echoed last row: the walk is over
                if (!reported) {
                    ok = false;
                    r.ReportError(-102, VtMapOutcome(2).second);
                    reported = true;
                }
            }
            bool finished = false;
            if (table) finished = r.EndOfColumn(i, vbOid);
            if (finished) {
                item.Value = VtNotDoneText;
                item.InstanceOid = item.Oid + "." + keyText;
            } else {
                std::string text = receivedText(item.Syntax, cur);
                item.Value = item.OptionList ? item.OptionList->LabelOf(text) : text;
                item.InstanceOid = vbOid;
                ++unfinished;
                if (!haveSuffix && startsWithOid(vbOid, item.Oid)) {
                    suffix = vbOid.substr(item.Oid.size() + 1);
                    haveSuffix = true;
                }
            }
        }
        if (table && unfinished > 0) {
            std::string rest = suffix;
            for (int k = 0; k < list.PKeyCount && k < list.Count(); ++k) {
                rest = r.KeyFromSuffix(k, rest);
                list[k].InstanceOid = list[k].Oid + "." + suffix;
            }
            return true;
        }
        return false;
    }

    static int outcomeOf(int status, netsnmp_pdu* response, void* sessp) {
        if (status == STAT_TIMEOUT) return -5;
        if (status == STAT_SUCCESS && response) {
            if (response->command == SNMP_MSG_REPORT) return VtOutcomeFromNetSnmp(snmpv3_get_report_type(response));
            return static_cast<int>(response->errstat);
        }
        netsnmp_session* s = sessp ? snmp_sess_session(sessp) : nullptr;
        int err = s ? s->s_snmp_errno : SNMPERR_GENERR;
        if (err == SNMPERR_TIMEOUT) return -5;
        return VtOutcomeFromNetSnmp(err ? err : SNMPERR_GENERR);
    }

    struct Async : VtAsyncRecord {
        VtSNMPRequest* request = nullptr;
        std::shared_ptr<bool> alive;
        VtSNMPCompletion completion;
        bool processValues = false;
        std::string address;
        uint16_t port = 0;
        uint64_t id = 0;
        bool deferred = false;  // the library answered it inside the send

        void sessionClosed() override {
            if (*alive) --request->Pending;
            delete this;
        }
    };

    static int callback(int op, netsnmp_session*, int, netsnmp_pdu* pdu, void* magic) {
        if (op == NETSNMP_CALLBACK_OP_RESEND) return 1;
        uint64_t id = reinterpret_cast<uintptr_t>(magic);
        if (g_sending) {
            if (auto* rec = static_cast<Async*>(VtPoolFind(id))) rec->deferred = true;
            g_deferred.push_back({op, id, pdu ? snmp_clone_pdu(pdu) : nullptr});
            return 1;
        }
        return deliver(op, pdu, id);
    }

    static int deliver(int op, netsnmp_pdu* pdu, uint64_t id) {
        auto* rec = static_cast<Async*>(VtPoolFind(id));
        if (!rec) return 1;  // its request or session is gone
        VtPoolUntrack(id);
        std::unique_ptr<Async> owned(rec);
        if (!*rec->alive) return 1;
        VtSNMPRequest& r = *rec->request;

        int outcome;
        if (op == NETSNMP_CALLBACK_OP_TIMED_OUT) {
            outcome = -5;
        } else if (op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu) {
            outcome = pdu->command == SNMP_MSG_REPORT ? VtOutcomeFromNetSnmp(snmpv3_get_report_type(pdu))
                                                      : static_cast<int>(pdu->errstat);
        } else if (op == NETSNMP_CALLBACK_OP_SEC_ERROR && pdu) {
            outcome = VtOutcomeFromNetSnmp(snmpv3_get_report_type(pdu));
        } else {
            outcome = -22;  // send failed
        }
        VtSNMPError result;
        auto m = VtMapOutcome(outcome);
        result.Code = m.first;
        result.Message = m.second;
        result.ErrorIndex = (pdu && op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE) ? static_cast<int32_t>(pdu->errindex) : 0;
        result.AgentAddress = rec->address;
        result.AgentPort = rec->port;
        result.Last = true;
        bool table = r.VarList.IsTable();
        bool received = op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu && pdu->command != SNMP_MSG_REPORT;
        try {
            if (received && ((result.Code == 0 && rec->processValues) || (result.Code == -102 && table))) {
                bool ok = true, reported = false;
                int code = result.Code;
                bool row = processVarbinds(r, code, pdu->variables, true, &result, ok, reported);
                if (code == 0) result.Last = !(table && row);
            }
        } catch (const VtException& e) {
            result.Code = e.code();
            result.Message = e.what();
            result.Last = true;
        }
        ksr::trace("snmp async answer -> %d", result.Code);
        // Pending drops before the completion runs: a completion that ends
        // its request's owner must not wait out the destructor's bound for
        // its own answer.
        auto completion = std::move(rec->completion);
        --r.Pending;
        if (completion) completion(result, r.VarList);
        return 1;
    }

    static void sendAsync(VtSNMPRequest& r, Step step, VtSNMPCompletion completion) {
        checkList(r, step);
        VtTargetParams p = target(r, step == Step::Write);
        std::string traced;
        netsnmp_pdu* pdu = buildPdu(r, step, traced);
        if (!pdu) return;
        auto* rec = new Async;
        rec->request = &r;
        rec->alive = r.alive_;
        rec->completion = std::move(completion);
        rec->processValues = step != Step::Write;
        rec->address = p.address;
        rec->port = p.port;
        rec->sessionKey = p.key(true);
        int outcome = 0;
        void* sessp = VtPoolSession(p, true, outcome);
        if (!sessp && outcome == -5) {
            // SNMPv3 engine discovery timed out: the time-out reaches the
            // completion from the pump, as any other would.
            snmp_free_pdu(pdu);
            rec->id = VtPoolTrack(rec);
            rec->deferred = true;
            ++r.Pending;
            g_deferred.push_back({NETSNMP_CALLBACK_OP_TIMED_OUT, rec->id, nullptr});
            ksr::trace("snmp async %s%s: no engine discovered", stepName(step, r.VarList.IsTable()), traced.c_str());
            return;
        }
        if (sessp) {
            netsnmp_session* s = snmp_sess_session(sessp);
            s->timeout = static_cast<long>(r.Timeout) * 10000L;
            s->retries = r.Retries;
            rec->id = VtPoolTrack(rec);
            ++r.Pending;
            ksr::trace("snmp async %s%s", stepName(step, r.VarList.IsTable()), traced.c_str());
            g_sending = true;
            int sent = snmp_sess_async_send(sessp, pdu, &Impl::callback, reinterpret_cast<void*>(rec->id));
            g_sending = false;
            // Sent, or already answered inside the send (then the library
            // owns the PDU and the pump delivers the outcome).
            if (sent != 0 || rec->deferred) return;
            outcome = VtOutcomeFromNetSnmp(s->s_snmp_errno ? s->s_snmp_errno : SNMPERR_BAD_SENDTO);
            VtPoolUntrack(rec->id);
            --r.Pending;
        }
        snmp_free_pdu(pdu);
        delete rec;
        // The send failed at once: reported now, not counted as pending.
        auto m = VtMapOutcome(outcome);
        ksr::trace("snmp async %s failed -> %d", stepName(step, r.VarList.IsTable()), m.first);
        r.ReportError(m.first, m.second);
    }

    // Sends one blocking PDU; returns the mapped code and the response (owned by the caller).
    static int sendBlocking(VtSNMPRequest& r, Step step, netsnmp_pdu*& response) {
        response = nullptr;
        checkList(r, step);
        VtTargetParams p = target(r, step == Step::Write);
        std::string traced;
        netsnmp_pdu* pdu = buildPdu(r, step, traced);
        if (!pdu) return 1;  // nothing to send
        int outcome = 0;
        void* sessp = VtPoolSession(p, false, outcome);
        if (sessp) {
            netsnmp_session* s = snmp_sess_session(sessp);
            s->timeout = static_cast<long>(r.Timeout) * 10000L;
            s->retries = r.Retries;
            int status = snmp_sess_synch_response(sessp, pdu, &response);
            outcome = outcomeOf(status, response, sessp);
            if (status != STAT_SUCCESS && outcome != -5) VtPoolDiscard(p, false);
            if (response && response->command == SNMP_MSG_REPORT) {
                snmp_free_pdu(response);
                response = nullptr;
            }
        } else {
            snmp_free_pdu(pdu);
        }
        int code = VtMapOutcome(outcome).first;
        ksr::trace("snmp %s%s -> %d", stepName(step, r.VarList.IsTable()), traced.c_str(), code);
        return code;
    }
};

VtSNMPRequest::VtSNMPRequest()
    : Timeout(VtSNMPDefaultTimeout),
      Device(VtSNMPDevice),
      Scope(VtSNMPScope),
      Security(VtSNMPSecurity),
      alive_(std::make_shared<bool>(true)) {}

VtSNMPRequest::~VtSNMPRequest() {
    Enabled = false;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(6000);
    while (Pending > 0 && std::chrono::steady_clock::now() < until) VtProcessEvents();
    *alive_ = false;  // answers still out are dropped when they arrive
}

void VtSNMPRequest::ReportError(int32_t code, const std::string& message) {
    ++ErrorCount;
    if (!OnResult) return;
    VtSNMPError e;
    e.Code = code;
    e.Message = message;
    e.Number = static_cast<int64_t>(ErrorCount);
    OnResult(&e);
}

bool VtSNMPRequest::Read(bool first, bool& ok) {
    if (!Enabled) {
        ok = false;
        return false;
    }
    Step step = first ? Step::FirstRead : Step::ContinueWalk;
    netsnmp_pdu* response = nullptr;
    int code = Impl::sendBlocking(*this, step, response);
    if (code == 1) return false;
    std::unique_ptr<netsnmp_pdu, void (*)(netsnmp_pdu*)> guard(response, &snmp_free_pdu);
    bool table = VarList.IsTable();
    bool reported = false;
    if (code != 0 && !(code == -102 && table)) {
        ok = false;
        ReportError(code, codeText(code));
        reported = true;
    }
    return Impl::processVarbinds(*this, code, response ? response->variables : nullptr, false, nullptr, ok,
                                 reported);
}

void VtSNMPRequest::Write(bool& ok) {
    if (!Enabled) {
        ok = false;
        return;
    }
    netsnmp_pdu* response = nullptr;
    int code = Impl::sendBlocking(*this, Step::Write, response);
    if (response) snmp_free_pdu(response);
    if (code != 0 && code != 1) {
        ok = false;
        ReportError(code, codeText(code));
    }
}

void VtSNMPRequest::ReadAsync(VtSNMPCompletionFn fn, void* arg, bool first) {
    ReadAsync(fn ? VtSNMPCompletion([fn, arg](VtSNMPError& e, VtSNMPVarList& l) { fn(arg, &e, &l); })
                 : VtSNMPCompletion(),
              first);
}

void VtSNMPRequest::ReadAsync(VtSNMPCompletion completion, bool first) {
    if (!Enabled) return;
    Impl::sendAsync(*this, first ? Step::FirstRead : Step::ContinueWalk, std::move(completion));
}

void VtSNMPRequest::WriteAsync(VtSNMPCompletionFn fn, void* arg) {
    WriteAsync(fn ? VtSNMPCompletion([fn, arg](VtSNMPError& e, VtSNMPVarList& l) { fn(arg, &e, &l); })
                  : VtSNMPCompletion());
}

void VtSNMPRequest::WriteAsync(VtSNMPCompletion completion) {
    if (!Enabled) return;
    Impl::sendAsync(*this, Step::Write, std::move(completion));
}

std::string VtSNMPRequest::KeyFromSuffix(int k, const std::string& suffix) {
    if (suffix.empty()) VtRaise(-514);
    size_t dot = suffix.find('.');
    std::string part = suffix.substr(0, dot);
    VtSNMPVarItem& key = VarList[k];
    std::string text = VtIntegerKeyToText(static_cast<uint32_t>(std::strtoul(part.c_str(), nullptr, 10)));
    key.Value = key.OptionList ? key.OptionList->LabelOf(text) : text;
    return dot == std::string::npos ? std::string() : suffix.substr(dot + 1);
}

std::string VtSNMPRequest::KeyToOidText(int k) {
    return VarList.KeyOidText(k);
}

bool VtSNMPRequest::EndOfColumn(int i, const std::string& responseOid) {
    const VtSNMPVarItem& item = VarList[i];
    return !startsWithOid(responseOid, item.Oid) || responseOid == item.InstanceOid;
}

void VtRunDeferredCompletions() {
    std::vector<DeferredCompletion> due;
    due.swap(g_deferred);
    for (auto& d : due) {
        VtSNMPRequest::Impl::deliver(d.op, d.pdu, d.id);
        if (d.pdu) snmp_free_pdu(d.pdu);
    }
}

bool VtHasDeferredCompletions() { return !g_deferred.empty(); }
