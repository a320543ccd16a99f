#pragma once
// The login on an open link and the gateway's identification.
//
// Login: the gateway asks "MX login:" (or "MY login:"), then "Password:", and answers "OK" to the right pair.
// Identification: "ATI3" names the gateway ("Mesk MX GSM-ISDN gateway", "(c) Korvath"), "ATI4" gives its
// versions ("SW : B-01.02 /V-02.05.20": the boot version, a blank, "/" and the firmware version).
//
// The model is told by one rule wherever the identification is read: the one-port model names itself "MY" as
// the start of a word (after a blank, or at the very start of the text, as a hand-written profile may have
// it); everything else is the two-port model. The bare "MY" anywhere would also match inside other words of
// the reply, which are not model names.
#include "link/LinkState.h"

#include <QByteArray>
#include <QString>
#include <functional>

// Asks the user name and password of a gateway that has none stored (the login window). Returns false when
// the user cancelled. Set by the user interface; without it the login goes on with the empty names.
inline std::function<bool(GatewayEntry&)> askLoginHook;

// Logs in on the open link. received: what the gateway has sent since the link opened.
//  - "Password:" in it: a CR is sent first (the gateway then refuses that login and asks again).
//  - Neither "MX login:" nor "MY login:" in it: up to 10 times "\r\n" is sent, 200 ms waited and the link read,
//    until a prompt comes; without one the gateway is taken as logged in already and the result is whether it
//    answers "AT" with "OK".
//  - With a prompt: the user name (asked through askLoginHook when the gateway is "unnamed" and has none),
//    a CR, a wait of 1000 ms (3000 ms on a modem line), a read; the password, a CR, the same wait; the result is
//    whether the reply holds "OK\r\n".
// A write that does not go out whole, or a cancelled login window, gives false.
bool LoginToGateway(ConnectionRecord conn, GatewayEntry* gateway, const QByteArray& received);

// True when an "ATI3" reply names the one-port model as a word (the identification at connect). The other
// places that tell the model each have their own test: QueryGatewayModel any "MY", the gate file's
// identification " MY", a default profile "MX" and "MY" (GateFilesPart).
bool IsModelY(const QByteArray& identification);

// Sends "ATI4" and "ATI3" and keeps the replies in ati4Reply and ati3Reply (up to their closing "OK", line ends
// turned into ","). Returns 1 and sets gatewayModel to 1 when the "ATI3" reply contains "MY"; else returns 0
// and leaves gatewayModel as it is.
int QueryGatewayModel();

// Runs the identification as QueryGatewayModel does and returns the gateway's description for the status bar:
// the name line of "ATI3" (left out when it holds a "/") and the "SW : <boot> /<firmware>" line of "ATI4", so
// that the text ends with the firmware version. "error" when the gateway does not answer both with "OK" or
// gives no "SW : " line. size (when given) receives the model code (0 two BRI ports, 1 one BRI port).
// With versionCheck, a firmware version that reaches neither minimum the program is made for brings a warning
// box (text 46, caption 45).
QString ReadGatewayInfo(bool versionCheck, int* size = nullptr);

// True when a firmware version ("V-02.05.20") reaches a minimum of the program's firmware lines: the program is
// made for the firmware versions of ProgramVersion.h; within a line (the same first two numbers) the lowest of
// them is the minimum. A version of another line, or one that cannot be read, reaches none.
bool FirmwareVersionSupported(const QString& version);
