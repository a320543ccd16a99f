// The ISDN interface mode: a set of "I00" that changes the mode restarts the gateway's ISDN interface, and the
// session then stays logged in, shows the login prompt again or ends, as Config::interfaceChange says.
#include "gatewaysim/Session.h"

namespace gatewaysim {

void installInterfaceCommands(HandlerTable& table)
{
    table.commands(Mode::Command).add("AT%I00=mode", [](Session& session, const QByteArray& body) {
        const QByteArray set = body.startsWith("%%") ? body.mid(2) : body.startsWith('%') ? body.mid(1) : QByteArray();
        if (!set.startsWith("I00="))
            return false;
        const QByteArray before = session.state().value("I00");
        if (session.state().setChecked("I00", set.mid(4)) != GatewayState::SetResult::Ok) {
            session.sendError();
            return true;
        }
        session.sendReply({});
        if (session.state().value("I00") == before)
            return true;
        switch (session.config().interfaceChange) {
        case InterfaceChange::StaysLoggedIn:
            break;
        case InterfaceChange::ShowsLogin:
            session.switchTo(Mode::User);
            session.handler<ModeHandler>(Mode::User).greet(session);
            break;
        case InterfaceChange::Drops:
            session.sendDrop();
            break;
        }
        return true;
    });
}

} // namespace gatewaysim
