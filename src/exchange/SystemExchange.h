#pragma once
// The system page's exchange with the gateway, as plain functions over its image record TSystem: what the
// view reply "AT&V" says (S91, X22) and the two set commands of its save. No widgets and no link here; the
// page sends the commands in its order and applies the record read here to its controls.
#include "config/ConfigConversions.h"
#include "config/Parametres.h"

#include <QByteArray>
#include <QString>

// Item lines of the system page's runs.
inline const QString kSystemLineAll = QStringLiteral("System settings - All parametres\n");
inline const QString kSystemLineCdr = QStringLiteral("System settings - CDR mode\n");
inline const QString kSystemLineGateId = QStringLiteral("System settings - Gate ID\n");
inline const QString kSystemLineS91 = QStringLiteral("System settings - Saving call data (CDR), Gate ID\n");
inline const QString kSystemLineReset = QStringLiteral("System settings - System reset\n");
// The reset time that means "no daily reset".
inline const QString kNoSystemReset = QStringLiteral("00:00");

// The system page's values in an "AT&V" reply. A CDR mode or gate ID that cannot be read adds its line to
// errors (in that order) and reads as the first list position and 0. The reset time comes with the leading
// zero the gateway drops ("7:30" -> "07:30"); a missing one is "00:00". The dates are left at their defaults.
TSystem parseSystemView(const QByteArray& reply, QString& errors);

// "AT%S91=<cdr code>,<gate id>\r\n" and "AT%X22=<reset time>\r\n".
QByteArray systemCdrCommand(const TSystem& system);
QByteArray systemResetCommand(const TSystem& system);
