// Home \ Information against the simulated access point: load on open,
// Refresh, the input checks in their order, the write, and the status line
// that reports the device's answer (success, time-out or refusal).
#include "Information.h"
#include "ScreenFixture.h"
#include "VtEdit.h"
#include "VtListView.h"
#include "VtMessages.h"
#include "VtSNMPRequest2Edits.h"
#include "VtStatusBar.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const std::string kSys = "1.3.6.1.2.1.1.";

class InformationScreen : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        sim_->setValue(kSys + "4.0", 's', "noc@example.net");
        sim_->setValue(kSys + "5.0", 's', "ap-office");
        sim_->setValue(kSys + "6.0", 's', "hall");
        sim_->clearJournal();
    }

    // Opens the screen and waits for the load it starts.
    std::unique_ptr<TFM_Information> open()
    {
        auto form = std::make_unique<TFM_Information>();
        showActive(form.get());
        EXPECT_TRUE(waitUntil([&] { return !form->InfoRequest->Busy; }));
        return form;
    }

    static QString status(const TFM_Information& form) { return form.StatusBar->simpleText(); }

    void fill(TFM_Information& form, const QString& contact, const QString& name, const QString& location)
    {
        typeInto(form.Ed_SC, contact);
        typeInto(form.Ed_SN, name);
        typeInto(form.Ed_SL, location);
    }
};

TEST_F(InformationScreen, OpensWithTheSystemGroupReadInOneRequest)
{
    auto form = open();
    EXPECT_EQ(form->windowTitle(), "Home \\ Information");
    EXPECT_EQ(form->Ed_SD->text(), "KSR-4710 Wireless Access Point");
    EXPECT_EQ(form->Ed_SO->text(), "1.3.6.1.4.1.28687.10.37.40");
    EXPECT_FALSE(form->Ed_SU->text().isEmpty());
    EXPECT_EQ(form->Ed_SC->text(), "noc@example.net");
    EXPECT_EQ(form->Ed_SN->text(), "ap-office");
    EXPECT_EQ(form->Ed_SL->text(), "hall");
    EXPECT_EQ(status(*form), "Get OK!");

    struct Row {
        VtEdit* edit;
        const char* label;
        bool editable;
        int maxLength;
    };
    for (const Row& r : {Row{form->Ed_SD, "System Description:", false, 0},
                         Row{form->Ed_SO, "System Object ID:", false, 0},
                         Row{form->Ed_SU, "System Uptime:", false, 0},
                         Row{form->Ed_SC, "System Contact:", true, 255},
                         Row{form->Ed_SN, "System Name:", true, 32},
                         Row{form->Ed_SL, "System Location:", true, 32}}) {
        SCOPED_TRACE(r.label);
        EXPECT_EQ(buddyCaption(form.get(), r.edit), r.label);
        EXPECT_EQ(r.edit->isEnabled(), r.editable);
        EXPECT_EQ(r.edit->isReadOnly(), !r.editable);
    }
    EXPECT_EQ(form->findChild<QPushButton*>("Btn_Re")->text(), "Refresh");
    EXPECT_EQ(form->findChild<QPushButton*>("Btn_Sa")->text(), "Save");

    expectTabOrderAndFixedSize(form.get(), {form->Ed_SC, form->Ed_SN, form->Ed_SL, form->Btn_Re, form->Btn_Sa});

    const auto journal = sim_->journal();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0], "GET v2c " + kSys + "1.0 " + kSys + "2.0 " + kSys + "3.0 " + kSys + "4.0 " + kSys +
                              "5.0 " + kSys + "6.0");

    // The user cannot type past the maximum length.
    for (const Row& r : {Row{form->Ed_SC, "contact", true, 255}, Row{form->Ed_SN, "name", true, 32},
                         Row{form->Ed_SL, "location", true, 32}}) {
        SCOPED_TRACE(r.label);
        typeInto(r.edit, QString(r.maxLength + 1, QLatin1Char('x')));
        EXPECT_EQ(r.edit->text().size(), r.maxLength);
    }
}

