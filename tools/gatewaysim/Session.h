#pragma once
// One conversation with the gateway, whatever carries it (telnet, a serial line, a modem call). The session
// is always in one mode and hands what it receives to that mode's handler (Mode.h); it writes its answers
// through an OutputQueue and never blocks. The handlers use the accessors below.
#include "gatewaysim/GatewayState.h"
#include "gatewaysim/LineSplitter.h"
#include "gatewaysim/Mode.h"
#include "gatewaysim/OutputQueue.h"

#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

namespace gatewaysim {

class Session : public QObject
{
    Q_OBJECT
public:
    // Greet: the first mode's greeting (the login prompt, the boot banner) goes out at once, as on a telnet
    // connection or a modem call. Quiet: nothing is sent until a line comes, as on a serial line that was
    // there all along.
    enum class Start { Greet, Quiet };

    Session(GatewayState* state, Start start, OutputQueue::Writer writer, QObject* parent = nullptr);
    ~Session() override;

    void feed(const QByteArray& bytes);
    // Ends the session now, as a gateway restart or a pulled cable would: what is still queued is not sent.
    void drop();

    // For the mode handlers.
    GatewayState& state() { return *state_; }
    const Config& config() const { return state_->config(); }
    Faults faults() const { return state_->faults(); }
    LineSplitter& splitter() { return splitter_; }
    void send(const QByteArray& bytes, int delayMs = 0) { out_->send(bytes, delayMs); }
    // True while output is queued that has not gone out yet.
    bool sending() const { return !out_->idle(); }
    // The connection is dropped once everything queued before has gone out.
    void sendDrop() { out_->sendDrop(); }
    // A reply: "\r\n", each line followed by "\r\n", then "OK\r\n" (shaped by the faults). The listing of a
    // paged view with more lines than a page goes out a page at a time (Mode::Paged).
    void sendReply(const QList<QByteArray>& lines, const QByteArray& view = {});
    void sendError(); // "\r\nERROR\r\n"
    // Logs bytes a raw mode took as one entry of the received log.
    void logRaw(const QByteArray& bytes) { state_->logLine(bytes); }
    // Starts the auto-logout of an idle session (Config::idleLogoutMs; nothing when it is 0).
    void startIdleLogout();

    // The session runs on the gateway's own serial port (the one transport that starts quiet), where the
    // running firmware's monitor also serves the boot-loader dialogue's probe and erase (CommandMode.cpp).
    bool onSerialPort() const { return start_ == Start::Quiet; }

    Mode mode() const { return mode_; }
    void switchTo(Mode mode);
    // This session's handler of a mode, made on first use; for a handler that takes parameters before the
    // session switches to it.
    template <class Handler> Handler& handler(Mode mode)
    {
        auto* h = dynamic_cast<Handler*>(&handlerOf(mode));
        if (!h)
            qFatal("gatewaysim: the handler installed for mode %d is not the one asked for", int(mode));
        return *h;
    }

signals:
    // The connection is to be dropped (fault "drop after N commands", the idle logout, drop()); emitted once
    // the last reply is out.
    void dropRequested();

private:
    ModeHandler& handlerOf(Mode mode);

    GatewayState* state_;
    Start start_;
    OutputQueue* out_;
    LineSplitter splitter_;
    Mode mode_ = Mode::User;
    std::map<Mode, std::unique_ptr<ModeHandler>> handlers_;
    QTimer idle_; // the auto-logout of a logged-in session that hears nothing
};

// The texts the gateway identifies itself with.
QByteArray ati3Text(const Config& config);
QByteArray ati4Text(const Config& config);
QByteArray bootBanner(const Config& config);

} // namespace gatewaysim
