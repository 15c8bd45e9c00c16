// TMainForm: the menu bar, the screens behind it, the two commit commands and
// About.
#include "Main.h"

#include "About.h"
#include "Dialogs.h"
#include "Information.h"
#include "Lan.h"
#include "MainMenu.h"
#include "ScreenLauncher.h"
#include "VtSNMPRequest2Edits.h"
#include "Wait.h"

#include <QAction>
#include <QComboBox>

#include <memory>

void TMainForm::BuildMenu()
{
    menu_ = std::make_unique<MainMenu>(menuBar());
    menu_->setCommand(QString::fromLatin1(MainCmdSaveAndActivate), [this] { SaveAndActivateClick(); });
    menu_->setCommand(QString::fromLatin1(MainCmdDiscardChanges), [this] { DiscardChangesClick(); });
    menu_->setCommand(QString::fromLatin1(MainCmdAbout), [this] { AboutClick(); });
    ConnectScreens();
}

// Every feature screen opens through launchScreen with its process-wide
// reference, e.g.
//     menu_->setCommand("TFM_LanCfg", [] { launchScreen(FM_LanCfg); });
// An item without a command stays in the menu, disabled.
void TMainForm::ConnectScreens()
{
    menu_->setCommand(QStringLiteral("TFM_Information"), [] { openInformationScreen(); });
    menu_->setCommand(QStringLiteral("TFM_LanCfg"), [] { openLanScreen(); });
}

void TMainForm::SetArpSpoofingVisible(bool visible)
{
    if (QAction* item = menu_ ? menu_->action(QStringLiteral("TFM_ARPSpoofing")) : nullptr)
        item->setVisible(visible);
}

void TMainForm::DiscoverLocalAddresses()
{
    localAddresses_.discover();
}

bool TMainForm::WriteCommit(int apply, int discard, int restart)
{
    if (!commitRequest_)
        return false;
    Cbox_SaveAct->setCurrentIndex(apply);
    Cbox_Discard->setCurrentIndex(discard);
    Cbox_Restart->setCurrentIndex(restart);
    commitError_.clear();
    bool written = false;
    try {
        written = commitRequest_->Save(true, true);
    } catch (const VtException& e) {
        commitError_ = e.what();
    }
    // A refused or unanswered commit changed nothing on the device: say so
    // instead of waiting for a restart that will not come.
    if (!written) {
        Dialogs::messageBox(this, QString::fromStdString(commitError_), QStringLiteral("Error"));
        return false;
    }
    return true;
}

void TMainForm::RunCountdown(int remaining, const QString& first, const QString& second)
{
    auto wait = std::make_unique<TFM_Waiting>(this);
    wait->Remaining = remaining;
    wait->SendReboot = false;
    wait->setLines(first, second);
    wait->exec();
}

void TMainForm::SaveAndActivateClick()
{
    if (WriteCommit(1, 0, 0))
        RunCountdown(20, QStringLiteral("The device is activate..."), QStringLiteral("Please DO NOT POWER OFF the device"));
}

void TMainForm::DiscardChangesClick()
{
    if (WriteCommit(0, 1, 0))
        RunCountdown(50, QStringLiteral("The device is rebooting..."), QStringLiteral("Please DO NOT POWER OFF the device"));
}

void TMainForm::AboutClick()
{
    TAboutForm about(this);
    about.exec();
}
