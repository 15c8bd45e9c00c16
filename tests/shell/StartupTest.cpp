#include "Startup.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

using ksr::CommandLine;
using ksr::SessionRecords;

namespace {

// The fields a row checks; the rest of the records is checked by the rows
// that are about them.
struct Expected {
    std::string address = "127.0.0.1";
    uint16_t port = 161;
    int version = 0;
    std::string readCommunity = "gondek";
    std::string writeCommunity = "mardule";
    int securityLevel = 1;
    int authProtocol = 1;
    std::string securityName;
};

struct LineCase {
    const char* name;
    std::vector<std::string> arguments;
    std::map<std::string, std::string> profiles;  // file name in the profile folder -> text
    Expected expected;
};

std::string profile(const std::string& keys)
{
    return "[Program Information]\n" + keys;
}

// A usable profile carries the six numeric keys.
const std::string kV1Profile = "AgentPort=2161\nVersion=1\nSecurityModel=1\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n";
const std::string kV3Profile = "AgentPort=161\nVersion=3\nSecurityModel=3\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n";

Expected with(std::function<void(Expected&)> change)
{
    Expected e;
    e.address = "10.1.1.1";
    change(e);
    return e;
}

const LineCase kLineCases[] = {
    {"address alone: defaults stay", {"/I10.1.1.1"}, {}, with([](Expected&) {})},
    {"/t honoured with SNMPv3", {"/I10.1.1.1", "/v3", "/t1161"}, {},
     with([](Expected& e) { e.version = 3; e.port = 1161; })},
    {"/t ignored without SNMPv3", {"/I10.1.1.1", "/v1", "/t1161"}, {}, with([](Expected& e) { e.version = 1; })},
    {"/l0 is level 1", {"/I10.1.1.1", "/v3", "/l0"}, {}, with([](Expected& e) { e.version = 3; })},
    {"/l2 is level 3, /a1 is HMAC-MD5", {"/I10.1.1.1", "/v3", "/l2", "/a1"}, {},
     with([](Expected& e) { e.version = 3; e.securityLevel = 3; e.authProtocol = 2; })},
    {"/R is looked for first and takes the rest", {"/I10.1.1.1", "/Rabc/Wdef"}, {},
     with([](Expected& e) { e.readCommunity = "abc/Wdef"; })},
    {"search order decides, not position", {"/I10.1.1.1", "/Wdef/Rabc"}, {},
     with([](Expected& e) { e.readCommunity = "abc"; })},
    {"text switches set empty values", {"/I10.1.1.1", "/R", "/W"}, {},
     with([](Expected& e) { e.readCommunity = ""; e.writeCommunity = ""; })},
    {"SNMPv3 switch without SNMPv3 ignored", {"/I10.1.1.1", "/nalice", "/l2"}, {}, with([](Expected&) {})},
    {"/I found anywhere in the argument", {"x/I10.1.1.1"}, {}, with([](Expected&) {})},
    {"later /I replaces the address", {"/I10.1.1.9", "/I10.1.1.1"}, {}, with([](Expected&) {})},
    {"switch letters are case-sensitive", {"/I10.1.1.1", "/V3", "/r1"}, {}, with([](Expected&) {})},
    {"low 8 bits of the version, low 16 of the port", {"/I10.1.1.1", "/v259", "/t70000"}, {},
     with([](Expected& e) { e.version = 3; e.port = 4464; })},
    {"profile re-applied before the third argument", {"/I10.1.1.1", "/v3", "/t1161"},
     {{"10.1.1.1.cfg", profile(kV1Profile)}}, with([](Expected& e) { e.version = 1; e.port = 2161; })},
    {"profile file name matched without regard to case", {"/I10.1.1.1", "/Rx"},
     {{"10.1.1.1.CFG", profile(kV1Profile)}},
     with([](Expected& e) { e.version = 1; e.port = 2161; e.readCommunity = "x"; })},
    {"argument before /I reads the profile \".cfg\"", {"/Rx", "/I10.1.1.1"},
     {{".cfg", profile(kV1Profile)}},
     with([](Expected& e) { e.version = 1; e.port = 2161; e.readCommunity = "x"; })},
    {"no profile applied for an /I argument alone", {"/I10.1.1.1"}, {{"10.1.1.1.cfg", profile(kV1Profile)}},
     with([](Expected&) {})},
    {"\"0\" codes in the profile leave a switch's value", {"/I10.1.1.1", "/l2", "/Rx"},
     {{"10.1.1.1.cfg", profile(kV3Profile)}},
     with([](Expected& e) { e.version = 3; e.securityLevel = 3; e.readCommunity = "x"; })},
    {"profile SecurityName overrides an earlier /n", {"/I10.1.1.1", "/nalice", "/Rx"},
     {{"10.1.1.1.cfg", profile(kV3Profile + "SecurityName=bob\n")}},
     with([](Expected& e) { e.version = 3; e.securityName = "bob"; e.readCommunity = "x"; })},
    {"last profile's SNMPv3 keeps /t honoured after /v1 and a new address", {"/Ia", "/v1", "/Ib", "/t1161"},
     {{"a.cfg", profile(kV3Profile)}},
     with([](Expected& e) { e.address = "b"; e.version = 1; e.port = 1161; })},
};

}  // namespace

