#pragma once
// Writing to and reading from the gateway over the open link of CurrentConnection.
//
// Link types: 1 serial port and 4 ISDN modem (a ComPort in Handle), 2 telnet (the client in `tcp`), 3 modem
// line (the data port of the modem call: Handle, or else Modem->port()).
//
// Sizes: every read takes a size, as the program's fixed buffers had; what is returned holds at most size - 1
// bytes (the room the zero-terminated buffer had for text). Beyond that, only what the rules need is kept: the link's
// unfinished last line, bounded (OwedLineHead), by which the owed replies and the prompt are judged.
//
// Waiting: on the telnet link the received text reaches us through the client's data event on the UI thread,
// so the telnet reads wait in a nested event loop (the window keeps working) that ends on the data flag, on a
// dropped connection or on a timer set to the deadline; an idle wait costs no CPU. The LAN time-out is counted
// on the whole-second clock (Clock::seconds()): a wait ends when that clock has moved on by more than
// LanTimeout / 1000 seconds. LinkRead waits 100 ms more after text has come, so that the rest of a piece can
// follow; ReadReply looks at each arrival at once. Telnet reads belong on the UI thread; serial and modem reads
// may run on reader threads.
//
// Every write and every read that brings text stamps lastLinkActivity (the keep-alive looks at it) and goes to
// the communication log when "SaveLog" is on.
#include "link/ExchangeState.h"
#include "link/LinkState.h"

#include <QByteArray>
#include <QString>

#include <functional>

class ComPort;

// Writes the first length bytes of text (never more than text holds) on conn's link. Returns the bytes written;
// callers take a result other than length as a failed write. Telnet: sent one character at a time through the
// client, up to a NUL byte; 0 while the client is not connected. Modem line: one write bounded by 1000 ms.
quint32 LinkWrite(const ConnectionRecord& conn, const QByteArray& text, qsizetype length);
quint32 LinkWrite(const ConnectionRecord& conn, const QByteArray& text); // length = text.size()

// Every read of the link's port below (and ComRead of that port), on any thread, and the telnet data event
// (StoreTcpReceived, and the routes' text) hand what came to the one place the link's text passes
// (LinkTextArrived, link/ExchangeState.h) before they keep any of it: it is looked at for the session's end as the
// line's continuation and counted against what the link owes; the rest of a reply a take left goes to nobody.
//
// One read of what the link has. Serial: ComRead with logging. Modem: one read of up to size - 1 bytes that waits
// at most 10 s for the first byte and ends 100 ms after the last (on the window's thread in slices of at most
// 100 ms, the window's events handled between them). Telnet: waits for the data flag or the LAN
// time-out, waits 100 ms, then takes the received text (text beyond size - 1 bytes stays for the next read).
QByteArray LinkRead(qsizetype size);
// LinkRead with seconds in place of the LAN time-out on telnet (the whole-second clock must move on by more
// than that) and at most 100 s on a modem line; the serial port's own read time-outs decide as before.
QByteArray LinkReadTimeout(qsizetype size, double seconds);
// One read that waits at most ms for text on a modem line (and ends 100 ms after the last byte); the serial
// port reads as LinkRead does (its own time-outs end it at the line's silence) but waits for no byte past ms
// after the call; telnet waits at most ms for the data flag.
QByteArray LinkReadWithin(qsizetype size, int ms);

// Told of the text a read has gathered so far, each time more of it has come.
using ArrivalWatch = std::function<void(const QByteArray& soFar)>;

