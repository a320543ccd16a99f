// "AT&G<m>=<text>": the gateway hands <text> to its GSM module m (0 or 1) and passes on what the module answers,
// in the pieces a module's answer comes in. The answer is Config::moduleReply when a test sets it, else the
// module's usual form: CR LF, the line "GSM<m>: <text>", a blank line and "OK" (without the blank line and OK
// under the fault "no OK"). It goes out in Config::moduleBursts pieces of nearly equal size, Config::moduleBurstMs
// apart (the first after the reply delay). With Faults::moduleSilent the command is taken and nothing comes back.
// Another module number, a missing "=" or an empty text is no such command (ERROR).
#include "gatewaysim/Session.h"

#include <algorithm>

namespace gatewaysim {

namespace {

QByteArray moduleAnswer(const Config& cfg, const Faults& f, char module, const QByteArray& text)
{
    if (!cfg.moduleReply.isEmpty())
        return cfg.moduleReply;
    QByteArray answer = "\r\nGSM" + QByteArray(1, module) + ": " + text + "\r\n";
    if (!f.noOk)
        answer += "\r\nOK\r\n";
    return answer;
}

} // namespace

void installModuleCommands(HandlerTable& table)
{
    table.commands(Mode::Command).add("AT&G<m>=<text>", [](Session& session, const QByteArray& body) {
        if (body.size() < 5 || !body.startsWith("&G") || (body[2] != '0' && body[2] != '1') || body[3] != '=')
            return false;
        const Faults f = session.faults();
        if (f.moduleSilent)
            return true;
        const Config& cfg = session.config();
        const QByteArray answer = moduleAnswer(cfg, f, body[2], body.mid(4));
        const qsizetype pieces = std::clamp<qsizetype>(cfg.moduleBursts, 1, answer.size());
        for (qsizetype i = 0; i < pieces; ++i) {
            const qsizetype from = i * answer.size() / pieces;
            const qsizetype to = (i + 1) * answer.size() / pieces;
            session.send(answer.mid(from, to - from), i == 0 ? f.replyDelayMs : cfg.moduleBurstMs);
        }
        return true;
    });
}

} // namespace gatewaysim
