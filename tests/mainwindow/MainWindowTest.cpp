// The main window against the simulated access point: start-up reads, the LED
// poll and blink, the holder refresh, the commit commands and the wait
// dialog's reboot step. Timers are driven by calling their handlers; the
// window's own timers run too, so assertions about a single step are made
// without letting events run in between.
#include "About.h"
#include "Dialogs.h"
#include "LedLamp.h"
#include "Main.h"
#include "MainMenu.h"
#include "SimulatedDevice.h"
#include "VtEdit.h"
#include "VtMessages.h"
#include "VtSession.h"
#include "Wait.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "WaitUntil.h"

using testsupport::waitUntil;

#include <ctime>
#include <memory>
#include <unistd.h>

namespace {

#define ROOT "1.3.6.1.4.1.28687.10.37.40"
const char kLanLed[] = ROOT ".5.1.2.1.1.14.1";
const char kLed24[] = ROOT ".5.1.2.1.1.6.1";
const char kLed5[] = ROOT ".5.1.2.1.1.7.1";
const char kApMode[] = ROOT ".2.1.3.3.1.1.1.28.1";
const char kApply[] = ROOT ".4.2.3.0";
const char kUpgradeCommand[] = ROOT ".4.3.2.5.0";


std::time_t threeFourFivePm()
{
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 11;
    t.tm_hour = 15;
    t.tm_min = 4;
    t.tm_sec = 5;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        simtest::SimOptions options;
        options.extraArgs = {"--restart-silence", "300"};
        sim_ = new simtest::SimulatedDevice(options);
    }
    static void TearDownTestSuite()
    {
        delete sim_;
        sim_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_EQ(::getcwd(oldCwd, sizeof oldCwd), oldCwd);
        ASSERT_EQ(::chdir(folder.path().toLocal8Bit().constData()), 0);  // boot-counter file
        setenv("APPDATA", folder.path().toLocal8Bit().constData(), 1);
        setenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit().constData(), 1);
        writeProfile();

