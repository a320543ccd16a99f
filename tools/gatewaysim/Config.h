#pragma once
// How a simulated gateway behaves: who may log in, what it says about itself, where its parameters come from,
// and the faults it shows on purpose so that the program's error paths can be tried.
#include <QByteArray>
#include <QList>
#include <QString>

namespace gatewaysim {

// Faults a session shows. They can be changed while the gateway runs (Gateway::setFaults); a session reads
// them afresh for every command.
// The pause between two filler lines of Faults::chatterMs.
inline constexpr int kChatterLineMs = 50;

struct Faults
{
    bool errorToAll = false;     // every command after the login is answered "\r\nERROR\r\n"
    QList<QByteArray> errorOn{}; // these commands (the line as received, without its line end) are answered
                                 // "\r\nERROR\r\n" and do nothing; every other command as usual
    bool noOk = false;           // replies that would end in "OK\r\n" end without it
    bool silent = false;         // commands after the login get no reply at all
    int chunkSize = 0;           // > 0: everything sent goes out in pieces of this many bytes ...
    int chunkDelayMs = 0;        // ... with this pause between two pieces
    int lineHeadBytes = 0;       // > 0: each line goes out in two pieces, its first this many characters and the
                                 // rest up to and with its LF (a line no longer than that in one) ...
    int lineHeadPauseMs = 0;     // ... with this pause after each piece ...
    int lineHeadLines = 0;       // ... in the first this many lines of each reply or page (0: in every line)
    int replyDelayMs = 0;        // > 0: the reply to a command starts this late
    int dropAfterCommands = 0;   // > 0: the connection is dropped once the reply to this command has gone out
    // Not empty: the session ends, without an answer, as a logged-in line that begins with these bytes comes (the
    // gateway restarted just then): on the serial port the login prompt follows at once.
    QByteArray dropOn{};
    // Not empty: the session ends as with dropOn once the reply to a line that begins with these bytes is out.
    QByteArray dropAfterReplyTo{};
    // The session that dropOn or dropAfterReplyTo ends shows the login prompt on a line that stays up, on every
    // transport (a gateway that restarts behind a terminal server), in place of the transport's own drop.
    bool dropShowsLogin = false;
    int dropAfterDeletes = 0;    // > 0: the connection is dropped once an "AT&CR" dialogue has deleted this many
                                 // records (instead of sending the next)
    bool swapKeyOrder = false;   // listings come in reverse order (a longer key before its tail)
    int oversizeBytes = 0;       // > 0: replies carry this many bytes of filler lines before "OK"
    int trickleMs = 0;           // > 0: everything sent goes out one byte every this many ms
    int chatterMs = 0;           // > 0: a command's reply comes only after this many ms of filler lines (one every
                                 // kChatterLineMs): a gateway that keeps talking before its verdict
    bool bootMode = false;       // a new connection meets the boot loader instead of the login
    bool refuseLogin = false;    // every login is answered "Login incorrect", whatever the user and password
    // These commands (the line as received, without its line end) get no reply; every other command as usual.
    QList<QByteArray> silentOn{};
    // > 0: a command after the login gets no reply, only filler lines for this many ms (one every kChatterLineMs):
    // a gateway that sends bytes but never a reply's end.
    int noiseMs = 0;
    // Not empty: each time these bytes have gone out, the output stops pauseAfterMs (a gateway that pauses in the
    // middle of a line).
    QByteArray pauseAfter{};
    int pauseAfterMs = 0;

    // Voice messages (VoiceCommands.cpp, XmodemModes.cpp). The XMODEM faults hit frame xmodemFrame (1 = the
    // first data frame; 0 = none) of every transfer.
    int xmodemFrame = 0;
    int xmodemBadTimes = 0;       // sending: the frame goes out this often with a flipped CRC bit; receiving:
                                  // it is answered NAK this often
    int xmodemRepeat = 0;         // sending: the frame goes out this many times more, each after an ACK
    int xmodemPauseMs = 0;        // sending: the frame stops this long after its first 60 bytes
    bool xmodemZeroFirst = false; // sending: a 0x00 goes before the frame's header
    int xmodemNakEnds = 0;        // receiving: the end is answered NAK this often before its ACK
    bool xmodemSilent = false;    // a transfer hears nothing and says nothing
    bool voiceBusy = false;       // "AT!M<n>=READ" and "=WRITE" are answered "Busy"
    QByteArray voiceView{};       // not empty: the lines "AT!M<n>=view" answers in place of the description
    // The boot loader (FirmwareLoader.cpp).
    bool bootAtMode = false;        // a new connection meets the boot loader's AT monitor (echo, "at!K2RM")
    int bootRepeat = 0;             // the next this many verdicts are 'R' ...
    int bootRefuse = 0;             // ... then this many 'X'
    bool bootSilent = false;        // verdicts are not sent
    bool bootWrongEcho = false;     // the AT monitor echoes the first character of each line wrongly
    bool bootUnsolicited = false;   // the AT monitor puts a line "*RING" into each echo
    bool bootNoReady = false;       // the erase is not followed by "Boot: Ready"
    bool bootForeignBanner = false; // "ati3" names another maker

    // Paged listings (PagedListing.cpp).
    int stallAfterPages = 0;   // > 0: a listing stops after this many pages (the blank asking for more is ignored)
    bool endlessPages = false; // a listing never ends: its pages come round again, each with "<SPACE>"

