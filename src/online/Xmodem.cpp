#include "online/Xmodem.h"

#include "link/LinkIo.h"
#include "platform/Wait.h"

#include <QIODevice>
#include <algorithm>

quint16 Crc16Xmodem(const char* data, qsizetype length)
{
    quint16 crc = 0;
    for (qsizetype i = 0; i < length; ++i) {
        crc ^= quint16(quint8(data[i])) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

namespace {

bool crcMatches(const char* frame)
{
    const quint16 crc = Crc16Xmodem(frame + 3, kXmodemBlock);
    return quint8(frame[131]) == (crc >> 8) && quint8(frame[132]) == (crc & 0xFF);
}

bool framed(const char* frame, quint8 block)
{
    return frame[0] == kXmodemSoh && quint8(frame[1]) == block && quint8(frame[1]) + quint8(frame[2]) == 255 &&
           crcMatches(frame);
}

} // namespace

int XmodemCheckBlock(const char* frame, quint8 lastGood)
{
    if (frame[0] == kXmodemEot)
        return kXmodemEnd;
    return framed(frame, quint8(lastGood + 1)) ? kXmodemGood : kXmodemBad;
}

QByteArray XmodemDataFrame(quint8 block, const QByteArray& data)
{
    QByteArray frame(kXmodemFrame, '\0');
    frame[0] = kXmodemSoh;
    frame[1] = char(block);
    frame[2] = char(255 - block);
    std::copy_n(data.constData(), std::min<qsizetype>(data.size(), kXmodemBlock), frame.begin() + 3);
    const quint16 crc = Crc16Xmodem(frame.constData() + 3, kXmodemBlock);
    frame[131] = char(crc >> 8);
    frame[132] = char(crc & 0xFF);
    return frame;
}

ComPortXmodemLine::ComPortXmodemLine(ComPort& port) : port_(port), saved_(port.timeouts()) {}

ComPortXmodemLine::~ComPortXmodemLine()
{
    port_.setTimeouts(saved_);
}

bool ComPortXmodemLine::write(const QByteArray& bytes)
{
    return ComWrite(&port_, bytes) == quint32(bytes.size());
}

bool ComPortXmodemLine::read(QByteArray& out, int waitMs)
{
    // What has come already; else the first byte within waitMs and whatever came with it. No read waits for a
    // pause after a burst, which would cost that pause on every frame.
    constexpr quint32 kImmediate = 0xFFFFFFFF;
    char buf[1024];
    port_.setTimeouts({kImmediate, 0, 0, 0, 0});
    qint64 n = port_.read(buf, sizeof buf);
    if (n == 0 && waitMs > 0) {
        port_.setTimeouts({0, 0, quint32(waitMs), 0, 0});
        n = port_.read(buf, 1);
        if (n > 0) {
            port_.setTimeouts({kImmediate, 0, 0, 0, 0});
            const qint64 more = port_.read(buf + 1, sizeof buf - 1);
            n = more < 0 ? n : n + more;
        }
    }
    if (n < 0)
        return false;
    if (n > 0) {
        lastLinkActivity.store(Clock::seconds());
        out.append(buf, n);
    }
    return true;
}

namespace {

// One transfer's view of the line: bytes one at a time with a deadline, the clock, and the pauses.
class Wire
{
public:
    Wire(XmodemLine& line, const XmodemClock& clock) : line_(line)
    {
        now_ = clock.nowMs ? clock.nowMs : [] { return Clock::milliseconds(); };
        pause_ = clock.pause ? clock.pause : [](int ms) { WaitPumping(ms); };
    }

    qint64 now() const { return now_(); }
    void pause(int ms) { pause_(ms); }
    bool lost() const { return lost_; }

    bool write(char c) { return write(QByteArray(1, c)); }
    bool write(const QByteArray& bytes) { return !lost_ && line_.write(bytes); }

    // The next byte, waiting at most waitMs for it; false on a time-out or a lost line.
    bool next(char& c, int waitMs)
    {
        if (pos_ >= buf_.size()) {
            buf_.clear();
            pos_ = 0;
            if (lost_ || !line_.read(buf_, std::max(waitMs, 0))) {
                lost_ = true;
                return false;
            }
            if (buf_.isEmpty())
                return false;
        }
        c = buf_[pos_++];
        return true;
    }

    // Drops what comes until the line has been quiet for quietMs, or until the deadline; true when a CAN was
    // among it.
    bool drain(int quietMs, qint64 deadline)
    {
        bool cancelled = false;
        char c;
        while (now() < deadline && next(c, int(std::min<qint64>(quietMs, deadline - now()))))
            cancelled = cancelled || c == kXmodemCan;
        return cancelled;
    }

    // Drops what has come already; true when a CAN was among it.
    bool discardPending()
    {
        bool cancelled = false;
        pos_ = buf_.size();
        char c;
        while (next(c, 0))
            cancelled = cancelled || c == kXmodemCan;
        return cancelled;
    }

private:
    XmodemLine& line_;
    std::function<qint64()> now_;
    std::function<void(int)> pause_;
    QByteArray buf_;
    qsizetype pos_ = 0;
    bool lost_ = false;
};

enum class FrameRead { Full, End, TimedOut, Lost };

// Reads one frame into frame: a first 0x00 is dropped once; reading stops at an end header. headerWaitMs bounds
// the wait for the first byte, byteGapMs every pause after it, and deadline (when >= 0) the whole read.
FrameRead readFrame(Wire& wire, char* frame, int headerWaitMs, int byteGapMs, qint64 deadline)
{
    std::fill_n(frame, kXmodemFrame, '\0');
    int have = 0;
    bool droppedZero = false;
    while (have < kXmodemFrame) {
        qint64 wait = have == 0 ? headerWaitMs : byteGapMs;
        if (deadline >= 0)
            wait = std::min<qint64>(wait, deadline - wire.now());
        char c;
        if (wait <= 0 || !wire.next(c, int(wait)))
            return wire.lost() ? FrameRead::Lost : FrameRead::TimedOut;
        if (have == 0 && c == 0 && !droppedZero) {
            droppedZero = true;
            continue;
        }
        frame[have++] = c;
        if (have == 1 && c == kXmodemEot)
            return FrameRead::End;
    }
    return FrameRead::Full;
}

XmodemResult failed(XmodemResult r, const QString& why)
{
    r.ok = false;
    r.failure = why;
    return r;
}

} // namespace

XmodemResult XmodemReceive(XmodemLine& line, QIODevice& file, const XmodemProgress& progress,
                           const XmodemLimits& limits, const XmodemClock& clock)
{
    Wire wire(line, clock);
    XmodemResult result;
    char frame[kXmodemFrame];

    // Start: 'C', then block 1 within the try's time.
    bool started = false;
    for (int tryNo = 0; tryNo < 3 && !started; ++tryNo) {
        if (tryNo > 0) {
            wire.pause(limits.startPauseMs);
            wire.discardPending(); // the rest of a bad frame must not be taken for the next one
        }
        if (!wire.write(kXmodemCrcStart))
            return failed(result, QStringLiteral("the line is gone"));
        const qint64 deadline = wire.now() + limits.startTryMs;
        const FrameRead r = readFrame(wire, frame, limits.startTryMs, limits.byteGapMs, deadline);
        if (r == FrameRead::Lost)
            return failed(result, QStringLiteral("the line is gone"));
        if (wire.now() >= deadline) {
            // The gateway's own sender takes two ACKs as "give up this try".
            wire.write(kXmodemAck);
            wire.pause(limits.ackGapMs);
            wire.write(kXmodemAck);
            continue;
        }
        started = r != FrameRead::TimedOut && XmodemCheckBlock(frame, 0) == kXmodemGood;
    }
    if (!started)
        return failed(result, QStringLiteral("no block 1 after three tries"));

    if (file.write(frame + 3, kXmodemBlock) != kXmodemBlock) {
        wire.write(kXmodemCan);
        return failed(result, QStringLiteral("the file cannot be written"));
    }
    int good = 1;
    int errors = 0;
    char reply = kXmodemAck;
    qint64 errorSince = wire.now();
    bool running = true;
    while (running) {
        if (!wire.write(reply))
            return failed(result, QStringLiteral("the line is gone"));
        result.blocks = good;
        const FrameRead r = readFrame(wire, frame, limits.frameWaitMs, limits.byteGapMs, -1);
        if (r == FrameRead::Lost)
            return failed(result, QStringLiteral("the line is gone"));
        int verdict = kXmodemBad;
        if (r == FrameRead::TimedOut) {
            // What came of the frame is dropped; the sender is asked again once the line is quiet.
            wire.drain(limits.quietMs, errorSince + limits.errorWindowMs + 1);
        } else {
            verdict = XmodemCheckBlock(frame, quint8(good));
        }

        if (verdict == kXmodemGood) {
            if (file.write(frame + 3, kXmodemBlock) != kXmodemBlock) {
                wire.write(kXmodemCan);
                return failed(result, QStringLiteral("the file cannot be written"));
            }
            ++good;
            result.blocks = good;
            if (progress)
                progress(qint64(kXmodemBlock) * good, good);
            reply = kXmodemAck;
            errors = 0;
            errorSince = wire.now();
        } else if (r == FrameRead::Full && framed(frame, quint8(good))) {
            // The last good block again: our ACK was lost. It is acknowledged, not written twice, no error.
            reply = kXmodemAck;
        } else {
            if (verdict == kXmodemEnd)
                running = false;
            else if (errors >= limits.maxBadFrames) {
                wire.write(kXmodemCan);
                return failed(result, QStringLiteral("cancelled after bad frames"));
            }
            if (errors == 0)
                errorSince = wire.now();
            reply = kXmodemNak;
            ++errors;
        }
        // Repeats of the last good block count here too: a sender that never gets further is given up. An end
        // that comes too late is no exception.
        if (wire.now() - errorSince > limits.errorWindowMs) {
            wire.write(kXmodemCan);
            return failed(result, QStringLiteral("cancelled: no new block in time"));
        }
    }
    if (errors > 1)
        return failed(result, QStringLiteral("the end came after a bad frame"));
    // The ACK gap also lets the rest of a 133-byte end frame go by.
    wire.write(kXmodemAck);
    wire.drain(limits.ackGapMs, wire.now() + limits.ackGapMs);
    wire.write(kXmodemAck);
    result.ok = true;
    return result;
}

namespace {

enum class Reply { Ack, Nak, Can, None };

Reply awaitReply(Wire& wire, int replyMs)
{
    const qint64 deadline = wire.now() + replyMs;
    char c;
    for (qint64 left = replyMs; left > 0; left = deadline - wire.now()) {
        if (!wire.next(c, int(left))) {
            if (wire.lost())
                return Reply::None;
            continue;
        }
        if (c == kXmodemAck)
            return Reply::Ack;
        if (c == kXmodemNak)
            return Reply::Nak;
        if (c == kXmodemCan)
            return Reply::Can;
    }
    return Reply::None;
}

// Before a frame or an end goes again: a receiver may answer one damaged sending more than once, and an answer
// still on its way would be taken for the next sending's. So the line must have been quiet for quietMs (at
// most a reply's time is spent waiting for that), and what came is dropped. True when a CAN was among it.
bool settle(Wire& wire, const XmodemLimits& limits)
{
    return wire.drain(limits.quietMs, wire.now() + limits.replyMs);
}

} // namespace

XmodemResult XmodemSend(XmodemLine& line, QIODevice& file, const XmodemProgress& progress, const XmodemLimits& limits,
                        const XmodemClock& clock)
{
    Wire wire(line, clock);
    XmodemResult result;

    // Three waits for 'C'; without it the frames go all the same.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const qint64 deadline = wire.now() + limits.startPauseMs;
        char c = 0;
        bool gotC = false;
        while (!gotC && wire.now() < deadline) {
            if (wire.next(c, int(deadline - wire.now())))
                gotC = c == kXmodemCrcStart;
            else if (wire.lost())
                return failed(result, QStringLiteral("the line is gone"));
        }
        if (gotC)
            break;
    }

    int acked = 0;
    int resends = 0;
    bool readNext = true;
    bool isEnd = false;
    QByteArray frame;
    for (;;) {
        if (readNext) {
            const QByteArray data = file.read(kXmodemBlock);
            if (data.isEmpty()) {
                // End of the data (a failed read counts as one): the gateway's 133-byte end frame.
                frame = QByteArray(kXmodemFrame, '\0');
                frame[0] = kXmodemEot;
                isEnd = true;
            } else {
                frame = XmodemDataFrame(quint8(acked + 1), data);
            }
            readNext = false;
            resends = 0;
        }
        // A receiver may answer a damaged frame more than once; an answer left waiting must not be taken for
        // this frame's.
        if (wire.discardPending())
            return failed(result, QStringLiteral("cancelled by the receiver"));
        if (!wire.write(frame))
            return failed(result, QStringLiteral("the line is gone"));
        const Reply reply = awaitReply(wire, limits.replyMs);
        if (reply == Reply::None)
            return failed(result, wire.lost() ? QStringLiteral("the line is gone") : QStringLiteral("no reply"));
        if (reply == Reply::Can)
            return failed(result, QStringLiteral("cancelled by the receiver"));
        if (reply == Reply::Nak) {
            if (isEnd)
                break; // the end frame is not taken: a lone EOT follows
            if (++resends > limits.maxResends) {
                wire.write(kXmodemCan);
                return failed(result, QStringLiteral("too many NAKs"));
            }
            if (settle(wire, limits))
                return failed(result, QStringLiteral("cancelled by the receiver"));
            continue;
        }
        if (progress)
            progress(qint64(kXmodemBlock) * acked, acked);
        if (isEnd) {
            result.blocks = acked;
            result.ok = true;
            break;
        }
        ++acked;
        result.blocks = acked;
        readNext = true;
    }

    for (int tryNo = 0; !result.ok && tryNo < limits.maxEotTries; ++tryNo) {
        if (settle(wire, limits))
            return failed(result, QStringLiteral("cancelled by the receiver"));
        if (!wire.write(kXmodemEot))
            return failed(result, QStringLiteral("the line is gone"));
        const Reply reply = awaitReply(wire, limits.replyMs);
        if (reply == Reply::Can)
            return failed(result, QStringLiteral("cancelled by the receiver"));
        if (reply == Reply::Ack) {
            if (progress)
                progress(qint64(kXmodemBlock) * acked, acked);
            result.ok = true;
        } else if (wire.lost()) {
            return failed(result, QStringLiteral("the line is gone"));
        }
    }
    if (!result.ok) {
        wire.write(kXmodemCan);
        return failed(result, QStringLiteral("the end was never acknowledged"));
    }

    char c;
    wire.write(kXmodemClose);
    wire.next(c, limits.closingReadMs);
    wire.write(kXmodemClose);
    wire.next(c, limits.closingReadMs);
    return result;
}
