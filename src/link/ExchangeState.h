#pragma once
// The state the window's thread's exchanges with the gateway share: whether one is waiting for its answer (and
// the steps that hold the user's input like one), the open gateway run and its count of replies without their
// end, what the link owes (the queue of replies nobody has read to their end) and the one place the link's text
// passes, the open link's epoch, and whether the gateway's session on it has ended.
// The reads and writes themselves are in link/LinkIo.h.
#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// True while the window's thread waits for an answer: inside an Exchange or a read of the link that handles
// the window's events. Nothing may start another exchange meanwhile: the main window holds the user's input
// (but Disconnect and the close) until the wait ends.
bool LinkExchangeWaiting();
// True while the user's input is held: an answer is awaited (LinkExchangeWaiting), or a step that must not be
// entered twice runs (UserStepScope).
bool LinkInputHeld();
// Whether a timer that sends (keep-alive, the polls, the voice record status, the terminal's paste) may send on
// this turn: no answer is awaited and no step that holds the input runs. It skips its turn otherwise.
bool TimersMaySend();
// Told when the user's input begins to be held (true: an answer is awaited or a step runs) and when the last
// such wait or step ends (false).
void SetInputHoldWatch(std::function<void(bool held)> watch);

// Holds the user's input while it lives (the main window holds it, Disconnect and the close aside), counted on the
// window's thread only. Two kinds, told apart by LinkExchangeWaiting: a wait on the link, and a step that must not
// have the user's input run inside it.
class LinkHoldScope
{
public:
    enum Kind { Wait, Step };
    explicit LinkHoldScope(Kind kind);
    ~LinkHoldScope();
    LinkHoldScope(const LinkHoldScope&) = delete;
    LinkHoldScope& operator=(const LinkHoldScope&) = delete;

private:
    Kind kind_;
    bool counted_;
};

// Held by work of the window's thread while it waits on the link (every such read holds one itself).
class LinkWaitScope : public LinkHoldScope
{
public:
    LinkWaitScope() : LinkHoldScope(Wait) {}
};

// Held by a step of the window's thread that handles the window's events but must not have the user's input run
// inside it (entering or leaving a topic up to the moment its own work begins): input is held as during an
// answer, while the step's own exchanges run as usual.
class UserStepScope : public LinkHoldScope
{
public:
    UserStepScope() : LinkHoldScope(Step) {}
};

// A run of exchanges with the gateway (a page's load or save, the whole-gateway load and save), opened before the
// connect the run may make. Once two of its exchanges in a row ended without their reply's end (no byte within
// the bound, or bytes without an end; an owed reply's wait that reached its cap counts as one too), the gateway
// counts as no longer answering for the rest of the run: the later exchanges are refused at once, so the run ends
// with its one box instead of waiting out every command. An exchange whose reply ends starts the count anew, so a
// gateway that answers other commands is run through every page.
class GatewayRunScope
{
public:
    GatewayRunScope();
    ~GatewayRunScope();
    GatewayRunScope(const GatewayRunScope&) = delete;
    GatewayRunScope& operator=(const GatewayRunScope&) = delete;
};

// Held by the connect: its exchanges (the identification, "AT&M0") count in the open gateway run as the run's
// first, but none is refused for the count's sake, so the connect goes its whole way; the run's own exchanges
// after it are refused at once when the connect's last two ended without their reply's end.
class ConnectExchangesScope
{
public:
    ConnectExchangesScope();
    ~ConnectExchangesScope();
    ConnectExchangesScope(const ConnectExchangesScope&) = delete;
    ConnectExchangesScope& operator=(const ConnectExchangesScope&) = delete;
};

// Counts the link's opens and closes (CloseLink and the connect call it): a read that started on one link ends
// when the count has moved on (a Disconnect, or another connection made meanwhile), and never takes that link's
// text. It forgets the session's end and an owed reply, and wakes the telnet waits.
void AdvanceLinkEpoch();
quint64 LinkEpoch();

