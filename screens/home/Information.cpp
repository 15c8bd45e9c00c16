#include "Information.h"

#include "ScreenForm.h"
#include "ScreenLauncher.h"
#include "SharedChecks.h"
#include "VtEdit.h"
#include "VtListView.h"  // completes the type VtSNMPRequest2Edits.h names
#include "VtSNMPRequest2Edits.h"
#include "VtStatusBar.h"

#include <QGridLayout>
#include <QPushButton>

namespace {

// MIB-II system group, read and written as scalars (".0").
const VtSNMPVariable InformationVars[] = {
    {"1.3.6.1.2.1.1.1", "systemDescr", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READONLY, nullptr},
    {"1.3.6.1.2.1.1.2", "systemObjectID", VT_SYNTAX_OBJECTID, VT_ACCESS_READONLY, nullptr},
    {"1.3.6.1.2.1.1.3", "systemUpTime", VT_SYNTAX_TIMETICKS, VT_ACCESS_READONLY, nullptr},
    {"1.3.6.1.2.1.1.4", "systemContact", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READWRITE, nullptr},
    {"1.3.6.1.2.1.1.5", "systemName", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READWRITE, nullptr},
    {"1.3.6.1.2.1.1.6", "systemLocation", VT_SYNTAX_DISPLAYSTR, VT_ACCESS_READWRITE, nullptr},
    {nullptr, nullptr, 0, 0, nullptr},
};

constexpr int kInfoTimeout = 3000;  // 30 s per try
constexpr int kContactMaxLength = 255;
constexpr int kNameMaxLength = 32;
constexpr int kLocationMaxLength = 32;

// Shown only: disabled, read-only and drawn in the button-face colour.
void makeDisplayOnly(VtEdit* edit)
{
    edit->setReadOnly(true);
    edit->setEnabled(false);
    QPalette p = edit->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, p.color(group, QPalette::Button));
    edit->setPalette(p);
}

}  // namespace

TFM_Information* FM_Information = nullptr;

void openInformationScreen()
{
    launchScreen(FM_Information);
}

TFM_Information::TFM_Information(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FM_Information"));

    constexpr int kEditWidth = 260;
    Ed_SD = ScreenForm::newEdit(this, "Ed_SD", kEditWidth);
    Ed_SO = ScreenForm::newEdit(this, "Ed_SO", kEditWidth);
    Ed_SU = ScreenForm::newEdit(this, "Ed_SU", kEditWidth);
    Ed_SC = ScreenForm::newEdit(this, "Ed_SC", kEditWidth);
    Ed_SN = ScreenForm::newEdit(this, "Ed_SN", kEditWidth);
    Ed_SL = ScreenForm::newEdit(this, "Ed_SL", kEditWidth);
    for (VtEdit* e : {Ed_SD, Ed_SO, Ed_SU})
        makeDisplayOnly(e);
    Btn_Re = ScreenForm::newButton(this, "Btn_Re", QStringLiteral("Refresh"));
    Btn_Sa = ScreenForm::newButton(this, "Btn_Sa", QStringLiteral("Save"));
    StatusBar = ScreenForm::newStatusBar(this);
    StatusBar->setSimplePanel(true);

    auto* grid = new QGridLayout;
    ScreenForm::addRow(grid, 0, QStringLiteral("System Description:"), Ed_SD);
    ScreenForm::addRow(grid, 1, QStringLiteral("System Object ID:"), Ed_SO);
    ScreenForm::addRow(grid, 2, QStringLiteral("System Uptime:"), Ed_SU);
    ScreenForm::addRow(grid, 3, QStringLiteral("System Contact:"), Ed_SC);
    ScreenForm::addRow(grid, 4, QStringLiteral("System Name:"), Ed_SN);
    ScreenForm::addRow(grid, 5, QStringLiteral("System Location:"), Ed_SL);
    ScreenForm::layOut(this, grid, {Btn_Re, Btn_Sa}, StatusBar);

    ScreenForm::setTabOrder({Ed_SD, Ed_SO, Ed_SU, Ed_SC, Ed_SN, Ed_SL, Btn_Re, Btn_Sa});
    ScreenForm::fixDialogFrame(this, QStringLiteral("Home \\ Information"));

    connect(Btn_Re, &QPushButton::clicked, this, &TFM_Information::Btn_ReClick);
    connect(Btn_Sa, &QPushButton::clicked, this, &TFM_Information::Btn_SaClick);

    FormCreate();
}

