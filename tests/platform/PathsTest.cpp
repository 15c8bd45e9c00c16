#include "Paths.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(Paths, FindNoCaseMatchesTheLastComponentWithoutRegardToCase)
{
    TempFolder folder;
    ::mkdir(folder.file("errMSg").c_str(), 0700);
    folder.write("10.1.1.1.CFG", "");
    const std::string base = folder.path() + "/";

    EXPECT_EQ(ksr::findNoCase(base + "errmsg"), base + "errMSg");
    EXPECT_EQ(ksr::findNoCase(base + "ERRMSG"), base + "errMSg");
    EXPECT_EQ(ksr::findNoCase(base + "10.1.1.1.cfg"), base + "10.1.1.1.CFG");
    EXPECT_EQ(ksr::findNoCase(base + "10.1.1.2.cfg"), "");
    // Only the last component is looked up; the folder part must be exact.
    EXPECT_EQ(ksr::findNoCase(base + "ERRMSG/x"), "");
    EXPECT_EQ(ksr::findNoCase(""), "");
}

TEST(Paths, AnExactMatchWinsOverOtherSpellings)
{
    TempFolder folder;
    folder.write("A.cfg", "");
    folder.write("a.cfg", "");
    EXPECT_EQ(ksr::findNoCase(folder.file("a.cfg")), folder.file("a.cfg"));
    EXPECT_EQ(ksr::findNoCase(folder.file("A.cfg")), folder.file("A.cfg"));
}

TEST(Paths, AppDataFolderFallbacks)
{
    TempFolder folder;
    const auto restore = [](const char* name, const char* old) {
        if (old)
            setenv(name, old, 1);
        else
            unsetenv(name);
    };
    const std::string oldAppData = getenv("APPDATA") ? getenv("APPDATA") : "";
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    const char* hadAppData = getenv("APPDATA") ? oldAppData.c_str() : nullptr;
    const char* hadXdg = getenv("XDG_DATA_HOME");
    const std::string oldXdg = hadXdg ? hadXdg : "";

    // $APPDATA is taken as given, even when it does not exist.
    setenv("APPDATA", "/nonexistent/appdata", 1);
    EXPECT_EQ(ksr::appDataFolder(), "/nonexistent/appdata");

    // The fallbacks are created, as the Windows folder always exists.
    unsetenv("APPDATA");
    setenv("XDG_DATA_HOME", folder.file("xdg/data").c_str(), 1);
    EXPECT_EQ(ksr::appDataFolder(), folder.file("xdg/data"));
    struct stat st {};
    EXPECT_EQ(::stat(folder.file("xdg/data").c_str(), &st), 0);

    unsetenv("XDG_DATA_HOME");
    setenv("HOME", folder.path().c_str(), 1);
    EXPECT_EQ(ksr::appDataFolder(), folder.path() + "/.local/share");
    EXPECT_EQ(::stat(folder.file(".local/share").c_str(), &st), 0);

    restore("APPDATA", hadAppData);
    restore("XDG_DATA_HOME", hadXdg ? oldXdg.c_str() : nullptr);
    setenv("HOME", oldHome.c_str(), 1);
}

TEST(Paths, BackslashesBecomeSlashes)
{
    EXPECT_EQ(ksr::withSlashes("C:\\Vistrum\\..\\Conf\\MBF\\"), "C:/Vistrum/../Conf/MBF/");
}
