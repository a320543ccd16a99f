#pragma once
// What the link writes into the program settings, "settings.ini" section "main" in the program folder. The
// start-up reads them back (ui/StartupSettings.h).
#include <QString>

struct ConnectionRecord;

// The communication settings: "LanTimeout", "TapiTimeout", "modem", "modemName", "CommType", "modemBaudRate",
// "Gateway" (gatewayName), "Comport", "SaveLog" and "Append". False when the file could not be written.
bool WriteCommSettings(const ConnectionRecord& conn, const QString& gatewayName);
// The gateway chosen last, under "gateway".
bool WriteSelectedGateway(const QString& gatewayName);