// Values longer than the boxes allow can only come from the device: they are
// shown whole, and Save refuses them in the fixed order until the user has
// shortened them.
TEST_F(InformationScreen, OverlongDeviceValuesAreShownWholeAndRefused)
{
    struct Case {
        int contact, name, location;
        const char* message;
    };
    const Case cases[] = {
        {256, 33, 33, "The Max Lengh of the SystemContact is 255."},
        {255, 33, 33, "The Max Lengh of the SystemName is 32."},
        {255, 32, 33, "The Max Lengh of the SystemLocation is 32."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        sim_->setValue(kSys + "4.0", 's', std::string(c.contact, 'c'));
        sim_->setValue(kSys + "5.0", 's', std::string(c.name, 'n'));
        sim_->setValue(kSys + "6.0", 's', std::string(c.location, 'l'));
        auto form = open();
        EXPECT_EQ(form->Ed_SC->text().size(), c.contact);
        EXPECT_EQ(form->Ed_SN->text().size(), c.name);
        EXPECT_EQ(form->Ed_SL->text().size(), c.location);
        dialogs_->clear();
        click(form->Btn_Sa);
        expectOneBox(c.message, "Error");
        EXPECT_EQ(form->focusWidget(), form->Btn_Sa) << "the focus stays where it was";
    }
    EXPECT_TRUE(sets().empty());

    // Shortening by one character is allowed; then the write goes out.
    auto form = open();
    form->Ed_SL->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->Ed_SL, Qt::Key_End);
    QTest::keyClick(form->Ed_SL, Qt::Key_Backspace);
    EXPECT_EQ(form->Ed_SL->text().size(), 32);
    click(form->Btn_Sa);
    ASSERT_TRUE(waitUntil([&] { return !status(*form).isEmpty(); }));
    EXPECT_EQ(status(*form), "Save OK!");
    EXPECT_EQ(sim_->value(kSys + "6.0"), "s:\"" + std::string(32, 'l') + "\"");
}

// The menu command: a new form for every opening, published while it is open,
// each one reading the device afresh.
TEST_F(InformationScreen, EachOpeningIsANewFormThatReadsTheDevice)
{
    for (int opening = 1; opening <= 2; ++opening) {
        sim_->setValue(kSys + "5.0", 's', "name-" + std::to_string(opening));
        QString shown;
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(FM_Information);
            EXPECT_TRUE(waitUntil([&] { return !FM_Information->InfoRequest->Busy; }));
            shown = FM_Information->Ed_SN->text();
            FM_Information->close();
        });
        openInformationScreen();
        EXPECT_EQ(FM_Information, nullptr);
        EXPECT_EQ(shown.toStdString(), "name-" + std::to_string(opening));
    }
    EXPECT_EQ(sim_->journal().size(), 2u);
}

// Each row breaks one or more rules; the first failing check in the fixed
// order is the one reported, and nothing is written.
TEST_F(InformationScreen, ChecksRunInOrderAndStopAtTheFirstFailure)
{
    struct Case {
        const char* contact;
        const char* name;
        const char* location;
        const char* message;
        const char* focus;
    };
    const Case cases[] = {
        {"", "", "", "The System Name field can not be blank!", "Ed_SN"},
        {"M\u00fcller", "", " hall", "The System Name field can not be blank!", "Ed_SN"},
        {"x", " AP", "hall", "The first character of System Name can not be blank!", "Ed_SN"},
        {"\u00e9", " AP", "h\u00e9", "The first character of System Name can not be blank!", "Ed_SN"},
        {"x", "AP", " hall", "The first character of Location can not be blank!", "Ed_SL"},
        {"x", "AP", "h\u00e9", "Please input valid Location!", "Ed_SL"},
        {"\u00e9", "AP\u00e9", "hall", "Please input valid System Name!", "Ed_SN"},
        {"\u00e9", "AP", "h\u00e9", "Please input valid Location!", "Ed_SL"},
        {"M\u00fcller", "AP", "hall", "Please input valid System Contact!", "Ed_SC"},
    };
    auto form = open();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.contact) + "|" + c.name + "|" + c.location);
        dialogs_->clear();
        fill(*form, QString::fromUtf8(c.contact), QString::fromUtf8(c.name), QString::fromUtf8(c.location));
        click(form->Btn_Sa);
        expectOneBox(c.message, "Warning");
        ASSERT_TRUE(form->focusWidget());
        EXPECT_EQ(form->focusWidget()->objectName(), c.focus);
        // The refused text stays for the user to correct.
        EXPECT_EQ(form->Ed_SN->text(), QString::fromUtf8(c.name));
    }
    QTest::qWait(100);
    EXPECT_TRUE(sets().empty());
}

