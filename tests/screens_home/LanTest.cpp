// Home \ LAN against the simulated access point: the form as loaded, the
// address checks in their order, and exactly which variables each Save
// writes for every change of mode.
#include "Lan.h"
#include "ScreenFixture.h"
#include "VtEdit.h"
#include "VtListView.h"
#include "VtSNMPRequest2Edits.h"
#include "VtStatusBar.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const std::string kLan = "1.3.6.1.4.1.28687.10.37.40.2.1.1.1.1.";
const std::string kMode = kLan + "1.1";
const std::string kAddress = kLan + "2.1";
const std::string kMask = kLan + "3.1";
const std::string kGateway = kLan + "4.1";

class LanScreen : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        sim_->injectError(kMode, 0);
        sim_->setValue(kMode, 'i', "1");
        sim_->setValue(kAddress, 'a', "192.168.0.50");
        sim_->setValue(kMask, 'a', "255.255.255.0");
        sim_->setValue(kGateway, 'a', "0.0.0.0");
        sim_->clearJournal();
    }

    std::unique_ptr<TFM_LanCfg> open()
    {
        auto form = std::make_unique<TFM_LanCfg>();
        showActive(form.get());
        return form;
    }

    static QString status(const TFM_LanCfg& form) { return form.StatusBar->panelText(0); }

    // Chooses an item of "Get IP From" with the keyboard, as a user does.
    static void choose(TFM_LanCfg& form, int item)
    {
        form.CB_IPFrom->setFocus(Qt::TabFocusReason);
        while (form.CB_IPFrom->currentIndex() < item)
            QTest::keyClick(form.CB_IPFrom, Qt::Key_Down);
        while (form.CB_IPFrom->currentIndex() > item)
            QTest::keyClick(form.CB_IPFrom, Qt::Key_Up);
    }

    static void fill(TFM_LanCfg& form, const QString& address, const QString& mask, const QString& gateway)
    {
        typeInto(form.ED_IpAddr, address);
        typeInto(form.ED_SubMask, mask);
        typeInto(form.ED_DefGw, gateway);
    }

    // The six address controls, all shown or all hidden.
    static bool addressRowsShown(TFM_LanCfg& form)
    {
        int shown = 0;
        for (VtEdit* e : {form.ED_IpAddr, form.ED_SubMask, form.ED_DefGw}) {
            shown += !e->isHidden();
            for (QLabel* label : form.findChildren<QLabel*>())
                if (label->buddy() == e)
                    shown += !label->isHidden();
        }
        EXPECT_TRUE(shown == 0 || shown == 6) << shown << " of 6 shown";
        return shown == 6;
    }

    static std::string modeSet(int value) { return "SET v2c " + kMode + "=i:" + std::to_string(value); }
    static std::string addressSet(const std::string& a, const std::string& m, const std::string& g)
    {
        return "SET v2c " + kAddress + "=a:" + a + " " + kMask + "=a:" + m + " " + kGateway + "=a:" + g;
    }
};

TEST_F(LanScreen, OpensWithModeAndAddressesOfAStaticDevice)
{
    sim_->setValue(kGateway, 'a', "192.168.0.1");
    auto form = open();
    EXPECT_EQ(form->windowTitle(), "Home \\ LAN");
    ASSERT_EQ(form->CB_IPFrom->count(), 2);
    EXPECT_EQ(form->CB_IPFrom->itemText(0), "Static IP(Manual)");
    EXPECT_EQ(form->CB_IPFrom->itemText(1), "Dynamic IP(DHCP)");
    EXPECT_FALSE(form->CB_IPFrom->isEditable());
    EXPECT_EQ(form->CB_IPFrom->currentIndex(), 0);
    EXPECT_EQ(form->ED_IpAddr->text(), "192.168.0.50");
    EXPECT_EQ(form->ED_SubMask->text(), "255.255.255.0");
    EXPECT_EQ(form->ED_DefGw->text(), "192.168.0.1");
    EXPECT_TRUE(addressRowsShown(*form));
    EXPECT_EQ(form->LoadedMode, TFM_LanCfg::ModeStatic);

    EXPECT_EQ(buddyCaption(form.get(), form->CB_IPFrom), "Get IP From");
    EXPECT_EQ(buddyCaption(form.get(), form->ED_IpAddr), "IP Address");
    EXPECT_EQ(buddyCaption(form.get(), form->ED_SubMask), "Subnet Mask");
    EXPECT_EQ(buddyCaption(form.get(), form->ED_DefGw), "Default Gateway");
    for (VtEdit* e : {form->ED_IpAddr, form->ED_SubMask, form->ED_DefGw}) {
        typeInto(e, QStringLiteral("123.123.123.1234"));
        EXPECT_EQ(e->text(), "123.123.123.123") << "15 characters at most";
    }
    EXPECT_EQ(form->BT_LanCfgOk->text(), "Save");
    EXPECT_EQ(form->BT_LanCfgCancel->text(), "Cancel");

    expectTabOrderAndFixedSize(form.get(), {form->CB_IPFrom, form->ED_IpAddr, form->ED_SubMask, form->ED_DefGw,
                                            form->BT_LanCfgOk, form->BT_LanCfgCancel});

    const auto journal = sim_->journal();
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_EQ(journal[0], "GET v2c " + kMode);
    EXPECT_EQ(journal[1], "GET v2c " + kAddress + " " + kMask + " " + kGateway);
}

