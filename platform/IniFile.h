#pragma once
// INI text read with the rules of the Windows profile-string functions:
// section and key names match without regard to case, names and values are
// trimmed of blanks, a value enclosed in matching quotes loses the quotes,
// lines starting with ';' are comments, the first matching section and the
// first matching key in it win. Qt-free.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ksr {

class IniFile {
public:
    // Reads and parses the file; nullopt when it cannot be opened.
    static std::optional<IniFile> load(const std::string& path);
    static IniFile parse(const std::string& text);

    bool hasSection(const std::string& section) const;
    // nullopt when the section or the key is missing.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    const Section* find(const std::string& section) const;

    std::vector<Section> sections_;
};

// Blanks (spaces, tabs) and control characters removed at both ends.
std::string trimmed(const std::string& text);

bool equalNoCase(const std::string& a, const std::string& b);

}  // namespace ksr
