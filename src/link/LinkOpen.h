#pragma once
// Opening and closing the link to the gateway, below the windows: the serial port's speed scan, the boot
// loader's answer, the serial port's normal read time-outs, the close by link type.
//
// The serial port does not know the gateway's line speed. The scan tries the speeds in turn: at each it sends
// an empty line (a gateway waiting for a login answers with its prompt, its boot loader with its banner) and,
// when that brings nothing, "AT" (a gateway still logged in from an earlier connection answers "OK"). The first
// speed that brings an answer is kept. A gateway at another speed hears noise and says nothing, so a speed
// costs one or two reads of the port's normal time-outs. The reads go in slices of at most 100 ms with the
// window's events handled between them and the user's input held (LinkWaitScope); once the program closes the
// scan tries no further speed and finds none.
#include "link/LinkState.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <memory>

class ComPort;

inline constexpr std::array<qint32, 5> kSerialScanRates{9600, 19200, 38400, 57600, 115200};

struct SerialScanResult
{
    std::shared_ptr<ComPort> port; // open at the speed found; null when none answered or the port failed
    qint32 baudRate = 0;
    QByteArray received;     // the answer that decided the speed
    bool portFailed = false; // the port could not be opened (error says why)
    QString error;
};
SerialScanResult ScanSerialPort(const QString& name);

// True when text holds the boot loader's banner ("[ BOOT ...").
bool IsBootModeAnswer(const QByteArray& text);

// Puts the program's normal read time-outs back on conn's serial port (70 ms between bytes, 70 ms per byte
// plus 160 ms in all), keeping its write time-outs; the terminal reads with 1 ms ones. False when conn has no
// open port (a telnet or modem link stays as it is) or the port refused them.
bool SetPortTimeouts(ConnectionRecord* conn);

// Closes conn's link by its type (serial port, telnet connection, modem call) and clears its handles. The
// communication log and the connected flag are the caller's.
void CloseLink(ConnectionRecord& conn);
