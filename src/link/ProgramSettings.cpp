#include "link/ProgramSettings.h"

#include "link/LinkState.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"

namespace {

const QString kMain = QStringLiteral("main");

QString settingsPath()
{
    return programFile(QStringLiteral("settings.ini"));
}

} // namespace

bool WriteCommSettings(const ConnectionRecord& conn, const QString& gatewayName)
{
    IniFile settings(settingsPath());
    settings.WriteInteger(kMain, QStringLiteral("LanTimeout"), conn.LanTimeout);
    settings.WriteInteger(kMain, QStringLiteral("TapiTimeout"), conn.TapiTimeout);
    settings.WriteInteger(kMain, QStringLiteral("modem"), conn.TapiModem);
    settings.WriteString(kMain, QStringLiteral("modemName"), conn.ModemName);
    settings.WriteInteger(kMain, QStringLiteral("CommType"), conn.LinkType);
    settings.WriteInteger(kMain, QStringLiteral("modemBaudRate"), conn.ModemBaudRate);
    settings.WriteString(kMain, QStringLiteral("Gateway"), gatewayName);
    settings.WriteString(kMain, QStringLiteral("Comport"), conn.ComPortName);
    settings.WriteBool(kMain, QStringLiteral("SaveLog"), conn.SaveLog);
    settings.WriteBool(kMain, QStringLiteral("Append"), conn.Append);
    return settings.UpdateFile();
}

bool WriteSelectedGateway(const QString& gatewayName)
{
    IniFile settings(settingsPath());
    settings.WriteString(kMain, QStringLiteral("gateway"), gatewayName);
    return settings.UpdateFile();
}
