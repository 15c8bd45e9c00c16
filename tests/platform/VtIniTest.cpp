#include "TempFolder.h"
#include "VtIni.h"

#include <gtest/gtest.h>

namespace {

struct IniCase {
    const char* name;
    const char* text;
    const char* section;
    const char* key;
    const char* expected;  // with default "<none>"
};

const IniCase kCases[] = {
    {"exact", "[Program Information]\nAgentPort=1161\n", "Program Information", "AgentPort", "1161"},
    {"section and key without regard to case", "[program INFORMATION]\nagentport=1161\n", "Program Information",
     "AgentPort", "1161"},
    {"blanks around names and value trimmed", "  [ Program Information ]  \n  Version  =   3  \n",
     "Program Information", "Version", "3"},
    {"CR LF line ends", "[S]\r\nA=1\r\nB=2\r\n", "S", "B", "2"},
    {"comment line is no entry", "[S]\n;A=1\n", "S", "A", "<none>"},
    {"missing key gives the default", "[S]\nA=1\n", "S", "B", "<none>"},
    {"missing section gives the default", "[T]\nA=1\n", "S", "A", "<none>"},
    {"empty value gives the default", "[S]\nA=\n", "S", "A", "<none>"},
    {"blank value gives the default", "[S]\nA=   \n", "S", "A", "<none>"},
    {"first matching key wins", "[S]\nA=1\na=2\n", "S", "A", "1"},
    {"first matching section wins", "[S]\nA=1\n[s]\nA=2\nB=3\n", "S", "B", "<none>"},
    {"value keeps further equal signs", "[S]\nPw=a=b\n", "S", "Pw", "a=b"},
    {"enclosing quotes dropped", "[S]\nName=\" x y \"\n", "S", "Name", "x y"},
    {"line without equal sign ignored", "[S]\nA\nA=5\n", "S", "A", "5"},
    {"entry before any section belongs to none", "A=1\n[S]\n", "S", "A", "<none>"},
    {"byte-order mark ignored", "\xEF\xBB\xBF[S]\nA=1\n", "S", "A", "1"},
    {"last line without line end", "[S]\nA=7", "S", "A", "7"},
};

}  // namespace

TEST(VtIni, ProfileStringRules)
{
    TempFolder folder;
    for (const IniCase& c : kCases) {
        const VtIni ini(folder.write("p.cfg", c.text));
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<none>"), c.expected) << c.name;
    }
}

TEST(VtIni, MissingFileGivesTheDefault)
{
    EXPECT_EQ(VtIni("/nonexistent/x.cfg").ReadString("S", "A", "dflt"), "dflt");
}

TEST(VtIni, ValueCutAtTheBufferSize)
{
    TempFolder folder;
    const VtIni ini(folder.write("p.cfg", "[S]\nA=" + std::string(5000, 'x') + "\n"));
    EXPECT_EQ(ini.ReadString("S", "A", "").size(), 4095u);
}

TEST(VtIni, FileIsReadAgainOnEveryCall)
{
    TempFolder folder;
    const VtIni ini(folder.write("p.cfg", "[S]\nA=1\n"));
    EXPECT_EQ(ini.ReadString("S", "A", ""), "1");
    folder.write("p.cfg", "[S]\nA=2\n");
    EXPECT_EQ(ini.ReadString("S", "A", ""), "2");
}
