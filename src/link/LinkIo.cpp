#include "link/LinkIo.h"

#include "link/CommLog.h"
#include "link/Login.h"
#include "link/ModemWaits.h"
#include "platform/ComPort.h"
#include "platform/ModemLine.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"

#include <QDateTime>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>

namespace {

// Waits of the gateway protocol.
constexpr int kArrivalSettleMs = 100;    // after text has come on telnet, for the rest of a reply in pieces
constexpr int kFlagDelayMs = 10;         // from telnet text stored to the data flag set
constexpr int kCommandReplyDelayMs = 10; // SendCommand: from the write to the read
constexpr int kCommandOkDelayMs = 100;   // SendCommandOk: from the write to the read
constexpr qint64 kReplyCapMs = 15000;    // ReadReply on telnet: the whole reply
constexpr int kModemWriteMs = 1000;      // one write on a modem line
constexpr int kModemReadMs = 10000;      // one read on a modem line ...
constexpr int kModemLongReadMs = 100000; // ... and one of LinkReadTimeout
constexpr int kModemQuietMs = 100;       // a modem read ends this long after its last byte
constexpr int kStepMs = 10;              // telnet wait step once the deadline estimate is off

// Bumped by resetLinkState: flags scheduled before a reset must not land in the fresh record.
std::atomic<int> tcpGeneration{0};
// Nested loops of the telnet waits in progress; the data flag wakes them all.
QList<QPointer<QEventLoop>> tcpWaiters;
// Telnet text stored and taken since the last reset, in bytes. The data flag follows its text 10 ms late; a read
// may take the text within those 10 ms, and a flag set after that would wake the next read to nothing.
qint64 tcpStoredBytes = 0;
qint64 tcpTakenBytes = 0;
// Set by DropTcpTextUntilWrite: the telnet text that comes is the rest of a reply nobody waits for any more.
bool tcpTailDropped = false;

void stampActivity()
{
    lastLinkActivity.store(Clock::seconds());
}

ComPort* linkPort(const ConnectionRecord& conn)
{
    if (conn.Handle)
        return conn.Handle.get();
    if (conn.LinkType == LinkModem && conn.Modem)
        return conn.Modem->port();
    return nullptr;
}

bool tcpUp()
{
    return tcp && tcp->Connected();
}

// A modem line's data goes through its ModemLine, which watches for the call's end.
ModemLine* modemLine(const ConnectionRecord& conn)
{
    return conn.LinkType == LinkModem && !conn.Handle ? conn.Modem.get() : nullptr;
}

// After a read or write that may have met a link that is gone.
void noteIfLost()
{
    if (linkLostHook && LinkPortLost())
        linkLostHook();
}

void noteReceived(const QByteArray& text)
{
    if (text.isEmpty())
        return;
    stampActivity();
    if (CurrentConnection.SaveLog)
        LogReceived(text);
}

void setModemTimeouts(ComPort* port, int readTotalMs)
{
    const CommTimeouts wanted{kModemQuietMs, 0, quint32(readTotalMs), 0, kModemWriteMs};
    const CommTimeouts now = port->timeouts();
    if (now.readInterval != wanted.readInterval || now.readTotalMultiplier != wanted.readTotalMultiplier ||
        now.readTotalConstant != wanted.readTotalConstant || now.writeTotalMultiplier != wanted.writeTotalMultiplier ||
        now.writeTotalConstant != wanted.writeTotalConstant)
        port->setTimeouts(wanted);
}

QByteArray modemRead(qsizetype size, int totalMs)
{
    ComPort* port = linkPort(CurrentConnection);
    if (!port || !port->isOpen() || size <= 1)
        return {};
    setModemTimeouts(port, totalMs);
    QByteArray text(size - 1, '\0');
    ModemLine* line = modemLine(CurrentConnection);
    const qint64 n = line ? line->read(text.data(), text.size()) : port->read(text.data(), text.size());
    text.resize(n > 0 ? n : 0);
    noteReceived(text);
    noteIfLost();
    return text;
}

// One write on conn's port: the serial port, the ISDN modem's, or the modem line's, which watches for the call's
// end. Logged when logging is set and "SaveLog" is on. A short write that met the link gone tells the program.
quint32 portWrite(const ConnectionRecord& conn, const QByteArray& bytes, bool logging)
{
    const bool log = logging && conn.SaveLog;
    ComPort* port = linkPort(conn);
    ModemLine* line = port && port->isOpen() ? modemLine(conn) : nullptr;
    // A modem line logs the command after its look at the unread text: the "NO CARRIER" found there is read by
    // nobody, so it is logged here, as received, ahead of the command it refused.
    const auto logSent = [&](const QByteArray& unreadAtEnd) {
        if (log && !unreadAtEnd.isEmpty())
            LogReceived(unreadAtEnd);
        if (log)
            LogSent(bytes);
    };
    if (!line)
        logSent({});
    if (conn.LinkType != LinkModem) {
        const quint32 n = ComWrite(port, bytes);
        if (n != quint32(bytes.size()))
            noteIfLost();
        return n;
    }
    if (!port || !port->isOpen())
        return 0;
    setModemTimeouts(port, kModemReadMs);
    const qint64 n = line ? line->write(bytes, logSent) : port->write(bytes);
    if (n != bytes.size())
        noteIfLost();
    return n > 0 ? quint32(n) : 0;
}

// Milliseconds until the whole-second clock shows target. Clock::seconds() turns with the wall clock's seconds
// (plus any test offset), so the wall clock's phase tells when the next second begins.
int msUntilSecond(qint64 target)
{
    const qint64 now = Clock::seconds();
    if (now >= target)
        return 0;
    const qint64 phase = QDateTime::currentMSecsSinceEpoch() % 1000;
    return int(qMin<qint64>((target - now - 1) * 1000 + (1000 - phase) + 1, INT_MAX));
}

// Waits until the telnet data flag is set (true), or until the whole-second clock has moved on by more than
// seconds since the call, endMs (Clock::milliseconds(); 0: none) has come, or the connection is down (false).
// Runs the UI thread's events meanwhile.
bool waitTcpData(double seconds, qint64 endMs = 0)
{
    seconds = std::min(seconds, 1e9); // beyond any time-out a setting can hold; keeps the sums below in range
    const qint64 start = Clock::seconds();
    auto expired = [&] { return !(double(Clock::seconds() - start) <= seconds); }; // NaN counts as expired
    const qint64 target = expired() ? start : start + qint64(std::floor(seconds)) + 1;
    bool estimateOff = false;
    for (;;) {
        if (CurrentConnection.TcpDataReceived)
            return true;
        if (!tcpUp() || expired() || closingProgram())
            return false; // at the close the work that reads ends at once; the link closes after it
        const qint64 untilEnd = endMs ? endMs - Clock::milliseconds() : qint64(INT_MAX);
        if (untilEnd <= 0)
            return false;

        const int untilDeadline = int(std::min<qint64>(msUntilSecond(target), untilEnd));
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(tcp.data(), &TelnetClient::disconnected, &loop, &QEventLoop::quit);
        QObject::connect(tcp.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
        tcpWaiters.append(&loop);
        timer.start(estimateOff ? qMin(untilDeadline, kStepMs) : untilDeadline);
        {
            NestedWait nested;
            loop.exec();
        }
        tcpWaiters.removeAll(&loop);
        // Woken by the timer without the deadline reached: the test clock runs off the wall clock's phase, so
        // the rest is waited in the protocol's own small steps.
        if (!timer.isActive() && !CurrentConnection.TcpDataReceived && !expired())
            estimateOff = true;
    }
}

// Takes at most cap bytes of the telnet text; what does not fit stays, flagged, for the next read.
QByteArray takeTcpText(qsizetype cap)
{
    QByteArray& received = CurrentConnection.TcpReceived;
    if (cap <= 0)
        return {};
    QByteArray text;
    if (received.size() <= cap) {
        text.swap(received);
        CurrentConnection.TcpDataReceived = false;
    } else {
        text = received.left(cap);
        received.remove(0, cap);
    }
    tcpTakenBytes += text.size();
    return text;
}

QByteArray tcpRead(qsizetype size, double seconds)
{
    waitTcpData(seconds);
    WaitPumping(kArrivalSettleMs);
    const QByteArray text = takeTcpText(size - 1);
    noteReceived(text);
    return text;
}

QByteArray linkReadWith(qsizetype size, double tcpSeconds, int modemMs)
{
    switch (CurrentConnection.LinkType) {
    case LinkSerial:
    case LinkIsdnModem:
        return ComRead(linkPort(CurrentConnection), size, true);
    case LinkTelnet:
        return tcpRead(size, tcpSeconds);
    case LinkModem:
        return modemRead(size, modemMs);
    default:
        return {};
    }
}

// ComRead, telling watch (when given) of every byte as it comes; with endMs (not 0) no byte is waited for
// past it.
QByteArray comReadBytes(ComPort* port, qsizetype size, bool logging, const ArrivalWatch* watch, qint64 endMs = 0)
{
    QByteArray text;
    while (text.size() < size - 1) {
        const quint8 b = endMs ? ComReadByteUntil(port, endMs) : ComReadByte(port);
        if (b == 0)
            break;
        text += char(b);
        if (watch)
            (*watch)(text);
    }
    if (logging && CurrentConnection.SaveLog && !text.isEmpty())
        LogReceived(text);
    noteIfLost();
    return text;
}

QByteArray comReadWatched(ComPort* port, qsizetype size, const ArrivalWatch& watch)
{
    return comReadBytes(port, size, true, &watch);
}

double lanSeconds()
{
    return CurrentConnection.LanTimeout / 1000.0;
}

// Milliseconds from now to endMs, at most ms; none once endMs has passed.
int msBefore(qint64 endMs, int ms)
{
    return int(std::clamp<qint64>(endMs - Clock::milliseconds(), 0, ms));
}

// endMs (not 0): the whole collection ends then at the latest, a wait for text or for the rest of a piece
// included.
QByteArray tcpReadReply(qsizetype size, const ArrivalWatch& watch, qint64 endMs = 0)
{
    const qint64 startMs = Clock::milliseconds();
    const qint64 capMs = endMs ? std::min(endMs, startMs + kReplyCapMs) : startMs + kReplyCapMs;
    QByteArray collected;
    for (;;) {
        const bool arrived = waitTcpData(lanSeconds(), endMs);
        WaitPumping(endMs ? msBefore(endMs, kArrivalSettleMs) : kArrivalSettleMs);
        QByteArray chunk;
        chunk.swap(CurrentConnection.TcpReceived);
        CurrentConnection.TcpDataReceived = false;
        tcpTakenBytes += chunk.size();
        noteReceived(chunk);
        collected += chunk;
        if (watch && !chunk.isEmpty())
            watch(collected);
        if (!arrived || ReplyComplete(collected) || Clock::milliseconds() >= capMs)
            break;
    }
    if (size <= 1)
        return {};
    collected.truncate(size - 1);
    return collected;
}

// One byte that readByte takes within the port's time-outs, its wait cut so that it ends by endMs (0 once
// endMs has passed).
template <typename ReadByte>
quint8 byteUntil(ComPort* port, qint64 endMs, ReadByte readByte)
{
    const qint64 left = endMs - Clock::milliseconds();
    if (!port || !port->isOpen() || left <= 0)
        return 0;
    // The longest one byte may wait under the port's time-outs (0: no bound, it waits for the byte).
    const CommTimeouts t = port->timeouts();
    const qint64 byteBound = qint64(t.readTotalMultiplier) + t.readTotalConstant;
    const bool atOnce = t.readInterval == 0xFFFFFFFF && byteBound == 0;
    if (atOnce || (byteBound > 0 && byteBound <= left))
        return readByte();
    CommTimeouts cut = t;
    cut.readTotalMultiplier = 0;
    cut.readTotalConstant = quint32(std::min<qint64>(left, UINT_MAX));
    port->setTimeouts(cut);
    const quint8 b = readByte();
    port->setTimeouts(t);
    return b;
}

} // namespace

void resetLinkState()
{
    CloseCommLog(CurrentConnection);
    ++tcpGeneration;
    tcpStoredBytes = 0;
    tcpTakenBytes = 0;
    tcpTailDropped = false;
    for (const QPointer<QEventLoop>& loop : std::as_const(tcpWaiters)) {
        if (loop)
            loop->quit();
    }
    CurrentConnection = ConnectionRecord();
    CurrentGateway = GatewayEntry();
    lastLinkActivity.store(0);
    gatewayModel = 0;
    ati3Reply.clear();
    ati4Reply.clear();
    tcp = nullptr;
    commandStatusHook = nullptr;
    linkLostHook = nullptr;
    askLoginHook = nullptr;
}

quint32 LinkWrite(const ConnectionRecord& conn, const QByteArray& text, qsizetype length)
{
    stampActivity();
    tcpTailDropped = false; // what comes from here on may answer this write
    const QByteArray bytes = text.left(qMax<qsizetype>(length, 0));
    switch (conn.LinkType) {
    case LinkSerial:
    case LinkIsdnModem:
    case LinkModem:
        return portWrite(conn, bytes, true);
    case LinkTelnet: {
        // The telnet client sends characters, as the program's old telnet component did; a NUL ends the text.
        const qsizetype nul = bytes.indexOf('\0');
        const QByteArray chars = nul >= 0 ? bytes.left(nul) : bytes;
        if (conn.SaveLog)
            LogSent(chars);
        if (!tcpUp())
            return 0;
        quint32 sent = 0;
        for (const char c : chars) {
            if (!tcp || !tcp->SendCh(c))
                break;
            ++sent;
        }
        return sent;
    }
    default:
        return 0;
    }
}

quint32 LinkWrite(const ConnectionRecord& conn, const QByteArray& text)
{
    return LinkWrite(conn, text, text.size());
}

QByteArray LinkRead(qsizetype size)
{
    return linkReadWith(size, lanSeconds(), kModemReadMs);
}

QByteArray LinkReadTimeout(qsizetype size, double seconds)
{
    return linkReadWith(size, seconds, kModemLongReadMs);
}

QByteArray LinkReadWithin(qsizetype size, int ms)
{
    ms = std::max(ms, 1); // a modem read without a total bound would wait for the first byte for ever
    if (CurrentConnection.LinkType == LinkSerial || CurrentConnection.LinkType == LinkIsdnModem)
        return comReadBytes(linkPort(CurrentConnection), size, true, nullptr, Clock::milliseconds() + ms);
    return linkReadWith(size, ms / 1000.0, ms);
}

QByteArray ReadReply(qsizetype size)
{
    return ReadReply(size, nullptr);
}

QByteArray ReadReply(qsizetype size, const ArrivalWatch& watch)
{
    switch (CurrentConnection.LinkType) {
    case LinkTelnet:
        return tcpReadReply(size, watch);
    case LinkModem: {
        WaitPumping(modemReplyWaitMs);
        const QByteArray text = LinkRead(size);
        if (watch && !text.isEmpty())
            watch(text);
        return text;
    }
    case LinkSerial:
    case LinkIsdnModem:
        return watch ? comReadWatched(linkPort(CurrentConnection), size, watch) : LinkRead(size);
    default:
        return {};
    }
}

QByteArray ReadReplyUntil(qsizetype size, qint64 endMs)
{
    switch (CurrentConnection.LinkType) {
    case LinkTelnet:
        return tcpReadReply(size, nullptr, endMs);
    case LinkModem: {
        WaitPumping(msBefore(endMs, modemReplyWaitMs));
        const int left = msBefore(endMs, kModemReadMs);
        return left > 0 ? modemRead(size, left) : QByteArray();
    }
    case LinkSerial:
    case LinkIsdnModem:
        return comReadBytes(linkPort(CurrentConnection), size, true, nullptr, endMs);
    default:
        return {};
    }
}

QByteArray ReadReplyOnUntil(qsizetype size, qint64 endMs)
{
    if (CurrentConnection.LinkType != LinkModem)
        return ReadReplyUntil(size, endMs);
    const int left = msBefore(endMs, kModemReadMs);
    return left > 0 ? modemRead(size, left) : QByteArray();
}

bool ReplyComplete(const QByteArray& text)
{
    for (const char* marker : {"MX login:", "MY login:", "NO CARRIER", "+++"}) {
        if (text.contains(marker))
            return true;
    }
    if (text.size() < 2)
        return false;
    const QByteArrayView body = QByteArrayView(text).chopped(2);
    for (const char* end : {"OK", "BUSY", "ERROR", "<SPACE>"}) {
        if (body.endsWith(end))
            return true;
    }
    return false;
}

bool SendCommand(const QByteArray& command, QByteArray& reply, qsizetype size, QString& failedItems,
                 const QString& itemLine)
{
    if (commandStatusHook)
        commandStatusHook(QString::fromLatin1(command));
    reply.clear();
    if (LinkWrite(CurrentConnection, command, command.size()) < quint32(command.size())) {
        failedItems += itemLine;
        return false;
    }
    WaitPumping(kCommandReplyDelayMs);
    reply = ReadReply(size);
    if (reply.contains("OK"))
        return true;
    if (!failedItems.contains(itemLine))
        failedItems += itemLine;
    return false;
}

QByteArray SendCommandOk(const QByteArray& command, QByteArray& reply, qsizetype size)
{
    reply.clear();
    if (LinkWrite(CurrentConnection, command, command.size()) < quint32(command.size()))
        return {};
    WaitPumping(kCommandOkDelayMs);
    reply = ReadReply(size);
    return reply.contains("OK") ? reply : QByteArray();
}

quint32 ComWrite(ComPort* port, const char* data, qsizetype count)
{
    stampActivity();
    if (!port || !port->isOpen() || !data || count <= 0)
        return 0;
    const qint64 n = port->write(data, count);
    return n > 0 ? quint32(n) : 0;
}

quint32 ComWrite(ComPort* port, const QByteArray& data)
{
    return ComWrite(port, data.constData(), data.size());
}

quint8 ComReadByte(ComPort* port)
{
    char c = 0;
    if (!port || !port->isOpen() || !port->readByte(c))
        return 0;
    if (c != 0)
        stampActivity();
    return quint8(c);
}

quint8 ComReadByteUntil(ComPort* port, qint64 endMs)
{
    return byteUntil(port, endMs, [port] { return ComReadByte(port); });
}

QByteArray ComRead(ComPort* port, qsizetype size, bool logging)
{
    return comReadBytes(port, size, logging, nullptr);
}

quint32 LinkPortWrite(const QByteArray& bytes)
{
    stampActivity();
    return portWrite(CurrentConnection, bytes, false);
}

quint8 LinkPortReadByteUntil(qint64 endMs)
{
    ComPort* port = linkPort(CurrentConnection);
    ModemLine* line = modemLine(CurrentConnection);
    const quint8 b = !line ? ComReadByteUntil(port, endMs) : byteUntil(port, endMs, [line] {
        char c = 0;
        if (line->read(&c, 1) != 1)
            return quint8(0);
        if (c != 0)
            stampActivity();
        return quint8(c);
    });
    if (b == 0)
        noteIfLost();
    return b;
}

void DropArrivedText()
{
    if (CurrentConnection.LinkType == LinkTelnet) {
        ClearTcpReceived();
        CurrentConnection.TcpDataReceived = false;
        return;
    }
    ComPort* port = linkPort(CurrentConnection);
    if (!port || !port->isOpen())
        return;
    ModemLine* line = modemLine(CurrentConnection);
    const CommTimeouts kept = port->timeouts();
    port->setTimeouts({0xFFFFFFFF, 0, 0, kept.writeTotalMultiplier, kept.writeTotalConstant}); // what is there
    QByteArray text(4096, '\0');
    for (;;) {
        const qint64 n = line ? line->read(text.data(), text.size()) : port->read(text.data(), text.size());
        if (n <= 0)
            break;
        noteReceived(text.left(n));
        if (n < text.size())
            break;
    }
    port->setTimeouts(kept);
    noteIfLost();
}

bool TelnetSendKey(char c)
{
    if (!tcpUp() || !tcp->SendCh(c))
        return false;
    stampActivity();
    return true;
}

QByteArray TakeTcpReceived()
{
    CurrentConnection.TcpDataReceived = false;
    return CurrentConnection.TcpReceived;
}

void ClearTcpReceived()
{
    tcpTakenBytes += CurrentConnection.TcpReceived.size();
    CurrentConnection.TcpReceived.clear();
    tcpTailDropped = false;
}

void DropTcpTextUntilWrite()
{
    ClearTcpReceived();
    tcpTailDropped = true;
}

void StoreTcpReceived(const QByteArray& text)
{
    if (text.isEmpty())
        return;
    if (tcpTailDropped) {
        noteReceived(text);
        return;
    }
    CurrentConnection.TcpReceived += text;
    tcpStoredBytes += text.size();
    const qint64 end = tcpStoredBytes;
    const int generation = tcpGeneration.load();
    QTimer::singleShot(kFlagDelayMs, Qt::PreciseTimer, [generation, end] {
        if (generation != tcpGeneration.load())
            return;
        // Taken whole already (the text is taken from its front): the flag would announce nothing.
        if (tcpTakenBytes >= end || CurrentConnection.TcpReceived.isEmpty())
            return;
        CurrentConnection.TcpDataReceived = true;
        for (const QPointer<QEventLoop>& loop : std::as_const(tcpWaiters)) {
            if (loop)
                loop->quit();
        }
    });
}

ComPort* LinkPort(const ConnectionRecord& conn)
{
    return linkPort(conn);
}

bool LinkPortLost()
{
    const ConnectionRecord& c = CurrentConnection;
    const ComPort* port = linkPort(c);
    if (port && port->isDisconnected())
        return true;
    const ModemLine* line = modemLine(c);
    return line && line->callEnded();
}

bool LinkLost()
{
    if (CurrentConnection.LinkType == LinkTelnet)
        return !tcpUp();
    return LinkPortLost();
}

void CancelLinkReads(bool on)
{
    if (ComPort* port = linkPort(CurrentConnection))
        port->setReadsCancelled(on);
}
