#include "ui/StartupSettings.h"

#include "platform/IniFile.h"

StartupSettings readStartupSettings(const IniFile& ini)
{
    const QString main = QStringLiteral("main");
    StartupSettings s;
    s.commType = ini.ReadInteger(main, QStringLiteral("commtype"), s.commType);
    s.gateway = ini.ReadString(main, QStringLiteral("gateway"), s.gateway);
    if (s.gateway.isEmpty())
        s.gateway = QStringLiteral("unnamed");
    s.append = ini.ReadBool(main, QStringLiteral("Append"), s.append);
    s.saveLog = ini.ReadBool(main, QStringLiteral("SaveLog"), s.saveLog);
    s.lanTimeout = ini.ReadInteger(main, QStringLiteral("LanTimeout"), s.lanTimeout);
    s.tapiTimeout = ini.ReadInteger(main, QStringLiteral("TapiTimeout"), s.tapiTimeout);
    s.isdnTimeout = ini.ReadInteger(main, QStringLiteral("IsdnTimeout"), s.isdnTimeout);
    s.synchronizeTime = ini.ReadBool(main, QStringLiteral("SynchronizeTimeWithPc"), s.synchronizeTime);
    s.isdnModem = ini.ReadInteger(main, QStringLiteral("isdnModem"), s.isdnModem);
    s.isdnModemName = ini.ReadString(main, QStringLiteral("isdnModemName"), s.isdnModemName);
    s.modemBaudRate = ini.ReadInteger(main, QStringLiteral("modemBaudRate"), s.modemBaudRate);
    s.modem = ini.ReadInteger(main, QStringLiteral("modem"), s.modem);
    s.modemName = ini.ReadString(main, QStringLiteral("modemName"), s.modemName);
    s.comPort = ini.ReadString(main, QStringLiteral("Comport"), s.comPort);
    s.language = ini.ReadInteger(main, QStringLiteral("language"), s.language);
    return s;
}