        sim().setSilent(false);
        for (const char* oid : {kLanLed, kLed24, kLed5})
            sim().setValue(oid, 'i', "1");
        sim().setValue(kApMode, 'i', "1");
        sim().injectError(kApply, 0);
        sim().clearJournal();
    }

    void TearDown() override
    {
        form.reset();
        VtSetResultLogClock(nullptr);
        ASSERT_EQ(::chdir(oldCwd), 0);
    }

    static simtest::SimulatedDevice& sim() { return *sim_; }

    // The module as the management system starts it for the simulator: the
    // profile (with the port) is applied before every argument after "/I".
    void start()
    {
        form = std::make_unique<TMainForm>(QStringList{"/I127.0.0.1", "/Rgondek"});
        ASSERT_EQ(form->startupResult(), TMainForm::Startup::Started) << dialogs.texts().join('\n').toStdString();
        form->show();
        // The start-up reads run as the window's first event; the AP mode is
        // the last blocking one, the LED enables may still be on their way.
        ASSERT_TRUE(waitUntil([&] { return form->CB_ApMode->currentIndex() >= 0; }, 10000));
        ASSERT_TRUE(waitUntil([&] { return form->CB_LedLan->currentIndex() >= 0 && !form->IPAddressEdit->text().isEmpty(); }));
    }

    QString status() const { return form->statusText(); }

    static bool shown(const LedLamp* lamp) { return !lamp->isHidden(); }

    // After a command that restarts the simulator: waits out its silence
    // until it journals requests again.
    void waitForDeviceBack()
    {
        QTest::qWait(500);
        sim().clearJournal();
        ASSERT_TRUE(waitUntil([&] { return !sim().journal().empty(); }, 8000));
    }

    std::vector<std::string> setsInJournal()
    {
        std::vector<std::string> sets;
        for (const std::string& line : sim().journal())
            if (line.rfind("SET ", 0) == 0)
                sets.push_back(line);
        return sets;
    }

    void writeProfile()
    {
        const QString profiles = folder.filePath("profiles/");
        QDir().mkpath(profiles);
        QFile profile(profiles + "127.0.0.1.cfg");
        ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
        profile.write(QStringLiteral("[Program Information]\nAgentPort=%1\nVersion=0\nContextName=\nContextEngineID=\n"
                                     "SecurityModel=1\nSecurityLevel=0\nSecurityName=\nAuthProtocol=0\n"
                                     "PrivProtocol=0\nAuthPassword=\nPrivPassword=\n")
                          .arg(sim().port())
                          .toUtf8());
        QFile registry(folder.filePath("registry.ini"));
        ASSERT_TRUE(registry.open(QIODevice::WriteOnly));
        registry.write(("[SOFTWARE\\Vantrel\\Vistrum5.1\\MibFile]\nPath=" + profiles + "\n").toUtf8());
        setenv("VANTREL_REGISTRY", folder.filePath("registry.ini").toLocal8Bit().constData(), 1);
    }

    static inline simtest::SimulatedDevice* sim_ = nullptr;
    char oldCwd[4096] = {};
    QTemporaryDir folder;
    DialogRecorder dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainWindow, FirstPollLightsTheLampsAndWritesTheStatusLine)
{
    VtSetResultLogClock(&threeFourFivePm);
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitUntil([&] { return !status().isEmpty(); }));
    EXPECT_EQ(status(), "Get: (VtSNMP++) Ok!. Receive at 03:04:05 PM.");
    EXPECT_TRUE(form->DeviceAnswering);

    // Holders as the device reports them.
    EXPECT_EQ(form->IPAddressEdit->text(), QString::fromStdString(sim().value(ROOT ".2.1.1.1.1.2.1")).mid(2));
    EXPECT_FALSE(form->SubMaskEdit->text().isEmpty());
    EXPECT_FALSE(form->Ed_SysIpaddress->text().isEmpty());
    EXPECT_EQ(form->Cbox_SaveAct->currentText(), "nothing");
    EXPECT_EQ(form->CB_LedLan->currentText(), "blinking");
    EXPECT_EQ(form->CB_ApMode->currentText(), "Access Point");
    EXPECT_TRUE(form->Menu()->action("TFM_ARPSpoofing")->isVisible());

    EXPECT_TRUE(form->LED_Power->isLit());
    EXPECT_TRUE(shown(form->LED_Power));
    // The next blink step sees the LAN LED enabled.
    ASSERT_TRUE(waitUntil([&] { return form->LED_APstatus->isLit() && shown(form->LED_APstatus); }, 2000));
    // Each blink step flips the wireless lamps.
    const bool lit24 = form->LED_24GLan->isLit();
    const bool lit5 = form->LED_5GLan->isLit();
    form->LedBlinkTimer();
    EXPECT_NE(form->LED_24GLan->isLit(), lit24);
    EXPECT_NE(form->LED_5GLan->isLit(), lit5);
    EXPECT_TRUE(shown(form->LED_24GLan));
    EXPECT_TRUE(shown(form->LED_5GLan));

    // The poll reads sysDescr and nothing else.
    bool polled = false;
    for (const std::string& line : sim().journal())
        polled = polled || line == "GET v1 1.3.6.1.2.1.1.1.0";
    EXPECT_TRUE(polled);
}

TEST_F(MainWindow, LedEnablesDecideWhichLampsShowAndFlash)
{
    sim().setValue(kLanLed, 'i', "0");
    sim().setValue(kLed24, 'i', "1");
    sim().setValue(kLed5, 'i', "0");
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitUntil([&] { return form->LED_Power->isLit(); }));

    form->LedBlinkTimer();
    const bool lit = form->LED_24GLan->isLit();
    form->LedBlinkTimer();
    EXPECT_NE(form->LED_24GLan->isLit(), lit);
    EXPECT_TRUE(shown(form->LED_24GLan));
    EXPECT_TRUE(form->LED_Power->isLit());
    EXPECT_FALSE(shown(form->LED_APstatus));
    EXPECT_FALSE(shown(form->LED_5GLan));
    EXPECT_FALSE(form->LED_5GLan->isLit());
}

