#pragma once
// The port modes page's exchange with the gateway, as plain functions over its image record: the three mode
// characters of "X40" (GSM, BRI 1, BRI 2; TParametres::portModeChars). No widgets and no link here.
#include <QByteArray>
#include <QString>
#include <array>

using PortModeChars = std::array<char, 3>;

// The item line of the page's runs.
inline const QString kPortModesLine = QStringLiteral("ISDN port modes\n");

// The modes in an "AT&V" reply: a missing or empty value reads as '0' (reject); other characters come as the
// gateway sent them (the page leaves a group alone for one it does not know).
PortModeChars parsePortModesView(const QByteArray& reply);

// "AT%X40=<gsm>,<bri1>,<bri2>,0\r\n" for the gateway model: any model but the two-port one (0) has no BRI 1,
// so that mode is sent as '0', and on the one-port model (1) the routes to BRI 1 ('1') of the other two
// become '0' as well.
QByteArray portModesCommand(const PortModeChars& modes, int model);
