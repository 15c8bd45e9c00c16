// TMainForm's start-up inside the test process: the session records, caption,
// timers, refusals and folders, with boxes answered by the dialog seam.
#include "DeviceLock.h"
#include "Dialogs.h"
#include "Main.h"
#include "TempFolder.h"
#include "VtMessages.h"
#include "VtSession.h"

#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class MainFormStartup : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The boot-counter file goes to the current folder.
        ASSERT_EQ(::getcwd(oldCwd, sizeof oldCwd), oldCwd);
        ASSERT_EQ(::chdir(folder.path().c_str()), 0);
        setenv("VANTREL_REGISTRY", folder.file("registry.ini").c_str(), 1);
        setenv("APPDATA", folder.path().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
    }
    void TearDown() override
    {
        VtResetMessageTables();
        ASSERT_EQ(::chdir(oldCwd), 0);
    }

    static QStringList timersRunning(const TMainForm& form)
    {
        QStringList running;
        for (const QTimer* t : {form.LedStatus, form.LedBlink, form.Timer1})
            if (t->isActive())
                running << t->objectName();
        return running;
    }

    char oldCwd[4096] = {};
    TempFolder folder;
    DialogRecorder dialogs;
};

}  // namespace

TEST_F(MainFormStartup, StartsWithTheCommandLineAndShowsNothing)
{
    TMainForm form({"/I10.1.1.1", "/v3", "/t1161", "/nalice"});
    EXPECT_EQ(form.startupResult(), TMainForm::Startup::Started);
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.texts().join('\n').toStdString();

    EXPECT_EQ(form.windowTitle(), "KSR-4710 : 10.1.1.1");
    EXPECT_EQ(form.addressText(), "10.1.1.1");
    EXPECT_EQ(VtSNMPDevice.address, "10.1.1.1");
    EXPECT_EQ(VtSNMPDevice.port, 1161);
    EXPECT_EQ(VtSNMPSecurity.version, 3);
    EXPECT_EQ(VtSNMPSecurity.securityName, "alice");
    EXPECT_EQ(VtSNMPDefaultTimeout, 100);

    // The picture and status bar take 318 x 458 below the menu bar.
    ASSERT_TRUE(form.menuWidget());
    EXPECT_EQ(form.size(), QSize(318, form.menuWidget()->sizeHint().height() + 458));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    auto* statusBar = form.findChild<QStatusBar*>("MainStatusBar");
    ASSERT_TRUE(statusBar);
    EXPECT_EQ(statusBar->height(), 19);

    EXPECT_EQ(timersRunning(form), QStringList({"LedStatus", "LedBlink", "Timer1"}));
    EXPECT_EQ(form.LedStatus->interval(), 2000);
    EXPECT_EQ(form.LedBlink->interval(), 500);
    EXPECT_EQ(form.Timer1->interval(), 2000);

    EXPECT_EQ(form.logFolder().toStdString(), folder.file("KSR-4710"));
    struct stat st {};
    EXPECT_EQ(::stat(folder.file("KSR-4710").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_NE(readAll(folder.file("VtSNMP_PP_BootCounter")).find("VtSNMP_PP_Application"), std::string::npos);
}

TEST_F(MainFormStartup, WithoutArgumentsShowsTheMessageAndStopsTheTimers)
{
    TMainForm form({});
    EXPECT_EQ(form.startupResult(), TMainForm::Startup::NoArguments);
    EXPECT_NE(form.exitCode(), 0);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "KSR4710Module");
    EXPECT_EQ(dialogs.shown[0].text, "This module is only used in the Vistrum or HP-Openview.");
    EXPECT_TRUE(timersRunning(form).isEmpty());
    EXPECT_EQ(form.windowTitle(), "KSR-4710");
    // Nothing after the command line ran: no log folder.
    struct stat st {};
    EXPECT_NE(::stat(folder.file("KSR-4710").c_str(), &st), 0);
}

TEST_F(MainFormStartup, ASecondWindowForTheSameDeviceIsRefused)
{
    TMainForm first({"/I10.1.1.1"});
    ASSERT_EQ(first.startupResult(), TMainForm::Startup::Started);

    TMainForm second({"/I10.1.1.1"});
    EXPECT_EQ(second.startupResult(), TMainForm::Startup::AlreadyRunning);
    EXPECT_NE(second.exitCode(), 0);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "Warning");
    EXPECT_EQ(dialogs.shown[0].text, "SNMP Timeout or another KSR-4710 module is running!");
    EXPECT_TRUE(timersRunning(second).isEmpty());
    EXPECT_EQ(timersRunning(first).size(), 3);

    TMainForm other({"/I10.1.1.2"});
    EXPECT_EQ(other.startupResult(), TMainForm::Startup::Started);
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(MainFormStartup, ABadNumberEndsStartUpWithNothingHalfStarted)
{
    folder.write("10.1.1.1.cfg",
                 "[Program Information]\nAgentPort=161\nVersion=0\nSecurityModel=1\nAuthProtocol=0\nPrivProtocol=0\n");
    folder.write("registry.ini", "[SOFTWARE\\Vantrel\\Vistrum5.1\\MibFile]\nPath=" + folder.path() + "/\n");

    TMainForm form({"/I10.1.1.1", "/Rpublic"});
    EXPECT_EQ(form.startupResult(), TMainForm::Startup::Failed);
    EXPECT_EQ(form.exitCode(), 1);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "Error");
    EXPECT_TRUE(dialogs.shown[0].text.contains("\"SecurityLevel\"")) << dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(timersRunning(form).isEmpty());

    // The records keep their defaults, no caption, no guard, no log folder.
    EXPECT_EQ(VtSNMPDevice.address, "127.0.0.1");
    EXPECT_EQ(VtSNMPSecurity.readCommunity, "gondek");
    EXPECT_EQ(form.windowTitle(), "KSR-4710");
    EXPECT_TRUE(ksr::DeviceLock::acquire("KSR-4710 : 10.1.1.1"));
    struct stat st {};
    EXPECT_NE(::stat(folder.file("KSR-4710").c_str(), &st), 0);
}