// Trailing blanks, empty contact and location and a 32-character name pass;
// only the three writable variables go out, in one set request.
TEST_F(InformationScreen, SaveWritesContactNameAndLocationAndReportsTheAnswer)
{
    auto form = open();
    const QString name32 = QString(31, QLatin1Char('n')) + QLatin1Char(' ');
    fill(*form, QString(), name32 + QStringLiteral("overflow"), QString());
    EXPECT_EQ(form->Ed_SN->text(), name32) << "the box takes no 33rd character";

    click(form->Btn_Sa);
    EXPECT_TRUE(dialogs_->shown.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return !status(*form).isEmpty(); }));
    EXPECT_EQ(status(*form), "Save OK!");

    const std::string name = name32.toStdString();
    ASSERT_EQ(sets().size(), 1u);
    EXPECT_EQ(sets()[0], "SET v2c " + kSys + "4.0=s:\"\" " + kSys + "5.0=s:\"" + name + "\" " + kSys + "6.0=s:\"\"");
    EXPECT_EQ(sim_->value(kSys + "5.0"), "s:\"" + name + "\"");
}

TEST_F(InformationScreen, RefreshShowsTheDeviceValuesOnceTheyArrive)
{
    auto form = open();
    sim_->setValue(kSys + "5.0", 's', "renamed");
    typeInto(form->Ed_SL, QStringLiteral("typed"));
    click(form->Btn_Re);
    ASSERT_TRUE(waitUntil([&] { return !status(*form).isEmpty(); }));
    EXPECT_EQ(status(*form), "Get OK!");
    EXPECT_EQ(form->Ed_SN->text(), "renamed");
    EXPECT_EQ(form->Ed_SL->text(), "hall");
}

// A request that fails after it was sent is reported with the error's
// message, never with "Get OK!" / "Save OK!"; the boxes keep their text.
TEST_F(InformationScreen, FailedAnswersAreReportedInsteadOfSuccess)
{
    struct Case {
        const char* what;
        std::function<void()> breakDevice;
        std::string saveMessage;
        std::string refreshMessage;
    };
    const std::string timeout = VtMapOutcome(-5).second;
    const Case cases[] = {
        {"silent device", [] { sim_->setSilent(true); }, timeout, timeout},
        {"refused write", [] { sim_->injectError(kSys + "5.0", 17); }, VtMapOutcome(17).second,
         VtMapOutcome(17).second},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto form = open();
        form->InfoRequest->Request.Timeout = 20;  // 0.2 s per try keeps the test short
        c.breakDevice();
        typeInto(form->Ed_SN, QStringLiteral("new-name"));

        click(form->Btn_Sa);
        ASSERT_TRUE(waitUntil([&] { return !status(*form).isEmpty(); }));
        EXPECT_EQ(status(*form).toStdString(), c.saveMessage);

        click(form->Btn_Re);
        ASSERT_TRUE(waitUntil([&] { return !status(*form).isEmpty(); }));
        EXPECT_EQ(status(*form).toStdString(), c.refreshMessage);
        EXPECT_EQ(form->Ed_SN->text(), "new-name");
        EXPECT_EQ(form->Ed_SD->text(), "KSR-4710 Wireless Access Point");

        sim_->setSilent(false);
        sim_->injectError(kSys + "5.0", 0);
    }
    EXPECT_EQ(sim_->value(kSys + "5.0"), "s:\"ap-office\"");
}

// Closing the screen while its write is still out: the late outcome is
// dropped instead of reaching a form that no longer exists.
TEST_F(InformationScreen, ClosingWithARequestOutstandingIsSafe)
{
    auto form = open();
    form->InfoRequest->Request.Timeout = 20;
    sim_->setSilent(true);
    click(form->Btn_Sa);
    form.reset();
    QTest::qWait(500);
    sim_->setSilent(false);
    EXPECT_TRUE(dialogs_->shown.isEmpty());
}

}  // namespace
