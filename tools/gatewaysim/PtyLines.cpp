#include "gatewaysim/PtyLines.h"

#include "gatewaysim/Session.h"

#include <utility>

namespace gatewaysim {

SerialLine::SerialLine(GatewayState* state, QObject* parent) : QObject(parent), state_(state), port_(this)
{
    port_.onData = [this](const QByteArray& bytes) {
        // At a speed other than its own the gateway hears only noise, and answers nothing.
        const qint32 speed = state_->config().serialBaudRate;
        if (speed > 0 && port_.lineSpeed() != speed)
            return;
        if (session_)
            session_->feed(bytes);
    };
}

bool SerialLine::open(QString* slavePath, QString* error)
{
    if (!port_.open()) {
        *error = port_.errorString();
        return false;
    }
    *slavePath = port_.slavePath();
    state_->noteConnection();
    newSession(false);
    return true;
}

void SerialLine::newSession(bool greet)
{
    if (session_)
        session_->deleteLater(); // we may be inside its own signal
    session_ = new Session(
        state_, greet ? Session::Start::Greet : Session::Start::Quiet, [this](const QByteArray& b) { port_.write(b); },
        this);
    connect(session_, &Session::dropRequested, this, [this] { newSession(true); });
}

HayesModem::HayesModem(GatewayState* state, QObject* parent) : QObject(parent), state_(state), port_(this)
{
    port_.onData = [this](const QByteArray& bytes) { onData(bytes); };
    port_.onHangUp = [this] {
        endCall();
        port_.holdSlave(true);
    };
    escapeTimer_.setSingleShot(true);
    connect(&escapeTimer_, &QTimer::timeout, this, &HayesModem::onEscapeTimer);
}

bool HayesModem::open(QString* slavePath, QString* error)
{
    if (!port_.open()) {
        *error = port_.errorString();
        return false;
    }
    *slavePath = port_.slavePath();
    return true;
}

void HayesModem::send(const QByteArray& bytes)
{
    port_.write(bytes);
}

void HayesModem::onData(const QByteArray& bytes)
{
    const QByteArray dropOn = dataMode_ ? state_->faults().modemDropOn : QByteArray();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (!dataMode_) {
            // A CR's LF or NUL that came with it is logged with its line.
            const char next = i + 1 < bytes.size() ? bytes[i + 1] : 'x';
            if (onCommandByte(c, next))
                ++i;
            continue;
        }
        const int guard = state_->config().modemGuardMs;
        const bool quietBefore = !lastByte_.isValid() || lastByte_.elapsed() >= guard;
        lastByte_.restart();
        if (c == '+' && pluses_ < 3 && (pluses_ > 0 || quietBefore)) {
            if (++pluses_ == 3)
                escapeTimer_.start(guard);
            continue;
        }
        if (pluses_ > 0) {
            // Not an escape after all: the pluses were data.
            escapeTimer_.stop();
            for (int held = std::exchange(pluses_, 0); held > 0; --held)
                toCall('+', dropOn);
        }
        toCall(c, dropOn);
    }
}

void HayesModem::toCall(char c, const QByteArray& dropOn)
{
    if (!dataMode_) { // the call ended among these bytes
        onCommandByte(c, 'x');
        return;
    }
    if (!dropOn.isEmpty() && (lineStart_ || !heldLine_.isEmpty())) {
        heldLine_ += c;
        if (heldLine_ == dropOn) {
            const QByteArray line = std::exchange(heldLine_, {});
            endCall();
            send("\r\nNO CARRIER\r\n");
            for (const char b : line)
                onCommandByte(b, 'x');
            return;
        }
        if (dropOn.startsWith(heldLine_))
            return;
        if (session_)
            session_->feed(std::exchange(heldLine_, {}));
    } else if (session_) {
        session_->feed(QByteArray(1, c));
    }
    lineStart_ = c == '\r' || c == '\n';
}

void HayesModem::onEscapeTimer()
{
    pluses_ = 0;
    dataMode_ = false;
    splitter_.reset();
    state_->logLine("+++");
    send("\r\nOK\r\n");
}

bool HayesModem::onCommandByte(char c, char next)
{
    bool tookNext = false;
    const LineSplitter::Event ev = splitter_.push(c);
    if (ev == LineSplitter::Event::Tail) {
        state_->logTail(c);
    } else if (ev == LineSplitter::Event::Line || ev == LineSplitter::Event::Overlong) {
        QByteArray raw = splitter_.raw();
        if (splitter_.isTail(next)) {
            splitter_.push(next);
            raw += next;
            tookNext = true;
        }
        state_->logLine(raw);
        if (ev == LineSplitter::Event::Overlong)
            send("\r\nERROR\r\n");
        else
            onCommand(splitter_.text());
    }
    return tookNext;
}

void HayesModem::onCommand(const QByteArray& text)
{
    if (text.isEmpty())
        return;
    if (!(text.startsWith("AT") || text.startsWith("at"))) {
        send("\r\nERROR\r\n");
        return;
    }
    const QByteArray body = text.mid(2);
    if (body.isEmpty()) {
        send("\r\nOK\r\n");
    } else if (body == "H" || body == "H0") {
        endCall();
        send("\r\nOK\r\n");
    } else if (body.startsWith("DT") && body.size() > 2 && !session_) {
        switch (state_->config().dialResult) {
        case DialResult::Connect:
            send("\r\nCONNECT 9600\r\n");
            startCall();
            break;
        case DialResult::NoCarrier:
            send("\r\nNO CARRIER\r\n");
            break;
        case DialResult::Busy:
            send("\r\nBUSY\r\n");
            break;
        case DialResult::Silence:
            break;
        }
    } else {
        send("\r\nERROR\r\n");
    }
}

void HayesModem::startCall()
{
    state_->noteConnection();
    state_->setModemInCall(true);
    port_.holdSlave(false); // from now on the caller closing the line is a hang-up
    dataMode_ = true;
    pluses_ = 0;
    lineStart_ = true;
    heldLine_.clear();
    lastByte_.invalidate();
    session_ = new Session(
        state_, Session::Start::Greet,
        [this](const QByteArray& b) {
            if (dataMode_)
                port_.write(b);
        },
        this);
    connect(session_, &Session::dropRequested, this, [this] {
        endCall();
        send("\r\nNO CARRIER\r\n");
    });
}

void HayesModem::endCall()
{
    escapeTimer_.stop();
    pluses_ = 0;
    heldLine_.clear();
    dataMode_ = false;
    splitter_.reset();
    if (session_) {
        session_->deleteLater(); // we may be inside its own signal
        session_ = nullptr;
        state_->setModemInCall(false);
        port_.holdSlave(true);
    }
}

} // namespace gatewaysim
