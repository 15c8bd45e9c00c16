#include "Registry.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr const char* kHelpPath = "\\SOFTWARE\\Vantrel\\Modules\\HelpPath";

class Registry : public ::testing::Test {
protected:
    void SetUp() override { setenv("VANTREL_REGISTRY", file.c_str(), 1); }
    void TearDown() override { unsetenv("VANTREL_REGISTRY"); }

    TempFolder folder;
    std::string file = folder.file("registry.ini");
};

}  // namespace

TEST_F(Registry, FileFromTheEnvironmentElseUnderEtc)
{
    EXPECT_EQ(ksr::registryFile(), file);
    unsetenv("VANTREL_REGISTRY");
    EXPECT_EQ(ksr::registryFile(), "/etc/vantrel/registry.ini");
    setenv("VANTREL_REGISTRY", "", 1);
    EXPECT_EQ(ksr::registryFile(), "/etc/vantrel/registry.ini");
}

TEST_F(Registry, KeysAreSectionsAndValuesAreEntries)
{
    folder.write("registry.ini",
                 "[SOFTWARE\\Vantrel\\Modules\\HelpPath]\n"
                 "1.3.6.1.4.1.28687.10.37.40=/opt/ksr4710/ksr4710.html\n"
                 "[\\software\\vantrel\\vistrum5.1\\MibFile]\n"
                 "Path=/srv/profiles/\n");
    const auto help = ksr::RegistryKey::open(kHelpPath);
    ASSERT_TRUE(help);
    EXPECT_EQ(help->value("1.3.6.1.4.1.28687.10.37.40").value_or("?"), "/opt/ksr4710/ksr4710.html");
    EXPECT_FALSE(help->value("Other"));

    // Key paths match without regard to case or to the leading backslash.
    const auto mib = ksr::RegistryKey::open("SOFTWARE\\Vantrel\\Vistrum5.1\\MibFile");
    ASSERT_TRUE(mib);
    EXPECT_EQ(mib->value("path").value_or("?"), "/srv/profiles/");

    EXPECT_FALSE(ksr::RegistryKey::open("\\SOFTWARE\\Vantrel\\Vistrum5.1\\ExePath"));
}

TEST_F(Registry, CreatingAnAbsentKeyWritesItIntoAWritableFile)
{
    folder.write("registry.ini", "[Other]\nx=1");  // no line end at the end
    EXPECT_FALSE(ksr::RegistryKey::open(kHelpPath));
    const auto created = ksr::RegistryKey::open(kHelpPath, true);
    ASSERT_TRUE(created);
    EXPECT_FALSE(created->value("1.3.6.1.4.1.28687.10.37.40"));
    EXPECT_EQ(readAll(file), "[Other]\nx=1\n[SOFTWARE\\Vantrel\\Modules\\HelpPath]\n");

    // Once there, it is found and not written again.
    EXPECT_TRUE(ksr::RegistryKey::open(kHelpPath, true));
    EXPECT_TRUE(ksr::RegistryKey::open(kHelpPath));
    EXPECT_EQ(readAll(file), "[Other]\nx=1\n[SOFTWARE\\Vantrel\\Modules\\HelpPath]\n");
}

TEST_F(Registry, AMissingFileReadsAsAbsentAndIsNotCreated)
{
    EXPECT_FALSE(ksr::RegistryKey::open(kHelpPath, true));
    struct stat st {};
    EXPECT_NE(::stat(file.c_str(), &st), 0);
}

TEST_F(Registry, AReadOnlyFileIsLeftAlone)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes read-only files";
    folder.write("registry.ini", "[Other]\n");
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(ksr::RegistryKey::open(kHelpPath, true));
    EXPECT_EQ(readAll(file), "[Other]\n");
}