TFM_Information::~TFM_Information()
{
    // The request outlives this part of the form (it is a child object) and
    // may still be waiting for an answer: nothing may call back into the form.
    InfoRequest->OnLoadDone = nullptr;
    InfoRequest->OnSaveDone = nullptr;
    InfoRequest->Request.OnResult = nullptr;
}

void TFM_Information::FormCreate()
{
    InfoRequest = new VtSNMPRequest2Edits(this);
    InfoRequest->Request.VarList = VtSNMPVarList(InformationVars, SVT_SV);
    InfoRequest->Request.Timeout = kInfoTimeout;
    // The completion events carry the outcome of the answer; a send that
    // fails at once is reported through OnResult instead.
    InfoRequest->Request.OnResult = [this](VtSNMPError* result) { InfoResult(result); };
    InfoRequest->OnLoadDone = [this](VtSNMPRequest2Controls* s, VtSNMPError& r) { InfoLoadDone(s, r); };
    InfoRequest->OnSaveDone = [this](VtSNMPRequest2Controls* s, VtSNMPError& r) { InfoSaveDone(s, r); };
    try {
        VtEdit* const edits[] = {Ed_SD, Ed_SO, Ed_SU, Ed_SC, Ed_SN, Ed_SL};
        for (int i = 0; i < 6; ++i)
            InfoRequest->BindFormatted(i, QStringLiteral("%s"), edits[i]);
        InfoRequest->SetLogTarget(StatusBar);
        InfoRequest->Load();
    } catch (const std::exception& e) {
        ShowStatus(QString::fromStdString(e.what()));
    }
    // Binding lifts the maximum lengths; they are set once bound.
    ScreenForm::setMaxLength(Ed_SC, kContactMaxLength);
    ScreenForm::setMaxLength(Ed_SN, kNameMaxLength);
    ScreenForm::setMaxLength(Ed_SL, kLocationMaxLength);
}

void TFM_Information::Btn_ReClick()
{
    ShowStatus(QString());
    try {
        InfoRequest->Load();
    } catch (const std::exception& e) {
        ShowStatus(QString::fromStdString(e.what()));
    }
}

void TFM_Information::Btn_SaClick()
{
    if (!CheckInput())
        return;
    ShowStatus(QString());
    try {
        InfoRequest->Save(true, true);
    } catch (const std::exception& e) {
        ShowStatus(QString::fromStdString(e.what()));
    }
}

bool TFM_Information::CheckInput()
{
    const QString contact = Ed_SC->text();
    const QString name = Ed_SN->text();
    const QString location = Ed_SL->text();
    return ScreenForm::passChecks(
        this,
        {
            {name.isEmpty(), "The System Name field can not be blank!", "Warning", Ed_SN},
            {contact.size() > kContactMaxLength, "The Max Lengh of the SystemContact is 255.", "Error", nullptr},
            {name.size() > kNameMaxLength, "The Max Lengh of the SystemName is 32.", "Error", nullptr},
            {location.size() > kLocationMaxLength, "The Max Lengh of the SystemLocation is 32.", "Error", nullptr},
            {name.startsWith(QLatin1Char(' ')), "The first character of System Name can not be blank!", "Warning",
             Ed_SN},
            {location.startsWith(QLatin1Char(' ')), "The first character of Location can not be blank!", "Warning",
             Ed_SL},
            {!SharedChecks::plainText(location), "Please input valid Location!", "Warning", Ed_SL},
            {!SharedChecks::plainText(name), "Please input valid System Name!", "Warning", Ed_SN},
            {!SharedChecks::plainText(contact), "Please input valid System Contact!", "Warning", Ed_SC},
        },
        false);
}

void TFM_Information::InfoLoadDone(VtSNMPRequest2Controls*, VtSNMPError& result)
{
    ShowStatus(result.Code == 0 ? QStringLiteral("Get OK!") : QString::fromStdString(result.Message));
}

void TFM_Information::InfoSaveDone(VtSNMPRequest2Controls*, VtSNMPError& result)
{
    ShowStatus(result.Code == 0 ? QStringLiteral("Save OK!") : QString::fromStdString(result.Message));
}

void TFM_Information::InfoResult(VtSNMPError* result)
{
    // Success records also arrive here; the completion events report those.
    if (result->Code != 0)
        ShowStatus(QString::fromStdString(result->Message));
}

void TFM_Information::ShowStatus(const QString& text)
{
    StatusBar->setSimpleText(text);
}
