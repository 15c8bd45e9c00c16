// KSR4710Module: started by the management system with the address of one
// access point and its SNMP parameters; see README for the switches.
#include "Main.h"

#include "SnmpEventProcessor.h"
#include "VtSession.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KSR4710Module"));

    int code = 0;
    {
        TMainForm mainForm(QApplication::arguments().mid(1));
        if (mainForm.startupResult() != TMainForm::Startup::Started) {
            code = mainForm.exitCode();
        } else {
            mainForm.show();
            code = QApplication::exec();
        }
    }
    // The pump goes before the session it drives.
    SnmpEventProcessor::stop();
    if (VtSNMPStarted())
        VtStopSNMP();
    return code;
}
