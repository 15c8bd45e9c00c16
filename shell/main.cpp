// KSR4710Module: started by the management system with the address of one
// access point and its SNMP parameters; see README for the switches.
#include "Main.h"

#include "Dialogs.h"
#include "SnmpEventProcessor.h"
#include "VtSession.h"

#include <QApplication>

#include <exception>

namespace {

// An exception that escapes an event handler is shown in a plain message box
// and the program goes on, instead of unwinding through Qt's event loop.
class ModuleApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            Dialogs::message(nullptr, QString::fromStdString(e.what()));
        }
        return false;
    }
};

int runModule()
{
    TMainForm mainForm(QApplication::arguments().mid(1));
    if (mainForm.startupResult() != TMainForm::Startup::Started)
        return mainForm.exitCode();
    mainForm.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv)
{
    ModuleApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KSR4710Module"));

    int code = 1;
    try {
        code = runModule();
    } catch (const std::exception& e) {
        // Start-up handles its own failures; anything else that escapes the
        // window's creation still ends with a box rather than an abort.
        Dialogs::messageBox(nullptr, QString::fromStdString(e.what()), QStringLiteral("Error"));
    }
    // The pump goes before the session it drives.
    SnmpEventProcessor::stop();
    if (VtSNMPStarted())
        VtStopSNMP();
    return code;
}
