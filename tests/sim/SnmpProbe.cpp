#include "SnmpProbe.h"

#include "ObjectStore.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <sys/select.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace simtest {

namespace {

void initOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    setenv("MIBS", "", 1);
    char templ[] = "/tmp/ksr-snmpprobe-XXXXXX";
    const char* dir = mkdtemp(templ);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    if (dir) {
        mkdir((std::string(dir) + "/cert_indexes").c_str(), 0700);  // made here, so that no one announces it
        netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR, dir);
    }
    init_snmp("ksr-simprobe");
}

std::string valueOf(const netsnmp_variable_list* vb) {
    ksrsim::Value v;
    switch (vb->type) {
    case SNMP_NOSUCHOBJECT: return "noSuchObject";
    case SNMP_NOSUCHINSTANCE: return "noSuchInstance";
    case SNMP_ENDOFMIBVIEW: return "endOfMibView";
    case ASN_INTEGER: v.type = 'i'; v.num = *vb->val.integer; break;
    case ASN_GAUGE: v.type = 'u'; v.num = static_cast<uint32_t>(*vb->val.integer); break;
    case ASN_COUNTER: v.type = 'c'; v.num = static_cast<uint32_t>(*vb->val.integer); break;
    case ASN_TIMETICKS: v.type = 't'; v.num = static_cast<uint32_t>(*vb->val.integer); break;
    case ASN_IPADDRESS: v.type = 'a'; v.bytes.assign(reinterpret_cast<char*>(vb->val.string), vb->val_len); break;
    case ASN_OCTET_STR: v.type = 's'; v.bytes.assign(reinterpret_cast<char*>(vb->val.string), vb->val_len); break;
    case ASN_OBJECT_ID: v.type = 'o'; v.oid.assign(vb->val.objid, vb->val.objid + vb->val_len / sizeof(oid)); break;
    default: return "n";
    }
    return ksrsim::valueText(v);
}

std::vector<oid> parse(const std::string& text) {
    ksrsim::Oid o;
    if (!ksrsim::parseOid(text, o)) throw std::invalid_argument("bad OID " + text);
    return std::vector<oid>(o.begin(), o.end());
}

Reply replyOf(netsnmp_pdu* r) {
    Reply out;
    out.reqid = r->reqid;
    out.errstat = static_cast<int>(r->errstat);
    out.errindex = static_cast<int>(r->errindex);
    for (auto* vb = r->variables; vb; vb = vb->next_variable)
        out.vars.emplace_back(ksrsim::oidText(ksrsim::Oid(vb->name, vb->name + vb->name_length)), valueOf(vb));
    return out;
}

}  // namespace

struct SnmpProbe::Impl {
    void* sess = nullptr;
    bool answered = false;
    Reply pending;

    static int onAnswer(int op, netsnmp_session*, int, netsnmp_pdu* pdu, void* magic) {
        auto* self = static_cast<Impl*>(magic);
        if (op == NETSNMP_CALLBACK_OP_RESEND) return 1;
        self->answered = true;
        if (op == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE) self->pending = replyOf(pdu);
        else self->pending.timeout = true;
        return 1;
    }

    netsnmp_pdu* build(int command, const std::vector<Varbind>& vbs) {
        netsnmp_pdu* pdu = snmp_pdu_create(command);
        for (const Varbind& v : vbs) {
            std::vector<oid> name = parse(v.oid);
            if (v.type == 'n') {
                snmp_add_null_var(pdu, name.data(), name.size());
                continue;
            }
            std::string type(1, v.type);
            if (snmp_add_var(pdu, name.data(), name.size(), type[0], v.value.c_str()) != 0)
                throw std::invalid_argument("bad value " + v.value);
        }
        return pdu;
    }

    Reply synch(netsnmp_pdu* pdu) {
        netsnmp_pdu* response = nullptr;
        int st = snmp_sess_synch_response(sess, pdu, &response);
        Reply r;
        if (st == STAT_SUCCESS && response) r = replyOf(response);
        else r.timeout = true;
        if (response) snmp_free_pdu(response);
        return r;
    }
};

