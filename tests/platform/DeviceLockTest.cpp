#include "DeviceLock.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace {

class DeviceLockTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }
    TempFolder folder;
};

}  // namespace

TEST_F(DeviceLockTest, OneHolderPerNameUntilReleased)
{
    auto first = ksr::DeviceLock::acquire("KSR-4710 : 10.1.1.1");
    ASSERT_TRUE(first);
    EXPECT_FALSE(ksr::DeviceLock::acquire("KSR-4710 : 10.1.1.1"));
    auto other = ksr::DeviceLock::acquire("KSR-4710 : 10.1.1.2");
    EXPECT_TRUE(other);
    first.reset();
    EXPECT_TRUE(ksr::DeviceLock::acquire("KSR-4710 : 10.1.1.1"));
}

TEST_F(DeviceLockTest, FileNamedAfterTheCaptionWithUnsafeCharactersEncoded)
{
    const std::string dir = folder.path() + "/";
    EXPECT_EQ(ksr::DeviceLock::lockFilePath("KSR-4710 : 10.1.1.1"), dir + "KSR-4710%20%3A%2010.1.1.1.lock");
    // Names that a plain replacement would merge stay apart; no name leaves the folder.
    EXPECT_NE(ksr::DeviceLock::lockFilePath("a b"), ksr::DeviceLock::lockFilePath("a_b"));
    EXPECT_EQ(ksr::DeviceLock::lockFilePath("../x/y"), dir + "%2E.%2Fx%2Fy.lock");
    EXPECT_EQ(ksr::DeviceLock::lockFilePath("..").find('/', dir.size()), std::string::npos);

    // Over-long names are cut and told apart by a hash.
    const std::string a = ksr::DeviceLock::lockFilePath(std::string(300, 'a') + "1");
    const std::string b = ksr::DeviceLock::lockFilePath(std::string(300, 'a') + "2");
    EXPECT_NE(a, b);
    EXPECT_LT(a.size() - dir.size(), 255u);
    EXPECT_TRUE(ksr::DeviceLock::acquire(std::string(300, 'a') + "1"));
}

TEST_F(DeviceLockTest, WithoutARuntimeFolderTheLockGoesToTmpPerUser)
{
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(ksr::DeviceLock::lockFilePath("x"), "/tmp/ksr4710-" + std::to_string(::getuid()) + "-x.lock");
}

TEST_F(DeviceLockTest, AnUncreatableLockFileRefuses)
{
    setenv("XDG_RUNTIME_DIR", "/nonexistent/run", 1);
    EXPECT_FALSE(ksr::DeviceLock::acquire("KSR-4710 : 10.1.1.1"));
}