// A device on DHCP: the address rows are hidden until the user chooses the
// static item; saving then writes the mode first and the addresses after it.
TEST_F(LanScreen, FromDhcpToStaticWritesModeThenAddresses)
{
    sim_->setValue(kMode, 'i', "2");
    auto form = open();
    EXPECT_EQ(form->CB_IPFrom->currentIndex(), 1);
    EXPECT_EQ(form->LoadedMode, TFM_LanCfg::ModeDynamic);
    EXPECT_FALSE(addressRowsShown(*form));
    EXPECT_EQ(form->ED_DefGw->text(), "") << "0.0.0.0 is shown as an empty box";

    choose(*form, TFM_LanCfg::ModeStatic);
    EXPECT_TRUE(addressRowsShown(*form));
    fill(*form, "10.1.2.3", "255.255.0.0", "10.1.0.1");
    sim_->clearJournal();
    click(form->BT_LanCfgOk);

    EXPECT_TRUE(dialogs_->shown.isEmpty());
    EXPECT_EQ(status(*form), "Set OK!");
    EXPECT_EQ(sets(), (std::vector<std::string>{modeSet(1), addressSet("10.1.2.3", "255.255.0.0", "10.1.0.1")}));
    EXPECT_EQ(form->LoadedMode, TFM_LanCfg::ModeStatic);
}

// Static -> DHCP writes the mode alone; a second Save with DHCP writes
// nothing; back to static writes the mode and the addresses; a further
// static Save writes the addresses alone. An empty gateway goes out as
// 0.0.0.0 and is shown empty again.
TEST_F(LanScreen, EachSaveWritesOnlyWhatChangedInKind)
{
    auto form = open();
    choose(*form, TFM_LanCfg::ModeDynamic);
    EXPECT_FALSE(addressRowsShown(*form));
    click(form->BT_LanCfgOk);
    EXPECT_EQ(status(*form), "Set OK!");
    EXPECT_EQ(sets(), std::vector<std::string>{modeSet(2)});

    form->StatusBar->setPanelText(0, QString());
    click(form->BT_LanCfgOk);
    EXPECT_EQ(sets().size(), 1u) << "a second Save with DHCP writes nothing";
    EXPECT_EQ(status(*form), "") << "and shows no text";

    choose(*form, TFM_LanCfg::ModeStatic);
    EXPECT_TRUE(addressRowsShown(*form));
    click(form->BT_LanCfgOk);
    EXPECT_EQ(sets(), (std::vector<std::string>{modeSet(2), modeSet(1),
                                                addressSet("192.168.0.50", "255.255.255.0", "0.0.0.0")}));

    sim_->clearJournal();
    fill(*form, "192.168.0.60", "255.255.255.0", "");
    click(form->BT_LanCfgOk);
    EXPECT_EQ(status(*form), "Set OK!");
    EXPECT_EQ(sets(), std::vector<std::string>{addressSet("192.168.0.60", "255.255.255.0", "0.0.0.0")});
    EXPECT_EQ(form->ED_DefGw->text(), "");
    EXPECT_EQ(sim_->value(kGateway), "a:0.0.0.0");
    EXPECT_TRUE(dialogs_->shown.isEmpty());
}

