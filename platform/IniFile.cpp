#include "IniFile.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <strings.h>

namespace ksr {

namespace {

bool isBlank(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u <= ' ' || u == 0x7f;
}

std::string unquoted(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::string trimmed(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool equalNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

std::optional<IniFile> IniFile::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return parse(text.str());
}

IniFile IniFile::parse(const std::string& text)
{
    IniFile ini;
    std::size_t pos = 0;
    // A byte-order mark left by an editor would otherwise spoil the first section name.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;
    Section* current = nullptr;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string::npos)
            eol = text.size();
        const std::string line = trimmed(text.substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            const std::string name = trimmed(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            ini.sections_.push_back({name, {}});
            current = &ini.sections_.back();
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!current || eq == std::string::npos)
            continue;
        current->entries.emplace_back(trimmed(line.substr(0, eq)), unquoted(trimmed(line.substr(eq + 1))));
    }
    return ini;
}

const IniFile::Section* IniFile::find(const std::string& section) const
{
    const std::string wanted = trimmed(section);
    for (const Section& s : sections_)
        if (equalNoCase(s.name, wanted))
            return &s;
    return nullptr;
}

bool IniFile::hasSection(const std::string& section) const
{
    return find(section) != nullptr;
}

std::optional<std::string> IniFile::value(const std::string& section, const std::string& key) const
{
    const Section* s = find(section);
    if (!s)
        return std::nullopt;
    const std::string wanted = trimmed(key);
    for (const auto& [name, value] : s->entries)
        if (equalNoCase(name, wanted))
            return value;
    return std::nullopt;
}

}  // namespace ksr