// How ReadReply reads one whole reply.
struct ReplyReading
{
    qsizetype size = 4096; // at most size - 1 bytes are kept; the reply is read to its end all the same
    bool busy = true;      // a line "BUSY" ends the reply like a verdict
    // 0: the link's own bounds (below); else the read's whole time, within which a quiet moment is no end (the
    // whole replies of the live pages).
    int boundMs = 0;
    ArrivalWatch watch; // told of the text gathered so far, each time more has come
    bool logged = true; // false: kept out of the communication log (the login account)
    // Ends the reply too when it says so of the text gathered so far (the greeting: the boot loader's banner,
    // which has no end of its own).
    std::function<bool(const QByteArray& soFar)> alsoEnds;
    // The gateway's login prompt may answer this read (the greeting, the login's replies, an interface restart
    // that asks for a new login): it is no sign that the session has ended (a NeverLooksScope while it reads).
    bool loginPromptExpected = false;
};

// The longest a serial port's answer may keep silent, before its first byte and between two: after that the
// gateway counts as not answering. A serial gateway starts its answers within a few hundred ms.
inline int serialReplyQuietMs = 3000;

// The reply to the last command: one whole reply on every link, at most size - 1 bytes of it kept. It is read
// until it ends (ReplyComplete), the link is lost, closed or another one opened meanwhile (LinkEpoch), or the
// program closes. A quiet moment is no end; the bounds for an answer that stops or never starts:
// - telnet: a step that brings nothing within the LAN time-out (more than LanTimeout/1000 whole seconds, then
//   100 ms), or 15 s since the start; each arrival is looked at as it comes;
// - serial port: serialReplyQuietMs without a byte, or 15 s since the first byte;
// - modem line: modemReplyWaitMs plus 10 s before the first byte, 10 s between two, or 15 s since the first.
// Serial and modem read in slices of at most 100 ms with the window's events handled between them; the telnet
// waits run them too. While a read waits on the window's thread no other exchange starts (LinkExchangeWaiting).
// The session's end is looked for in all the text read, before it is cut to size, where it arrives
// (LinkTextArrived), unless the reading says loginPromptExpected.
QByteArray ReadReply(qsizetype size);
QByteArray ReadReply(qsizetype size, const ArrivalWatch& watch);
QByteArray ReadReply(const ReplyReading& reading);
// A reply read as ReadReply(size) reads it, for work that does not examine it: true when the gateway's session has
// ended (LinkSessionEnded: its login prompt came, in what was read or before it, beyond size too).
bool ReadReplyMeetsSessionEnd(qsizetype size);
// One piece of a long listing that the caller gathers itself (the record downloads): telnet collects as
// ReadReply does; a modem line waits modemReplyWaitMs, then reads once (up to 10 s for the first byte, ending
// 100 ms after the last); a serial port reads once until its line is quiet.
QByteArray ReadReplyPiece(qsizetype size, const ArrivalWatch& watch = {});

// True when text holds the end of a reply: a whole line (its line end included) that is only "OK", "BUSY",
// "ERROR" or "<SPACE>", "MX login:" or "MY login:" at the start of a line, or "NO CARRIER" or "+++" anywhere but
// in a value line. A value line (one with "=" before the marker) is the user's text: "I62=Gateway OK",
// "I52=+++BRI-DOWN+++" and "I52=NO CARRIER on BRI" end nothing, also when the reply comes in pieces.
bool ReplyComplete(const QByteArray& text);

// One write on a serial port; returns the bytes written (0 for a missing or closed port). Stamps the activity.
quint32 ComWrite(ComPort* port, const char* data, qsizetype count);
quint32 ComWrite(ComPort* port, const QByteArray& data);
// One byte within the port's read time-outs, or 0 when none came (a received 0x00 reads the same). Stamps the
// activity when the byte is not 0.
quint8 ComReadByte(ComPort* port);
// ComReadByte whose wait ends by endMs (Clock::milliseconds()) at the latest: 0 once endMs has passed.
quint8 ComReadByteUntil(ComPort* port, qint64 endMs);
// Bytes from the port until a 0 (nothing came, or a 0x00) or size - 1 bytes are in; logged as received when
// logging is set and "SaveLog" is on.
QByteArray ComRead(ComPort* port, qsizetype size, bool logging);

