#pragma once
// A data call through a Hayes modem on a serial device: what the program used the telephony API for.
// Dial: "AT" -> OK, "ATDT<number>" -> "CONNECT" within the time-out; then the same port carries the data.
// Hang-up: DTR dropped, then "+++" and "ATH" for modems that ignore DTR.
// dial() and hangUp() wait in short poll() slices and process the UI thread's events between them, so they may
// be called on the UI thread (the window keeps working, like the wait for a telephony call did).
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

    // Progress lines ("Dialing 123", "CONNECT 9600", ...) for the dialing window; the destructor reports nothing.
    using ProgressHandler = std::function<void(const QString&)>;
    void setProgressHandler(ProgressHandler h) { progress_ = std::move(h); }

    // Opens the modem's device and dials. True once "CONNECT" came within timeoutMs; false on "NO CARRIER",
    // "BUSY", "NO DIALTONE", "NO ANSWER", "ERROR" ("Modem response: <word>") or silence ("No answer from the
    // modem"); a port that cannot be opened gives the port's error. timeoutMs <= 0 means 60 s. After CONNECT,
    // port() carries the call with the program's normal read time-outs; bytes that came right behind the
    // CONNECT line are the first ones read.
    bool dial(const QString& device, qint32 baudRate, const QString& number, int timeoutMs);
    void hangUp();
    bool isConnected() const { return connected_; }
    ComPort* port() { return port_.get(); }
    QString errorString() const { return error_; }

    static QStringList availableModems(); // the serial device list

private:
    void report(const QString& text);
    bool fail(const QString& error); // reports and stores the error, closes the port, returns false

    std::unique_ptr<ComPort> port_;
    bool connected_ = false;
    QString error_;
    ProgressHandler progress_;
};
