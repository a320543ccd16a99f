#include "link/LinkOpen.h"

#include "link/LinkIo.h"
#include "platform/ComPort.h"
#include "platform/ModemLine.h"
#include "platform/TelnetClient.h"

namespace {

constexpr qsizetype kScanReadSize = 1024;

bool answersAsGateway(const QByteArray& text)
{
    return text.contains("login:") || text.contains("Password:") || IsBootModeAnswer(text);
}

} // namespace

bool IsBootModeAnswer(const QByteArray& text)
{
    return text.contains("[ BOOT");
}

SerialScanResult ScanSerialPort(const QString& name)
{
    SerialScanResult result;
    auto port = std::make_shared<ComPort>();
    for (const qint32 rate : kSerialScanRates) {
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
            answer = ComRead(port.get(), kScanReadSize, false);
        if (!answersAsGateway(answer) && ComWrite(port.get(), "AT\r\n") == 4) {
            const QByteArray reply = ComRead(port.get(), kScanReadSize, false);
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