// One write on the port of CurrentConnection's link that stays out of the communication log (the login
// account's password; its reply is read by ReadReply with logged off). On a modem line it goes through the
// line, which watches for the call's end. Stamps the activity; a write that meets the link gone tells
// linkLostHook.
quint32 LinkPortWrite(const QByteArray& bytes);

// A reader's pause between its reads (WaitPumping, ms): it ends early once the link is lost (the session's end
// among the causes: the telnet text is looked at as it arrives), and on a serial port once the login prompt has
// come in what has arrived, looked at and left for its reader while no live tool reads the port, so that the read
// after it looks at that text now rather than at the pause's end, and no command goes out behind the prompt.
void PauseOnLink(int ms);
// A look at what has arrived on the link and nobody has read (the serial port's, a modem line's while no read is
// under way on it; telnet's text is looked at as it arrives), as the continuation of the link's current line: the
// gateway's login prompt there ends the session (EndLinkSession). True once the session has ended. Takes nothing.
bool ArrivedTextEndsSession();

// Drops what has already arrived on CurrentConnection's link, without waiting for more (logged as received):
// the rest of an earlier answer is not taken for the reply to the next request. What it drops passed the one
// place first, looked at as the continuation of its line.
void DropArrivedText();

// The port that carries conn's link: the serial port's or ISDN modem's Handle, or else the modem line's data
// port; null on telnet and while no port is open.
ComPort* LinkPort(const ConnectionRecord& conn);
// True when the port of CurrentConnection's link has gone away (its other end closed, the device removed), the
// modem line's call has ended (the modem said "NO CARRIER") or the gateway's session has ended
// (LinkSessionEnded): every further read on it fails at once, so a reader that keeps reading would only spin. A
// read or write that finds it so tells linkLostHook.
bool LinkPortLost();
// LinkPortLost, and on telnet: the connection is down.
bool LinkLost();

// The record this thread's link reads and writes go by: CurrentConnection, or on a live tool's worker the copy it
// was started with (LinkRecordScope). The window's thread closes the link and resets CurrentConnection only after
// the workers' stops; a worker whose stop could not join it in time goes on with its own copy, so it never reads
// a record being assigned, nor the next connection's port: its own port is closed under it and fails its reads.
const ConnectionRecord& LinkRecord();
class LinkRecordScope
{
public:
    LinkRecordScope(const ConnectionRecord& own, quint64 epoch);
    ~LinkRecordScope();
    LinkRecordScope(const LinkRecordScope&) = delete;
    LinkRecordScope& operator=(const LinkRecordScope&) = delete;

private:
    const ConnectionRecord* before_;
    quint64 beforeEpoch_;
};

// Wakes a reader thread waiting in a read of CurrentConnection's serial port or modem line and keeps further
// reads from waiting (on); back to normal reads (off). The stop of a live tool's reader brackets its join with it.
void CancelLinkReads(bool on);

// Sends one key on the telnet link: true when the client is connected (and the key went out), else false.
bool TelnetSendKey(char c);

// The telnet text that no tool has taken yet; clears the data-received flag but leaves the text.
QByteArray TakeTcpReceived();
// Empties the telnet text that no tool has taken.
void ClearTcpReceived();
// The rest of a reply the program has stopped waiting for: empties the telnet text that no tool has taken, and
// the text that comes from now on is dropped as it arrives (logged as received), until the next write on the
// link or ClearTcpReceived (a new connection), so that no later read takes it for its own reply. Every byte of it
// was looked at and counted where it arrived, so the reply it ends settles what is owed for whoever takes it.
void DropTcpTextUntilWrite();
// What the telnet data event does with text while no live tool takes it: passes it through the one place
// (LinkTextArrived), then appends what a reader may take to
// CurrentConnection.TcpReceived and sets TcpDataReceived 10 ms later (a waiting read then wakes), unless a read
// has taken that text by then.
void StoreTcpReceived(const QByteArray& text);
