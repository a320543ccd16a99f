// Command mode: a logged-in session reads AT commands and hands each to the command table of Mode::Command;
// the faults that concern every command (silence, ERROR to all, chatter before the reply, noise in place of it,
// the drop after N commands) apply here.
#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

class CommandMode : public ModeHandler
{
protected:
    bool echoes() const override { return true; }

    void onLine(Session& session, const QByteArray& received, bool overlong) override
    {
        const bool echo = session.config().echo;
        const QByteArray text = echo ? eraseBackspaces(received) : received;
        const Faults f = session.faults();
        // The serial port's monitor answers the boot-loader dialogue's probe as a command monitor does: a lone
        // CR (no LF or NUL came with it) moves to a new line, while a CR LF, with which the program ends a
        // streaming command, gets nothing; the dialogue's lower-case commands ("at", "ati3", "at!K2RM") are
        // echoed with their line end before the answer, and "ati3" names the maker on the answer's first line.
        // Without echo the gateway says nothing else unasked.
        const bool monitor = session.onSerialPort() && !echo && !overlong && !f.silent;
        if (monitor && text.isEmpty() && session.splitter().isTail('\n'))
            session.send("\r\n");
        if (text.isEmpty() && !overlong)
            return; // an empty line is no command
        ++commands_;
        const auto endSession = [&session, &f] {
            if (!f.dropShowsLogin) {
                session.sendDrop();
                return;
            }
            session.switchTo(Mode::User);
            session.handler<ModeHandler>(Mode::User).greet(session);
        };
        if (!f.dropOn.isEmpty() && text.startsWith(f.dropOn)) {
            endSession();
            return;
        }
        if (monitor && text.startsWith("at"))
            session.send(text + "\r\n");
        const bool silent = f.silent || f.silentOn.contains(text) || f.noiseMs > 0;
        const int fillerMs = f.noiseMs > 0 ? f.noiseMs : silent ? 0 : f.chatterMs;
        for (int ms = 0; ms < fillerMs; ms += kChatterLineMs)
            session.send(QByteArray(38, '.') + "\r\n", kChatterLineMs);
        if (silent) {
            // nothing
        } else if (f.errorToAll || f.errorOn.contains(text) || overlong ||
                   !(text.startsWith("AT") || text.startsWith("at"))) {
            session.sendError();
        } else if (monitor && text == "ati3") {
            const Config& cfg = session.config();
            session.send("(c) Korvath " + cfg.model.toLatin1() + " firmware " + cfg.firmwareVersion.toLatin1() +
                         "\r\nOK\r\n");
        } else if (!HandlerTable::instance().commands(Mode::Command).dispatch(session, text.mid(2))) {
            session.sendError();
        }
        if (f.dropAfterCommands > 0 && commands_ == f.dropAfterCommands)
            session.sendDrop();
        else if (!f.dropAfterReplyTo.isEmpty() && text.startsWith(f.dropAfterReplyTo))
            endSession();
    }

private:
    int commands_ = 0;
};

} // namespace

void installCommandMode(HandlerTable& table)
{
    table.setMode(Mode::Command, [] { return std::make_unique<CommandMode>(); });
}

} // namespace gatewaysim
