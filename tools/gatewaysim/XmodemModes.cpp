#include "gatewaysim/XmodemModes.h"

#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

constexpr char kSoh = 0x01, kEot = 0x04, kAck = 0x06, kNak = 0x15, kCan = 0x18, kClose = 0x11;
constexpr int kReplyWaitMs = 10000; // the sender gives up on a silent receiver
constexpr int kStartRepeatMs = 1000;
constexpr int kStartTries = 10;
constexpr int kByteGapMs = 1000;
constexpr int kEotQuietMs = 100;
constexpr int kMaxErrors = 20;

quint16 crc16(const char* data, int length)
{
    quint16 crc = 0;
    for (int i = 0; i < length; ++i) {
        crc ^= quint16(quint8(data[i]) << 8);
        for (int b = 0; b < 8; ++b)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

QByteArray frameOf(const QByteArray& data, int block)
{
    QByteArray f(133, '\0');
    f[0] = kSoh;
    f[1] = char(block & 0xFF);
    f[2] = char(255 - (block & 0xFF));
    const QByteArray part = data.mid((block - 1) * 128, 128);
    std::copy(part.begin(), part.end(), f.begin() + 3);
    const quint16 crc = crc16(f.constData() + 3, 128);
    f[131] = char(crc >> 8);
    f[132] = char(crc & 0xFF);
    return f;
}

} // namespace

void XmodemSender::start(const QByteArray& data, Done done)
{
    data_ = data;
    done_ = std::move(done);
}

void XmodemSender::enter(Session& session)
{
    if (!connected_) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &session, [this, &session] { finish(session, false); });
        connected_ = true;
    }
    const Faults f = session.faults();
    state_ = State::WaitStart;
    block_ = 1;
    badLeft_ = f.xmodemBadTimes;
    repeatsLeft_ = f.xmodemRepeat;
    repeating_ = faultSent_ = false;
    timer_.start(60000);
}

void XmodemSender::sendFrame(Session& session)
{
    const int blocks = int((data_.size() + 127) / 128);
    if (block_ > blocks) {
        session.send(QByteArray(1, kEot));
    } else {
        const Faults f = session.faults();
        QByteArray frame = frameOf(data_, block_);
        const bool hit = block_ == f.xmodemFrame && !repeating_;
        const bool first = hit && !faultSent_; // the pause and the 0x00 hit the first sending only
        faultSent_ = faultSent_ || hit;
        if (hit && badLeft_ > 0) {
            frame[132] = char(frame[132] ^ 0x01);
            --badLeft_;
        }
        if (first && f.xmodemZeroFirst)
            frame.prepend('\0');
        if (first && f.xmodemPauseMs > 0) {
            session.send(frame.left(60));
            session.send(frame.mid(60), f.xmodemPauseMs);
        } else {
            session.send(frame);
        }
    }
    state_ = State::WaitReply;
    timer_.start(kReplyWaitMs);
}

qsizetype XmodemSender::take(Session& session, const QByteArray& bytes, qsizetype from)
{
    const char c = bytes[from];
    if (state_ == State::Finished) {
        if (c == '\r' || c == '\n') {
            // The program's line end after the transfer: the READ is over.
            session.logRaw(QByteArray(1, c));
            session.sendReply({});
            session.switchTo(Mode::Command);
            return 1;
        }
        if (c != kAck) {
            session.switchTo(Mode::Command);
            return 0;
        }
        session.logRaw(QByteArray(1, c));
        return 1;
    }
    session.logRaw(QByteArray(1, c));
    const Faults f = session.faults();
    if (f.xmodemSilent)
        return 1;
    const int blocks = int((data_.size() + 127) / 128);
    if (state_ == State::WaitStart) {
        if (c == 'C')
            sendFrame(session);
        return 1;
    }
    if (c == kCan) {
        finish(session, false);
    } else if (c == kNak || (c == 'C' && block_ == 1)) {
        sendFrame(session);
    } else if (c == kAck) {
        if (block_ > blocks) {
            state_ = State::Finished;
            timer_.stop();
            if (done_)
                done_(session, true);
            return 1;
        }
        if (block_ == f.xmodemFrame && repeatsLeft_ > 0) {
            --repeatsLeft_; // the same frame once more, as if our ACK had been lost
            repeating_ = true;
        } else {
            repeating_ = false;
            ++block_;
        }
        sendFrame(session);
    }
    return 1;
}

void XmodemSender::finish(Session& session, bool ok)
{
    timer_.stop();
    state_ = State::Finished;
    if (done_)
        done_(session, ok);
    session.switchTo(Mode::Command);
}

void XmodemReceiver::start(Done done)
{
    done_ = std::move(done);
}

void XmodemReceiver::enter(Session& session)
{
    if (!connected_) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &session, [this, &session] { onTimer(session); });
        connected_ = true;
    }
    const Faults f = session.faults();
    state_ = State::Idle;
    frame_.clear();
    data_.clear();
    expected_ = 1;
    badLeft_ = f.xmodemBadTimes;
    nakEndsLeft_ = f.xmodemNakEnds;
    errors_ = 0;
    begun_ = false;
    starts_ = 0;
    onTimer(session); // the first 'C'
}

