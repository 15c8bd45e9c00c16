#pragma once
// The shared input checks for Qt callers. Same rules as Checks.h; the MAC
// check additionally shows "Invalid MAC Address." itself when it fails.

#include <QString>

class QWidget;

namespace SharedChecks {

bool hostAddress(const QString& text);
bool subnetMask(const QString& text);
bool addressAndMask(const QString& address, const QString& mask);
// Shows the "Warning" box "Invalid MAC Address." on `parent` before failing.
bool macAddress(QWidget* parent, const QString& text);
bool plainText(const QString& text);
bool noBlankEdge(const QString& text);
QString networkOf(const QString& address, const QString& mask);

}  // namespace SharedChecks
