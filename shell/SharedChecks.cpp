#include "SharedChecks.h"

#include "Checks.h"
#include "Dialogs.h"

namespace SharedChecks {

bool hostAddress(const QString& text) { return ksr::isHostAddress(text.toStdString()); }

bool subnetMask(const QString& text) { return ksr::isSubnetMask(text.toStdString()); }

bool addressAndMask(const QString& address, const QString& mask)
{
    return ksr::isAddressAndMask(address.toStdString(), mask.toStdString());
}

bool macAddress(QWidget* parent, const QString& text)
{
    if (ksr::isMacAddress(text.toStdString()))
        return true;
    Dialogs::messageBox(parent, QStringLiteral("Invalid MAC Address."), QStringLiteral("Warning"));
    return false;
}

// UTF-8 keeps every character above 127 as bytes with the top bit set.
bool plainText(const QString& text) { return ksr::isPlainText(text.toStdString()); }

bool noBlankEdge(const QString& text) { return ksr::hasNoBlankEdge(text.toStdString()); }

QString networkOf(const QString& address, const QString& mask)
{
    return QString::fromStdString(ksr::networkOf(address.toStdString(), mask.toStdString()));
}

}  // namespace SharedChecks
