#pragma once
// The list of known gateways: "gtws.ini" in the program folder, one section per gateway named after it, with
// the keys "Host", "Port", "PhoneNumber", "Username", "Password" and "File" (the gate file).
//
// The user name and the password are stored shifted: character i (counted from 1) of the text is stored as the
// character i code points further, in the 8-bit Windows-1250 code the list has always been written in ("admin"
// is stored "bfpms"). The shift works on those 8-bit codes and wraps past 255, so lists written by earlier
// versions of the program read back exactly. The file itself is UTF-8 as every file we write (IniFile reads the
// old Windows-1250 files as well).
//
// The gateway "unnamed" is the one that is not in the list: its gate file is "unnamed.ini" in the program folder.
#include "link/LinkState.h"

#include <QString>
#include <QStringList>

inline const QString kUnnamedGateway = QStringLiteral("unnamed");

QString gatewayListPath(); // <program folder>/gtws.ini
QString unnamedGateFile(); // <program folder>/unnamed.ini

// The stored form of a user name or password, and back. Characters outside Windows-1250 cannot be stored in
// the list's code; they are stored as "?" (the same loss the original 8-bit list had).
QString ShiftEncode(const QString& text);
QString ShiftDecode(const QString& stored);
// True when the text survives the list unchanged: every character is in Windows-1250 and no shifted code comes
// out as 0x00 (it would end the stored value) or as CR or LF (they would end the line). The stored form stays
// what it always was, so the dialog refuses such a user name or password instead.
bool ShiftStorable(const QString& text);

// The names of the listed gateways, in file order.
QStringList GatewayNames();
// True when the list holds a section of that name (names are found without regard to case).
bool GatewayListed(const QString& name);
// The entry of a listed gateway: its keys with the defaults "0.0.0.0" for "Host" and 1001 for "Port". False,
// and entry untouched, when the list has no such gateway.
bool ReadGatewayEntry(const QString& name, GatewayEntry& entry);
// The entry "unnamed": no address, port 1001, no credentials, no phone number, the gate file "unnamed.ini".
GatewayEntry UnnamedGatewayEntry();

// Writes the entry as the section entry.Name; when oldName is another name, that section goes (a rename).
// False when gtws.ini could not be written (the file is then as it was).
bool WriteGatewayEntry(const GatewayEntry& entry, const QString& oldName = QString());
bool RemoveGatewayEntry(const QString& name);
bool RemoveAllGatewayEntries();
