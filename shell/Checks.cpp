#include "Checks.h"

#include <cstdlib>
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

}  // namespace

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
