#pragma once
// Start-up rules of the module, free of widgets so that they can be tested as
// tables: the device profile, the command line, the module, profile and log
// folders, and the caption that names the per-device guard.

#include "VtSession.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace ksr {

// A profile key or a switch whose value had to be a number and was not. The
// message names the key or switch and the bad value.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The three session records, worked on as one copy during start-up and
// stored into the globals only when the command line has been read in full.
struct SessionRecords {
    VtSNMPDeviceRec device;
    VtSNMPScopeRec scope;
    VtSNMPSecurityRec security;

    static SessionRecords fromGlobals();
    void storeToGlobals() const;
};

// Section of the device profile that holds the session parameters.
extern const char* const kProfileSection;  // "Program Information"

// Value name of the module folder under the HelpPath key: the text of DeviceRoot.
extern const char* const kHelpPathValue;   // "1.3.6.1.4.1.28687.10.37.40"

// Decimal integer with an optional sign that fits 32 bits; throws
// ConversionError naming `what` otherwise.
int32_t toInteger(const std::string& text, const std::string& what);

// Applies the device profile at `path` to the records, key by key in the fixed
// order. Returns the version the profile set.
uint8_t applyDeviceProfile(const std::string& path, SessionRecords& records);

// The command line, applied argument by argument: "/I" sets the address;
// before any other argument the device profile of the current address is
// applied again, then the first switch found (in the fixed search order)
// takes the rest of the argument as its value.
class CommandLine {
public:
    CommandLine(SessionRecords& records, std::string profileFolder);

    void apply(const std::vector<std::string>& arguments);
    void applyArgument(const std::string& argument);

    // The device address exactly as it followed "/I"; empty without "/I".
    const std::string& addressText() const { return addressText_; }
    // SNMPv3 counts as selected when the version is 3 or the last profile
    // applied set it to 3.
    bool snmpV3Selected() const;
    // Path of the profile for the current address; "" when there is none.
    std::string profilePath() const;

private:
    void applySwitch(const std::string& argument, std::size_t at, char letter);

    SessionRecords& records_;
    std::string profileFolder_;
    std::string addressText_;
    bool lastProfileSetV3_ = false;
};

// Folder of the module: the HelpPath value without its last 12 characters
// (the name of a file directly inside the folder); "" for 12 or fewer.
std::string moduleFolderFromHelpPath(const std::string& helpPath);

// Reads the HelpPath value (creating its key when absent) and derives the
// module folder from it.
std::string moduleFolder();

// Folder of the device profiles from the management system's registry keys;
// "" when neither key exists (profiles are then looked up in the current folder).
std::string profileFolder();

// The message folder "<folder>errmsg", found without regard to case, with a
// trailing '/'; "" when there is no such folder.
std::string messageFolder(const std::string& folder, const std::string& spelling);

// "KSR-4710 : <address text>".
std::string mainCaption(const std::string& addressText);

// <application data>/KSR-4710.
std::string logFolderPath();

// Creates the log folder (one level) when it does not exist; false when it
// cannot be created.
bool createLogFolder(const std::string& path);

// The message shown when the log folder cannot be created.
std::string logFolderMessage(const std::string& path);

}  // namespace ksr