// The gateway's session can end while the line stays up (it restarts, or logs an idle session out): its login
// prompt then comes on the line, and whatever is sent next would go into its login dialogue as a user name or a
// password. The prompt ends the session where it begins a line ("MX login:" or "MY login:" after a line end or
// first in the text, blanks and CRs before it allowed: HoldsLoginPrompt); within a line it is text (a value line
// "I52=MX login: x", a module's echo, a call record). The link's text is looked at as it arrives, as the
// continuation of the link's current line (LinkTextArrived), whoever reads it, but while a reader that never looks
// is at work (NeverLooksScope, which lists them). Once the session has ended the link counts as lost (LinkPortLost,
// LinkLost) until it is closed or another is opened: reads and the telnet waits end, writes send nothing, and
// linkLostHook is told (once). Callable from any thread.
//
// True once the prompt or EndLinkSession has ended the link's session.
bool LinkSessionEnded();
// The gateway's session on the link now open counts as ended, as the prompt would have it (the terminal left while
// the gateway waited in its login dialogue).
void EndLinkSession();
// Whether text that has come but is not read yet holds the prompt as the continuation of the link's current line
// (a look that takes nothing: the text passes LinkTextArrived when it is read).
bool LinkTextWouldEndSession(QByteArrayView text);

// True when the last line of text (a terminal's) begins with the gateway's login prompt (HoldsLoginPrompt's rule)
// or is its password prompt, perhaps with what the user has typed after it: the gateway waits in its login
// dialogue.
bool AtLoginDialogue(const QByteArray& text);
// "MX login:" or "MY login:" at the start of a line of text (the session's end's rule).
bool HoldsLoginPrompt(const QByteArray& text);

// What the link owes: the replies to commands of the program that nobody has read to their end yet, whoever wrote
// them, one entry each, in the order they were written: the gateway answers one line after the other. Every command
// write owes its reply (WriteCommand, link/CommandWrite.h; an exchange's own reader reads it, and only a reply it
// left before its end stays). The queue belongs to the link it was written on (LinkEpoch): the link's close forgets
// it, and a reader of another link (a worker whose stop ran out of time) counts nothing in it. Callable from any
// thread.
//
// All the link's text passes one place before any reader or drop sees it (LinkTextArrived): there it continues
// the link's current line, which is looked at for the session's end (unless a reader that never looks is at work:
// NeverLooksScope) and against the queue: each reply's end, found as the text goes on from the line before it,
// settles the front entry (a marker that ends it within its line keeps the rest of that line its own). Whoever
// writes a command next takes the queue first (TakeOwedReplies, link/CommandWrite.h), each entry to its end or to
// the bound its own writer would have waited; an entry cut within a line by then (bytes, its line unfinished) is left
// in the queue as taken: the rest of it goes to nobody, so the next command's reader reads its own reply after it
// (missing, never mixed). One with no byte, or whose lines came whole without an end, counts as missing.
struct OwedReply
{
    bool owed = false;      // false: the queue is empty (OwedReplyNow)
    quint64 id = 0;         // told apart from the entries behind it (WriteCommand's owedId)
    quint64 epoch = 0;      // the link it is owed on (LinkEpoch)
    bool busy = true;       // a line "BUSY" ends it
    bool logged = true;     // its text goes to the communication log
    bool anyByte = false;   // a byte of it has come
    bool taken = false;     // a take left it before its end: its text is nobody's
    qint64 writtenMs = 0;   // its command's write (Clock::milliseconds())
    qint64 firstByteMs = 0; // how long its writer would wait for its first byte, counted from writtenMs
    qint64 quietMs = 0;     // how long its writer would wait between two bytes once bytes came
    qint64 readUntilMs = 0; // not 0: claimed, its writer's reader reads it, at the latest until then
};
// Every take gives an owed reply at least this long from the take's start (or from its last byte) before it counts
// it as missing or cut; a take ends at the reply cap at the latest; a take on a worker looks again at a claimed
// reply this often.
inline constexpr int kOwedReplyQuietMs = 1000;
inline constexpr qint64 kReplyCapMs = 15000;
inline constexpr int kClaimedStepMs = 20;

// The queue's front (owed false when it is empty).
OwedReply OwedReplyNow();
// True while the entry id is still owed.
bool StillOwed(quint64 id);
// The front's reader lets it go before its end: it stays owed to whoever writes next.
void ReleaseOwedReply();
// A dialogue's reader has read its command's reply to the end its own rule knows, which no reply-end line marks (the
// record downloads' dialogue steps, the deletion's lone "#"): the entry id leaves the queue.
void OwedReplyRead(quint64 id);
// The link's close: nothing is owed any more.
void ForgetOwedReplies();
// The one place for the link's text (every read of the link's port and the telnet data event call it, with the
// epoch of the reader's link): it continues the link's current line, is looked at for the prompt and counted
// against the queue. Returns what a reader may take of it: all of it but the parts of taken entries (which are
// logged as received here when logged).
QByteArray LinkTextArrived(QByteArrayView text, quint64 epoch);
// While one lives (any thread), the link's text is not looked at for the gateway's login prompt: a reader that
// expects it or whose bytes are no text is at work. Only these: the greeting and the login, the resets' wait for
// "Init: OK", the interface restart's new login, the boot loader with its wait for "Boot: Ready", the open
// terminal (it shows the prompt; the user may log in there by hand) and the XMODEM binary reads (the baud-rate
// scan reads a port that is no link yet, and never passes here). The line after it begins anew.
class NeverLooksScope
{
public:
    NeverLooksScope();
    ~NeverLooksScope();
    NeverLooksScope(const NeverLooksScope&) = delete;
    NeverLooksScope& operator=(const NeverLooksScope&) = delete;
};
// The unfinished last line of text, bounded: the line itself when short, "=" for a value line, a line's leading
// blanks cut to their last few when what follows them is short (a prompt or a verdict may still stand there), else
// a mark that the line has begun and its last characters, where a marker cut there may begin.
QByteArray OwedLineHead(QByteArrayView text);

