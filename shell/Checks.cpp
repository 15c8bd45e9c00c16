#include "Checks.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace ksr {

namespace {

std::vector<std::string> splitDots(const std::string& text)
{
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == '.')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// Decimal value of a field; anything that is not a plain number counts as 0.
unsigned fieldValue(const std::vector<std::string>& fields, std::size_t i)
{
    if (i >= fields.size() || fields[i].empty())
        return 0;
    char* end = nullptr;
    unsigned long value = std::strtoul(fields[i].c_str(), &end, 10);
    return *end == '\0' ? static_cast<unsigned>(value) : 0;
}

using Quad = std::array<uint32_t, 4>;

// The form shared by the dotted checks: exactly three dots, the first dot
// neither the first nor the last character, no blank, four non-empty decimal
// fields. Values above 255 are kept (saturated) so the range checks see them.
std::optional<Quad> dottedFields(const std::string& text)
{
    const auto firstDot = text.find('.');
    if (firstDot == std::string::npos || firstDot == 0 || firstDot + 1 == text.size())
        return std::nullopt;
    if (text.find(' ') != std::string::npos)
        return std::nullopt;
    const auto fields = splitDots(text);
    if (fields.size() != 4)
        return std::nullopt;
    Quad quad{};
    for (std::size_t i = 0; i < 4; ++i) {
        if (fields[i].empty())
            return std::nullopt;
        uint32_t value = 0;
        for (char c : fields[i]) {
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value > 100000 ? value : value * 10 + static_cast<uint32_t>(c - '0');
        }
        quad[i] = value;
    }
    return quad;
}

uint32_t packed(const Quad& q)
{
    return (q[0] << 24) | (q[1] << 16) | (q[2] << 8) | q[3];
}

bool allOctets(const Quad& q)
{
    for (uint32_t v : q)
        if (v > 255)
            return false;
    return true;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

bool isHostAddress(const std::string& text)
{
    const auto q = dottedFields(text);
    if (!q)
        return false;
    const Quad& f = *q;
    return f[0] >= 1 && f[0] <= 223 && f[0] != 127 && f[1] <= 255 && f[2] <= 255 && f[3] <= 254;
}

bool isSubnetMask(const std::string& text)
{
    const auto q = dottedFields(text);
    if (!q || !allOctets(*q) || (*q)[0] < 1)
        return false;
    for (uint32_t v : *q)
        if (v == 1)
            return false;
    const uint32_t mask = packed(*q);
    const uint32_t hostBits = ~mask;
    // Contiguous: the host bits are a run of ones from the bottom.
    if ((hostBits & (hostBits + 1)) != 0)
        return false;
    return (mask & 0x40000000u) != 0 && (mask & 1u) == 0;
}

bool isAddressAndMask(const std::string& address, const std::string& mask)
{
    const auto qa = dottedFields(address);
    const auto qm = dottedFields(mask);
    if (!qa || !qm || !allOctets(*qa) || !allOctets(*qm))
        return false;
    const uint32_t a = packed(*qa);
    const uint32_t m = packed(*qm);
    const uint32_t n = a & m;
    return (m | n) == m && n != m && n != 0 && (a | m) != m && (a | m) != 0xFFFFFFFFu;
}

bool isMacAddress(const std::string& text)
{
    if (text.size() != 12)
        return false;
    for (char c : text)
        if (!isHexDigit(c))
            return false;
    if (text == "000000000000")
        return false;
    // The second digit carries the group bit of the first octet.
    const char second = text[1];
    const int nibble = second <= '9' ? second - '0' : (second | 0x20) - 'a' + 10;
    return (nibble & 1) == 0;
}

bool isPlainText(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) > 127)
            return false;
    return true;
}

bool hasNoBlankEdge(const std::string& text)
{
    return !text.empty() && text.front() != ' ' && text.back() != ' ';
}

std::string networkOf(const std::string& address, const std::string& mask)
{
    const auto a = splitDots(address);
    const auto m = splitDots(mask);
    std::string result;
    for (std::size_t i = 0; i < 4; ++i) {
        if (i)
            result += '.';
        result += std::to_string((fieldValue(a, i) & fieldValue(m, i)) & 0xFFu);
    }
    return result;
}

}  // namespace ksr
