// TMainForm: the front panel, the LED poll and blink, the value holders and
// the start-up reads that fill them.
#include "Main.h"

#include "FrontPanel.h"
#include "LedLamp.h"
#include "MainArrays.h"
#include "Trace.h"
#include "VtEdit.h"
#include "VtMessages.h"
#include "VtRequest.h"
#include "VtSNMPRequest2Edits.h"
#include "Wait.h"

#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

namespace {

constexpr int kBlinking = 1;      // LED-enable item "blinking"
constexpr int kDisabled = 0;  // LED-enable item "disable"
constexpr int kWirelessClientItem = 3;

void setLamp(LedLamp* lamp, QRgb color, bool visible)
{
    lamp->setColor(color);
    lamp->setVisible(visible);
}

// A wireless lamp: flashes while its LED is enabled on the device, otherwise
// dark and hidden.
void blinkWirelessLamp(LedLamp* lamp, const QComboBox* enable)
{
    if (enable->currentIndex() == kBlinking)
        setLamp(lamp, lamp->color() == LedLamp::Dark ? LedLamp::Lit : LedLamp::Dark, true);
    else
        setLamp(lamp, LedLamp::Dark, false);
}

// A holder that has not been read shows no item (filling a combo box selects
// its first entry, which would read as "disable" or "nothing").
void unselect(std::initializer_list<QComboBox*> boxes)
{
    for (QComboBox* box : boxes)
        box->setCurrentIndex(-1);
}

}  // namespace

void TMainForm::BuildFrontPanel()
{
    QWidget* panel = centralWidget();
    Image1 = new QLabel(panel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 318, 441);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap::fromImage(FrontPanel::picture()));

    const auto makeLamp = [panel](const char* name, QPoint at) {
        auto* lamp = new LedLamp(panel);
        lamp->setObjectName(QString::fromLatin1(name));
        lamp->move(at);
        lamp->raise();
        return lamp;
    };
    LED_APstatus = makeLamp("LED_APstatus", FrontPanel::LanLamp);
    LED_24GLan = makeLamp("LED_24GLan", FrontPanel::Wlan24Lamp);
    LED_5GLan = makeLamp("LED_5GLan", FrontPanel::Wlan5Lamp);
    LED_Power = makeLamp("LED_Power", FrontPanel::PowerLamp);
    TFM_Waiting::setAnswerLamp(LED_24GLan);
}

void TMainForm::BuildHolders()
{
    QWidget* panel = centralWidget();
    const auto makeEdit = [panel](const char* name) {
        auto* edit = new VtEdit(panel);
        edit->setObjectName(QString::fromLatin1(name));
        edit->hide();
        return edit;
    };
    const auto makeCombo = [panel](const char* name) {
        auto* box = new QComboBox(panel);
        box->setObjectName(QString::fromLatin1(name));
        box->hide();
        return box;
    };
    IPAddressEdit = makeEdit("IPAddressEdit");
    SubMaskEdit = makeEdit("SubMaskEdit");
    Ed_SysIpaddress = makeEdit("Ed_SysIpaddress");
    Cbox_SaveAct = makeCombo("Cbox_SaveAct");
    Cbox_Discard = makeCombo("Cbox_Discard");
    Cbox_Restart = makeCombo("Cbox_Restart");
    CB_Led2dot4G = makeCombo("CB_Led2dot4G");
    CB_Led5G = makeCombo("CB_Led5G");
    CB_LedLan = makeCombo("CB_LedLan");
    CB_ApMode = makeCombo("CB_ApMode");
}

// --- LED poll

void TMainForm::StartStatusPoll()
{
    statusRequest_ = std::make_unique<VtSNMPRequest>();
    statusRequest_->VarList = VtSNMPVarList(MainStatusVars, SVT_SV);
    // Only a send that fails at once reports here; answers and time-outs
    // reach LedStatusDone from the pump.
    statusRequest_->OnResult = [this](VtSNMPError* error) {
        if (error && error->Code != 0) {
            ShowPollFailure(error->Message);
            LedStatus->start();
        }
    };
    LedStatusTimer();
}

void TMainForm::LedStatusTimer()
{
    if (!statusRequest_)
        return;
    // One poll in flight at a time: the timer rests until it completes.
    LedStatus->stop();
    statusRequest_->Timeout = StatusPollTimeout;
    try {
        statusRequest_->ReadAsync([this](VtSNMPError& result, VtSNMPVarList&) { LedStatusDone(result); }, true);
    } catch (const VtException& e) {
        ShowPollFailure(e.what());
        LedStatus->start();
    }
}