TEST(CommandLine, SwitchAndProfileRules)
{
    for (const LineCase& c : kLineCases) {
        TempFolder folder;
        for (const auto& [name, text] : c.profiles)
            folder.write(name, text);
        SessionRecords records;
        CommandLine line(records, folder.path() + "/");
        line.apply(c.arguments);

        const Expected& e = c.expected;
        EXPECT_EQ(line.addressText(), e.address == "127.0.0.1" ? "" : e.address) << c.name;
        EXPECT_EQ(records.device.address, e.address) << c.name;
        EXPECT_EQ(records.device.port, e.port) << c.name;
        EXPECT_EQ(records.security.version, e.version) << c.name;
        EXPECT_EQ(records.security.readCommunity, e.readCommunity) << c.name;
        EXPECT_EQ(records.security.writeCommunity, e.writeCommunity) << c.name;
        EXPECT_EQ(records.security.securityLevel, e.securityLevel) << c.name;
        EXPECT_EQ(records.security.authProtocol, e.authProtocol) << c.name;
        EXPECT_EQ(records.security.securityName, e.securityName) << c.name;
    }
}

TEST(CommandLine, EverySnmpV3Switch)
{
    SessionRecords records;
    CommandLine line(records, "/nonexistent/");
    line.apply({"/I10.1.1.1", "/v3", "/cctx", "/dengine", "/m3", "/l1", "/nalice", "/Aauthpass", "/Pprivpass",
                "/a2", "/p1"});
    EXPECT_TRUE(line.snmpV3Selected());
    EXPECT_EQ(records.scope.contextName, "ctx");
    EXPECT_EQ(records.scope.contextEngineId, "engine");
    EXPECT_EQ(records.security.securityModel, 3);
    EXPECT_EQ(records.security.securityLevel, 2);
    EXPECT_EQ(records.security.securityName, "alice");
    EXPECT_EQ(records.security.authPassword, "authpass");
    EXPECT_EQ(records.security.privPassword, "privpass");
    EXPECT_EQ(records.security.authProtocol, 3);
    EXPECT_EQ(records.security.privProtocol, 2);
}

TEST(DeviceProfile, EveryKeyWithItsRule)
{
    TempFolder folder;
    const std::string path = folder.write("p.cfg", profile("AgentPort=1161\nVersion=3\nContextName=ctx\n"
                                                           "ContextEngineID=\nSecurityModel=3\nSecurityLevel=2\n"
                                                           "SecurityName=alice\nAuthProtocol=2\nPrivProtocol=1\n"
                                                           "AuthPassword=\nPrivPassword=pp\n"));
    SessionRecords records;
    records.scope.contextEngineId = "old engine";
    records.security.authPassword = "old auth";
    EXPECT_EQ(ksr::applyDeviceProfile(path, records), 3);
    EXPECT_EQ(records.device.port, 1161);
    EXPECT_EQ(records.scope.contextName, "ctx");
    EXPECT_EQ(records.scope.contextEngineId, "");        // always taken, empty included
    EXPECT_EQ(records.security.securityModel, 3);
    EXPECT_EQ(records.security.securityLevel, 3);
    EXPECT_EQ(records.security.securityName, "alice");
    EXPECT_EQ(records.security.authProtocol, 3);
    EXPECT_EQ(records.security.privProtocol, 2);
    EXPECT_EQ(records.security.authPassword, "old auth");  // only when not empty
    EXPECT_EQ(records.security.privPassword, "pp");
}

TEST(DeviceProfile, BadNumbersNameTheKeyOrSwitchAndTheValue)
{
    struct BadCase {
        const char* name;
        std::string profileText;  // "" = no profile
        std::vector<std::string> arguments;
        std::vector<std::string> inMessage;
    };
    const BadCase cases[] = {
        {"profile without SecurityLevel",
         profile("AgentPort=161\nVersion=3\nSecurityModel=3\nAuthProtocol=0\nPrivProtocol=0\n"),
         {"/I10.1.1.1", "/Rx"}, {"\"SecurityLevel\"", "\"\""}},
        {"profile with a bad AgentPort", profile("AgentPort=16x1\n" + kV1Profile), {"/I10.1.1.1", "/Rx"},
         {"\"AgentPort\"", "\"16x1\""}},
        {"empty profile", profile(""), {"/I10.1.1.1", "/Rx"}, {"\"AgentPort\""}},
        {"bad /v", "", {"/I10.1.1.1", "/vthree"}, {"\"/v\"", "\"three\""}},
        {"empty /t with SNMPv3", "", {"/I10.1.1.1", "/v3", "/t"}, {"\"/t\""}},
        {"/l beyond 32 bits", "", {"/I10.1.1.1", "/v3", "/l99999999999"}, {"\"/l\"", "\"99999999999\""}},
        {"/a with blanks", "", {"/I10.1.1.1", "/v3", "/a 1"}, {"\"/a\"", "\" 1\""}},
    };
    for (const BadCase& c : cases) {
        TempFolder folder;
        if (!c.profileText.empty() || c.name == std::string("empty profile"))
            folder.write("10.1.1.1.cfg", c.profileText);
        SessionRecords records;
        CommandLine line(records, folder.path() + "/");
        try {
            line.apply(c.arguments);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ksr::ConversionError& e) {
            for (const std::string& part : c.inMessage)
                EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << c.name << ": " << e.what();
        }
    }
}

