#include "VtValueFormat.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "VtMessages.h"

namespace {

void putUint32(VtOctets& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

uint32_t getUint32(const VtOctets& in, size_t at) {
    return (uint32_t(in[at]) << 24) | (uint32_t(in[at + 1]) << 16) | (uint32_t(in[at + 2]) << 8) | in[at + 3];
}

// Numbers of a dotted text; a part that is not a number counts as 0.
std::vector<uint32_t> dottedNumbers(const std::string& text) {
    std::vector<uint32_t> parts;
    size_t start = (!text.empty() && text[0] == '.') ? 1 : 0;
    if (start >= text.size()) return parts;
    while (true) {
        size_t dot = text.find('.', start);
        std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        parts.push_back(static_cast<uint32_t>(std::strtoul(part.c_str(), nullptr, 10)));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return parts;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// Leading unsigned number of text at pos; advances pos past it.
uint32_t numberAt(const std::string& text, size_t& pos) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    uint32_t v = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])))
        v = v * 10 + static_cast<uint32_t>(text[pos++] - '0');
    return v;
}

}  // namespace

int32_t VtLeadingInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t v = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        v = v * 10 + (text[i++] - '0');
        if (v > 0xFFFFFFFFLL) v = 0xFFFFFFFFLL;  // saturate; the low 32 bits are kept below
    }
    return static_cast<int32_t>(static_cast<uint32_t>(negative ? -v : v));
}

VtOctets VtParseHexOctets(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (c != ' ') digits += c;
    VtOctets out;
    size_t i = 0;
    if (digits.size() % 2) out.push_back(static_cast<uint8_t>(hexDigit(digits[i++])));
    for (; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<uint8_t>(hexDigit(digits[i]) * 16 + hexDigit(digits[i + 1])));
    return out;
}

std::string VtTimeTicksToText(uint32_t ticks) {
    uint32_t days = ticks / 8640000;
    uint32_t rest = ticks % 8640000;
    char clock[32];
    std::snprintf(clock, sizeof clock, "%u:%02u:%02u.%02u", rest / 360000, rest / 6000 % 60, rest / 100 % 60,
                  rest % 100);
    if (days == 0) return clock;
    if (days == 1) return std::string("1 day ") + clock;
    return std::to_string(days) + " days, " + clock;
}

uint32_t VtTextToTimeTicks(const std::string& text) {
    uint64_t days = 0, hours = 0, minutes = 0, seconds = 0, hundredths = 0;
    size_t pos = 0;
    size_t d = text.find("days");
    size_t wordLen = 4;
    if (d == std::string::npos) {
        d = text.find("day");
        wordLen = 3;
    }
    if (d != std::string::npos) {
        size_t p = 0;
        days = numberAt(text.substr(0, d), p);
        pos = d + wordLen;
    }
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos < text.size() && text[pos] == ',') ++pos;
    size_t colon = text.find(':', pos);
    if (colon != std::string::npos) {
        size_t p = pos;
        hours = numberAt(text, p);
        pos = colon + 1;
        size_t colon2 = text.find(':', pos);
        if (colon2 != std::string::npos) {
            p = pos;
            minutes = numberAt(text, p);
            pos = colon2 + 1;
        }
    }
    size_t dot = text.find('.', pos);
    if (dot != std::string::npos) {
        size_t p = pos;
        seconds = numberAt(text, p);
        p = dot + 1;
        hundredths = numberAt(text, p);
    }
    return static_cast<uint32_t>(days * 8640000 + hours * 360000 + minutes * 6000 + seconds * 100 + hundredths);
}

std::string VtIntegerKeyToText(uint32_t subIdentifier) {
    return std::to_string(static_cast<int32_t>(subIdentifier));
}

VtOctets VtTextToOctets(const std::string& text, int32_t syntax) {
    VtOctets out;
    if (text == VtNullText) return out;
    switch (syntax) {
    case VT_SYNTAX_INTEGER:
        putUint32(out, static_cast<uint32_t>(VtLeadingInteger(text)));
        break;
    case VT_SYNTAX_OBJECTID:
        for (uint32_t n : dottedNumbers(text)) putUint32(out, n);
        break;
    case VT_SYNTAX_IPADDRESS:
        for (uint32_t n : dottedNumbers(text)) out.push_back(static_cast<uint8_t>(n & 0xFF));
        break;
    case VT_SYNTAX_TIMETICKS:
        putUint32(out, VtTextToTimeTicks(text));
        break;
    case VT_SYNTAX_MACADDRESS:
        out = VtParseHexOctets(text);
        break;
    case VT_SYNTAX_DISPLAYSTR:
        out.assign(text.begin(), text.end());
        break;
    default:
        VtRaise(-511);
    }
    return out;
}

std::string VtOctetsToText(const VtOctets& octets, int32_t syntax) {
    if (octets.empty()) {
        if (syntax == VT_SYNTAX_DISPLAYSTR) return "";
        if (syntax == VT_SYNTAX_INTEGER || syntax == VT_SYNTAX_OBJECTID || syntax == VT_SYNTAX_IPADDRESS ||
            syntax == VT_SYNTAX_TIMETICKS || syntax == VT_SYNTAX_MACADDRESS)
            return VtNullText;
        VtRaise(-511);
    }
    switch (syntax) {
    case VT_SYNTAX_INTEGER:
        if (octets.size() < 4) VtRaise(-518);
        return std::to_string(static_cast<int32_t>(getUint32(octets, 0)));
    case VT_SYNTAX_OBJECTID: {
        std::string text;
        for (size_t i = 0; i + 4 <= octets.size(); i += 4) {
            if (i) text += '.';
            text += std::to_string(getUint32(octets, i));
        }
        return text;
    }
    case VT_SYNTAX_IPADDRESS:
        if (octets.size() < 4) VtRaise(-518);
        return std::to_string(octets[0]) + "." + std::to_string(octets[1]) + "." + std::to_string(octets[2]) +
               "." + std::to_string(octets[3]);
    case VT_SYNTAX_TIMETICKS:
        if (octets.size() < 4) VtRaise(-518);
        return VtTimeTicksToText(getUint32(octets, 0));
    case VT_SYNTAX_MACADDRESS: {
        if (octets.size() < 6) VtRaise(-518);
        static const char hex[] = "0123456789ABCDEF";
        std::string text;
        for (uint8_t b : octets) {
            text += hex[b >> 4];
            text += hex[b & 15];
        }
        return text;
    }
    case VT_SYNTAX_DISPLAYSTR:
        return std::string(octets.begin(), octets.end());
    default:
        VtRaise(-511);
    }
}

std::string VtNormaliseControlText(const VtSNMPVarItem& item, const std::string& controlText) {
    const VtOptionList* options = item.OptionList;
    VtOctets result;
    // An emptied value (the usual start of a save) contributes no octets.
    if (item.Syntax != VT_SYNTAX_DISPLAYSTR && !item.Value.empty())
        result = VtTextToOctets(options ? options->ValueOf(item.Value) : item.Value, item.Syntax);
    VtOctets typed = VtTextToOctets(options ? options->ValueOf(controlText) : controlText, item.Syntax);
    if (typed.size() > result.size()) result.resize(typed.size());
    std::copy(typed.begin(), typed.end(), result.begin());
    std::string text = VtOctetsToText(result, item.Syntax);
    return options ? options->LabelOf(text) : text;
}
