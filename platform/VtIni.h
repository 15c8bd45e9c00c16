#pragma once
// Reader of one INI file (the device profile), with the Windows profile-string
// rules of IniFile. The file is read again on every call, as the profile
// functions do.

#include <string>

class VtIni {
public:
    explicit VtIni(std::string path) : path_(std::move(path)) {}

    // The value trimmed of blanks; `defaultValue` unchanged when the file,
    // the section or the key is missing, or the value is empty. Values are
    // cut at 4095 characters, the size of the buffer the profile call fills.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};
