#pragma once
// Registry values under HKEY_LOCAL_MACHINE, kept in an INI file whose
// sections are the key paths ("[SOFTWARE\Vantrel\Modules\HelpPath]") and whose
// entries are the value names. The file is $VANTREL_REGISTRY, else
// /etc/vantrel/registry.ini. Any error reads as an absent key or value.
// Key paths match without regard to case and to a leading backslash.

#include <optional>
#include <string>

namespace ksr {

std::string registryFile();

class RegistryKey {
public:
    // The key when it exists. With `createWhenAbsent` an absent key is added
    // to the file when the file exists and is writable (and then opens);
    // otherwise the key stays absent.
    static std::optional<RegistryKey> open(const std::string& keyPath, bool createWhenAbsent = false);

    // The value's text; nullopt when the value is missing.
    std::optional<std::string> value(const std::string& name) const;

private:
    explicit RegistryKey(std::string keyPath) : keyPath_(std::move(keyPath)) {}
    std::string keyPath_;
};

}  // namespace ksr