SnmpProbe::SnmpProbe(const std::string& host, uint16_t port, const std::string& version,
                     const std::string& community, int timeoutMs, int retries)
    : d(new Impl) {
    initOnce();
    netsnmp_session s;
    snmp_sess_init(&s);
    std::string peer = "udp:" + host + ":" + std::to_string(port);
    s.peername = const_cast<char*>(peer.c_str());
    s.timeout = timeoutMs * 1000L;
    s.retries = retries;
    s.callback = Impl::onAnswer;
    s.callback_magic = d.get();
    std::string user;
    if (version == "v1" || version == "v2c") {
        s.version = version == "v1" ? SNMP_VERSION_1 : SNMP_VERSION_2c;
        s.community = reinterpret_cast<u_char*>(const_cast<char*>(community.c_str()));
        s.community_len = community.size();
    } else {
        std::vector<std::string> p;
        std::stringstream ss(version);
        std::string part;
        while (std::getline(ss, part, ':')) p.push_back(part);
        if (p.size() != 6) throw std::invalid_argument("bad version " + version);
        user = p[1];
        s.version = SNMP_VERSION_3;
        s.securityName = const_cast<char*>(user.c_str());
        s.securityNameLen = user.size();
        s.securityLevel = SNMP_SEC_LEVEL_AUTHPRIV;
        s.securityAuthProto = p[2] == "SHA" ? usmHMACSHA1AuthProtocol : usmHMACMD5AuthProtocol;
        s.securityAuthProtoLen = USM_AUTH_PROTO_SHA_LEN;
        s.securityAuthKeyLen = USM_AUTH_KU_LEN;
        generate_Ku(s.securityAuthProto, static_cast<u_int>(s.securityAuthProtoLen),
                    reinterpret_cast<u_char*>(const_cast<char*>(p[3].c_str())), p[3].size(), s.securityAuthKey,
                    &s.securityAuthKeyLen);
        s.securityPrivProto = p[4] == "AES" ? usmAESPrivProtocol : usmDESPrivProtocol;
        s.securityPrivProtoLen = USM_PRIV_PROTO_AES_LEN;
        s.securityPrivKeyLen = USM_PRIV_KU_LEN;
        generate_Ku(s.securityAuthProto, static_cast<u_int>(s.securityAuthProtoLen),
                    reinterpret_cast<u_char*>(const_cast<char*>(p[5].c_str())), p[5].size(), s.securityPrivKey,
                    &s.securityPrivKeyLen);
    }
    d->sess = snmp_sess_open(&s);
    if (!d->sess) throw std::runtime_error("SnmpProbe: cannot open a session to " + peer);
}

SnmpProbe::~SnmpProbe() {
    if (d->sess) snmp_sess_close(d->sess);
}

Reply SnmpProbe::get(const std::vector<std::string>& oids) {
    std::vector<Varbind> vbs;
    for (const auto& o : oids) vbs.push_back({o, 'n', {}});
    return d->synch(d->build(SNMP_MSG_GET, vbs));
}

Reply SnmpProbe::getNext(const std::vector<std::string>& oids) {
    std::vector<Varbind> vbs;
    for (const auto& o : oids) vbs.push_back({o, 'n', {}});
    return d->synch(d->build(SNMP_MSG_GETNEXT, vbs));
}

Reply SnmpProbe::set(const std::vector<Varbind>& vbs) { return d->synch(d->build(SNMP_MSG_SET, vbs)); }

void SnmpProbe::sendSet(const std::vector<Varbind>& vbs) {
    d->answered = false;
    d->pending = Reply{};
    netsnmp_pdu* pdu = d->build(SNMP_MSG_SET, vbs);
    if (!snmp_sess_async_send(d->sess, pdu, Impl::onAnswer, d.get())) {
        snmp_free_pdu(pdu);
        throw std::runtime_error("SnmpProbe: send failed");
    }
}

Reply SnmpProbe::collect(int waitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!d->answered && std::chrono::steady_clock::now() < deadline) {
        int fds = 0, block = 0;
        fd_set set;
        FD_ZERO(&set);
        timeval tv{0, 20000};
        snmp_sess_select_info(d->sess, &fds, &set, &tv, &block);
        tv = {0, 20000};
        int n = select(fds, &set, nullptr, nullptr, &tv);
        if (n > 0) snmp_sess_read(d->sess, &set);
        else snmp_sess_timeout(d->sess);
    }
    Reply r = d->pending;
    if (!d->answered) r.timeout = true;
    return r;
}

}  // namespace simtest