TEST_F(MainWindow, SilentDeviceDarkensEveryLampAndFlashingResumesWhenItAnswers)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitUntil([&] { return form->LED_Power->isLit(); }));

    form->StatusPollTimeout = 20;  // 0.2 s per try instead of 30 s
    sim().setSilent(true);
    ASSERT_TRUE(waitUntil([&] { return !form->DeviceAnswering; }, 8000));
    EXPECT_EQ(status(), "(SNMPClass) SNMP request timed out!");
    for (LedLamp* lamp : {form->LED_APstatus, form->LED_24GLan, form->LED_5GLan, form->LED_Power}) {
        EXPECT_FALSE(lamp->isLit()) << lamp->objectName().toStdString();
        EXPECT_TRUE(shown(lamp)) << lamp->objectName().toStdString();
    }
    form->LedBlinkTimer();  // rests while the device is silent
    EXPECT_FALSE(form->LED_24GLan->isLit());
    EXPECT_FALSE(form->LED_Power->isLit());

    sim().setSilent(false);
    ASSERT_TRUE(waitUntil([&] { return form->DeviceAnswering; }, 8000));
    EXPECT_TRUE(form->LED_Power->isLit());
    const bool lit = form->LED_24GLan->isLit();
    form->LedBlinkTimer();
    EXPECT_NE(form->LED_24GLan->isLit(), lit);
    EXPECT_TRUE(status().startsWith("Get: (VtSNMP++) Ok!. Receive at "));
}

TEST_F(MainWindow, HoldersAreEmptiedOnTheEighthTickAndTheActivityLampsGoOut)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(waitUntil([&] { return form->LED_Power->isLit(); }));
    form->Timer1->stop();
    form->Timer1Ticks = 0;
    for (int tick = 1; tick <= 7; ++tick) {
        form->Timer1Timer();
        EXPECT_FALSE(form->IPAddressEdit->text().isEmpty()) << tick;
    }
    EXPECT_EQ(form->Timer1Ticks, 7);

    sim().setSilent(true);  // the refresh that follows brings nothing back
    form->Timer1Timer();
    EXPECT_TRUE(form->IPAddressEdit->text().isEmpty());
    EXPECT_TRUE(form->SubMaskEdit->text().isEmpty());
    EXPECT_EQ(form->Timer1Ticks, 1);

    form->LedBlinkTimer();
    EXPECT_TRUE(form->LED_Power->isLit());
    for (LedLamp* lamp : {form->LED_APstatus, form->LED_24GLan, form->LED_5GLan})
        EXPECT_FALSE(shown(lamp)) << lamp->objectName().toStdString();
}

TEST_F(MainWindow, WirelessClientModeHidesArpSpoofingPrevention)
{
    sim().setValue(kApMode, 'i', "4");
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_EQ(form->CB_ApMode->currentText(), "Wireless Client");
    EXPECT_FALSE(form->Menu()->action("TFM_ARPSpoofing")->isVisible());
}

TEST_F(MainWindow, MenuOpensAboutOnTheWindowAndLeavesMissingScreensDisabled)
{
    ASSERT_NO_FATAL_FAILURE(start());
    for (const char* command : {MainCmdSaveAndActivate, MainCmdDiscardChanges, MainCmdAbout})
        EXPECT_TRUE(form->Menu()->action(command)->isEnabled()) << command;
    EXPECT_FALSE(form->Menu()->action("TFM_Wirless")->isEnabled());

    QObject* aboutOwner = nullptr;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* about = qobject_cast<TAboutForm*>(window); about && about->isVisible()) {
                aboutOwner = about->parent();
                about->BT_Ok->click();
            }
    });
    form->Menu()->action(MainCmdAbout)->trigger();
    EXPECT_EQ(aboutOwner, form.get());
}

