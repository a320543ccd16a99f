#pragma once
// The gateway's two sides of an XMODEM-CRC transfer, as modes of a session. A command handler hands the mode
// its data or its completion and switches to it:
//
//   session.handler<XmodemSender>(Mode::XmodemSend).start(bytes, [](Session& s, bool ok) { ... });
//   session.switchTo(Mode::XmodemSend);
//
// Either side goes back to command mode when the transfer ends, well or not; the completion runs first.
// The faults of Config.h ("xmodem...") shape the transfer.
#include "gatewaysim/Mode.h"

#include <QByteArray>
#include <QTimer>
#include <functional>

namespace gatewaysim {

// Sends data after the receiver's 'C': 128-byte blocks padded with zeros, then a lone EOT. After the EOT's
// ACK it lets the receiver's second ACK go by; the line end that follows is answered "OK".
class XmodemSender : public ModeHandler
{
public:
    using Done = std::function<void(Session&, bool ok)>;
    void start(const QByteArray& data, Done done);

    void enter(Session& session) override;
    void leave(Session&) override { timer_.stop(); }
    qsizetype take(Session& session, const QByteArray& bytes, qsizetype from) override;

private:
    enum class State { WaitStart, WaitReply, Finished };
    void sendFrame(Session& session);
    void finish(Session& session, bool ok);

    QByteArray data_;
    Done done_;
    State state_ = State::WaitStart;
    int block_ = 0;   // 1-based index of the frame out; past the last: the EOT
    int badLeft_ = 0; // flipped CRCs still to send
    int repeatsLeft_ = 0;
    bool repeating_ = false;
    bool faultSent_ = false;
    QTimer timer_; // the receiver's silence
    bool connected_ = false;
};

// Receives after sending 'C' (again every second until a frame begins): ACKs good and repeated blocks, NAKs
// the rest. The end is a lone EOT or a 133-byte frame of 0x04 and 132 zeros, and only that; it is taken only
// right after a good block. After the end's ACK it lets the sender's closing 0x11 bytes go by. A CR or LF
// where a frame should begin ends the transfer as failed: the program has given up and talks again.
class XmodemReceiver : public ModeHandler
{
public:
    using Done = std::function<void(Session&, bool ok, const QByteArray& data)>;
    void start(Done done);

    void enter(Session& session) override;
    void leave(Session&) override { timer_.stop(); }
    qsizetype take(Session& session, const QByteArray& bytes, qsizetype from) override;

private:
    enum class State { Idle, Frame, End, Finished };
    void onTimer(Session& session);
    void frameDone(Session& session);
    void endDone(Session& session);
    void finish(Session& session, bool ok);

    Done done_;
    State state_ = State::Idle;
    QByteArray frame_;
    QByteArray data_;
    int expected_ = 1; // 1-based index of the next block
    int badLeft_ = 0;
    int nakEndsLeft_ = 0;
    int starts_ = 0; // 'C' sent
    int errors_ = 0; // bad frames in a row
    bool begun_ = false;
    QTimer timer_; // 'C' repeats, the pause inside a frame, the quiet after an EOT
    bool connected_ = false;
};

} // namespace gatewaysim
