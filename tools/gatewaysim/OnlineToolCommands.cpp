// The one-shot online tools: "AT&I<m>" (GSM monitor of module m, 0 or 1) and "AT&U" (the connection state
// table). Their replies come from the configuration (Config::monitorLines, Config::connectionTable) or from
// the defaults below; the faults of every reply (silent, chunks, delays, no OK) apply.
#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

QList<QByteArray> defaultMonitor(int module)
{
    const QByteArray m = QByteArray::number(module);
    return {"GSM" + m + " monitor", "Operator: SIMNET  Cell: 1F2A  LAC: 0B11", "Signal: -71 dBm  BER: 0"};
}

// Column-aligned: every cell starts where its header word starts; port n's line is line n + 1 below the header.
QList<QByteArray> defaultConnectionTable()
{
    return {"ix port  shell  telnet tunnel user     con",
            "-- ----  -----  ------ ------ -------- ---",
            "0  COM1  IDLE   LOGOUT NONE   -        NO",
            "1  USB1  BUSY   IDLE   TCP    admin    YES",
            "2  GSM1  IDLE   IDLE   NONE   -        NO"};
}

} // namespace

void installOnlineToolCommands(HandlerTable& table)
{
    CommandTable& commands = table.commands(Mode::Command);
    commands.add("AT&I<m>", [](Session& session, const QByteArray& body) {
        if (body != "&I0" && body != "&I1")
            return false;
        const int module = body.back() - '0';
        const QList<QByteArray>& lines = session.config().monitorLines[module];
        session.sendReply(lines.isEmpty() ? defaultMonitor(module) : lines);
        return true;
    });
    commands.add("AT&U", [](Session& session, const QByteArray& body) {
        if (body != "&U")
            return false;
        const QList<QByteArray>& lines = session.config().connectionTable;
        session.sendReply(lines.isEmpty() ? defaultConnectionTable() : lines);
        return true;
    });
}

} // namespace gatewaysim
