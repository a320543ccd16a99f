// Test calls: "AT!S<side><n>=<number>" places an outgoing test call, "AT!W<side><n>" waits for an incoming one
// (side P the first BRI port, E the second, G GSM; n a B-channel or module 0 or 1, or 32 for any). There is no
// reply of its own: the gateway goes into Mode::TestCall and streams its account of the call.
//
// The account: Config::testCallScript, one chunk every Config::testCallIntervalMs (by default "\r\nCALL
// <command>\r\n" and "\r\nOK\r\n"). A chunk with "\r\nOK\r\n" means the call is up; one with "BUSY\r\n" or
// "ERROR\r\n" ends the test. While the call is being set up an empty line breaks it off ("\r\nOK\r\n"); the
// hang-up "AT!D" (also " AT!D") starts Config::testCallTrace, one chunk every interval; afterwards an empty line
// ends the test with "\r\nOK\r\n". A new start line starts over; any other line is answered ERROR and ends the
// test. The fault "silent" mutes the stream while it is on.
#include "gatewaysim/Session.h"

#include <QRegularExpression>

namespace gatewaysim {

namespace {

const QRegularExpression& startShape()
{
    static const QRegularExpression shape(QStringLiteral("^!(?:S[PEG](?:[01]|32)=[0-9*#+]{1,118}|W[PEG](?:[01]|32))$"));
    return shape;
}

bool isStart(const QByteArray& line)
{
    return (line.startsWith("AT") || line.startsWith("at")) &&
           startShape().match(QString::fromLatin1(line.mid(2))).hasMatch();
}

bool endsTest(const QByteArray& chunk)
{
    return chunk.contains("BUSY\r\n") || chunk.contains("ERROR\r\n");
}

class TestCallMode : public ModeHandler
{
public:
    void setCommand(const QByteArray& body) { command_ = body; }

    void enter(Session& session) override { start(session); }
    void leave(Session&) override { stopStream(); }

protected:
    void onLine(Session& session, const QByteArray& text, bool overlong) override
    {
        if (!overlong && isStart(text)) {
            setCommand(text.mid(2));
            start(session);
            return;
        }
        if (!overlong && text.isEmpty()) {
            if (phase_ == Phase::Calling) {
                stopStream();
                phase_ = Phase::Answered;
                answer(session, "\r\nOK\r\n");
            } else if (phase_ == Phase::Tracing) {
                answer(session, "\r\nOK\r\n");
                session.switchTo(Mode::Command);
            }
            return; // Answered: a second line end (telnet's LF after CR LF) before the hang-up
        }
        if (!overlong && (text == "AT!D" || text == " AT!D")) {
            if (phase_ != Phase::Tracing) {
                phase_ = Phase::Tracing;
                const QList<QByteArray>& trace = session.config().testCallTrace;
                stream(session, trace.isEmpty() ? QList<QByteArray>{"\r\nRELEASE cause 16\r\n"} : trace);
            }
            return;
        }
        answer(session, "\r\nERROR\r\n");
        session.switchTo(Mode::Command);
    }

private:
    enum class Phase { Calling, Answered, Tracing };

    void start(Session& session)
    {
        phase_ = Phase::Calling;
        const QList<QByteArray>& script = session.config().testCallScript;
        stream(session, script.isEmpty() ? QList<QByteArray>{"\r\nCALL " + command_ + "\r\n", "\r\nOK\r\n"} : script);
    }

    // Sends chunks, one every interval, until they are used up, the test ends or another stream replaces it.
    void stream(Session& session, const QList<QByteArray>& chunks)
    {
        stopStream();
        pending_ = chunks;
        timer_ = new QTimer(&session);
        QObject::connect(timer_, &QTimer::timeout, &session, [this, &session] {
            if (pending_.isEmpty()) {
                stopStream();
                return;
            }
            const QByteArray chunk = pending_.takeFirst();
            say(session, chunk);
            if (chunk.contains("\r\nOK\r\n") && phase_ == Phase::Calling)
                phase_ = Phase::Answered;
            if (endsTest(chunk))
                session.switchTo(Mode::Command); // stops the stream
        });
        timer_->start(std::max(1, session.config().testCallIntervalMs));
    }

    void stopStream()
    {
        if (timer_)
            timer_->deleteLater();
        timer_ = nullptr;
        pending_.clear();
    }

    static void say(Session& session, const QByteArray& bytes)
    {
        if (!session.faults().silent)
            session.send(bytes);
    }
    // The answer to a line: late by the fault's reply delay, as every command's reply.
    static void answer(Session& session, const QByteArray& bytes)
    {
        if (!session.faults().silent)
            session.send(bytes, session.faults().replyDelayMs);
    }

    QByteArray command_;
    Phase phase_ = Phase::Calling;
    QList<QByteArray> pending_;
    QTimer* timer_ = nullptr;
};

} // namespace

void installTestCallCommands(HandlerTable& table)
{
    table.setMode(Mode::TestCall, [] { return std::make_unique<TestCallMode>(); });
    table.commands(Mode::Command)
        .add("AT!S<side><n>=<number>, AT!W<side><n>", [](Session& session, const QByteArray& body) {
            if (!startShape().match(QString::fromLatin1(body)).hasMatch())
                return false;
            session.handler<TestCallMode>(Mode::TestCall).setCommand(body);
            session.switchTo(Mode::TestCall);
            return true;
        });
}

} // namespace gatewaysim
