#include "Lan.h"

#include "MainArrays.h"
#include "ScreenForm.h"
#include "ScreenLauncher.h"
#include "SharedChecks.h"
#include "VtEdit.h"
#include "VtListView.h"  // completes the type VtSNMPRequest2Edits.h names
#include "VtSNMPRequest2Edits.h"
#include "VtStatusBar.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

const VtOptionPair LanGetIPFromTable[] = {
    {1, "Static IP(Manual)"},
    {2, "Dynamic IP(DHCP)"},
    {0, nullptr},
};
const VtOptionList LanOptGetIPFrom(LanGetIPFromTable);

// Fixed list: the OID already ends in the instance.
const VtSNMPVariable LanModeVars[] = {
    {VT_DEVICE_ROOT ".2.1.1.1.1.1.1", "hGetIPFrom", VT_SYNTAX_INTEGER, VT_ACCESS_READWRITE, &LanOptGetIPFrom},
    {nullptr, nullptr, 0, 0, nullptr},
};
// The address request is the main window's: MainAddressVars (hIPAddress,
// hSubnetMask, hDefaultGateway), also a fixed list.

constexpr int kLanTimeout = 1000;  // 10 s per try
constexpr int kAddressMaxLength = 15;
const QString kNoGateway = QStringLiteral("0.0.0.0");

