#pragma once
// Home \ Information: the device's MIB-II system group. Description, object
// ID and uptime are shown; contact, name and location can be changed.
//
// The form loads the six variables when it is created (asynchronously: the
// values fill the boxes when the answer arrives), "Refresh" loads them again
// and "Save" checks the three editable boxes and writes them in one set
// request. The status bar says "Get OK!" / "Save OK!" once the device has
// answered, or the error's message when the request failed.

#include <QDialog>

class QPushButton;
class VtEdit;
class VtSNMPRequest2Controls;
class VtSNMPRequest2Edits;
class VtStatusBar;
struct VtSNMPError;

class TFM_Information : public QDialog {
    Q_OBJECT

public:
    explicit TFM_Information(QWidget* owner = nullptr);
    ~TFM_Information() override;

    VtEdit* Ed_SD;  // System Description (read-only)
    VtEdit* Ed_SO;  // System Object ID (read-only)
    VtEdit* Ed_SU;  // System Uptime (read-only)
    VtEdit* Ed_SC;  // System Contact
    VtEdit* Ed_SN;  // System Name
    VtEdit* Ed_SL;  // System Location
    QPushButton* Btn_Re;  // "Refresh"
    QPushButton* Btn_Sa;  // "Save"
    VtStatusBar* StatusBar;

    // The six system variables, bound to the six boxes in order.
    VtSNMPRequest2Edits* InfoRequest;

    void Btn_ReClick();
    void Btn_SaClick();

private:
    void FormCreate();
    // The input checks before a write, in their fixed order; false after the
    // first failure (its message has been shown).
    bool CheckInput();
    void InfoLoadDone(VtSNMPRequest2Controls* sender, VtSNMPError& result);
    void InfoSaveDone(VtSNMPRequest2Controls* sender, VtSNMPError& result);
    void InfoResult(VtSNMPError* result);
    void ShowStatus(const QString& text);
};

// The open Information screen, or null.
extern TFM_Information* FM_Information;

// Home > Information: creates the screen, shows it modally and destroys it.
void openInformationScreen();