    // Diagnostics (DiagCommands.cpp).
    bool diagSilent = false; // "AT&S0<m>", "AT&SPX", "AT&SEX" and "AT&Q<m>" get no reply
    // Commands passed to a GSM module (ModuleCommands.cpp).
    bool moduleSilent = false; // "AT&G<m>=<text>" is taken and never answered: the module stays mute
    // The actual calls page's tables (ActualCallCommands.cpp): "AT&XC" and "AT&AD" ...
    bool actualTablesSilent = false; // ... get no answer
    int actualTablesDelayMs = 0;     // ... are answered this late
    // The modem (PtyLines.cpp): not empty: a call ends as a line that begins with these bytes reaches the modem
    // in data mode, before the gateway gets any of it (the far end dropped just as the command went out): the
    // modem says "NO CARRIER" and takes the line in command mode.
    QByteArray modemDropOn{};
};

// What a session does after a set of "I00" that changes the ISDN interface mode (the gateway restarts its
// interface): it stays logged in, it shows the login prompt and waits for a new login, or it drops the
// connection.
enum class InterfaceChange { StaysLoggedIn, ShowsLogin, Drops };

// What a dial through the simulated modem brings.
enum class DialResult { Connect, NoCarrier, Busy, Silence };

struct Config
{
    // Parameters: fixtureText when it is not empty, else the file fixturePath when it is not empty, else the
    // fixture built into the simulator (tools/gatewaysim/fixtures/default.ini).
    QString fixturePath;
    QString fixtureText;

    QByteArray user = "admin";
    QByteArray password = "admin";
    QString model = QStringLiteral("MX"); // "MX" (two BRI ports) or "MY" (one BRI port)
    QString bootVersion = QStringLiteral("02.62");
    QString firmwareVersion = QStringLiteral("V-02.05.20");
    int pageSize = 0;  // lines per page of a paged listing; 0 = the fixture's "page-size" (20 if it has none)
    bool echo = false; // echo received characters (never the password), as the gateway's own terminal does
    // The serial port's line speed. Bytes that come at another speed are noise to the gateway: it hears nothing
    // and says nothing. 0: it understands any speed.
    qint32 serialBaudRate = 0;
    // A logged-in session that hears nothing for this long ends, as the gateway's own auto-logout does: telnet
    // closes, a modem call ends with "NO CARRIER", the serial line shows the login prompt. 0: never.
    int idleLogoutMs = 0;

    int voiceRecordMs = 0; // "AT!M<n>=RECORD" answers "OK" this late (0 at once), or when a line end comes
    // A reset ("AT&BSYS=RESET", "AT&FRES") makes the gateway silent for this long; then it says "Init: OK" and
    // waits for a login.
    int resetDelayMs = 3000;
    // A running trace ("AT!L<n>", "AT!R<n>" until "AT!RX") sends one numbered line this often ...
    int traceIntervalMs = 200;
    // ... or, when this is not empty, exactly these bytes once and then nothing more.
    QByteArray traceScript;
    // Where the boot loader writes the image it received (the records it took, as an Intel HEX file) once the
    // end-of-file record is in; empty: nowhere.
    QString firmwareImagePath;
    // The online tools' replies (OnlineToolCommands.cpp); the fault "silent" mutes them like every command.
    // "AT&I<m>": these lines for module m (0 or 1); empty: one line "GSM<m> monitor" and its details.
    QList<QByteArray> monitorLines[2];
    // "AT&U": the connection table, header line "ix ..." first; empty: the built-in table of COM, USB and GSM.
    QList<QByteArray> connectionTable;
    // Diagnostics (DiagCommands.cpp); empty: the built-in lines. "AT&S0<m>": the status lines of GSM module m.
    QList<QByteArray> moduleStatus[2];
    // "AT&SPX" (index 0, the first BRI port; a gateway of model MY has none and answers ERROR) and "AT&SEX"
    // (index 1, the second or only port): the port's status lines.
    QList<QByteArray> briStatus[2];
    // "AT&Q<m>": the signal lines of module m.
    QList<QByteArray> signalLines[2];
    // Test calls (TestCallCommands.cpp): after a start the gateway sends these chunks, one every
    // testCallIntervalMs (empty: "\r\nCALL <command>\r\n" and "\r\nOK\r\n"); after the hang-up "AT!D" these
    // (empty: "\r\nRELEASE cause 16\r\n"). The fault "silent" mutes them while it is on.
    QList<QByteArray> testCallScript;
    QList<QByteArray> testCallTrace;
    int testCallIntervalMs = 300;
    // "AT&G<m>=<text>" (ModuleCommands.cpp): the module's answer, exactly these bytes; empty: CR LF, the line
    // "GSM<m>: <text>", a blank line and OK. It goes out in moduleBursts pieces, moduleBurstMs apart.
    QByteArray moduleReply;
    int moduleBursts = 3;
    int moduleBurstMs = 40;
    // "AT&XC": the title and table lines (the table's first line starts "cha-layer3"); "AT&AD": the same for the
    // CLIP routing table (first line "idx"). Empty: the built-in tables, each with a row holding "OK".
    QList<QByteArray> actualCallsTable;
    QList<QByteArray> clipTable;
    // The call data records a gateway starts with ("AT&C", "AT&CR", "AT!Q"), each line's bytes as they are sent;
    // empty: the three built-in records.
    QList<QByteArray> callRecords;

    int modemGuardMs = 1000; // silence needed before and after "+++"
    DialResult dialResult = DialResult::Connect;
    InterfaceChange interfaceChange = InterfaceChange::StaysLoggedIn;

    Faults faults;
};

} // namespace gatewaysim