// The exchanges' own bookkeeping and the reply-end rule (link/LinkIo.cpp and link/CommandWrite.cpp use them).
namespace exchangestate {

bool onWindowThread();
// Whether a reply has ended (ReplyComplete), looking at the lines that came whole from `from` on (the line `from`
// falls in included), at the login prompt where it begins a line, and at the markers that may stand anywhere but
// in a value line (their lines are looked at back to their start, so a reply in pieces counts as one text).
bool replyEndsFrom(QByteArrayView text, qsizetype from, bool busy);
// Where the reply in text (looked at from `from` on) ends: just past the line that ends it; text.size() when a
// marker or the prompt in its unfinished last line ends it; -1 when it has not ended. Linear in text.
qsizetype replyEndAt(QByteArrayView text, qsizetype from, bool busy);
// A reply's end found as its text comes, in one pass: each piece is judged as the continuation of the line before
// it (kept bounded: OwedLineHead), never from its own start.
class ReplyEndFinder
{
public:
    explicit ReplyEndFinder(bool busy = true) : busy_(busy) {}
    // Where the reply ends in piece (just past its end), or -1 when it goes on.
    qsizetype feed(QByteArrayView piece);
    void clear() { head_.clear(); }

private:
    QByteArray head_;
    bool busy_;
};
bool exchangeRefused(); // an exchange asked for now is refused (another waits, or the run found the gateway silent)
bool refusedForWait();  // ... because another exchange waits for its answer
bool runGaveUp();       // ... because the open run found the gateway no longer answering

// After an exchange's read on a link that is still up: a reply read to its end resets the run's count; one
// without its end (or an owed reply's wait that ran to its cap, the link never quiet) counts in the open run.
void noteReplyEnded();
void noteReplyWithoutEnd();
// True while the connect's exchanges run in a gateway run that has already found the gateway no longer answering:
// each is read only for its first byte's bound and leaves nothing owed.
bool connectAfterRunGaveUp();

// A command has just been written on the open link, or its reader left its reply before the end: its reply joins
// the queue behind those before it. Returns its id (0: not owed, its link is no longer the open one).
quint64 oweReply(OwedReply reply);
// The take's core for any thread: readSome(msLeft) reads the link for at most msLeft (its text passing
// LinkTextArrived); abandoned ends the take early (ok false). Each entry to its end or its writer's bound: its first
// byte as long as its writer would have waited, from its write or from the end of the reply before it, once bytes
// came as long as its writer waits between two; at least kOwedReplyQuietMs from the take's start or the last
// arrival; 15 s in all. A claimed one is waited for until its reader lets it go or is past its bound (then read here),
// through sleep(ms): a wait of at most ms that may end early. silentMs: how long the take read without any byte
// while a reply without any was owed. capped: it ran to its cap.
struct OwedTakeResult
{
    bool ok = true;
    qint64 silentMs = 0;
    bool capped = false;
};
OwedTakeResult takeOwed(const std::function<void(qint64 msLeft)>& readSome, const std::function<bool()>& abandoned,
                        const std::function<void(int ms)>& sleep);

// Wakes the telnet waits in progress, so that one on a link that has closed or whose session has ended ends now,
// not at its next step. Set by the reads (link/LinkIo.cpp); a plain pointer, so that it holds before any
// initialiser runs.
extern void (*wakeTcpWaits)();
// Logs the rest of taken replies as received (set by the reads, as wakeTcpWaits is).
extern void (*logNobodys)(const QByteArray& text);
// The epoch of the link the calling thread reads (a worker's own, else the open one's); set by the reads.
extern quint64 (*readerEpochOf)();
quint64 readerEpoch();
void reset(); // resetLinkState

} // namespace exchangestate
