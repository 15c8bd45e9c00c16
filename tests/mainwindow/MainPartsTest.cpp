// Front panel, lamps, About, menu bar, screen launching and the MAC box.
#include "About.h"
#include "Dialogs.h"
#include "FrontPanel.h"
#include "LedLamp.h"
#include "MainMenu.h"
#include "ScreenLauncher.h"
#include "SharedChecks.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(SharedChecksQt, MacCheckShowsItsOwnWarning)
{
    struct Case {
        const char* mac;
        bool passes;
    };
    const Case cases[] = {{"00112233AABB", true}, {"01112233AABB", false}, {"0F0000000000", false},
                          {"000000000000", false}, {"", false}};
    for (const Case& c : cases) {
        DialogRecorder recorder;
        EXPECT_EQ(SharedChecks::macAddress(nullptr, QString::fromLatin1(c.mac)), c.passes) << c.mac;
        if (c.passes) {
            EXPECT_TRUE(recorder.shown.isEmpty()) << c.mac;
        } else {
            ASSERT_EQ(recorder.shown.size(), 1) << c.mac;
            EXPECT_EQ(recorder.shown[0].caption, "Warning");
            EXPECT_EQ(recorder.shown[0].text, "Invalid MAC Address.");
        }
    }
    // Accented text is refused by the plain-text check after the UTF-8 round trip.
    EXPECT_FALSE(SharedChecks::plainText(QStringLiteral("Caf\u00e9")));
    EXPECT_TRUE(SharedChecks::plainText(QStringLiteral("Cafe")));
}

TEST(FrontPanel, PictureAndLampsPaintWhereTheLampsSit)
{
    const QImage picture = FrontPanel::picture();
    EXPECT_EQ(picture.size(), QSize(318, 439));

    LedLamp lamp;
    EXPECT_EQ(lamp.size(), QSize(13, 9));
    EXPECT_FALSE(lamp.isLit());
    lamp.setColor(LedLamp::Lit);
    EXPECT_TRUE(lamp.isLit());
    EXPECT_EQ(lamp.grab().toImage().pixel(6, 4) & 0xFFFFFF, 0x00FF00u);
    lamp.setColor(LedLamp::Dark);
    EXPECT_EQ(lamp.grab().toImage().pixel(6, 4) & 0xFFFFFF, 0x000000u);
}

TEST(About, TextsAndTheHiddenReleaseLabel)
{
    TAboutForm about(nullptr);
    about.show();
    EXPECT_EQ(about.windowTitle(), "Help\\About");
    EXPECT_EQ(about.size(), QSize(350, 98));
    EXPECT_EQ(about.LB_Title->text(), "KSR-4710 Management Module");
    EXPECT_EQ(about.LB_Release->text(), "Release Version:");
    EXPECT_EQ(about.LB_Version->text(), "v1.00");
    EXPECT_EQ(about.LB_Build->text(), "R15(2010/12/01)");
    EXPECT_EQ(about.BT_Ok->text(), "OK");

    // Only Shift+Alt+F3 on the OK button shows the release label.
    QTest::keyClick(about.BT_Ok, Qt::Key_F3);
    QTest::keyClick(about.BT_Ok, Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(about.BT_Ok, Qt::Key_F3, Qt::AltModifier);
    EXPECT_TRUE(about.LB_Build->isHidden());
    QTest::keyClick(about.BT_Ok, Qt::Key_F3, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_FALSE(about.LB_Build->isHidden());

    QTest::mouseClick(about.BT_Ok, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

// Flattens the bar as "Menu/Item" or "Menu/Sub/Item".
QStringList menuPaths(QMenuBar& bar)
{
    QStringList paths;
    std::function<void(QMenu*, const QString&)> walk = [&](QMenu* menu, const QString& prefix) {
        for (QAction* a : menu->actions()) {
            if (a->menu())
                walk(a->menu(), prefix + a->text() + "/");
            else
                paths << prefix + a->text();
        }
    };
    for (QAction* top : bar.actions())
        walk(top->menu(), top->text() + "/");
    return paths;
}

TEST(MainMenu, EveryItemInOrderAndDisabledUntilGivenACommand)
{
    QMenuBar bar;
    MainMenu menu(&bar);
    const QStringList expected = {
        "Home/Information", "Home/Wireless", "Home/LAN",
        "Advanced/Performance", "Advanced/Filter/Wireless MAC ACL", "Advanced/Filter/WLAN Partition",
        "Advanced/Multi-SSID", "Advanced/DHCP Server", "Advanced/Intrusion", "Advanced/Schedule", "Advanced/QoS",
        "Advanced/VLAN", "Advanced/AP Array", "Advanced/ARP Spoofing Prevention",
        "Tools/Administration", "Tools/System Settings", "Tools/Firmware and SSL", "Tools/Time and Date",
        "Tools/Configuration File",
        "Configuration/Save and Activate", "Configuration/Discard Changes",
        "Status/Device Information", "Status/Client Information", "Status/WDS Information",
        "Status/Stats/Ethernet", "Status/Stats/WLAN", "Status/Log/View Log", "Status/Log/Log Settings",
        "Help/About"};
    EXPECT_EQ(menuPaths(bar), expected);

    QAction* lan = menu.action("TFM_LanCfg");
    ASSERT_NE(lan, nullptr);
    EXPECT_FALSE(lan->isEnabled());
    int opened = 0;
    menu.setCommand("TFM_LanCfg", [&] { ++opened; });
    menu.setCommand("TFM_LanCfg", [&] { opened += 10; });  // replaces, never stacks
    EXPECT_TRUE(lan->isEnabled());
    lan->trigger();
    EXPECT_EQ(opened, 10);

    QAction* apArray = menu.action("TFM_APArray");
    ASSERT_NE(apArray, nullptr);
    EXPECT_TRUE(apArray->isCheckable());
    menu.setCommand("TFM_APArray", [] {});
    apArray->trigger();
    EXPECT_FALSE(apArray->isChecked());
}

class ProbeScreen : public QDialog {
public:
    static inline ProbeScreen* seenDuringExec = nullptr;
    static inline int alive = 0;
    static inline bool ownedByNobody = false;
    explicit ProbeScreen(QWidget* owner) : QDialog(owner)
    {
        ++alive;
        ownedByNobody = owner == nullptr;
    }
    ~ProbeScreen() override { --alive; }
};
ProbeScreen* FM_Probe = nullptr;

TEST(ScreenLauncher, PublishesTheScreenWhileOpenAndDestroysItAfter)
{
    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, [] {
            ProbeScreen::seenDuringExec = FM_Probe;
            FM_Probe->accept();
        });
        launchScreen(FM_Probe);
        EXPECT_NE(ProbeScreen::seenDuringExec, nullptr);
        EXPECT_TRUE(ProbeScreen::ownedByNobody);
        EXPECT_EQ(FM_Probe, nullptr);
        EXPECT_EQ(ProbeScreen::alive, 0);
    }
}

}  // namespace
