#pragma once
// The program settings that the start-up reads from "settings.ini", section "main", with their defaults.
#include <QString>

class IniFile;

struct StartupSettings
{
    int commType = 1;                            // "commtype": 1 serial port, 2 telnet, 3 modem
    QString gateway = QStringLiteral("unnamed"); // "gateway"; an empty value reads as "unnamed"
    bool append = true;                          // "Append"
    bool saveLog = true;                         // "SaveLog"
    int lanTimeout = 5000;                       // "LanTimeout", milliseconds
    int tapiTimeout = 60;                        // "TapiTimeout"
    int isdnTimeout = 20;                        // "IsdnTimeout"
    bool synchronizeTime = true;                 // "SynchronizeTimeWithPc"
    int isdnModem = -1;                          // "isdnModem"
    QString isdnModemName;                       // "isdnModemName"
    int modemBaudRate = 9600;                    // "modemBaudRate"
    int modem = 0;                               // "modem"
    QString modemName;                           // "modemName"
    QString comPort;                             // "Comport"
    int language = 1;                            // "language": 0 Czech, 1 English, 2 Hungarian, 3 Polish
};

// Reads the keys in the order the start-up reads them.
StartupSettings readStartupSettings(const IniFile& ini);