// Blocking writes in the order given, up to the first that fails (an
// exception counts as a failure).
bool saveInOrder(std::initializer_list<VtSNMPRequest2Edits*> requests)
{
    try {
        for (VtSNMPRequest2Edits* r : requests)
            if (!r->Save(true, true))
                return false;
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

// The number before the first dot; 0 when it is not a number.
int firstNumber(const QString& address)
{
    return address.section(QLatin1Char('.'), 0, 0).toInt();
}

}  // namespace

TFM_LanCfg* FM_LanCfg = nullptr;

void openLanScreen()
{
    launchScreen(FM_LanCfg);
}

TFM_LanCfg::TFM_LanCfg(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FM_LanCfg"));

    constexpr int kEditWidth = 140;
    CB_IPFrom = new QComboBox(this);
    CB_IPFrom->setObjectName(QStringLiteral("CB_IPFrom"));
    ED_IpAddr = ScreenForm::newEdit(this, "ED_IpAddr", kEditWidth);
    ED_SubMask = ScreenForm::newEdit(this, "ED_SubMask", kEditWidth);
    ED_DefGw = ScreenForm::newEdit(this, "ED_DefGw", kEditWidth);
    BT_LanCfgOk = ScreenForm::newButton(this, "BT_LanCfgOk", QStringLiteral("Save"));
    BT_LanCfgCancel = ScreenForm::newButton(this, "BT_LanCfgCancel", QStringLiteral("Cancel"));
    StatusBar = ScreenForm::newStatusBar(this);
    StatusBar->addPanel(50);

    auto* grid = new QGridLayout;
    ScreenForm::addRow(grid, 0, QStringLiteral("Get IP From"), CB_IPFrom);
    La_IpAddr = ScreenForm::addRow(grid, 1, QStringLiteral("IP Address"), ED_IpAddr);
    La_SubMask = ScreenForm::addRow(grid, 2, QStringLiteral("Subnet Mask"), ED_SubMask);
    La_DefGw = ScreenForm::addRow(grid, 3, QStringLiteral("Default Gateway"), ED_DefGw);
    // Hiding the address rows for DHCP must not move the buttons.
    for (QWidget* w : addressControls()) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    ScreenForm::layOut(this, grid, {BT_LanCfgOk, BT_LanCfgCancel}, StatusBar);

    ScreenForm::setTabOrder({CB_IPFrom, ED_IpAddr, ED_SubMask, ED_DefGw, BT_LanCfgOk, BT_LanCfgCancel});
    ScreenForm::fixDialogFrame(this, QStringLiteral("Home \\ LAN"));
    ScreenForm::centreOnMainWindow(this);

    // activated: the user's choice only, not the item the load selects.
    connect(CB_IPFrom, &QComboBox::activated, this, &TFM_LanCfg::CB_IPFromChange);
    connect(BT_LanCfgOk, &QPushButton::clicked, this, &TFM_LanCfg::BT_LanCfgOkClick);
    connect(BT_LanCfgCancel, &QPushButton::clicked, this, &TFM_LanCfg::BT_LanCfgCancelClick);

    FormCreate();
}

TFM_LanCfg::~TFM_LanCfg() = default;

void TFM_LanCfg::FormCreate()
{
    // Both objects exist whatever happens below, so Save never meets a
    // missing request.
    ModeRequest = new VtSNMPRequest2Edits(this);
    ModeRequest->Request.VarList = VtSNMPVarList(LanModeVars, MVT_SV);
    ModeRequest->Asynchronous = false;
    ModeRequest->Request.Timeout = kLanTimeout;

    AddressRequest = new VtSNMPRequest2Edits(this);
    AddressRequest->Request.VarList = VtSNMPVarList(MainAddressVars, MVT_SV);
    AddressRequest->Asynchronous = false;
    AddressRequest->Request.Timeout = kLanTimeout;

    try {
        ModeRequest->BindComboBox(0, CB_IPFrom);
        ModeRequest->Load();

        AddressRequest->BindFormatted(0, QStringLiteral("%s"), ED_IpAddr);
        AddressRequest->BindFormatted(1, QStringLiteral("%s"), ED_SubMask);
        AddressRequest->BindFormatted(2, QStringLiteral("%s"), ED_DefGw);
        // The bar shows panels, so its panel is where a result line is seen.
        AddressRequest->SetLogTarget(StatusBar->panel(0));
        if (AddressRequest->Load()) {
            // A mode that could not be read leaves the device taken as static.
            const int mode = CB_IPFrom->currentIndex();
            if (mode == ModeStatic || mode == ModeDynamic)
                LoadedMode = mode;
            ShowAddressControls();
        }
    } catch (const std::exception& e) {
        ShowStatus(QString::fromStdString(e.what()));
    }

    for (VtEdit* e : {ED_IpAddr, ED_SubMask, ED_DefGw})
        ScreenForm::setMaxLength(e, kAddressMaxLength);
    ClearZeroGateway();
}

void TFM_LanCfg::CB_IPFromChange()
{
    ShowAddressControls();
}

std::array<QWidget*, 6> TFM_LanCfg::addressControls() const
{
    return {La_IpAddr, ED_IpAddr, La_SubMask, ED_SubMask, La_DefGw, ED_DefGw};
}

void TFM_LanCfg::ShowAddressControls()
{
    const int mode = CB_IPFrom->currentIndex();
    if (mode != ModeStatic && mode != ModeDynamic)
        return;
    for (QWidget* w : addressControls())
        w->setVisible(mode == ModeStatic);
}

void TFM_LanCfg::BT_LanCfgOkClick()
{
    // With no mode chosen (its read failed) there is nothing to decide by.
    switch (CB_IPFrom->currentIndex()) {
    case ModeStatic:
        if (!CheckAddresses())
            return;
        if (ED_DefGw->text().isEmpty())
            ED_DefGw->setText(kNoGateway);
        ShowStatus(WriteStatic() ? QStringLiteral("Set OK!") : QStringLiteral("Set Error!"));
        break;
    case ModeDynamic:
        if (LoadedMode == ModeStatic)
            ShowStatus(WriteDynamic() ? QStringLiteral("Set OK!") : QStringLiteral("Set Error!"));
        break;
    }
    ClearZeroGateway();
}

bool TFM_LanCfg::WriteStatic()
{
    // From DHCP the mode goes first; the addresses follow only once the
    // device has taken it.
    const bool ok = LoadedMode == ModeDynamic ? saveInOrder({ModeRequest, AddressRequest})
                                              : saveInOrder({AddressRequest});
    if (ok)
        LoadedMode = ModeStatic;
    return ok;
}

bool TFM_LanCfg::WriteDynamic()
{
    const bool ok = saveInOrder({ModeRequest});
    if (ok)
        LoadedMode = ModeDynamic;
    return ok;
}

bool TFM_LanCfg::CheckAddresses()
{
    const QString address = ED_IpAddr->text();
    const QString mask = ED_SubMask->text();
    const QString gateway = ED_DefGw->text();
    const bool addressFitsMask =
        firstNumber(address) < firstNumber(mask) && SharedChecks::addressAndMask(address, mask);
    return ScreenForm::passChecks(
        this,
        {
            {!SharedChecks::hostAddress(address), "Please input valid IP Address.", "Warning", ED_IpAddr},
            {!SharedChecks::subnetMask(mask), "Please input valid Subnet Mask.", "Warning", ED_SubMask},
            {!addressFitsMask, "Please input valid IP Address.", "Warning", ED_IpAddr},
            {!gateway.isEmpty() && !SharedChecks::hostAddress(gateway), "Invalid gateway address !", "Warning",
             ED_DefGw},
        },
        true);
}

void TFM_LanCfg::BT_LanCfgCancelClick()
{
    reject();
}

void TFM_LanCfg::ClearZeroGateway()
{
    if (ED_DefGw->text() == kNoGateway)
        ED_DefGw->clear();
}

void TFM_LanCfg::ShowStatus(const QString& text)
{
    StatusBar->setPanelText(0, text);
}