void XmodemReceiver::onTimer(Session& session)
{
    const bool silent = session.faults().xmodemSilent;
    switch (state_) {
    case State::Idle:
        if (begun_)
            return;
        if (starts_ >= kStartTries) {
            finish(session, false);
            return;
        }
        ++starts_;
        if (!silent)
            session.send("C");
        timer_.start(kStartRepeatMs);
        break;
    case State::Frame: // a pause inside a frame: what came is dropped
        frame_.clear();
        state_ = State::Idle;
        if (++errors_ > kMaxErrors) {
            session.send(QByteArray(1, kCan));
            finish(session, false);
        } else if (!silent) {
            session.send(QByteArray(1, kNak));
        }
        break;
    case State::End:
        endDone(session);
        break;
    case State::Finished:
        break;
    }
}

qsizetype XmodemReceiver::take(Session& session, const QByteArray& bytes, qsizetype from)
{
    qsizetype i = from;
    for (; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (state_ == State::Finished) {
            if (c != kClose) {
                session.logRaw(bytes.mid(from, i - from));
                session.switchTo(Mode::Command);
                return i - from;
            }
            continue;
        }
        if (session.faults().xmodemSilent)
            continue;
        if (state_ == State::Idle) {
            if (c == kSoh) {
                begun_ = true;
                state_ = State::Frame;
                frame_ = QByteArray(1, c);
                timer_.start(kByteGapMs);
            } else if (c == kEot) {
                begun_ = true;
                state_ = State::End;
                frame_ = QByteArray(1, c);
                timer_.start(kEotQuietMs);
            } else if (c == kCan) {
                session.logRaw(bytes.mid(from, i + 1 - from));
                finish(session, false);
                return i + 1 - from;
            } else if (c == '\r' || c == '\n') {
                session.logRaw(bytes.mid(from, i - from));
                finish(session, false);
                return i - from;
            }
            continue;
        }
        frame_.append(c);
        if (state_ == State::Frame) {
            timer_.start(kByteGapMs);
            if (frame_.size() == 133) {
                frameDone(session);
                if (session.mode() != Mode::XmodemReceive) {
                    session.logRaw(bytes.mid(from, i + 1 - from));
                    return i + 1 - from;
                }
            }
        } else if (state_ == State::End) {
            if (c != 0 || frame_.size() == 133)
                endDone(session);
            else
                timer_.start(kEotQuietMs);
        }
    }
    session.logRaw(bytes.mid(from, i - from));
    return i - from;
}

void XmodemReceiver::frameDone(Session& session)
{
    timer_.stop();
    const QByteArray f = frame_;
    frame_.clear();
    state_ = State::Idle;
    const int block = quint8(f[1]);
    const bool sound = quint8(f[1]) + quint8(f[2]) == 255 &&
                       crc16(f.constData() + 3, 128) == quint16((quint8(f[131]) << 8) | quint8(f[132]));
    bool good = sound && block == (expected_ & 0xFF);
    if (good && expected_ == session.faults().xmodemFrame && badLeft_ > 0) {
        --badLeft_;
        good = false;
    }
    if (good) {
        data_.append(f.mid(3, 128));
        ++expected_;
        errors_ = 0;
        session.send(QByteArray(1, kAck));
    } else if (sound && expected_ > 1 && block == ((expected_ - 1) & 0xFF)) {
        session.send(QByteArray(1, kAck)); // our ACK was lost: the repeat is taken once
    } else if (++errors_ > kMaxErrors) {
        session.send(QByteArray(1, kCan));
        finish(session, false);
    } else {
        session.send(QByteArray(1, kNak));
    }
}

void XmodemReceiver::endDone(Session& session)
{
    timer_.stop();
    const QByteArray f = frame_;
    frame_.clear();
    state_ = State::Idle;
    const bool wellFormed = f.size() == 1 || (f.size() == 133 && f.count('\0') == 132);
    if (!wellFormed || errors_ > 0 || nakEndsLeft_ > 0) {
        if (wellFormed && nakEndsLeft_ > 0)
            --nakEndsLeft_;
        session.send(QByteArray(1, kNak));
        return;
    }
    session.send(QByteArray(1, kAck));
    state_ = State::Finished;
    if (done_)
        done_(session, true, data_);
}

void XmodemReceiver::finish(Session& session, bool ok)
{
    timer_.stop();
    state_ = State::Finished;
    if (done_)
        done_(session, ok, data_);
    session.switchTo(Mode::Command);
}

void installXmodem(HandlerTable& table)
{
    table.setMode(Mode::XmodemSend, [] { return std::make_unique<XmodemSender>(); });
    table.setMode(Mode::XmodemReceive, [] { return std::make_unique<XmodemReceiver>(); });
}

} // namespace gatewaysim
