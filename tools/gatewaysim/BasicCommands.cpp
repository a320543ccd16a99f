// The commands every gateway answers in command mode: the empty AT, the identification, setting a parameter
// and the views that list parameters.
#include "gatewaysim/Session.h"

namespace gatewaysim {

void installBasicCommands(HandlerTable& table)
{
    CommandTable& commands = table.commands(Mode::Command);
    commands.add("AT, AT&M0", [](Session& session, const QByteArray& body) {
        if (!body.isEmpty() && body != "&M0")
            return false;
        session.sendReply({});
        return true;
    });
    commands.add("ATI3", [](Session& session, const QByteArray& body) {
        if (body != "I3")
            return false;
        session.sendReply({ati3Text(session.config())});
        return true;
    });
    commands.add("ATI4", [](Session& session, const QByteArray& body) {
        if (body != "I4")
            return false;
        session.sendReply({ati4Text(session.config())});
        return true;
    });
    commands.add("AT%KEY=value, AT%%KEY=value", [](Session& session, const QByteArray& body) {
        if (!body.startsWith('%'))
            return false;
        // Some tools send the printf format's "%%" as it stands.
        const QByteArray set = body.startsWith("%%") ? body.mid(2) : body.mid(1);
        const qsizetype eq = set.indexOf('=');
        if (eq > 0 && session.state().setChecked(set.left(eq), set.mid(eq + 1)) == GatewayState::SetResult::Ok)
            session.sendReply({});
        else
            session.sendError();
        return true;
    });
    commands.add("the views (AT&V, ...)", [](Session& session, const QByteArray& body) {
        const QByteArray command = "AT" + body;
        if (!session.state().isView(command))
            return false;
        session.sendReply(session.state().listing(command), command);
        return true;
    });
}

} // namespace gatewaysim