void TMainForm::ShowPollFailure(const std::string& message)
{
    for (LedLamp* lamp : {LED_APstatus, LED_24GLan, LED_5GLan, LED_Power})
        setLamp(lamp, LedLamp::Dark, true);
    // The device was not reached: keep the blink step from lighting the
    // lamps again before the next poll says otherwise.
    DeviceAnswering = false;
    SetStatusText(QString::fromStdString(message));
}

void TMainForm::LedStatusDone(const VtSNMPError& result)
{
    if (result.Code != 0) {
        ShowPollFailure(result.Message);
    } else {
        DeviceAnswering = true;
        SetStatusText(QString::fromStdString(VtResultLogLine(0, result.Message)));
        LedBlinkTimer();
    }
    LedStatus->start();
}

void TMainForm::LedBlinkTimer()
{
    if (!DeviceAnswering)
        return;
    if (!LedBlink->isActive())
        LedBlink->start();

    setLamp(LED_Power, LedLamp::Lit, true);

    LED_APstatus->show();
    if (CB_LedLan->currentIndex() == kBlinking)
        LED_APstatus->setColor(LedLamp::Lit);
    else if (CB_LedLan->currentIndex() == kDisabled)
        setLamp(LED_APstatus, LedLamp::Dark, false);

    blinkWirelessLamp(LED_24GLan, CB_Led2dot4G);
    blinkWirelessLamp(LED_5GLan, CB_Led5G);

    // No address read lately: the device's activity is unknown.
    if (IPAddressEdit->text().isEmpty())
        for (LedLamp* lamp : {LED_24GLan, LED_5GLan, LED_APstatus})
            setLamp(lamp, LedLamp::Dark, false);
}

// --- value holders

void TMainForm::Timer1Timer()
{
    // Emptied every seventh tick, just before a new read: when the device
    // stops answering they stay empty and the activity lamps go out.
    if (Timer1Ticks == 7) {
        IPAddressEdit->clear();
        SubMaskEdit->clear();
        Timer1Ticks = 0;
    }
    if (addressRequest_)
        addressRequest_->Load();
    if (ledRequest_)
        ledRequest_->Load();
    ++Timer1Ticks;
}

void TMainForm::ReadStartupValues()
{
    const auto makeRequest = [this](const VtSNMPVariable* array, uint8_t kind, bool asynchronous, int timeout) {
        auto* request = new VtSNMPRequest2Edits(this);
        request->Request.VarList = VtSNMPVarList(array, kind);
        request->Asynchronous = asynchronous;
        if (timeout > 0)
            request->Request.Timeout = timeout;
        return request;
    };
    // A read that fails is left to the binding object; start-up goes on.
    const auto load = [](VtSNMPRequest2Edits* request) {
        try {
            return request->Load();
        } catch (const VtException& e) {
            ksr::trace("start-up read failed: %s", e.what());
            return false;
        }
    };

    addressRequest_ = makeRequest(MainAddressVars, MVT_SV, true, 0);
    addressRequest_->BindFormatted(0, QStringLiteral("%s"), IPAddressEdit);
    addressRequest_->BindFormatted(1, QStringLiteral("%s"), SubMaskEdit);
    load(addressRequest_);

    interfaceRequest_ = makeRequest(MainInterfaceAddressVars, MVT_SV, false, 1000);
    interfaceRequest_->BindFormatted(0, QStringLiteral("%s"), Ed_SysIpaddress);
    load(interfaceRequest_);

    commitRequest_ = makeRequest(MainCommitVars, SVT_SV, false, 10000);
    commitRequest_->BindComboBox(0, Cbox_SaveAct);
    commitRequest_->BindComboBox(1, Cbox_Discard);
    commitRequest_->BindComboBox(2, Cbox_Restart);
    unselect({Cbox_SaveAct, Cbox_Discard, Cbox_Restart});
    commitRequest_->Request.OnResult = [this](VtSNMPError* error) {
        if (error && error->Code != 0)
            commitError_ = error->Message;
    };
    load(commitRequest_);

    ledRequest_ = makeRequest(MainLedEnableVars, MVT_SV, true, 0);
    ledRequest_->BindComboBox(0, CB_Led2dot4G);
    ledRequest_->BindComboBox(1, CB_Led5G);
    ledRequest_->BindComboBox(2, CB_LedLan);
    unselect({CB_Led2dot4G, CB_Led5G, CB_LedLan});
    load(ledRequest_);

    apModeRequest_ = makeRequest(MainApModeVars, MVT_SV, false, 1000);
    apModeRequest_->BindComboBox(0, CB_ApMode);
    unselect({CB_ApMode});
    const bool apModeRead = load(apModeRequest_);
    SetArpSpoofingVisible(!(apModeRead && CB_ApMode->currentIndex() == kWirelessClientItem));
}
