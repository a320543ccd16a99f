#include "link/LinkIo.h"

#include "link/ExchangeState.h"
#include "link/LinkReads.h"

#include "link/CommLog.h"
#include "link/LiveTools.h"
#include "link/Login.h"
#include "link/ModemWaits.h"
#include "platform/ComPort.h"
#include "platform/ModemLine.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace {

// Waits of the gateway protocol.
constexpr int kFlagDelayMs = 10;         // from telnet text stored to the data flag set
constexpr int kModemWriteMs = 1000;      // one write on a modem line
constexpr int kModemLongReadMs = 100000; // ... and one of LinkReadTimeout
constexpr int kModemQuietMs = 100;       // a modem read ends this long after its last byte
constexpr int kStepMs = 10;              // telnet wait step once the deadline estimate is off
constexpr int kPauseOnLinkStepMs = 20;   // PauseOnLink looks at the link this often

// Bumped by resetLinkState: flags scheduled before a reset must not land in the fresh record.
std::atomic<int> tcpGeneration{0};
// Nested loops of the telnet waits in progress; the data flag wakes them all.
QList<QPointer<QEventLoop>> tcpWaiters;
// Telnet text stored and taken since the last reset, in bytes. The data flag follows its text 10 ms late; a read
// may take the text within those 10 ms, and a flag set after that would wake the next read to nothing.
qint64 tcpStoredBytes = 0;
qint64 tcpTakenBytes = 0;
// Set by DropTcpTextUntilWrite: the telnet text that comes is the rest of a reply nobody waits for any more. The
// watch looks at it across its pieces.
bool tcpTailDropped = false;

constexpr int kSliceByteGapMs = 2; // a slice's read hands over what came once the line pauses this long

using exchangestate::onWindowThread;
using exchangestate::readerEpoch;
using linkio::kArrivalSettleMs;
using linkio::keptOf;
using linkio::kModemReadMs;
using linkio::kSliceMs;
using linkio::readAbandoned;
using linkio::readWholeReply;
using linkio::WholeReply;

thread_local const ConnectionRecord* threadLinkRecord = nullptr;
thread_local quint64 threadLinkEpoch = 0;

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
    if (LinkRecord().SaveLog)
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

// The link a read started on, kept alive while the read lasts: a handler run between its slices may close the
// link (Disconnect) and drop the connection's own references. A modem line's hang-up closes its port, which
// then fails every read.
struct HeldPort
{
    std::shared_ptr<ComPort> handle;
    std::shared_ptr<ModemLine> modem;
    ModemLine* line = nullptr; // the modem line's watch for the call's end

    HeldPort() : handle(LinkRecord().Handle), modem(LinkRecord().Modem) { line = modemLine(LinkRecord()); }
    ComPort* port() const
    {
        if (handle)
            return handle.get();
        return LinkRecord().LinkType == LinkModem && modem ? modem->port() : nullptr;
    }
    bool open() const { return port() && port()->isOpen(); }
    // One read under timeouts of its own (the port's are left as they are, so a reader thread and the window's
    // thread never change them under each other), through the line's watch where there is one.
    qint64 read(char* data, qint64 size, const CommTimeouts& timeouts) const
    {
        ComPort* p = port();
        if (!p)
            return -1;
        return line ? line->read(data, size, &timeouts) : p->read(data, size, timeouts);
    }
    bool lost() const { return (port() && port()->isDisconnected()) || (line && line->callEnded()); }
    bool cancelled() const { return port() && port()->readsCancelled(); }
};

// Waits on the window's thread in slices: handles the window's events for the rest of a slice that a read
// left early (a port closed or reads cancelled), so that a loop of such reads never spins.
void restOfSlice(qint64 sliceStart, qint64 sliceEnd)
{
    const qint64 left = std::min(sliceEnd, sliceStart + kSliceMs) - Clock::milliseconds();
    if (left > 0)
        WaitPumping(int(left));
    else
        ProcessMessages();
}

void noteReplyText(const QByteArray& text, bool logged)
{
    if (text.isEmpty())
        return;
    if (logged) {
        noteReceived(text);
    } else {
        stampActivity();
    }
}