TEST_F(MainFormStartup, ALogFolderThatCannotBeCreatedIsReportedAndStartUpGoesOn)
{
    setenv("APPDATA", folder.file("missing").c_str(), 1);
    TMainForm form({"/I10.1.1.1"});
    EXPECT_EQ(form.startupResult(), TMainForm::Startup::Started);
    const std::string path = folder.file("missing/KSR-4710");
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "KSR4710Module");
    EXPECT_EQ(dialogs.shown[0].text.toStdString(), "Can not create  \"" + path + "\" Log directory!");
    EXPECT_EQ(form.logFolder().toStdString(), path);
}

TEST_F(MainFormStartup, MessageFilesFromTheRegisteredModuleFolder)
{
    const std::string okText = "(VtSNMP++) Ok!";
    struct Case {
        const char* name;
        std::string helpPath;     // value under the HelpPath key
        std::string errmsgFolder; // where the replacement file lies
    };
    const Case cases[] = {
        {"module folder from the registry", folder.file("module/ksr4710.html"), folder.file("module/ERRMSG")},
        {"12 characters or fewer: the current folder", "ksr4710.html", folder.file("errmsg")},
    };
    for (const Case& c : cases) {
        ::mkdir(folder.file("module").c_str(), 0700);
        ::mkdir(c.errmsgFolder.c_str(), 0700);
        std::string lines;
        for (int i = 0; i < 29; ++i)
            lines += "replaced " + std::to_string(i) + "\r\n";
        std::ofstream(c.errmsgFolder + "/VtSnmp.ERR") << lines;
        folder.write("registry.ini",
                     "[SOFTWARE\\Vantrel\\Modules\\HelpPath]\n1.3.6.1.4.1.28687.10.37.40=" + c.helpPath + "\n");

        TMainForm form({"/I10.1.1.1"});
        EXPECT_EQ(VtMsgText(VtMsgTable::VtSnmp, 0), "replaced 0") << c.name;
        EXPECT_EQ(VtMsgText(VtMsgTable::Snmp, 1), "(SNMP) Variable does not exist!") << c.name;
        VtResetMessageTables();
        std::remove((c.errmsgFolder + "/VtSnmp.ERR").c_str());
    }
}
