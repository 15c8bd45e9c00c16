#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "VtError.h"
#include "VtMessages.h"

namespace {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/snmpcore-msg-XXXXXX";
        path_ = mkdtemp(tmpl);
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::string p = path_ + "/" + name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

class Messages : public ::testing::Test {
protected:
    void TearDown() override {
        VtResetMessageTables();
        VtSetResultLogClock(nullptr);
    }
};

TEST_F(Messages, ErrorMapCoversEveryOutcomeFamily) {
    struct Case {
        int outcome;
        int code;
        const char* text;
    } cases[] = {
        {0, 0, "(VtSNMP++) Ok!"},
        {1400, 0, "(VtSNMP++) Ok!"},
        {-1401, 0, "(VtSNMP++) Ok!"},
        {2, -102, "(SNMP) Variable does not exist!"},
        {19, -119, "(SNMP) Cannot download the overdue firmware!"},
        {1401, -301, "(SNMPv3USM) error!"},
        {1413, -313, "(SNMPv3USM) Unsupported PrivProtocol!"},
        {1414, -314, "(SNMPv3USM) Address error!"},
        {-1402, -201, "(SNMPv3) Unsupported Security Model!"},
        {-1418, -217, "(SNMPv3) Report sent!"},
        {-5, -405, "(SNMPClass) SNMP request timed out!"},
        {-9, -409, "(SNMPClass)Unknown error code!"},
        {-20, -420, "(SNMP Class) Transport is not supported!"},
        {-23, -423, "(SNMPClass) Blocked Mode Shutdown!"},
        {42, -528, "(VtSNMP++) Unknown error code!"},
        {20, -528, "(VtSNMP++) Unknown error code!"},
        {-24, -528, "(VtSNMP++) Unknown error code!"},
        {1415, -528, "(VtSNMP++) Unknown error code!"},
    };
    for (const auto& c : cases) {
        auto m = VtMapOutcome(c.outcome);
        EXPECT_EQ(m.first, c.code) << c.outcome;
        EXPECT_EQ(m.second, c.text) << c.outcome;
    }
}

TEST_F(Messages, OwnCodesRaiseTheirTextWithTheCode) {
    EXPECT_EQ(VtCodeText(-509), "(VtSNMP++) Invalid IP Address or DNS name!");
    EXPECT_EQ(VtCodeText(-518), "(VtSNMP++) Bad value of the associated SNMP variable's (partial) data!");
    try {
        VtRaise(-514);
        FAIL();
    } catch (const VtException& e) {
        EXPECT_EQ(e.code(), -514);
        EXPECT_STREQ(e.what(), "(VtSNMP++) Bad key count of SNMP variable list!");
    }
    // The two-line texts of the common table keep their line break.
    EXPECT_EQ(VtMsgText(VtMsgTable::Common, 11),
              "(VtCommon) Please enter a delimited number string with delimiter '[DELIMITER]'.\n"
              "Here,each number is between [MIN] and [MAX]!");
}

TEST_F(Messages, LoaderKeepsNonBlankLinesExactly) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> expected;  // empty: table unchanged
    } cases[] = {
        {"blank lines dropped", "one\n\n  two\n \t \nthree  \n", {"one", "  two", "three  "}},
        {"CR LF like LF", "one\r\n\r\n  two\r\nthree\r\n", {"one", "  two", "three"}},
        {"no final line end", "one\ntwo", {"one", "two"}},
        {"only blanks keeps table", "\n   \n\t\n", {}},
        {"empty file keeps table", "", {}},
    };
    for (const auto& c : cases) {
        VtResetMessageTables();
        std::string path = dir.write("snmp.err", c.bytes);
        bool replaced = VtLoadMessageTable(VtMsgTable::Snmp, path);
        EXPECT_EQ(replaced, !c.expected.empty()) << c.name;
        if (c.expected.empty()) {
            EXPECT_EQ(VtMsgText(VtMsgTable::Snmp, 0), "(SNMP) Response PDU Too Big!") << c.name;
            continue;
        }
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(VtMsgText(VtMsgTable::Snmp, static_cast<int>(i)), c.expected[i]) << c.name;
        // Beyond the shorter replacement: the built-in entry.
        EXPECT_EQ(VtMsgText(VtMsgTable::Snmp, 18), "(SNMP) Cannot download the overdue firmware!") << c.name;
    }
    EXPECT_FALSE(VtLoadMessageTable(VtMsgTable::Snmp, dir.path() + "/missing.err"));
    EXPECT_EQ(VtMsgText(VtMsgTable::Snmp, 99), "");
}

TEST_F(Messages, LongLinesAreReadIn1023CharacterPieces) {
    TempDir dir;
    std::string exact(1023, 'a'), longer(1030, 'b');
    VtLoadMessageTable(VtMsgTable::Common, dir.write("common.err", exact + "\n" + longer + "\nend\n"));
    EXPECT_EQ(VtMsgText(VtMsgTable::Common, 0), exact);
    EXPECT_EQ(VtMsgText(VtMsgTable::Common, 1), std::string(1023, 'b'));
    EXPECT_EQ(VtMsgText(VtMsgTable::Common, 2), std::string(7, 'b'));
    EXPECT_EQ(VtMsgText(VtMsgTable::Common, 3), "end");
}

TEST_F(Messages, FolderLoadFindsFilesWithoutRegardToCase) {
    TempDir dir;
    dir.write("SNMPClass.ERR", "class text\n");
    dir.write("vtsnmp.err", "ok text\n");
    VtLoadMessageTables(dir.path());
    EXPECT_EQ(VtMapOutcome(-1), std::make_pair(-401, std::string("class text")));
    EXPECT_EQ(VtMapOutcome(0).second, "ok text");
    EXPECT_EQ(VtMapOutcome(-5).second, "(SNMPClass) SNMP request timed out!");  // fallback entry
}

std::time_t afternoon() {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 0;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 5;
    t.tm_sec = 9;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

std::time_t morning() { return afternoon() - 14 * 3600; }  // 00:05:09

TEST_F(Messages, ResultLogLineDropsListPartAndStampsTime) {
    VtSetResultLogClock(&afternoon);
    EXPECT_EQ(VtResultLogLine(0, "(VtSNMP++) Ok!"), "Get: (VtSNMP++) Ok!. Receive at 02:05:09 PM.");
    EXPECT_EQ(VtResultLogLine(1, "(SNMPClass) SNMP request timed out!"),
              "Set: (SNMPClass) SNMP request timed out!. Receive at 02:05:09 PM.");
    VtSetResultLogClock(&morning);
    EXPECT_EQ(VtResultLogLine(0, "x"), "Get: x. Receive at 12:05:09 AM.");

    // A replacement template whose list part comes before [ERROR] keeps it.
    TempDir dir;
    VtLoadMessageTable(VtMsgTable::SnmpMsg, dir.write("snmp.msg", "[VARLIST] [ERROR] @[TIME]\nW\n"));
    EXPECT_EQ(VtResultLogLine(0, "m"), "[VARLIST] m @12:05:09 AM");
}

}  // namespace