// Each row fails one check (or several: the first in order is reported);
// the offending box is cleared and focused and nothing is written.
TEST_F(LanScreen, AddressChecksRunInOrder)
{
    struct Case {
        const char* address;
        const char* mask;
        const char* gateway;
        const char* message;
        const char* box;
    };
    const char* ip = "Please input valid IP Address.";
    const char* mask = "Please input valid Subnet Mask.";
    const char* gw = "Invalid gateway address !";
    const Case cases[] = {
        {"127.0.0.1", "255.255.255.0", "", ip, "ED_IpAddr"},
        {"224.0.0.1", "255.255.255.0", "", ip, "ED_IpAddr"},
        {"192.168.0.255", "255.255.255.0", "", ip, "ED_IpAddr"},
        {"10.0.0", "255.0.0.0", "", ip, "ED_IpAddr"},
        {"127.0.0.1", "128.0.0.0", "x", ip, "ED_IpAddr"},
        {"192.168.0.50", "255.255.255.255", "", mask, "ED_SubMask"},
        {"192.168.0.50", "128.0.0.0", "", mask, "ED_SubMask"},
        {"192.168.0.50", "255.0.255.0", "x", mask, "ED_SubMask"},
        {"192.168.0.0", "255.255.255.0", "", ip, "ED_IpAddr"},
        {"200.1.1.1", "192.0.0.0", "", ip, "ED_IpAddr"},
        {"192.168.0.50", "255.255.255.0", "192.168.0.255", gw, "ED_DefGw"},
        {"192.168.0.50", "255.255.255.0", "10.0.0.1 ", gw, "ED_DefGw"},
    };
    auto form = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " / " + c.mask + " / " + c.gateway);
        dialogs_->clear();
        fill(*form, c.address, c.mask, c.gateway);
        click(form->BT_LanCfgOk);
        expectOneBox(c.message, "Warning");
        auto* box = form->findChild<VtEdit*>(c.box);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(), "");
        EXPECT_EQ(form->focusWidget(), box);
    }
    EXPECT_TRUE(sets().empty());
    EXPECT_EQ(status(*form), "");
}

// A refused write shows "Set Error!" and keeps the loaded mode, so the next
// Save repeats it; from DHCP a refused mode write stops before the addresses.
TEST_F(LanScreen, FailedWriteKeepsTheLoadedMode)
{
    auto form = open();
    sim_->injectError(kMode, 5);
    choose(*form, TFM_LanCfg::ModeDynamic);
    click(form->BT_LanCfgOk);
    EXPECT_EQ(status(*form), "Set Error!");
    EXPECT_EQ(form->LoadedMode, TFM_LanCfg::ModeStatic);

    sim_->injectError(kMode, 0);
    click(form->BT_LanCfgOk);
    EXPECT_EQ(status(*form), "Set OK!");
    EXPECT_EQ(sets(), (std::vector<std::string>{modeSet(2), modeSet(2)}));
    EXPECT_EQ(sim_->value(kMode), "i:2");

    sim_->clearJournal();
    sim_->injectError(kMode, 5);
    choose(*form, TFM_LanCfg::ModeStatic);
    click(form->BT_LanCfgOk);
    EXPECT_EQ(status(*form), "Set Error!");
    EXPECT_EQ(sets(), std::vector<std::string>{modeSet(1)});
    EXPECT_EQ(form->LoadedMode, TFM_LanCfg::ModeDynamic);
}

TEST_F(LanScreen, EachOpeningIsANewFormThatReadsTheDevice)
{
    for (const char* mode : {"1", "2"}) {
        sim_->setValue(kMode, 'i', mode);
        int shown = -2;
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(FM_LanCfg);
            shown = FM_LanCfg->CB_IPFrom->currentIndex();
            click(FM_LanCfg->BT_LanCfgCancel);
        });
        openLanScreen();
        EXPECT_EQ(FM_LanCfg, nullptr);
        EXPECT_EQ(shown + 1, std::stoi(mode));
    }
    EXPECT_EQ(sim_->journal().size(), 4u);
}

TEST_F(LanScreen, CancelClosesWithoutWriting)
{
    auto form = open();
    fill(*form, "10.9.9.9", "255.0.0.0", "");
    click(form->BT_LanCfgCancel);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_TRUE(sets().empty());
}

}  // namespace
