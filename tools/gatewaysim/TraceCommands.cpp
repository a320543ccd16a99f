// Tracing: "AT!L<n>" (LAN and telnet) or "AT!R<n>" (VoIP and GSM messages), n the level 2, 3 or 4, answers OK
// and starts the trace stream; "AT!RX" ends it with OK. The trace mask is the parameter S92 ("AT%S92=<mask>",
// a key of the fixture). While the trace runs the gateway sends one line "<seq> TRACE <L|R><n>\r\n" every
// Config::traceIntervalMs (seq counting from 1), or Config::traceScript once, that long after the start. Any other line
// during the trace, and "AT!RX" under the fault "error on" it, is answered ERROR; the trace goes on.
#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

class TraceMode : public ModeHandler
{
public:
    void setKind(const QByteArray& kind) { kind_ = kind; }

    void enter(Session& session) override
    {
        const Config& cfg = session.config();
        if (!cfg.traceScript.isEmpty()) {
            // After the interval, like a trace line: the start's OK is read on its own.
            session.send(cfg.traceScript, std::max(1, cfg.traceIntervalMs));
            return;
        }
        timer_ = new QTimer(&session);
        QObject::connect(timer_, &QTimer::timeout, &session, [this, &session] {
            session.send(QByteArray::number(++sequence_) + " TRACE " + kind_ + "\r\n");
        });
        timer_->start(std::max(1, cfg.traceIntervalMs));
    }
    void leave(Session&) override
    {
        if (timer_)
            timer_->deleteLater();
        timer_ = nullptr;
    }

protected:
    void onLine(Session& session, const QByteArray& text, bool overlong) override
    {
        if (text.isEmpty() && !overlong)
            return;
        const Faults& f = session.faults();
        if (!f.dropOn.isEmpty() && text.startsWith(f.dropOn)) {
            // The gateway restarts under the trace: its login prompt, or the transport's drop.
            if (!f.dropShowsLogin) {
                session.sendDrop();
                return;
            }
            session.switchTo(Mode::User);
            session.handler<ModeHandler>(Mode::User).greet(session);
            return;
        }
        if (!overlong && (text == "AT!RX" || text == "at!RX") && !session.faults().errorOn.contains(text)) {
            session.switchTo(Mode::Command);
            session.sendReply({});
            return;
        }
        session.sendError();
    }

private:
    QByteArray kind_;
    QTimer* timer_ = nullptr;
    int sequence_ = 0;
};

} // namespace

void installTraceCommands(HandlerTable& table)
{
    table.setMode(Mode::Trace, [] { return std::make_unique<TraceMode>(); });
    table.commands(Mode::Command).add("AT!L<n>, AT!R<n>", [](Session& session, const QByteArray& body) {
        if (body.size() != 3 || (body[1] != 'L' && body[1] != 'R') || body[0] != '!' || body[2] < '2' || body[2] > '4')
            return false;
        session.sendReply({});
        session.handler<TraceMode>(Mode::Trace).setKind(body.mid(1));
        session.switchTo(Mode::Trace);
        return true;
    });
}

} // namespace gatewaysim
