#pragma once
// The state of the link to the gateway and the program-wide cells that describe the connected gateway.
#include "platform/TelnetClient.h"
#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

class ComPort;
class ModemLine;
class QFile;

struct ConnectionRecord
{
    QString ComPortName = QStringLiteral("COM1"); // settings "Comport": a device path or an old "COMn" name
    quint8 LinkType = 2;                          // 1 serial port, 2 telnet over TCP, 3 modem line, 4 ISDN modem
    QStringList SerialPorts;                      // ports found on this machine
    // The open serial port or the modem's data line; null while no serial or modem link is open.
    std::shared_ptr<ComPort> Handle;
    std::shared_ptr<ModemLine> Modem; // the modem call behind Handle on link type 3
    qint32 Reserved1 = 0;
    qint32 ModemBaudRate = 9600; // "modemBaudRate"
    qint32 LanTimeout = 3000;    // "LanTimeout", milliseconds
    qint32 TapiTimeout = 60;     // "TapiTimeout"
    qint32 IsdnTimeout = 60;     // "IsdnTimeout"
    qint32 IsdnModem = 0;        // "isdnModem"
    qint32 TapiModem = 0;        // "modem"
    QString ModemName;           // "modemName"
    QString IsdnModemName;       // "isdnModemName"
    bool Connected = false;
    bool Append = false;            // "Append": one communication log appended to, instead of one per connection
    std::shared_ptr<QFile> CommLog; // open while connected when SaveLog is set
    bool SaveLog = false;           // "SaveLog"
    qint32 Reserved2 = 0;
    QByteArray TcpReceived; // text the telnet reader has received and nobody has taken yet
    bool TcpDataReceived = false;
};

struct GatewayEntry
{
    QString Name = QStringLiteral("unnamed");
    QString Host;
    qint32 Port = 1001;
    QString Username;
    QString Password;
    QString File; // gate-file path
    QString PhoneNumber;
};

// The record changes only on the window's thread. Live tools' workers never read it: each goes by the copy it was
// created with (LiveWorker, LinkRecordScope), so a worker whose stop timed out may still run while the link closes
// and the record is reset.
inline ConnectionRecord CurrentConnection;
inline GatewayEntry CurrentGateway;
// Whole seconds (Clock::seconds()) of the last write, or of the last read that brought text.
inline std::atomic<qint64> lastLinkActivity{0};
inline int gatewayModel = 0; // 0: two BRI ports (NT and TE); 1: one BRI port
inline QByteArray ati3Reply; // identification replies, line ends turned into ","
inline QByteArray ati4Reply;

// Link types of ConnectionRecord::LinkType.
enum : quint8 { LinkSerial = 1, LinkTelnet = 2, LinkModem = 3, LinkIsdnModem = 4 };

// The telnet client of the link. The main window creates it and stores it here; tests install their own.
// A QPointer, so a client that is gone reads as null and the link counts as down.
inline QPointer<TelnetClient> tcp;

// Shows a command in the status line of the loading window while that window is shown. SendCommand calls it
// with each command it sends; the user interface sets it (this library has no windows of its own).
inline std::function<void(const QString&)> commandStatusHook;

// Told, on whichever thread read or wrote, that a read or write found the link gone (LinkPortLost()); the user
// interface sets it and ends the connection on the window's thread.
inline std::function<void()> linkLostHook;

// Back to the state at program start: a fresh CurrentConnection and CurrentGateway, model 0, no identification
// replies, no telnet client, no status or link-lost hook, no login question, the communication log closed, pending
// telnet flags dropped.
void resetLinkState();