TEST_F(MainWindow, CommitCommandsWriteTheThreeVariablesInOneSetThenCountDown)
{
    struct Case {
        void (TMainForm::*command)();
        const char* set;
        int remaining;
        const char* firstLine;
    };
    const Case cases[] = {
        {&TMainForm::SaveAndActivateClick, "SET v1 " ROOT ".4.2.3.0=i:1 " ROOT ".4.2.4.0=i:0 " ROOT ".4.2.1.0=i:0",
         20, "The device is activate..."},
        {&TMainForm::DiscardChangesClick, "SET v1 " ROOT ".4.2.3.0=i:0 " ROOT ".4.2.4.0=i:1 " ROOT ".4.2.1.0=i:0",
         50, "The device is rebooting..."},
    };
    ASSERT_NO_FATAL_FAILURE(start());
    for (const Case& c : cases) {
        sim().clearJournal();
        int remaining = -1;
        bool sendReboot = true;
        QString first, second;
        QTimer::singleShot(0, [&] {
            TFM_Waiting* wait = TFM_Waiting::current();
            ASSERT_NE(wait, nullptr);
            remaining = wait->Remaining;
            sendReboot = wait->SendReboot;
            first = wait->Label2->text();
            second = wait->Label3->text();
            wait->done(0);
        });
        (form.get()->*c.command)();
        EXPECT_EQ(setsInJournal(), std::vector<std::string>{c.set});
        EXPECT_EQ(remaining, c.remaining);
        EXPECT_FALSE(sendReboot);
        EXPECT_EQ(first, c.firstLine);
        EXPECT_EQ(second, "Please DO NOT POWER OFF the device");
        EXPECT_EQ(TFM_Waiting::current(), nullptr);
        // The device restarts after the commit; let it come back.
        ASSERT_NO_FATAL_FAILURE(waitForDeviceBack());
    }
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.texts().join('\n').toStdString();
}

TEST_F(MainWindow, RefusedCommitShowsTheErrorAndStartsNoCountdown)
{
    ASSERT_NO_FATAL_FAILURE(start());
    sim().injectError(kApply, 4);  // readOnly
    bool waited = false;
    QTimer watchdog;  // would end a countdown instead of hanging the test
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (TFM_Waiting* wait = TFM_Waiting::current()) {
            waited = true;
            wait->done(0);
        }
    });
    watchdog.start(10);
    form->SaveAndActivateClick();
    EXPECT_FALSE(waited);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "Error");
    EXPECT_EQ(dialogs.shown[0].text.toStdString(), VtMapOutcome(4).second);
}

TEST_F(MainWindow, WaitDialogSendsTheRebootCommandOnTheSecondTick)
{
    ASSERT_NO_FATAL_FAILURE(start());
    sim().clearJournal();
    TFM_Waiting wait(form.get());
    wait.Timer1->stop();
    wait.Timer1Timer();
    QTest::qWait(200);
    EXPECT_TRUE(setsInJournal().empty());
    wait.Timer1Timer();
    ASSERT_TRUE(waitUntil([&] { return setsInJournal() == std::vector<std::string>{"SET v1 " ROOT ".4.3.2.5.0=i:4"}; })) << ::testing::PrintToString(setsInJournal());
    EXPECT_EQ(wait.Ed_Reboot->text(), "reboot");
    for (int tick = 3; tick <= 5; ++tick)
        wait.Timer1Timer();
    QTest::qWait(200);
    EXPECT_EQ(setsInJournal().size(), 1u);  // one-shot
    ASSERT_NO_FATAL_FAILURE(waitForDeviceBack());
}

}  // namespace