// The bounds of a read in slices (readInSlices).
struct SliceBounds
{
    qsizetype max = std::numeric_limits<qsizetype>::max(); // bytes to take at most
    qint64 firstByteMs = 0;                                // the longest wait for the first byte
    qint64 quietMs = 0;                                    // the longest pause between two bytes, once text has come
    qint64 capMs = 0; // not 0: the read ends this long after its first byte at the latest
    qint64 endMs = 0; // not 0: the read ends then (Clock::milliseconds()), quiet moments or not
};
// Told of each piece as it comes (the text so far and where the piece starts in it); true ends the read.
using SliceArrival = std::function<bool(const QByteArray& soFar, qsizetype pieceAt)>;

// Reads held's port in slices of at most 100 ms, each handing over what came, the window's events handled
// between them (a worker's read only paces itself by the slices). Ends when arrived says so, at its bounds, or
// once the read is abandoned: the program closes, the link is lost, closed or no longer the one of epoch, or the
// port's reads are cancelled. capped (when given): set when it ended at its cap, the link not quiet.
QByteArray readInSlices(const HeldPort& held, quint64 epoch, const SliceBounds& bounds, const SliceArrival& arrived,
                        bool* capped = nullptr)
{
    const bool pumping = onWindowThread();
    qint64 lastArrivalMs = Clock::milliseconds();
    qint64 capMs = LLONG_MAX;
    QByteArray collected;
    QByteArray buffer(int(std::min<qsizetype>(bounds.max, 4096)), '\0');
    bool looked = false; // what had come before the bounds ran out is read all the same
    while (collected.size() < bounds.max) {
        if (!held.open() || held.lost() || held.cancelled() || readAbandoned(epoch))
            break;
        const qint64 now = Clock::milliseconds();
        const qint64 quietEnd = lastArrivalMs + (collected.isEmpty() ? bounds.firstByteMs : bounds.quietMs);
        const qint64 until = bounds.endMs ? bounds.endMs : std::min(quietEnd, capMs);
        if (now >= until && looked) {
            if (capped)
                *capped = !bounds.endMs && capMs <= quietEnd;
            break;
        }
        const qint64 sliceEnd = std::max(now, std::min(until, now + kSliceMs));
        const qint64 room = std::min<qint64>(buffer.size(), bounds.max - collected.size());
        const CommTimeouts slice =
            sliceEnd > now ? CommTimeouts{kSliceByteGapMs, 0, quint32(sliceEnd - now), 0, 0} : kArrivedOnlyTimeouts;
        looked = true;
        const qint64 n = held.read(buffer.data(), room, slice);
        // The one place the link's text passes: what belongs to nobody (a taken reply's rest) never reaches us.
        const QByteArray got =
            n > 0 ? LinkTextArrived(QByteArrayView(buffer.constData(), n), readerEpoch()) : QByteArray();
        if (!got.isEmpty()) {
            const qsizetype at = collected.size();
            if (collected.isEmpty() && bounds.capMs)
                capMs = Clock::milliseconds() + bounds.capMs;
            collected.append(got);
            lastArrivalMs = Clock::milliseconds();
            if (arrived && arrived(collected, at))
                break;
        }
        if (n < 0)
            break; // the port is gone or closed
        if (!pumping)
            continue;
        // A read that came back before its slice was over with nothing (reads cancelled, a port closed under
        // it) is not asked again at once.
        if (n == 0 && Clock::milliseconds() < sliceEnd)
            restOfSlice(now, sliceEnd);
        else
            ProcessMessages();
    }
    noteIfLost();
    return collected;
}

