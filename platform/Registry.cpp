#include "Registry.h"

#include "IniFile.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace ksr {

namespace {

std::string normalisedKey(const std::string& keyPath)
{
    std::string key = trimmed(keyPath);
    while (!key.empty() && key.front() == '\\')
        key.erase(key.begin());
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return key;
}

// Appends an empty section for the key; only to a file that exists already.
bool appendKey(const std::string& file, const std::string& key)
{
    const int fd = ::open(file.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string text;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    char last = '\n';
    if (size > 0 && ::pread(fd, &last, 1, size - 1) != 1)
        last = '\n';
    if (last != '\n')
        text += '\n';
    text += '[' + key + "]\n";
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

}  // namespace

std::string registryFile()
{
    const char* path = std::getenv("VANTREL_REGISTRY");
    return path && *path ? path : "/etc/vantrel/registry.ini";
}

std::optional<RegistryKey> RegistryKey::open(const std::string& keyPath, bool createWhenAbsent)
{
    const std::string key = normalisedKey(keyPath);
    if (key.empty())
        return std::nullopt;
    const std::string file = registryFile();
    const auto ini = IniFile::load(file);
    // A hand-written file may keep the leading backslash of the key path.
    if (ini && ini->hasSection(key))
        return RegistryKey(key);
    if (ini && ini->hasSection('\\' + key))
        return RegistryKey('\\' + key);
    if (createWhenAbsent && ini && appendKey(file, key))
        return RegistryKey(key);
    return std::nullopt;
}

std::optional<std::string> RegistryKey::value(const std::string& name) const
{
    const auto ini = IniFile::load(registryFile());
    if (!ini)
        return std::nullopt;
    return ini->value(keyPath_, name);
}

}  // namespace ksr
