#include "Startup.h"

#include "Paths.h"
#include "Registry.h"
#include "VtIni.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace ksr {

const char* const kProfileSection = "Program Information";
const char* const kHelpPathValue = "1.3.6.1.4.1.28687.10.37.40";

namespace {

// The level and protocol codes are stored one lower than the session numbers them.
int32_t plusOne(int32_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value) + 1u);
}

// Integer switches, in the order they are looked for once SNMPv3 is selected;
// "/R", "/W" and "/v" come first in any case.
constexpr char kV3Switches[] = {'t', 'c', 'd', 'm', 'l', 'n', 'A', 'P', 'a', 'p'};

}  // namespace

SessionRecords SessionRecords::fromGlobals()
{
    return {VtSNMPDevice, VtSNMPScope, VtSNMPSecurity};
}

void SessionRecords::storeToGlobals() const
{
    VtSNMPDevice = device;
    VtSNMPScope = scope;
    VtSNMPSecurity = security;
}

int32_t toInteger(const std::string& text, const std::string& what)
{
    const auto bad = [&] {
        return ConversionError("\"" + text + "\" is not a valid integer value for " + what + ".");
    };
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i == text.size())
        throw bad();
    for (std::size_t j = i; j < text.size(); ++j)
        if (text[j] < '0' || text[j] > '9')
            throw bad();
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        throw bad();
    return static_cast<int32_t>(value);
}

uint8_t applyDeviceProfile(const std::string& path, SessionRecords& records)
{
    const VtIni profile(path);
    const auto read = [&](const char* key) { return profile.ReadString(kProfileSection, key, ""); };
    const auto number = [&](const char* key, const std::string& value) {
        return toInteger(value, "the key \"" + std::string(key) + "\" of the device profile \"" + path + "\"");
    };
    // A level or protocol of "0" leaves the field alone: it already holds the
    // code that "0" stands for, or what a switch gave it.
    const auto code = [&](const char* key, int32_t& field) {
        const std::string value = read(key);
        if (value != "0")
            field = plusOne(number(key, value));
    };
    const auto text = [&](const char* key, std::string& field) {
        if (std::string value = read(key); !value.empty())
            field = value;
    };

    records.device.port = static_cast<uint16_t>(number("AgentPort", read("AgentPort")));
    records.security.version = static_cast<uint8_t>(number("Version", read("Version")));
    text("ContextName", records.scope.contextName);
    records.scope.contextEngineId = read("ContextEngineID");
    records.security.securityModel = number("SecurityModel", read("SecurityModel"));
    code("SecurityLevel", records.security.securityLevel);
    records.security.securityName = read("SecurityName");
    code("AuthProtocol", records.security.authProtocol);
    code("PrivProtocol", records.security.privProtocol);
    text("AuthPassword", records.security.authPassword);
    text("PrivPassword", records.security.privPassword);
    return records.security.version;
}

CommandLine::CommandLine(SessionRecords& records, std::string profileFolder)
    : records_(records), profileFolder_(std::move(profileFolder))
{
}

bool CommandLine::snmpV3Selected() const
{
    return records_.security.version == 3 || lastProfileSetV3_;
}

std::string CommandLine::profilePath() const
{
    return findNoCase(profileFolder_ + addressText_ + ".cfg");
}

void CommandLine::apply(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments)
        applyArgument(argument);
}

void CommandLine::applyArgument(const std::string& argument)
{
    if (const std::size_t at = argument.find("/I"); at != std::string::npos) {
        addressText_ = argument.substr(at + 2);
        records_.device.address = addressText_;
        return;
    }
    if (const std::string profile = profilePath(); !profile.empty())
        lastProfileSetV3_ = applyDeviceProfile(profile, records_) == 3;

    for (char letter : {'R', 'W', 'v'}) {
        if (const std::size_t at = argument.find(std::string{'/', letter}); at != std::string::npos)
            return applySwitch(argument, at, letter);
    }
    if (!snmpV3Selected())
        return;
    for (char letter : kV3Switches) {
        if (const std::size_t at = argument.find(std::string{'/', letter}); at != std::string::npos)
            return applySwitch(argument, at, letter);
    }
}

void CommandLine::applySwitch(const std::string& argument, std::size_t at, char letter)
{
    const std::string value = argument.substr(at + 2);
    const auto number = [&] {
        return toInteger(value, "the switch \"/" + std::string(1, letter) + "\" (argument \"" + argument + "\")");
    };
    VtSNMPSecurityRec& security = records_.security;
    switch (letter) {
    case 'R': security.readCommunity = value; break;
    case 'W': security.writeCommunity = value; break;
    case 'v': security.version = static_cast<uint8_t>(number()); break;
    case 't': records_.device.port = static_cast<uint16_t>(number()); break;
    case 'c': records_.scope.contextName = value; break;
    case 'd': records_.scope.contextEngineId = value; break;
    case 'm': security.securityModel = number(); break;
    case 'l': security.securityLevel = plusOne(number()); break;
    case 'n': security.securityName = value; break;
    case 'A': security.authPassword = value; break;
    case 'P': security.privPassword = value; break;
    case 'a': security.authProtocol = plusOne(number()); break;
    case 'p': security.privProtocol = plusOne(number()); break;
    }
}

std::string moduleFolderFromHelpPath(const std::string& helpPath)
{
    constexpr std::size_t kFileNameLength = 12;
    if (helpPath.size() <= kFileNameLength)
        return {};
    return withSlashes(helpPath.substr(0, helpPath.size() - kFileNameLength));
}

std::string moduleFolder()
{
    const auto key = RegistryKey::open("\\SOFTWARE\\Vantrel\\Modules\\HelpPath", true);
    if (!key)
        return {};
    return moduleFolderFromHelpPath(key->value(kHelpPathValue).value_or(""));
}

std::string profileFolder()
{
    std::string folder;
    if (const auto exePath = RegistryKey::open("\\SOFTWARE\\Vantrel\\Vistrum5.1\\ExePath"))
        folder = withSlashes(exePath->value("Path").value_or("")) + "../Conf/MBF/";
    if (const auto mibFile = RegistryKey::open("\\SOFTWARE\\Vantrel\\Vistrum5.1\\MibFile"))
        folder = withSlashes(mibFile->value("Path").value_or(""));
    return folder;
}

std::string messageFolder(const std::string& folder, const std::string& spelling)
{
    const std::string found = findNoCase(folder + spelling);
    struct stat st {};
    if (found.empty() || ::stat(found.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {};
    return found + "/";
}

std::string mainCaption(const std::string& addressText)
{
    return "KSR-4710 : " + addressText;
}

std::string logFolderPath()
{
    return appDataFolder() + "/KSR-4710";
}

bool createLogFolder(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    return ::mkdir(path.c_str(), 0700) == 0;
}

std::string logFolderMessage(const std::string& path)
{
    return "Can not create  \"" + path + "\" Log directory!";
}

}  // namespace ksr
