// Diagnostics: "AT&S00" and "AT&S01" (the status of GSM module 0 or 1), "AT&SPX" and "AT&SEX" (the status of
// the first and the second BRI port) and "AT&Q0", "AT&Q1" (a module's signal). The replies come from the
// configuration (Config::moduleStatus, briStatus, signalLines) or from the built-in lines below. A gateway of
// model MY has one BRI port, the second: it refuses "AT&SPX". The fault "diag silent" mutes all of them; the
// faults of every reply (silent, chunks, delays, no OK) apply as well.
#include "gatewaysim/Session.h"

namespace gatewaysim {

namespace {

QList<QByteArray> defaultModule(int module)
{
    const QByteArray n = QByteArray::number(module);
    return {"GSM module " + QByteArray::number(module + 1),
            "Layer2: ready",
            module == 0 ? "Layer3: registered" : "Layer3: searching",
            "Network: SIMNET",
            "Netid: 23003",
            module == 0 ? "Netcell: 1F2A" : "Netcell: 0C17",
            "Modid: SIM800",
            "Revid: 1418B04",
            "Sernum: 86123405001234" + n,
            "Simid-1: 894203123456789012" + n};
}

// The first port in multipoint ("/mtp": eight values to a row, runs of blanks between some of them), the
// second point-to-point (one value).
QList<QByteArray> defaultBri(int port)
{
    if (port == 0)
        return {"BRI 1 status",
                "Layer1: active",
                "Layer2: up up  down down down down down down",
                "Tei: 64 65  - - - - - -",
                "Layer3: active",
                "Mode: NT/mtp",
                "Chan-B1: idle busy idle idle idle idle idle idle",
                "Chan-B2: idle idle idle  idle idle idle idle idle"};
    return {"BRI 2 status",   "Layer1: active", "Layer2: up",    "Tei: 0",
            "Layer3: active", "Mode: TE/ptp",   "Chan-B1: idle", "Chan-B2: busy"};
}

QList<QByteArray> defaultSignal(int module)
{
    return {module == 0 ? QByteArray("Signal: (g00) -71") : QByteArray("Signal: (g01) unknown")};
}

void reply(Session& session, const QList<QByteArray>& configured, const QList<QByteArray>& builtIn)
{
    if (session.faults().diagSilent)
        return;
    session.sendReply(configured.isEmpty() ? builtIn : configured);
}

} // namespace

void installDiagCommands(HandlerTable& table)
{
    CommandTable& commands = table.commands(Mode::Command);
    commands.add("AT&S0<m>", [](Session& session, const QByteArray& body) {
        if (body != "&S00" && body != "&S01")
            return false;
        const int module = body.back() - '0';
        reply(session, session.config().moduleStatus[module], defaultModule(module));
        return true;
    });
    commands.add("AT&SPX", [](Session& session, const QByteArray& body) {
        if (body != "&SPX")
            return false;
        if (session.config().model != QLatin1String("MX"))
            session.sendError();
        else
            reply(session, session.config().briStatus[0], defaultBri(0));
        return true;
    });
    commands.add("AT&SEX", [](Session& session, const QByteArray& body) {
        if (body != "&SEX")
            return false;
        reply(session, session.config().briStatus[1], defaultBri(1));
        return true;
    });
    commands.add("AT&Q<m>", [](Session& session, const QByteArray& body) {
        if (body != "&Q0" && body != "&Q1")
            return false;
        const int module = body.back() - '0';
        reply(session, session.config().signalLines[module], defaultSignal(module));
        return true;
    });
}

} // namespace gatewaysim
