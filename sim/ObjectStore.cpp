#include "ObjectStore.h"

#include "IniFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ksrsim {

using ksr::trimmed;

bool parseOid(const std::string& text, Oid& out) {
    out.clear();
    size_t i = (!text.empty() && text[0] == '.') ? 1 : 0;
    if (i >= text.size()) return false;
    while (i < text.size()) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        uint64_t part = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            part = part * 10 + static_cast<uint64_t>(text[i] - '0');
            if (part > 0xFFFFFFFFull) return false;
            ++i;
        }
        out.push_back(static_cast<uint32_t>(part));
        if (i < text.size()) {
            if (text[i] != '.' || i + 1 == text.size()) return false;
            ++i;
        }
    }
    return out.size() <= 128;
}

std::string oidText(const Oid& oid) {
    std::string s;
    for (size_t i = 0; i < oid.size(); ++i) {
        if (i) s += '.';
        s += std::to_string(oid[i]);
    }
    return s;
}

bool oidStartsWith(const Oid& oid, const Oid& prefix) {
    return oid.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

namespace {

bool parseNumber(const std::string& t, int64_t lo, int64_t hi, int64_t& out) {
    if (t.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(t.c_str(), &end, 10);
    if (errno || *end || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool parseIp(const std::string& t, std::string& bytes) {
    unsigned a[4];
    char tail;
    if (std::sscanf(t.c_str(), "%3u.%3u.%3u.%3u%c", &a[0], &a[1], &a[2], &a[3], &tail) != 4) return false;
    if (std::count(t.begin(), t.end(), '.') != 3) return false;
    for (char c : t)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.') return false;
    bytes.clear();
    for (unsigned x : a) {
        if (x > 255) return false;
        bytes.push_back(static_cast<char>(x));
    }
    return true;
}

bool parseHex(const std::string& t, std::string& bytes) {
    std::string digits;
    for (char c : t) {
        if (c == ' ' || c == ':' || c == '-') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        digits += c;
    }
    if (digits.size() % 2) return false;
    bytes.clear();
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return true;
}

bool printable(const std::string& b) {
    for (unsigned char c : b)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

}  // namespace

bool parseValue(char type, const std::string& text, Value& out, std::string* error) {
    Value v;
    bool ok = true;
    switch (type) {
    case 'i':
        v.type = 'i';
        ok = parseNumber(text, INT32_MIN, INT32_MAX, v.num);
        break;
    case 'u': case 'c': case 't':
        v.type = type;
        ok = parseNumber(text, 0, UINT32_MAX, v.num);
        break;
    case 'a':
        v.type = 'a';
        ok = parseIp(text, v.bytes);
        break;
    case 'o':
        v.type = 'o';
        ok = parseOid(text, v.oid);
        break;
    case 's':
        v.type = 's';
        v.bytes = text;
        break;
    case 'x':
        v.type = 's';
        ok = parseHex(text, v.bytes);
        break;
    case 'n':
        v.type = 'n';
        break;
    default:
        if (error) *error = std::string("unknown type '") + type + "'";
        return false;
    }
    if (!ok) {
        if (error) *error = "bad value \"" + text + "\" for type " + type;
        return false;
    }
    out = v;
    return true;
}

std::string valueText(const Value& v) {
    switch (v.type) {
    case 'i': case 'u': case 'c': case 't':
        return std::string(1, v.type) + ":" + std::to_string(v.num);
    case 'a': {
        std::string s = "a:";
        for (size_t i = 0; i < v.bytes.size(); ++i) {
            if (i) s += '.';
            s += std::to_string(static_cast<unsigned char>(v.bytes[i]));
        }
        return s;
    }
    case 'o':
        return "o:" + oidText(v.oid);
    case 's': {
        if (printable(v.bytes)) {
            std::string s = "s:\"";
            for (char c : v.bytes) {
                if (c == '"' || c == '\\') s += '\\';
                s += c;
            }
            return s + "\"";
        }
        static const char* hex = "0123456789ABCDEF";
        std::string s = "x:";
        for (unsigned char c : v.bytes) {
            s += hex[c >> 4];
            s += hex[c & 15];
        }
        return s;
    }
    default:
        return "n";
    }
}

bool parseValueText(const std::string& text, Value& out) {
    if (text == "n") {
        out = Value{};
        return true;
    }
    if (text.size() < 2 || text[1] != ':') return false;
    std::string body = text.substr(2);
    if (text[0] != 's') return parseValue(text[0], body, out);
    if (body.size() < 2 || body.front() != '"' || body.back() != '"') return false;
    std::string raw;
    for (size_t i = 1; i + 1 < body.size(); ++i) {
        if (body[i] == '\\') {
            if (i + 2 >= body.size()) return false;
            ++i;
        }
        raw += body[i];
    }
    return parseValue('s', raw, out);
}

Object* ObjectStore::find(const Oid& oid) {
    auto it = objects_.find(oid);
    return it == objects_.end() ? nullptr : &it->second;
}

const Object* ObjectStore::find(const Oid& oid) const {
    auto it = objects_.find(oid);
    return it == objects_.end() ? nullptr : &it->second;
}

const std::pair<const Oid, Object>* ObjectStore::next(const Oid& oid, bool inclusive) const {
    auto it = inclusive ? objects_.lower_bound(oid) : objects_.upper_bound(oid);
    return it == objects_.end() ? nullptr : &*it;
}

Object& ObjectStore::put(const Oid& oid, const Value& v, bool writable, const std::string& name) {
    auto it = objects_.find(oid);
    if (it != objects_.end()) {
        it->second.value = v;
        return it->second;
    }
    Object& o = objects_[oid];
    o.value = v;
    o.writable = writable;
    o.name = name;
    if (!name.empty()) names_[name] = oid;
    return o;
}

size_t ObjectStore::erasePrefix(const Oid& prefix) {
    auto first = objects_.lower_bound(prefix);
    auto last = first;
    size_t n = 0;
    while (last != objects_.end() && oidStartsWith(last->first, prefix)) {
        ++last;
        ++n;
    }
    objects_.erase(first, last);
    return n;
}

void ObjectStore::fill(const Oid& entry, unsigned rows, unsigned columns, char type) {
    for (unsigned c = 1; c <= columns; ++c) {
        for (unsigned r = 1; r <= rows; ++r) {
            Oid oid = entry;
            oid.push_back(c);
            oid.push_back(r);
            Value v;
            switch (type) {
            case 'i': case 'u': case 'c': case 't':
                v.type = type;
                v.num = r;
                break;
            case 'a':
                v.type = 'a';
                v.bytes = std::string{10, 0, static_cast<char>(r / 256), static_cast<char>(r % 256)};
                break;
            case 'x':
                v.type = 's';
                v.bytes = std::string(4, '\0') + static_cast<char>(r / 256) + static_cast<char>(r % 256);
                break;
            default:
                v.type = 's';
                v.bytes = "r" + std::to_string(r) + "c" + std::to_string(c);
            }
            // Hinted insertion: rows of one column arrive in order.
            auto it = objects_.lower_bound(oid);
            if (it != objects_.end() && it->first == oid) {
                it->second.value = v;
            } else {
                Object o;
                o.value = v;
                o.writable = true;
                objects_.emplace_hint(it, std::move(oid), std::move(o));
            }
        }
    }
}

bool ObjectStore::oidOf(const std::string& name, Oid& out) const {
    auto it = names_.find(name);
    if (it == names_.end()) return false;
    out = it->second;
    return true;
}

const ModelTable* DeviceModel::table(const Oid& entry) const {
    for (const ModelTable& t : tables)
        if (t.entry == entry) return &t;
    return nullptr;
}

namespace {

// Splits off the first blank-separated word of rest.
std::string word(std::string& rest) {
    size_t b = rest.find_first_not_of(" \t");
    if (b == std::string::npos) {
        rest.clear();
        return {};
    }
    size_t e = rest.find_first_of(" \t", b);
    std::string w = rest.substr(b, e == std::string::npos ? std::string::npos : e - b);
    rest = e == std::string::npos ? std::string() : rest.substr(e);
    return w;
}

// A value text of the model file: a quoted string keeps blanks and takes
// \" and \\ escapes; anything else is the trimmed rest of the line.
bool valueWord(const std::string& rest, std::string& out) {
    std::string t = trimmed(rest);
    if (t.empty() || t[0] != '"') {
        out = t;
        return true;
    }
    out.clear();
    for (size_t i = 1; i < t.size(); ++i) {
        if (t[i] == '\\' && i + 1 < t.size()) {
            out += t[++i];
        } else if (t[i] == '"') {
            return i + 1 == t.size();
        } else {
            out += t[i];
        }
    }
    return false;
}

struct Loader {
    DeviceModel& model;
    std::map<std::string, Oid> defines;

    bool oid(const std::string& text, Oid& out) {
        size_t dot = text.find('.');
        std::string head = text.substr(0, dot);
        auto it = defines.find(head);
        if (it == defines.end()) return parseOid(text, out);
        out = it->second;
        if (dot == std::string::npos) return true;
        Oid tail;
        if (!parseOid(text.substr(dot + 1), tail)) return false;
        out.insert(out.end(), tail.begin(), tail.end());
        return true;
    }

    ModelTable* table(const std::string& name) {
        for (ModelTable& t : model.tables)
            if (t.name == name) return &t;
        return nullptr;
    }

    bool typedValue(const std::string& typeWord, const std::string& rest, Value& v, std::string& why) {
        if (typeWord.size() != 1) {
            why = "bad type \"" + typeWord + "\"";
            return false;
        }
        char type = typeWord[0];
        std::string text;
        if (!valueWord(rest, text)) {
            why = "unterminated string";
            return false;
        }
        if (text.empty() && type != 's' && type != 'x') {
            // Defaults of an empty value: 0, 0.0.0.0, 0.0.
            text = type == 'a' ? "0.0.0.0" : type == 'o' ? "0.0" : "0";
        }
        return parseValue(type, text, v, &why);
    }

    bool access(const std::string& w, bool& writable, std::string& why) {
        if (w == "rw") writable = true;
        else if (w == "ro") writable = false;
        else {
            why = "access must be ro or rw, not \"" + w + "\"";
            return false;
        }
        return true;
    }

    bool line(std::string rest, std::string& why) {
        std::string kw = word(rest);
        if (kw.empty() || kw[0] == '#') return true;
        if (kw == "define") {
            std::string name = word(rest);
            Oid o;
            if (name.empty() || !oid(word(rest), o)) {
                why = "define needs a name and an OID";
                return false;
            }
            defines[name] = o;
            return true;
        }
        if (kw == "object" || kw == "uptime") {
            std::string name = word(rest);
            Oid o;
            if (!oid(word(rest), o)) {
                why = "bad OID";
                return false;
            }
            if (kw == "uptime") {
                Value v;
                v.type = 't';
                model.store.put(o, v, false, name).uptime = true;
                return true;
            }
            std::string type = word(rest);
            bool writable = false;
            if (!access(word(rest), writable, why)) return false;
            Value v;
            if (!typedValue(type, rest, v, why)) return false;
            model.store.put(o, v, writable, name);
            return true;
        }
        if (kw == "table") {
            // table <name> <entryOid> <first>..<last> [prefix <p>]
            ModelTable t;
            t.name = word(rest);
            if (!oid(word(rest), t.entry)) {
                why = "bad entry OID";
                return false;
            }
            std::string range = word(rest);
            unsigned first = 0, last = 0;
            char tail;
            if (std::sscanf(range.c_str(), "%u..%u%c", &first, &last, &tail) != 2 || first > last ||
                last - first > 100000) {
                why = "bad row range \"" + range + "\"";
                return false;
            }
            Oid prefix;
            if (word(rest) == "prefix" && !parseOid(word(rest), prefix)) {
                why = "bad prefix";
                return false;
            }
            for (unsigned r = first; r <= last; ++r) {
                Oid idx = prefix;
                idx.push_back(r);
                t.indexes.push_back(idx);
            }
            model.tables.push_back(t);
            return true;
        }
        if (kw == "column") {
            // column <table> <col> <name> <type> <ro|rw> [free value]
            ModelTable* t = table(word(rest));
            if (!t) {
                why = "column of an unknown table";
                return false;
            }
            int64_t col = 0;
            if (!parseNumber(word(rest), 1, UINT32_MAX, col)) {
                why = "bad column number";
                return false;
            }
            std::string name = word(rest);
            std::string type = word(rest);
            bool writable = false;
            if (!access(word(rest), writable, why)) return false;
            Value v;
            if (!typedValue(type, rest, v, why)) return false;
            t->freeValues[static_cast<uint32_t>(col)] = v;
            Oid column = t->entry;
            column.push_back(static_cast<uint32_t>(col));
            model.store.setName(name, column);
            for (const Oid& idx : t->indexes) {
                Oid o = column;
                o.insert(o.end(), idx.begin(), idx.end());
                model.store.put(o, v, writable);
            }
            return true;
        }
        if (kw == "cell") {
            // cell <table> <index> <col> <value>: a slot in use at start
            ModelTable* t = table(word(rest));
            Oid idx;
            int64_t col = 0;
            if (!t || !parseOid(word(rest), idx) || !parseNumber(word(rest), 1, UINT32_MAX, col)) {
                why = "cell needs a known table, an index and a column";
                return false;
            }
            Oid o = t->entry;
            o.push_back(static_cast<uint32_t>(col));
            o.insert(o.end(), idx.begin(), idx.end());
            Object* obj = model.store.find(o);
            if (!obj) {
                why = "cell outside the table's slots";
                return false;
            }
            char type = obj->value.type;
            std::string text;
            if (!valueWord(rest, text)) {
                why = "unterminated string";
                return false;
            }
            Value v;
            if (type == 's' && text.size() == 12 && obj->value.bytes.size() == 6) type = 'x';  // MAC
            if (!parseValue(type, text, v, &why)) return false;
            obj->value = v;
            return true;
        }
        if (kw == "log") {
            model.logLines.push_back(trimmed(rest));
            return true;
        }
        why = "unknown keyword \"" + kw + "\"";
        return false;
    }
};

}  // namespace

bool loadModelText(const std::string& text, DeviceModel& model, std::string* error,
                   const std::string& fileName) {
    Loader loader{model, {}};
    std::istringstream in(text);
    std::string l;
    int n = 0;
    while (std::getline(in, l)) {
        ++n;
        std::string why;
        if (!loader.line(l, why)) {
            if (error) *error = fileName + ":" + std::to_string(n) + ": " + why;
            return false;
        }
    }
    return true;
}

bool loadModel(const std::string& path, DeviceModel& model, std::string* error) {
    std::ifstream f(path);
    if (!f) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    std::stringstream ss;
    ss << f.rdbuf();
    return loadModelText(ss.str(), model, error, path);
}

}  // namespace ksrsim
