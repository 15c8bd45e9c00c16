// The wait dialog driven tick by tick, with a lamp standing in for the main
// window's 2.4 GHz lamp.
#include "LedLamp.h"
#include "Wait.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class WaitDialog : public ::testing::Test {
protected:
    void SetUp() override { TFM_Waiting::setAnswerLamp(&lamp); }
    void TearDown() override { TFM_Waiting::setAnswerLamp(nullptr); }

    // A dialog as Save and Activate sets it up, shown modeless so that the
    // test can tick it.
    std::unique_ptr<TFM_Waiting> countdown(int remaining)
    {
        auto dialog = std::make_unique<TFM_Waiting>();
        dialog->Remaining = remaining;
        dialog->SendReboot = false;
        dialog->show();
        return dialog;
    }

    LedLamp lamp;
};

TEST_F(WaitDialog, DesignStateAndCurrentInstance)
{
    EXPECT_EQ(TFM_Waiting::current(), nullptr);
    {
        TFM_Waiting dialog;
        EXPECT_EQ(TFM_Waiting::current(), &dialog);
        EXPECT_EQ(dialog.windowTitle(), "Please wait");
        EXPECT_EQ(dialog.size(), QSize(253, 69));
        EXPECT_EQ(dialog.Label2->text(), "Settings saved.");
        EXPECT_EQ(dialog.Label3->text(), "The device is restarting.");
        EXPECT_EQ(dialog.Label1->text(), "Please wait for");
        EXPECT_EQ(dialog.La_Time->text(), "");
        EXPECT_EQ(dialog.seconds->text(), "seconds.");
        EXPECT_EQ(dialog.Remaining, 25);
        EXPECT_TRUE(dialog.SendReboot);
        EXPECT_EQ(dialog.Timer1->interval(), 1200);
        EXPECT_TRUE(dialog.Timer1->isActive());
    }
    EXPECT_EQ(TFM_Waiting::current(), nullptr);
}

TEST_F(WaitDialog, CountsDownThenClosesOnTheFirstTickThatSeesTheLampLit)
{
    auto dialog = countdown(20);
    // The device keeps answering, the lamp flashes: dark on even ticks.
    for (int tick = 1; tick <= 19; ++tick) {
        lamp.setColor(tick % 2 ? LedLamp::Lit : LedLamp::Dark);
        dialog->Timer1Timer();
        EXPECT_EQ(dialog->La_Time->text(), QString::number(20 - tick));
        EXPECT_TRUE(dialog->isVisible()) << tick;
    }
    lamp.setColor(LedLamp::Dark);  // 20th tick: lamp dark, the count holds
    dialog->Timer1Timer();
    EXPECT_EQ(dialog->La_Time->text(), "1");
    EXPECT_EQ(dialog->StalledTicks, 1);
    EXPECT_TRUE(dialog->isVisible());
    lamp.setColor(LedLamp::Lit);  // 21st tick: seen answering
    dialog->Timer1Timer();
    EXPECT_EQ(dialog->La_Time->text(), "0");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->Timer1->isActive());
}

TEST_F(WaitDialog, SilentDeviceHoldsAtOneForSixTicksAndRefusesCloseForThree)
{
    auto dialog = countdown(3);
    lamp.setColor(LedLamp::Dark);
    dialog->Timer1Timer();
    dialog->Timer1Timer();
    EXPECT_EQ(dialog->La_Time->text(), "1");

    // The user's close (close box or Escape) is refused while counting.
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    for (int stalled = 1; stalled <= 2; ++stalled) {
        dialog->Timer1Timer();
        dialog->reject();
        EXPECT_TRUE(dialog->isVisible()) << stalled;
    }
    dialog->Timer1Timer();  // third stalled tick: the user may give up
    EXPECT_EQ(dialog->StalledTicks, 3);
    EXPECT_TRUE(dialog->isVisible());
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->Remaining, 0);

    // Left alone, the stall limit closes it on the sixth stalled tick.
    auto alone = countdown(1);
    for (int stalled = 1; stalled <= 5; ++stalled) {
        alone->Timer1Timer();
        EXPECT_TRUE(alone->isVisible()) << stalled;
    }
    alone->Timer1Timer();
    EXPECT_FALSE(alone->isVisible());
    EXPECT_EQ(alone->La_Time->text(), "");  // never counted below the caller's 1
}

TEST_F(WaitDialog, BusyNoteShowsNoCountAndDisablesItsCaller)
{
    QWidget caller;
    caller.show();
    auto* note = new TFM_Waiting(&caller);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    note->showBusyNote(&caller, QString(), "Installing the firmware...");
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->Label2->text(), "Please wait...");
    EXPECT_EQ(note->Label3->text(), "Installing the firmware...");
    EXPECT_TRUE(note->Label1->isHidden());
    EXPECT_TRUE(note->seconds->isHidden());
    EXPECT_FALSE(note->Timer1->isActive());
    EXPECT_FALSE(note->SendReboot);
    EXPECT_FALSE(caller.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    note->close();  // the user cannot remove it
    EXPECT_TRUE(note->isVisible());

    // A completion handler ends it through the process-wide instance.
    EXPECT_EQ(TFM_Waiting::current(), note);
    TFM_Waiting::finishBusyNote(&caller);
    EXPECT_EQ(TFM_Waiting::current(), nullptr);
    EXPECT_TRUE(caller.isEnabled());
    TFM_Waiting::finishBusyNote(&caller);  // nothing left: harmless
}

}  // namespace
