#pragma once
// Shared set-up of the screen tests: one SNMP session for the process, one
// simulated access point per test suite, the session records pointed at it,
// and a dialog recorder per test so no message box ever blocks.

#include "Dialogs.h"
#include "SimulatedDevice.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

using testsupport::waitUntil;

class QLineEdit;
class QWidget;

class ScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Journal lines of the SET requests the device received, oldest first.
    static std::vector<std::string> sets();

    // Replaces the box's text the way a user does: select all, then type.
    static void typeInto(QLineEdit* box, const QString& text);
    static void click(QWidget* button);
    // Shows the form and makes it the active window (so focus is real).
    static void showActive(QWidget* form);
    // Runs the event loop until done() or the time is up.
    // Exactly one message box was shown since the recorder was last cleared.
    void expectOneBox(const char* text, const char* caption);
    // Tab from the first widget visits the others in the order given; the
    // form's size is fixed.
    static void expectTabOrderAndFixedSize(QWidget* form, std::initializer_list<QWidget*> order);
    // The caption of the label whose buddy is `field`, or "(none)".
    static QString buddyCaption(QWidget* form, QWidget* field);

    static simtest::SimulatedDevice* sim_;
    std::unique_ptr<DialogRecorder> dialogs_;
};
