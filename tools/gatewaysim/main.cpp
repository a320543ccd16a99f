// mesk-gatewaysim: the simulated gateway as a program, for trying mesk-config without a device.
// It runs until it is killed and prints every line it receives with its raw bytes.
#include "gatewaysim/Gateway.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace {

QByteArray escaped(const QByteArray& raw)
{
    QByteArray out;
    for (char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c < 0x20 || c >= 0x7f)
            out += "\\x" + QByteArray::number(c, 16).rightJustified(2, '0');
        else
            out += char(c);
    }
    return out;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "mesk-gatewaysim: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mesk-gatewaysim"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated gateway: answers the gateway's command set over telnet, a pty serial port or a pty modem.\n"
        "At least one of --port, --pty, --modem-pty is needed. Commands and fixtures: docs/gatewaysim.md."));
    p.addHelpOption();
    const QCommandLineOption port({"p", "port"}, "Listen for telnet on 127.0.0.1:<port> (0 = any free port).", "port");
    const QCommandLineOption pty("pty", "Offer the gateway's serial port on a pty; prints the slave path.");
    const QCommandLineOption modemPty("modem-pty", "Offer a Hayes modem on a pty; prints the slave path.");
    const QCommandLineOption fixture("fixture", "Read the parameters from <file> (default: the built-in set).", "file");
    const QCommandLineOption user("user", "User name for the login (default admin).", "name", "admin");
    const QCommandLineOption password("password", "Password for the login (default admin).", "text", "admin");
    const QCommandLineOption model("model", "Gateway model, MX or MY (default MX).", "model", "MX");
    const QCommandLineOption bootVersion("boot-version", "Boot loader version (default 02.62).", "version", "02.62");
    const QCommandLineOption firmware("firmware", "Firmware version (default V-02.05.20).", "version", "V-02.05.20");
    const QCommandLineOption pageSize("page-size", "Lines per page of paged listings (default: the fixture's).",
                                      "lines", "0");
    const QCommandLineOption echo("echo", "Echo received characters (never the password).");
    const QCommandLineOption guard("guard-ms", "Modem: silence before and after \"+++\" (default 1000).", "ms", "1000");
    const QCommandLineOption dial("dial", "Modem: what a dial brings: connect, no-carrier, busy, silence.", "result",
                                  "connect");
    const QCommandLineOption errorAll("error-all", "Fault: answer every command ERROR.");
    const QCommandLineOption errorOn("error-on", "Fault: answer this command ERROR (repeatable).", "command");
    p.addOption(errorOn);
    const QCommandLineOption noOk("no-ok", "Fault: leave the final OK out of replies.");
    const QCommandLineOption silent("silent", "Fault: answer no command at all.");
    const QCommandLineOption silentOn("silent-on", "Fault: answer this command nothing (repeatable).", "command");
    p.addOption(silentOn);
    const QCommandLineOption chunk("chunk", "Fault: send output in pieces of <bytes>.", "bytes", "0");
    const QCommandLineOption chunkDelay("chunk-delay", "Fault: pause between pieces.", "ms", "0");
    const QCommandLineOption replyDelay("reply-delay", "Fault: start each reply this late.", "ms", "0");
    const QCommandLineOption dropAfter("drop-after", "Fault: drop the connection after the <n>-th command.", "n", "0");
    const QCommandLineOption swapKeys("swap-keys", "Fault: list keys in reverse order.");
    const QCommandLineOption oversize("oversize", "Fault: add <bytes> of filler lines before OK.", "bytes", "0");
    const QCommandLineOption trickle("trickle", "Fault: send one byte every <ms>.", "ms", "0");
    const QCommandLineOption chatter("chatter", "Fault: send filler lines for <ms> before each reply.", "ms", "0");
    const QCommandLineOption bootMode("boot-mode", "Fault: meet connections with the boot loader.");
    const QCommandLineOption refuseLogin("refuse-login", "Fault: answer every login \"Login incorrect\".");
    const QCommandLineOption baud("baud", "Serial port: answer only at this line speed (default 0: any).", "bps", "0");
    const QCommandLineOption idleLogout("idle-logout-ms", "End a logged-in session idle this long (default 0: never).",
                                        "ms", "0");
    const QCommandLineOption voiceRecord("voice-record-ms", "A voice recording ends this late (default 0).", "ms", "0");
    const QCommandLineOption voiceBusy("voice-busy", "Fault: answer voice READ and WRITE \"Busy\".");
    const QCommandLineOption xFrame("xmodem-frame", "Fault: the XMODEM faults hit this frame (1 = first).", "k", "0");
    const QCommandLineOption xBad("xmodem-bad", "Fault: that frame goes out with a bad CRC, or is NAKed, n times.", "n",
                                  "0");
    const QCommandLineOption xRepeat("xmodem-repeat", "Fault: that frame goes out once more after its ACK.");
    const QCommandLineOption xRepeats("xmodem-repeats", "Fault: that frame goes out n times more, each after an ACK.",
                                      "n", "0");
    const QCommandLineOption xPause("xmodem-pause", "Fault: that frame stops this long in its middle.", "ms", "0");
    const QCommandLineOption xZero("xmodem-zero", "Fault: a 0x00 goes before that frame's header.");
    const QCommandLineOption xNakEnds("xmodem-nak-ends", "Fault: NAK the end of a received transfer n times.", "n",
                                      "0");
    const QCommandLineOption xSilent("xmodem-silent", "Fault: XMODEM transfers hear and say nothing.");
    p.addOptions({voiceRecord, voiceBusy, xFrame, xBad, xRepeat, xRepeats, xPause, xZero, xNakEnds, xSilent});
    const QCommandLineOption diagSilent("diag-silent", "Fault: answer no diagnostics command (AT&S0<m>, AT&SPX, "
                                                       "AT&SEX, AT&Q<m>).");
    p.addOption(diagSilent);
    const QCommandLineOption interfaceChange(
        "interface-change", "After a change of I00: stay (logged in), login (prompt again) or drop.", "how", "stay");
    p.addOption(interfaceChange);
    const QCommandLineOption resetDelay("reset-delay-ms", "Silence of a restart after a reset (default 3000).", "ms",
                                        "3000");
    const QCommandLineOption traceInterval("trace-interval-ms", "One trace line this often (default 200).", "ms",
                                           "200");
    p.addOptions({resetDelay, traceInterval});
    // The boot loader (FirmwareLoader.cpp).
    const QCommandLineOption bootAt("boot-at-mode", "Fault: meet connections with the boot loader's AT monitor.");
    const QCommandLineOption bootImage("boot-image", "Write the firmware the boot loader takes to <file> (Intel HEX).",
                                       "file");
    const QCommandLineOption bootRepeat("boot-repeat", "Fault: answer the next <n> verdicts 'R'.", "n", "0");
    const QCommandLineOption bootRefuse("boot-refuse", "Fault: answer the next <n> verdicts 'X'.", "n", "0");
    const QCommandLineOption bootSilent("boot-silent", "Fault: send no verdicts.");
    const QCommandLineOption bootWrongEcho("boot-wrong-echo", "Fault: echo each line's first character wrongly.");
    const QCommandLineOption bootUnsolicited("boot-unsolicited", "Fault: put a \"*RING\" line into each echo.");
    const QCommandLineOption bootNoReady("boot-no-ready", "Fault: no \"Boot: Ready\" after the erase.");
    const QCommandLineOption bootForeign("boot-foreign", "Fault: \"ati3\" names another maker.");
    p.addOptions({bootAt, bootImage, bootRepeat, bootRefuse, bootSilent, bootWrongEcho, bootUnsolicited, bootNoReady,
                  bootForeign});
    p.addOptions({port,       pty,       modemPty, fixture,  user,     password, model,       bootVersion, firmware,
                  pageSize,   echo,      guard,    dial,     errorAll, noOk,     silent,      chunk,       chunkDelay,
                  replyDelay, dropAfter, swapKeys, oversize, trickle,  bootMode, refuseLogin, baud,        idleLogout});
    const QCommandLineOption stallPages("stall-after-pages", "Fault: a paged listing stops after <n> pages.", "n", "0");
    const QCommandLineOption endlessPages("endless-pages", "Fault: paged listings never end.");
    p.addOption(stallPages);
    p.addOption(endlessPages);
    p.addOption(chatter);
    const QCommandLineOption noise("noise", "Fault: answer commands only with filler lines for <ms>.", "ms", "0");
    const QCommandLineOption pauseAfter("pause-after", "Fault: stop the output after these bytes ...", "text");
    const QCommandLineOption pauseAfterMs("pause-after-ms", "... this long.", "ms", "0");
    p.addOptions({noise, pauseAfter, pauseAfterMs});
    const QCommandLineOption moduleBursts("module-bursts", "AT&G answers in <n> pieces (default 3).", "n", "3");
    const QCommandLineOption moduleBurstMs("module-burst-ms", "Pause between those pieces (default 40).", "ms", "40");
    const QCommandLineOption moduleSilent("module-silent", "Fault: AT&G<m>=<text> gets no answer.");
    p.addOptions({moduleBursts, moduleBurstMs, moduleSilent});
    const QCommandLineOption dropAfterDeletes(
        "drop-after-deletes", "Fault: drop the connection once AT&CR has deleted <n> records.", "n", "0");
    const QCommandLineOption callRecords("call-records",
                                         "The call data records: the lines of <file>, bytes as they "
                                         "are (default: three built-in records).",
                                         "file");
    p.addOptions({dropAfterDeletes, callRecords});
    const QCommandLineOption actualSilent("actual-silent", "Fault: answer \"AT&XC\" and \"AT&AD\" nothing.");
    const QCommandLineOption actualDelay("actual-delay", "Fault: answer \"AT&XC\" and \"AT&AD\" this late.", "ms", "0");
    p.addOptions({actualSilent, actualDelay});
    const QCommandLineOption modemDropOn("modem-drop-on",
                                         "Fault: the modem's call ends as a line starting with this reaches it in "
                                         "data mode; the modem answers the line itself.",
                                         "command");
    p.addOption(modemDropOn);
    const QCommandLineOption dropOn("drop-on", "Fault: the session ends, unanswered, as a line starting with this comes.",
                                    "command");
    p.addOption(dropOn);
    p.process(app);

    if (!p.isSet(port) && !p.isSet(pty) && !p.isSet(modemPty))
        return fail(QStringLiteral("give --port, --pty or --modem-pty (see --help)"));

    auto number = [&p](const QCommandLineOption& o, int& out) {
        bool ok = false;
        out = p.value(o).toInt(&ok);
        return ok && out >= 0;
    };

    gatewaysim::Config cfg;
    cfg.fixturePath = p.value(fixture);
    cfg.user = p.value(user).toLatin1();
    cfg.password = p.value(password).toLatin1();
    cfg.model = p.value(model);
    if (cfg.model != QLatin1String("MX") && cfg.model != QLatin1String("MY"))
        return fail(QStringLiteral("--model must be MX or MY"));
    cfg.bootVersion = p.value(bootVersion);
    cfg.firmwareVersion = p.value(firmware);
    cfg.echo = p.isSet(echo);
    const QString d = p.value(dial);
    if (d == QLatin1String("connect"))
        cfg.dialResult = gatewaysim::DialResult::Connect;
    else if (d == QLatin1String("no-carrier"))
        cfg.dialResult = gatewaysim::DialResult::NoCarrier;
    else if (d == QLatin1String("busy"))
        cfg.dialResult = gatewaysim::DialResult::Busy;
    else if (d == QLatin1String("silence"))
        cfg.dialResult = gatewaysim::DialResult::Silence;
    else
        return fail(QStringLiteral("--dial must be connect, no-carrier, busy or silence"));

    const QString ic = p.value(interfaceChange);
    if (ic == QLatin1String("stay"))
        cfg.interfaceChange = gatewaysim::InterfaceChange::StaysLoggedIn;
    else if (ic == QLatin1String("login"))
        cfg.interfaceChange = gatewaysim::InterfaceChange::ShowsLogin;
    else if (ic == QLatin1String("drop"))
        cfg.interfaceChange = gatewaysim::InterfaceChange::Drops;
    else
        return fail(QStringLiteral("--interface-change must be stay, login or drop"));

    gatewaysim::Faults& f = cfg.faults;
    f.errorToAll = p.isSet(errorAll);
    for (const QString& command : p.values(errorOn))
        f.errorOn << command.toLatin1();
    f.modemDropOn = p.value(modemDropOn).toLatin1();
    f.dropOn = p.value(dropOn).toLatin1();
    f.noOk = p.isSet(noOk);
    f.silent = p.isSet(silent);
    for (const QString& command : p.values(silentOn))
        f.silentOn << command.toLatin1();
    f.swapKeyOrder = p.isSet(swapKeys);
    f.bootMode = p.isSet(bootMode);
    f.refuseLogin = p.isSet(refuseLogin);
    f.voiceBusy = p.isSet(voiceBusy);
    f.xmodemRepeat = p.isSet(xRepeat) ? 1 : 0;
    f.xmodemZeroFirst = p.isSet(xZero);
    f.xmodemSilent = p.isSet(xSilent);
    f.bootAtMode = p.isSet(bootAt);
    f.bootSilent = p.isSet(bootSilent);
    f.bootWrongEcho = p.isSet(bootWrongEcho);
    f.bootUnsolicited = p.isSet(bootUnsolicited);
    f.bootNoReady = p.isSet(bootNoReady);
    f.bootForeignBanner = p.isSet(bootForeign);
    cfg.firmwareImagePath = p.value(bootImage);
    f.endlessPages = p.isSet(endlessPages);
    f.diagSilent = p.isSet(diagSilent);
    f.moduleSilent = p.isSet(moduleSilent);
    f.pauseAfter = p.value(pauseAfter).toLatin1();
    int portNumber = 0;
    int baudRate = 0;
    if (!number(pageSize, cfg.pageSize) || !number(guard, cfg.modemGuardMs) || !number(chunk, f.chunkSize) ||
        !number(chunkDelay, f.chunkDelayMs) || !number(replyDelay, f.replyDelayMs) ||
        !number(dropAfter, f.dropAfterCommands) || !number(oversize, f.oversizeBytes) ||
        !number(trickle, f.trickleMs) || !number(baud, baudRate) || !number(idleLogout, cfg.idleLogoutMs) ||
        !number(voiceRecord, cfg.voiceRecordMs) || !number(xFrame, f.xmodemFrame) || !number(xBad, f.xmodemBadTimes) ||
        !number(xPause, f.xmodemPauseMs) || !number(xNakEnds, f.xmodemNakEnds) ||
        (p.isSet(xRepeats) && !number(xRepeats, f.xmodemRepeat)) || !number(resetDelay, cfg.resetDelayMs) ||
        !number(traceInterval, cfg.traceIntervalMs) || !number(stallPages, f.stallAfterPages) ||
        !number(chatter, f.chatterMs) || !number(noise, f.noiseMs) || !number(pauseAfterMs, f.pauseAfterMs) ||
        (p.isSet(port) && (!number(port, portNumber) || portNumber > 65535)))
        return fail(QStringLiteral("a numeric option has a bad value (see --help)"));
    if (!number(bootRepeat, f.bootRepeat) || !number(bootRefuse, f.bootRefuse) ||
        !number(moduleBursts, cfg.moduleBursts) || !number(moduleBurstMs, cfg.moduleBurstMs))
        return fail(QStringLiteral("a numeric option has a bad value (see --help)"));
    f.actualTablesSilent = p.isSet(actualSilent);
    if (!number(actualDelay, f.actualTablesDelayMs) || !number(dropAfterDeletes, f.dropAfterDeletes))
        return fail(QStringLiteral("a numeric option has a bad value (see --help)"));
    if (p.isSet(callRecords)) {
        QFile file(p.value(callRecords));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        for (QByteArray line : file.readAll().split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (!line.isEmpty())
                cfg.callRecords.append(line);
        }
    }

    cfg.serialBaudRate = baudRate;

    gatewaysim::Gateway gateway(cfg);
    if (!gateway.isValid())
        return fail(gateway.errorString());
    // A line is printed once it is complete: its LF may come a moment after the CR that ended it.
    int pendingIndex = -1;
    QByteArray pendingRaw;
    QTimer printTimer;
    printTimer.setSingleShot(true);
    auto printPending = [&] {
        if (pendingIndex < 0)
            return;
        std::printf("received [%d] \"%s\"\n", pendingIndex, escaped(pendingRaw).constData());
        std::fflush(stdout);
        pendingIndex = -1;
    };
    QObject::connect(&printTimer, &QTimer::timeout, &app, printPending);
    QObject::connect(&gateway, &gatewaysim::Gateway::lineLogged, &app, [&](int index, const QByteArray& raw) {
        if (index != pendingIndex)
            printPending();
        pendingIndex = index;
        pendingRaw = raw;
        printTimer.start(50);
    });

    if (p.isSet(port)) {
        const quint16 listening = gateway.startTcp(quint16(portNumber));
        if (listening == 0)
            return fail(QStringLiteral("cannot listen on port %1: %2").arg(portNumber).arg(gateway.errorString()));
        std::printf("telnet: 127.0.0.1:%u\n", unsigned(listening));
    }
    if (p.isSet(pty)) {
        const QString path = gateway.startSerialPty();
        if (path.isEmpty())
            return fail(QStringLiteral("cannot open a pty: %1").arg(gateway.errorString()));
        std::printf("serial pty: %s\n", qPrintable(path));
    }
    if (p.isSet(modemPty)) {
        const QString path = gateway.startModemPty();
        if (path.isEmpty())
            return fail(QStringLiteral("cannot open a pty: %1").arg(gateway.errorString()));
        std::printf("modem pty: %s\n", qPrintable(path));
    }
    std::printf("login: %s / %s, model %s\n", cfg.user.constData(), cfg.password.constData(), qPrintable(cfg.model));
    std::fflush(stdout);
    return app.exec();
}