// One read on the modem line: waits at most totalMs for the first byte and ends 100 ms after the last. On the
// window's thread it reads in slices of at most 100 ms with the window's events handled between them. A worker's
// read (a live tool's reader) reads in slices too, each one read turn of the line under time-outs of its own
// (the port's stay as the window's thread set them): the window's reads go first, so they wait one slice at
// most, however long the worker waits for the gateway. A stop (reads cancelled) ends it at once.
QByteArray modemRead(qsizetype size, int totalMs)
{
    const HeldPort held;
    if (!held.open() || size <= 1)
        return {};
    const LinkWaitScope waiting; // counts on the window's thread only
    SliceBounds bounds;
    bounds.max = size - 1;
    bounds.firstByteMs = totalMs;
    bounds.quietMs = kModemQuietMs;
    const QByteArray text = readInSlices(held, LinkEpoch(), bounds, nullptr);
    noteReceived(text);
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
bool waitTcpData(double seconds, qint64 endMs = 0, const std::function<bool()>& over = {})
{
    const quint64 epoch = LinkEpoch(); // a Disconnect or a new connection ends the wait
    seconds = std::min(seconds, 1e9);  // beyond any time-out a setting can hold; keeps the sums below in range
    const qint64 start = Clock::seconds();
    auto expired = [&] { return !(double(Clock::seconds() - start) <= seconds); }; // NaN counts as expired
    const qint64 target = expired() ? start : start + qint64(std::floor(seconds)) + 1;
    bool estimateOff = false;
    for (;;) {
        if (CurrentConnection.TcpDataReceived)
            return true;
        if (over && over())
            return false;
        // At the close the work that reads ends at once, the link closing after it; so at the session's end.
        if (!tcpUp() || expired() || closingProgram() || LinkEpoch() != epoch || LinkSessionEnded())
            return false;
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

} // namespace

namespace linkio {

// Waits at most ms (and a slice at most) with the window's events handled; a wake of the link's waits
// (wakeTcpWaits: a claimed reply let go or ended, the link closed) ends it early.
void waitWoken(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(std::clamp(ms, 0, kSliceMs), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    tcpWaiters.append(&loop);
    {
        NestedWait nested;
        loop.exec();
    }
    tcpWaiters.removeAll(&loop);
}

} // namespace linkio

namespace {

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
    const LinkWaitScope waiting;
    waitTcpData(seconds);
    WaitPumping(kArrivalSettleMs);
    const QByteArray text = takeTcpText(size - 1);
    noteReceived(text);
    return text;
}

QByteArray linkReadWith(qsizetype size, double tcpSeconds, int modemMs)
{
    switch (LinkRecord().LinkType) {
    case LinkSerial:
    case LinkIsdnModem:
        return ComRead(linkPort(LinkRecord()), size, true);
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
    // The link's own port: its text passes the one place (a port that is no link yet, the scan's, does not).
    const bool linkText = port && port == linkPort(LinkRecord());
    const quint64 epoch = readerEpoch();
    QByteArray text;
    while (text.size() < size - 1) {
        const quint8 b = endMs ? ComReadByteUntil(port, endMs) : ComReadByte(port);
        if (b == 0)
            break;
        const char c = char(b);
        if (linkText && LinkTextArrived(QByteArrayView(&c, 1), epoch).isEmpty())
            continue; // a taken reply's rest: nobody's
        text += c;
        if (watch)
            (*watch)(text);
    }
    if (logging && LinkRecord().SaveLog && !text.isEmpty())
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
    return LinkRecord().LanTimeout / 1000.0;
}

// Milliseconds from now to endMs, at most ms; none once endMs has passed.
int msBefore(qint64 endMs, int ms)
{
    return int(std::clamp<qint64>(endMs - Clock::milliseconds(), 0, ms));
}

// Takes the telnet text that has come into the reply; true when it brought the reply's end.
bool takeTcpPiece(WholeReply& whole, const ReplyReading& r, exchangestate::ReplyEndFinder& ends)
{
    QByteArray chunk;
    chunk.swap(CurrentConnection.TcpReceived);
    CurrentConnection.TcpDataReceived = false;
    tcpTakenBytes += chunk.size();
    if (chunk.isEmpty())
        return false;
    noteReplyText(chunk, r.logged);
    whole.text += chunk;
    if (r.watch)
        r.watch(whole.text);
    return ends.feed(chunk) >= 0 || (r.alsoEnds && r.alsoEnds(whole.text));
}

// The telnet collection, in steps: each waits for the data flag and takes what has come at once. A step that
// brought nothing within the LAN time-out (then 100 ms more for what may still come) ends the read. bounded: the
// whole read ends at endMs and a step that brought nothing is no end before it.
WholeReply tcpReadReply(const ReplyReading& r, quint64 epoch, qint64 endMs, bool bounded)
{
    const qint64 capMs = bounded ? endMs : Clock::milliseconds() + kReplyCapMs;
    WholeReply whole;
    exchangestate::ReplyEndFinder ends(r.busy);
    for (;;) {
        const bool arrived = waitTcpData(lanSeconds(), bounded ? endMs : 0);
        // Closed, lost or closing: what came with the end is taken without waiting for more of it.
        if (!arrived && !readAbandoned(epoch))
            WaitPumping(bounded ? msBefore(endMs, kArrivalSettleMs) : kArrivalSettleMs);
        if (LinkEpoch() != epoch)
            break; // another connection's text is none of this read's
        whole.ended = takeTcpPiece(whole, r, ends);
        if (whole.ended || readAbandoned(epoch) || Clock::milliseconds() >= capMs)
            break;
        if (!arrived && !bounded)
            break;
    }
    whole.capped = !whole.ended && !bounded && !readAbandoned(epoch) && Clock::milliseconds() >= capMs;
    return whole;
}

// The serial port's and the modem line's whole reply, read in slices (readInSlices) to its end. silentBeforeMs: the
// gateway has already kept silent this long for this reply's sake (see TakeOwedReplies), which counts within the
// first byte's bound.
WholeReply portReadReply(const ReplyReading& r, quint64 epoch, qint64 endMs, qint64 silentBeforeMs)
{
    const HeldPort held;
    const bool modem = held.line || LinkRecord().LinkType == LinkModem;
    SliceBounds bounds;
    bounds.firstByteMs =
        std::max<qint64>((modem ? modemReplyWaitMs + kModemReadMs : serialReplyQuietMs) - silentBeforeMs, kSliceMs);
    bounds.quietMs = modem ? kModemReadMs : serialReplyQuietMs;
    bounds.capMs = kReplyCapMs;
    bounds.endMs = endMs;
    WholeReply whole;
    exchangestate::ReplyEndFinder ends(r.busy);
    const auto arrived = [&r, &whole, &ends](const QByteArray& soFar, qsizetype pieceAt) {
        const QByteArrayView piece = QByteArrayView(soFar).sliced(pieceAt);
        whole.text.append(piece);
        noteReplyText(piece.toByteArray(), r.logged);
        if (r.watch)
            r.watch(whole.text);
        whole.ended = ends.feed(piece) >= 0 || (r.alsoEnds && r.alsoEnds(whole.text));
        return whole.ended;
    };
    readInSlices(held, epoch, bounds, arrived, &whole.capped);
    return whole;
}

} // namespace

namespace linkio {

WholeReply readWholeReply(const ReplyReading& r, qint64 silentBeforeMs)
{
    const quint64 epoch = LinkEpoch();
    const bool bounded = r.boundMs > 0;
    const qint64 endMs = bounded ? Clock::milliseconds() + r.boundMs : 0;
    LinkWaitScope waiting;
    std::optional<NeverLooksScope> expected; // the prompt may answer: no sign of the session's end
    if (r.loginPromptExpected)
        expected.emplace();
    switch (LinkRecord().LinkType) {
    case LinkTelnet:
        return tcpReadReply(r, epoch, endMs, bounded);
    case LinkModem:
    case LinkSerial:
    case LinkIsdnModem:
        return portReadReply(r, epoch, endMs, silentBeforeMs);
    default:
        return {};
    }
}

QByteArray keptOf(QByteArray text, qsizetype size)
{
    text.truncate(std::max<qsizetype>(size - 1, 0));
    return text;
}

bool readAbandoned(quint64 epoch)
{
    return closingProgram() || LinkEpoch() != epoch || LinkLost();
}

// Reads the open link on the window's thread for at most msLeft and drops what came (logged as received; it passed
// the one place first). On telnet it ends early too once the owed front it began with has ended where the text
// arrived (the tail of a Stop dropped there, say).
void dropForTake(quint64 epoch, qint64 msLeft)
{
    if (LinkRecord().LinkType == LinkTelnet) {
        const quint64 front = OwedReplyNow().id;
        waitTcpData(std::numeric_limits<double>::infinity(), Clock::milliseconds() + msLeft,
                    [front] { return OwedReplyNow().id != front; });
        QByteArray dropped;
        dropped.swap(CurrentConnection.TcpReceived);
        CurrentConnection.TcpDataReceived = false;
        tcpTakenBytes += dropped.size();
        noteReceived(dropped);
        return;
    }
    const HeldPort held;
    SliceBounds bounds;
    bounds.endMs = Clock::milliseconds() + std::max<qint64>(msLeft, 1);
    const QByteArray dropped = readInSlices(held, epoch, bounds, [](const QByteArray&, qsizetype) { return true; });
    noteReceived(dropped);
    if (dropped.isEmpty() && !held.open())
        WaitPumping(int(std::min<qint64>(msLeft, kSliceMs))); // no port to read: the bound still passes
}

} // namespace linkio

namespace {

// One byte that readByte takes within the port's time-outs, its wait cut so that it ends by endMs (once endMs
// has passed, only a byte that has come already).
template <typename ReadByte> quint8 byteUntil(ComPort* port, qint64 endMs, ReadByte readByte)
{
    const qint64 left = endMs - Clock::milliseconds();
    if (!port || !port->isOpen())
        return 0;
    const CommTimeouts t = port->timeouts();
    if (left <= 0) { // only a byte that has come already
        port->setTimeouts({kArrivedOnlyTimeouts.readInterval, 0, 0, t.writeTotalMultiplier, t.writeTotalConstant});
        const quint8 b = readByte();
        port->setTimeouts(t);
        return b;
    }
    // The longest one byte may wait under the port's time-outs (0: no bound, it waits for the byte).
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

namespace {

void wakeTcpWaitsNow()
{
    for (const QPointer<QEventLoop>& loop : std::as_const(tcpWaiters)) {
        if (loop)
            loop->quit();
    }
}

void logNobodysNow(const QByteArray& text)
{
    noteReceived(text);
}

quint64 readerEpochNow()
{
    return threadLinkRecord ? threadLinkEpoch : LinkEpoch();
}

// The link's state wakes the telnet waits, logs, and asks the reader's link through these (it knows nothing of the
// reads).
[[maybe_unused]] const bool tcpWakeSet =
    (exchangestate::wakeTcpWaits = &wakeTcpWaitsNow, exchangestate::logNobodys = &logNobodysNow,
     exchangestate::readerEpochOf = &readerEpochNow, true);

} // namespace

void resetLinkState()
{
    CloseCommLog(CurrentConnection);
    exchangestate::reset();
    ++tcpGeneration;
    tcpStoredBytes = 0;
    tcpTakenBytes = 0;
    tcpTailDropped = false;
    wakeTcpWaitsNow();
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
    if (LinkSessionEnded())
        return 0; // it would go into the gateway's login dialogue
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
    if (LinkRecord().LinkType == LinkSerial || LinkRecord().LinkType == LinkIsdnModem)
        return comReadBytes(linkPort(LinkRecord()), size, true, nullptr, Clock::milliseconds() + ms);
    return linkReadWith(size, ms / 1000.0, ms);
}

QByteArray ReadReply(qsizetype size)
{
    ReplyReading r;
    r.size = size;
    return ReadReply(r);
}

QByteArray ReadReply(qsizetype size, const ArrivalWatch& watch)
{
    ReplyReading r;
    r.size = size;
    r.watch = watch;
    return ReadReply(r);
}

QByteArray ReadReply(const ReplyReading& r)
{
    // The session's end was looked for in all of it as it came (LinkTextArrived), beyond the size kept too.
    WholeReply whole = readWholeReply(r);
    if (whole.ended)
        exchangestate::noteReplyEnded();
    return keptOf(std::move(whole.text), r.size);
}

bool ReadReplyMeetsSessionEnd(qsizetype size)
{
    ReplyReading r;
    r.size = size;
    const WholeReply whole = readWholeReply(r);
    if (whole.ended)
        exchangestate::noteReplyEnded();
    return LinkSessionEnded();
}

QByteArray ReadReplyPiece(qsizetype size, const ArrivalWatch& watch)
{
    switch (LinkRecord().LinkType) {
    case LinkTelnet:
        return ReadReply(size, watch);
    case LinkModem: {
        WaitPumping(modemReplyWaitMs);
        const QByteArray text = LinkRead(size);
        if (watch && !text.isEmpty())
            watch(text);
        return text;
    }
    case LinkSerial:
    case LinkIsdnModem:
        return watch ? comReadWatched(linkPort(LinkRecord()), size, watch) : LinkRead(size);
    default:
        return {};
    }
}

bool ReplyComplete(const QByteArray& text)
{
    return exchangestate::replyEndsFrom(text, 0, true);
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
    if (LinkSessionEnded())
        return 0;
    stampActivity();
    return portWrite(LinkRecord(), bytes, false);
}

void DropArrivedText()
{
    // Every byte was looked at and counted as it came (LinkTextArrived).
    if (CurrentConnection.LinkType == LinkTelnet) {
        const QByteArray dropped = CurrentConnection.TcpReceived;
        ClearTcpReceived();
        CurrentConnection.TcpDataReceived = false;
        noteReceived(dropped);
        return;
    }
    const HeldPort held;
    if (!held.open())
        return;
    QByteArray text(4096, '\0');
    const quint64 epoch = readerEpoch();
    for (;;) {
        const qint64 n = held.read(text.data(), text.size(), {0xFFFFFFFF, 0, 0, 0, 0}); // what is there
        if (n <= 0)
            break;
        noteReceived(LinkTextArrived(QByteArrayView(text.constData(), n), epoch));
        if (n < text.size())
            break;
    }
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
    noteReceived(CurrentConnection.TcpReceived); // looked at and counted as it came
    ClearTcpReceived();
    tcpTailDropped = true;
}

void StoreTcpReceived(const QByteArray& arrived)
{
    // The one place the link's text passes: looked at as the line's continuation and counted against what is
    // owed, whoever reads it; a taken reply's rest goes no further.
    const QByteArray text = LinkTextArrived(arrived, LinkEpoch());
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

const ConnectionRecord& LinkRecord()
{
    return threadLinkRecord ? *threadLinkRecord : CurrentConnection;
}

LinkRecordScope::LinkRecordScope(const ConnectionRecord& own, quint64 epoch)
    : before_(threadLinkRecord), beforeEpoch_(threadLinkEpoch)
{
    threadLinkRecord = &own;
    threadLinkEpoch = epoch;
}

LinkRecordScope::~LinkRecordScope()
{
    threadLinkRecord = before_;
    threadLinkEpoch = beforeEpoch_;
}

ComPort* LinkPort(const ConnectionRecord& conn)
{
    return linkPort(conn);
}

bool LinkPortLost()
{
    if (LinkSessionEnded())
        return true;
    const ConnectionRecord& c = LinkRecord();
    const ComPort* port = linkPort(c);
    if (port && port->isDisconnected())
        return true;
    const ModemLine* line = modemLine(c);
    return line && line->callEnded();
}

bool LinkLost()
{
    if (LinkSessionEnded())
        return true;
    if (LinkRecord().LinkType == LinkTelnet)
        return !tcpUp();
    return LinkPortLost();
}

void CancelLinkReads(bool on)
{
    if (ComPort* port = linkPort(LinkRecord()))
        port->setReadsCancelled(on);
}

namespace {

// What has arrived on the link's port and nobody has read, at most kPortLookBytes, left for its reader: a look that
// takes nothing. A modem line's unread text is looked at through the line, unless a read is under way on it.
QByteArray arrivedOnPort()
{
    constexpr qint64 kPortLookBytes = 4096;
    const ConnectionRecord& c = LinkRecord();
    if (ModemLine* line = modemLine(c))
        return line->peekUnread(kPortLookBytes);
    if (c.LinkType != LinkSerial && c.LinkType != LinkIsdnModem)
        return {};
    ComPort* port = c.Handle.get();
    if (!port || !port->isOpen())
        return {};
    QByteArray text(kPortLookBytes, '\0');
    const qint64 n = port->readArrived(text.data(), text.size());
    text.resize(std::max<qint64>(n, 0));
    port->unread(text);
    return text;
}

// Whether the prompt has come in what nobody has read yet. A live tool's reader takes the port's text itself (and
// looks at it as it reads): the port is not touched under it.
bool arrivedTextHoldsPrompt()
{
    return !liveTools.anyReadsLink() && LinkTextWouldEndSession(arrivedOnPort());
}

} // namespace

bool ArrivedTextEndsSession()
{
    if (!LinkSessionEnded() && arrivedTextHoldsPrompt())
        EndLinkSession();
    return LinkSessionEnded();
}

void PauseOnLink(int ms)
{
    if (ms <= 0) {
        WaitPumping(ms); // the events handled once, as ever
        return;
    }
    const qint64 end = Clock::milliseconds() + ms;
    const quint64 epoch = LinkEpoch();
    const bool window = exchangestate::onWindowThread(); // the telnet text is the window's thread's
    const auto ends = [window, epoch] {
        if (readAbandoned(epoch)) // lost, closed (Disconnect) or the program closing
            return true;
        if (!window)
            return false;
        if (CurrentConnection.LinkType == LinkTelnet)
            return false; // its text is looked at as it arrives: the prompt ends the session, and so the pause
        return arrivedTextHoldsPrompt();
    };
    for (qint64 left = ms; left > 0 && !ends(); left = end - Clock::milliseconds())
        WaitPumping(int(std::min<qint64>(left, kPauseOnLinkStepMs)));
}
