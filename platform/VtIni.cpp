#include "VtIni.h"

#include "IniFile.h"

std::string VtIni::ReadString(const std::string& section, const std::string& key,
                              const std::string& defaultValue) const
{
    constexpr std::size_t kBufferChars = 4095;  // 4096-byte buffer, one byte for the terminator
    const auto ini = ksr::IniFile::load(path_);
    if (!ini)
        return defaultValue;
    const auto value = ini->value(section, key);
    if (!value)
        return defaultValue;
    const std::string text = ksr::trimmed(value->substr(0, kBufferChars));
    return text.empty() ? defaultValue : text;
}
