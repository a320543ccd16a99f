// Command mode: a logged-in session reads AT commands and hands each to the command table of Mode::Command;
// the faults that concern every command (silence, ERROR to all, the drop after N commands) apply here.
#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

class CommandMode : public ModeHandler
{
protected:
    bool echoes() const override { return true; }

    void onLine(Session& session, const QByteArray& received, bool overlong) override
    {
        const QByteArray text = session.config().echo ? eraseBackspaces(received) : received;
        if (text.isEmpty() && !overlong)
            return; // an empty line is no command
        ++commands_;
        const Faults f = session.faults();
        if (f.silent) {
            // nothing
        } else if (f.errorToAll || f.errorOn.contains(text) || overlong ||
                   !(text.startsWith("AT") || text.startsWith("at"))) {
            session.sendError();
        } else if (!HandlerTable::instance().commands(Mode::Command).dispatch(session, text.mid(2))) {
            session.sendError();
        }
        if (f.dropAfterCommands > 0 && commands_ == f.dropAfterCommands)
            session.sendDrop();
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
