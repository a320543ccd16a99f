#pragma once
// Commands of the program to the gateway: the one way to write one (WriteCommand), what the link owes taken before
// it (TakeOwedReplies), and the exchange of the window's thread (Exchange: a command written and its whole reply
// read, on which SendCommand and SendCommandOk stand).
//
// Every command write owes its reply until a reader has read it to its end or to the bound its writer would have
// waited (the queue of what the link owes, link/ExchangeState.h). Raw writes (LinkWrite, ComWrite, LinkPortWrite)
// are only for what is no command of the program: the login dialogue, the terminal's keys, the record downloads'
// dialogue steps, the XMODEM blocks, the boot loader's own writes, and the writes whose reader never looks (the
// resets' restart, the boot loader's at!K2RM keep their waits).
#include "link/LinkIo.h"

#include <QByteArray>
#include <QString>

#include <functional>

// How a command written with WriteCommand owes its reply.
struct CommandReply
{
    enum Owed { IfCommand, Always, Never };
    // IfCommand: unless the line holds nothing but line ends (the gateway answers an empty line with nothing).
    // Always: a line end that ends text the user typed (the terminal's leaving line, a test call's leaving line).
    Owed owed = IfCommand;
    qint64 firstByteMs = 0; // not 0: its first byte is awaited this long, in place of a page command's bound
    qint64 readUntilMs = 0; // not 0: its writer's reader has it until then (a worker that reads its own reply)
    bool logged = true;     // false: written past the communication log (LinkPortWrite)
};

// Writes a command of the program on the open link: what the link owes is taken first (TakeOwedReplies), unless a
// live tool's reader or route holds the link (that reader takes what comes; the command joins the queue behind
// what is owed); then it looks at what has come and nobody has read (ArrivedTextEndsSession): the gateway's login
// prompt there ends the session and nothing is written, so no command reaches the login dialogue; then it writes
// (LinkWrite) and owes its reply as reply says. Returns the bytes written: 0 when the take was abandoned (the link
// closed, lost or replaced, or the program closing) or the session ended. owedId (when given): the entry its reply
// holds in the queue (0: none), for StillOwed.
quint32 WriteCommand(const QByteArray& command, const CommandReply& reply = {}, quint64* owedId = nullptr);

// A line the user typed in the terminal, its keys written one by one as typed and its Return last: from the Return on
// its reply is owed as a command's (its terminal's reader reads it).
void OweTypedLine();

// Reads what the link owes before a command is written, the whole queue in write order (OwedReply,
// link/ExchangeState.h), on any thread: a reply its writer's reader has is waited for until it lets it go or is past
// its bound; each one nobody reads is read to its end or to the bound its writer would have waited (its first byte
// from its write or the end of the reply before it, then its writer's pause between two bytes; at least 1 s from
// the take's start) and dropped as unasked; one cut within a line by then stays, taken, its rest nobody's. No
// wait when nothing is owed. On the window's thread it reads through the window's reads and is abandoned by a
// Disconnect, a new connection, a lost link or the close (false: nothing is to be written then); not while a live
// tool's reader or route holds the link, which takes it. A worker that reads the link itself passes its own reads.
struct OwedReader
{
    std::function<QByteArray(qint64 msLeft)> read; // one read of at most msLeft (its text passing LinkTextArrived)
    std::function<bool()> alive;                   // false: the take ends early
    std::function<void(int ms)> sleep;             // a pause while another reader has the front
};
// silentMs (when given): how long the take read without a byte of a reply that had none; an exchange counts it
// within its first byte's bound on a serial port and a modem line.
bool TakeOwedReplies(const OwedReader* worker = nullptr, qint64* silentMs = nullptr);

// The longest a page command's writer waits for the first byte of its reply on the open link, and between two
// bytes once they came.
qint64 CommandFirstByteMs();
qint64 CommandQuietMs();

// One exchange of the window's thread. It first takes what the link owes (TakeOwedReplies) and looks at what has
// come (a command goes nowhere behind the login prompt), then drops what has arrived unasked (logged as received),
// so that an answer that came after its exchange had ended is never taken for this one's; the command is written,
// delayMs waited and its whole reply read (ReadReply). What a take left of an earlier reply goes on from its line
// and to nobody (LinkTextArrived), so the reply read is this command's own, or missing, never mixed. A short write
// reads nothing unless readAfterShortWrite is set. A reply that did not come to its end (no byte within its bound,
// or cut at its cap; a reply ending in ERROR is whole) stays owed with its writer's bounds counted from the write; an
// empty line (only line ends) owes nothing, the gateway answers none. Nothing is taken or dropped while a live
// tool's reader or route holds the link (its reader takes what comes). The session's end is looked for in all the
// text as it arrives, beyond reading.size too; reading.loginPromptExpected: not while the exchange runs. Refused
// with nothing written (refused set) while another exchange waits for its answer, or once the gateway run it
// belongs to has found the gateway no longer answering (GatewayRunScope; an owed reply's wait that ran to its cap
// counts there as a reply without its end); the connect's commands in such a run are not refused but read for their
// first byte's bound only, and owe nothing. reading.logged false writes past the log.
struct ExchangeResult
{
    bool written = false;
    bool refused = false;
    bool refusedForWait = false; // refused because another exchange waits for its answer
    QByteArray reply;
};
ExchangeResult Exchange(const QByteArray& command, int delayMs, const ReplyReading& reading = {},
                        bool readAfterShortWrite = false);

// An exchange refused because another one waits for its answer: nothing is wrong with the link or the gateway,
// and the user is told nothing (the work that waits reports for itself).
inline bool RefusedForWait(const ExchangeResult& e)
{
    return e.refusedForWait;
}

// Sends one command and reads its reply into reply (at most size - 1 bytes): shows the command through
// commandStatusHook, then one Exchange (the write, 10 ms, ReadReply). True when the reply contains
// "OK". A short write appends itemLine to failedItems as it is (no presence test) and returns false with an
// empty reply; a reply without "OK" (a refused exchange too) appends itemLine unless failedItems holds it already.
bool SendCommand(const QByteArray& command, QByteArray& reply, qsizetype size, QString& failedItems,
                 const QString& itemLine);
// One Exchange (the write, 100 ms, ReadReply) into reply; returns the reply when it contains "OK", otherwise
// (a short write or a refused exchange included) the empty text.
QByteArray SendCommandOk(const QByteArray& command, QByteArray& reply, qsizetype size);
