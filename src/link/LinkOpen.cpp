#include "link/LinkOpen.h"

#include "link/ExchangeState.h"
#include "link/LinkIo.h"
#include "platform/ComPort.h"
#include "platform/ModemLine.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

constexpr qsizetype kScanReadSize = 1024;
// The longest one byte's wait under the port's normal time-outs: a read of the scan ends once the line has been
// silent this long.
constexpr qint64 kScanByteWaitMs = qint64(kNormalTimeouts.readTotalMultiplier) + kNormalTimeouts.readTotalConstant;
constexpr qint64 kScanSliceMs = 100; // the longest one read of the scan holds the window's thread

bool answersAsGateway(const QByteArray& text)
{
    return text.contains("login:") || text.contains("Password:") || IsBootModeAnswer(text);
}

// One answer of the scan, read as a byte-by-byte read under the port's normal time-outs reads it (the bytes until
// one did not come within its wait, a 0x00, or kScanReadSize - 1 of them), in slices of at most kScanSliceMs
// with the window's events handled between them. Empty once the program closes.
QByteArray scanRead(ComPort& port)
{
    QElapsedTimer clock; // the port's own time: a test's move of the program's clock changes none of it
    clock.start();
    QByteArray text;
    qint64 byteDue = kScanByteWaitMs;
    qint64 sliceEnd = kScanSliceMs;
    while (text.size() < kScanReadSize - 1 && !closingProgram()) {
        const qint64 now = clock.elapsed();
        if (now >= byteDue)
            break;
        if (now >= sliceEnd) {
            ProcessMessages();
            sliceEnd = clock.elapsed() + kScanSliceMs;
            continue;
        }
        char c = 0;
        const qint64 n = port.read(&c, 1, {0, 0, quint32(std::min(byteDue, sliceEnd) - now), 0, 0});
        if (n < 0 || (n == 1 && c == 0))
            break;
        if (n == 1) {
            text += c;
            lastLinkActivity.store(Clock::seconds());
            byteDue = clock.elapsed() + kScanByteWaitMs;
        }
    }
    return closingProgram() ? QByteArray() : text;
}

} // namespace

bool IsBootModeAnswer(const QByteArray& text)
{
    return text.contains("[ BOOT");
}

SerialScanResult ScanSerialPort(const QString& name)
{
    SerialScanResult result;
    // The window's events are handled during the reads, with the user's input held as in every wait.
    const LinkWaitScope waiting;
    auto port = std::make_shared<ComPort>();
    for (const qint32 rate : kSerialScanRates) {
        if (closingProgram())
            break; // the program ends: no further speed is tried
        const bool ready = port->isOpen() ? port->setBaudRate(rate) : port->open(name, rate);
        if (!ready) {
            if (!port->isOpen()) {
                result.portFailed = true;
                result.error = port->errorString();
                return result;
            }
            continue; // a speed the device does not offer
        }
        port->setTimeouts(kNormalTimeouts);
        port->flush();
        QByteArray answer;
        if (ComWrite(port.get(), "\r\n") == 2)
            answer = scanRead(*port);
        if (!answersAsGateway(answer) && !closingProgram() && ComWrite(port.get(), "AT\r\n") == 4) {
            const QByteArray reply = scanRead(*port);
            if (reply.contains("OK"))
                answer += reply;
            else
                answer.clear();
        }
        if (answersAsGateway(answer) || answer.contains("OK")) {
            result.port = port;
            result.baudRate = rate;
            result.received = answer;
            return result;
        }
        if (port->isDisconnected())
            break;
    }
    port->close();
    return result;
}

bool SetPortTimeouts(ConnectionRecord* conn)
{
    if (!conn || !conn->Handle || !conn->Handle->isOpen())
        return false;
    CommTimeouts timeouts = conn->Handle->timeouts();
    timeouts.readInterval = kNormalTimeouts.readInterval;
    timeouts.readTotalMultiplier = kNormalTimeouts.readTotalMultiplier;
    timeouts.readTotalConstant = kNormalTimeouts.readTotalConstant;
    return conn->Handle->setTimeouts(timeouts);
}

void CloseLink(ConnectionRecord& conn)
{
    switch (conn.LinkType) {
    case LinkTelnet:
        if (tcp)
            tcp->Disconnect();
        break;
    case LinkModem:
        if (conn.Modem)
            conn.Modem->hangUp();
        break;
    default:
        break;
    }
    if (conn.Handle)
        conn.Handle->close();
    conn.Handle.reset();
    conn.Modem.reset();
    conn.Reserved1 = 0;
    AdvanceLinkEpoch(); // a read waiting on this link ends; the next link's text is none of its
}