TEST(DeviceProfile, IntegersAcceptASignAndNothingElse)
{
    EXPECT_EQ(ksr::toInteger("-1", "x"), -1);
    EXPECT_EQ(ksr::toInteger("+7", "x"), 7);
    EXPECT_EQ(ksr::toInteger("2147483647", "x"), 2147483647);
    for (const char* bad : {"", "-", "0x10", "1.5", "2147483648", " 1"})
        EXPECT_THROW(ksr::toInteger(bad, "x"), ksr::ConversionError) << bad;
}

TEST(Folders, ModuleFolderDropsTheLast12Characters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/ksr4710/ksr4710.html", "/opt/ksr4710/"},
        {"/ksr4710.html", "/"},
        {"ksr4710.html", ""},   // exactly 12
        {"short", ""},
        {"", ""},
        {"C:\\KSR\\ksr4710.html", "C:/KSR/"},
    };
    for (const auto& [value, folder] : cases)
        EXPECT_EQ(ksr::moduleFolderFromHelpPath(value), folder) << value;
}

TEST(Folders, ProfileAndModuleFoldersFromTheRegistry)
{
    TempFolder folder;
    const std::string file = folder.file("registry.ini");
    setenv("VANTREL_REGISTRY", file.c_str(), 1);

    EXPECT_EQ(ksr::profileFolder(), "");
    EXPECT_EQ(ksr::moduleFolder(), "");

    folder.write("registry.ini", "[SOFTWARE\\Vantrel\\Vistrum5.1\\ExePath]\nPath=/opt/vistrum/bin/\n");
    EXPECT_EQ(ksr::profileFolder(), "/opt/vistrum/bin/../Conf/MBF/");
    // The module key is created when absent (the file is writable).
    EXPECT_EQ(ksr::moduleFolder(), "");
    EXPECT_NE(readAll(file).find("[SOFTWARE\\Vantrel\\Modules\\HelpPath]"), std::string::npos);

    folder.write("registry.ini",
                 "[SOFTWARE\\Vantrel\\Vistrum5.1\\ExePath]\nPath=/opt/vistrum/bin/\n"
                 "[SOFTWARE\\Vantrel\\Vistrum5.1\\MibFile]\nPath=/srv/mbf/\n"
                 "[SOFTWARE\\Vantrel\\Modules\\HelpPath]\n1.3.6.1.4.1.28687.10.37.40=/opt/ksr/ksr4710.html\n");
    EXPECT_EQ(ksr::profileFolder(), "/srv/mbf/");
    EXPECT_EQ(ksr::moduleFolder(), "/opt/ksr/");
    unsetenv("VANTREL_REGISTRY");
}

TEST(Folders, MessageFolderFoundWithoutRegardToCase)
{
    TempFolder folder;
    ::mkdir(folder.file("ErrMsg").c_str(), 0700);
    folder.write("errfile", "");
    const std::string base = folder.path() + "/";
    EXPECT_EQ(ksr::messageFolder(base, "errMSg"), base + "ErrMsg/");
    EXPECT_EQ(ksr::messageFolder(base, "errmsg"), base + "ErrMsg/");
    EXPECT_EQ(ksr::messageFolder(base, "errfile"), "");  // not a folder
    EXPECT_EQ(ksr::messageFolder("/nonexistent/", "errmsg"), "");
}

TEST(Folders, LogFolderIsCreatedOneLevelDeep)
{
    TempFolder folder;
    const std::string log = folder.file("KSR-4710");
    EXPECT_TRUE(ksr::createLogFolder(log));
    EXPECT_TRUE(ksr::createLogFolder(log));  // existing is fine
    EXPECT_FALSE(ksr::createLogFolder(folder.file("missing/KSR-4710")));
    folder.write("file", "");
    EXPECT_FALSE(ksr::createLogFolder(folder.file("file")));
    EXPECT_EQ(ksr::logFolderMessage("/x/KSR-4710"), "Can not create  \"/x/KSR-4710\" Log directory!");
    EXPECT_EQ(ksr::mainCaption("192.168.0.50"), "KSR-4710 : 192.168.0.50");
}
