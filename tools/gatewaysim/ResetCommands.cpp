// The gateway reset ("AT&BSYS=RESET"), the factory reset ("AT&FRES") and the row deletions the factory reset
// sends before it ("AT%R<i>=", "AT%A<i>=" for one digit i). A reset answers OK and restarts: the session hears
// nothing for Config::resetDelayMs, then the gateway sends "\r\nInit: OK\r\n" and waits for a login on the
// same connection (an empty line brings the prompt).
#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

class RestartMode : public ModeHandler
{
public:
    void enter(Session& session) override
    {
        timer_ = new QTimer(&session);
        timer_->setSingleShot(true);
        QObject::connect(timer_, &QTimer::timeout, &session, [&session] {
            session.splitter().reset();
            session.send("\r\nInit: OK\r\n");
            session.switchTo(Mode::User);
        });
        timer_->start(session.config().resetDelayMs);
    }
    void leave(Session&) override
    {
        if (timer_)
            timer_->deleteLater();
        timer_ = nullptr;
    }
    // A restarting gateway hears nothing; what came is logged as it came.
    qsizetype take(Session& session, const QByteArray& bytes, qsizetype from) override
    {
        // The LF after the reset command's CR may come on its own (a modem passes bytes on as they come): it
        // belongs to the command's line, as in every other mode.
        if (session.splitter().isTail(bytes[from]))
            return ModeHandler::take(session, bytes, from);
        session.logRaw(bytes.mid(from));
        return bytes.size() - from;
    }

private:
    QTimer* timer_ = nullptr;
};

bool isRowDeletion(const QByteArray& body)
{
    // "%R3=" or "%A3=": one digit, nothing after the "=".
    return body.size() == 4 && body[0] == '%' && (body[1] == 'R' || body[1] == 'A') && body[2] >= '0' &&
           body[2] <= '9' && body[3] == '=';
}

} // namespace

void installResetCommands(HandlerTable& table)
{
    table.setMode(Mode::Restart, [] { return std::make_unique<RestartMode>(); });
    CommandTable& commands = table.commands(Mode::Command);
    commands.add("AT&BSYS=RESET, AT&FRES", [](Session& session, const QByteArray& body) {
        if (body != "&BSYS=RESET" && body != "&FRES")
            return false;
        session.sendReply({});
        session.switchTo(Mode::Restart);
        return true;
    });
    commands.add("AT%R<i>=, AT%A<i>=", [](Session& session, const QByteArray& body) {
        if (!isRowDeletion(body))
            return false;
        session.sendReply({});
        return true;
    });
}

} // namespace gatewaysim
