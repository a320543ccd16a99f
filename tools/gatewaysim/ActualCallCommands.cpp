// The tables the actual calls page polls: "AT&XC" (the calls in progress, first table line "cha-layer3 ...")
// and "AT&AD" (the dynamic CLIP routing table, first table line "idx ..."). Each reply is a title line, the
// table and "OK"; both default tables hold a row with the word "OK" in it, as a call's or an entry's state.
// Config::actualCallsTable and Config::clipTable replace them. Faults of their own: actualTablesSilent (no
// answer to either command) and actualTablesDelayMs (their replies start that late); the faults of every
// reply apply as well.
#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

QList<QByteArray> defaultActualCalls()
{
    return {"Calls in progress: 3", "cha-layer3  state     gsm  dir  number          time      ack",
            "B1-1        CONNECT   0    out  +420601234567   00:02:15  OK",
            "B1-2        ALERTING  1    in   603111222       00:00:04  --",
            "B2-1        CONNECT   1    out  2001            00:00:41  OK"};
}

QList<QByteArray> defaultClipTable()
{
    return {"Dynamic CLIP routing table", "idx  clip             gsm  ttl    state",
            "0    +420601234567    0    00:58  OK", "1    603111222        1    00:12  WAIT"};
}

void sendTable(Session& session, const QList<QByteArray>& lines)
{
    const Faults f = session.faults();
    if (f.actualTablesSilent)
        return;
    if (f.actualTablesDelayMs > 0)
        session.send(QByteArray(), f.actualTablesDelayMs); // a pause in the output before the reply
    session.sendReply(lines);
}

} // namespace

void installActualCallCommands(HandlerTable& table)
{
    CommandTable& commands = table.commands(Mode::Command);
    commands.add("AT&XC", [](Session& session, const QByteArray& body) {
        if (body != "&XC")
            return false;
        const QList<QByteArray>& lines = session.config().actualCallsTable;
        sendTable(session, lines.isEmpty() ? defaultActualCalls() : lines);
        return true;
    });
    commands.add("AT&AD", [](Session& session, const QByteArray& body) {
        if (body != "&AD")
            return false;
        const QList<QByteArray>& lines = session.config().clipTable;
        sendTable(session, lines.isEmpty() ? defaultClipTable() : lines);
        return true;
    });
}

} // namespace gatewaysim
