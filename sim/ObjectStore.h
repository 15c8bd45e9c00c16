#pragma once
// The simulated device's variables: one sorted store of object instances,
// each with its syntax, access and value. Free of Net-SNMP so that the model,
// its loader and the value texts can be tested on their own.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ksrsim {

using Oid = std::vector<uint32_t>;

bool parseOid(const std::string& text, Oid& out);  // "1.3.6" or ".1.3.6"
std::string oidText(const Oid& oid);
bool oidStartsWith(const Oid& oid, const Oid& prefix);

// One value. type: 'i' integer, 'u' gauge, 'c' counter, 't' timeticks,
// 'a' IP address (bytes holds 4 octets), 'o' object identifier, 's' octet
// string (printable or not), 'n' null.
struct Value {
    char type = 'n';
    int64_t num = 0;
    std::string bytes;
    Oid oid;

    bool operator==(const Value& o) const {
        return type == o.type && num == o.num && bytes == o.bytes && oid == o.oid;
    }
    bool operator!=(const Value& o) const { return !(*this == o); }
};

// Parses the value text of the control protocol and the model file. type
// 'x' reads hex octets (blanks and ':' ignored) into an 's' value. Returns
// false with a reason in *error when the text does not fit the type.
bool parseValue(char type, const std::string& text, Value& out, std::string* error = nullptr);

// Journal form: "i:1", "a:127.0.0.2", "o:1.3.6.1", "s:\"text\"", "x:00A0FF", "n".
std::string valueText(const Value& v);
// The reverse of valueText.
bool parseValueText(const std::string& text, Value& out);

struct Object {
    std::string name;       // empty for objects created at run time
    Value value;
    bool writable = false;
    bool uptime = false;    // value computed from the time since the last start
};

class ObjectStore {
public:
    Object* find(const Oid& oid);
    const Object* find(const Oid& oid) const;
    // The first object after oid (at or after it when inclusive).
    const std::pair<const Oid, Object>* next(const Oid& oid, bool inclusive) const;

    // Creates the object when absent (writable, named as given).
    Object& put(const Oid& oid, const Value& v, bool writable = true, const std::string& name = {});
    size_t erasePrefix(const Oid& prefix);
    // Columns 1..columns of rows 1..rows under entry; values by type:
    // 's' "r<row>c<col>", 'i'/'u'/'c'/'t' the row number, 'a' 10.0.<row/256>.<row%256>,
    // 'x' six octets ending in the row number.
    void fill(const Oid& entry, unsigned rows, unsigned columns, char type);

    // Name -> OID for every named object (and tables' column names).
    bool oidOf(const std::string& name, Oid& out) const;
    void setName(const std::string& name, const Oid& oid) { names_[name] = oid; }

    size_t size() const { return objects_.size(); }
    const std::map<Oid, Object>& objects() const { return objects_; }

private:
    std::map<Oid, Object> objects_;
    std::map<std::string, Oid> names_;
};

// A table of the model with fixed slots: the free value of each column lets
// "table empty" put every slot back to its free state.
struct ModelTable {
    std::string name;
    Oid entry;
    std::vector<Oid> indexes;                 // instance suffixes of the slots
    std::map<uint32_t, Value> freeValues;     // column -> value of a free slot
};

struct DeviceModel {
    ObjectStore store;
    std::vector<ModelTable> tables;
    std::vector<std::string> logLines;        // the device log at start

    const ModelTable* table(const Oid& entry) const;
};

// Loads the model file (format in sim/README.md). Returns false with
// "<file>:<line>: <reason>" in *error on the first bad line.
bool loadModel(const std::string& path, DeviceModel& model, std::string* error);
bool loadModelText(const std::string& text, DeviceModel& model, std::string* error,
                   const std::string& fileName = "model");

}  // namespace ksrsim
