#pragma once
// A data call through a Hayes modem on a serial device: what the program used the telephony API for.
// Dial: "AT" -> OK, "ATDT<number>" -> "CONNECT" within the time-out; then the same port carries the data.
// Hang-up: DTR dropped, then "+++" and "ATH" for modems that ignore DTR.
#include "platform/ComPort.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class ModemLine
{
public:
    ModemLine() = default;
    ~ModemLine();

    // Progress lines ("Dialing 123", "CONNECT 9600", ...) for the dialing window.
    using ProgressHandler = std::function<void(const QString&)>;
    void setProgressHandler(ProgressHandler h) { progress_ = std::move(h); }

    // Opens the modem's device and dials. True once "CONNECT" came within timeoutMs; false on "NO CARRIER",
    // "BUSY", "NO DIALTONE", "ERROR" or silence (errorString() tells which).
    bool dial(const QString& device, qint32 baudRate, const QString& number, int timeoutMs);
    void hangUp();
    bool isConnected() const { return connected_; }
    ComPort* port() { return port_.get(); }
    QString errorString() const { return error_; }

    static QStringList availableModems(); // the serial device list

private:
    std::unique_ptr<ComPort> port_;
    bool connected_ = false;
    QString error_;
    ProgressHandler progress_;
};
