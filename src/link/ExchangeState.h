#pragma once
// The state the window's thread's exchanges with the gateway share: whether one is waiting for its answer (and
// the steps that hold the user's input like one), the open gateway run and its count of replies without their
// end, the reply an exchange left owed, the open link's epoch, and whether the gateway's session on it has ended.
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
void SetLinkWaitWatch(std::function<void(bool waiting)> watch);

// Held by work of the window's thread while it waits on the link (every such read holds one itself).
class LinkWaitScope
{
public:
    LinkWaitScope();
    ~LinkWaitScope();
    LinkWaitScope(const LinkWaitScope&) = delete;
    LinkWaitScope& operator=(const LinkWaitScope&) = delete;

private:
    bool counted_;
};

// Held by a step of the window's thread that handles the window's events but must not have the user's input run
// inside it (entering or leaving a topic up to the moment its own work begins): input is held as during an
// answer, while the step's own exchanges run as usual.
class UserStepScope
{
public:
    UserStepScope();
    ~UserStepScope();
    UserStepScope(const UserStepScope&) = delete;
    UserStepScope& operator=(const UserStepScope&) = delete;

private:
    bool counted_;
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
// password. True when text, a reply or what came unasked, holds "MX login:" or "MY login:" at the start of a
// line (after a line end or first in the text, blanks and CRs before it allowed): the session has ended. Within
// a line the prompt is text (a value line "I52=MX login: x", a module's echo, a call record). From then on the
// link counts as lost (LinkPortLost, LinkLost) until it is closed or another is opened: reads and the telnet waits
// end, writes send nothing, and linkLostHook is told (once). Every reader of the link asks, of the whole text it
// gathered (LoginPromptWatch for text in pieces), but the dialogues that expect the prompt (the greeting, the login,
// the resets' wait, the interface restart's new login when the mode changed, the boot loader), the open terminal, which
// shows it (the user may log in there by hand), and the voice transfer's binary reads. Callable from any thread.
bool NoteSessionEnd(const QByteArray& text);
// The gateway's session on the link now open counts as ended, as NoteSessionEnd has it once it found the prompt
// (the terminal left while the gateway waited in its login dialogue).
void EndLinkSession();
// True once NoteSessionEnd or EndLinkSession has found the link's session ended.
bool LinkSessionEnded();
// A reader's pause between its reads (WaitPumping, ms): it ends early once the link is lost (the session's end
// among the causes), and on telnet once the login prompt has come in the text not yet taken, so that the read
// after it looks at that text now rather than at the pause's end.
void PauseOnLink(int ms);

// The one rule for text that comes in pieces (a reader's reads, a listing's pages, the telnet chunks): each piece is
// looked at together with the line it continues, so that a prompt split over two pieces ("\r\nMX lo", "gin:") is
// found and a line begun in an earlier piece ("GSM0: MX lo", "gin: x") is no line start. Of the current unfinished
// line only what a prompt may still complete is kept (bounded). The first piece begins a line.
class LoginPromptWatch
{
public:
    // Looks at the next piece; true once the prompt has come outside a value line in what was seen. The session's
    // end is then noted (NoteSessionEnd).
    bool see(QByteArrayView piece);
    bool seen() const { return seen_; }
    // The next piece continues a line whose beginning was not seen (the piece before was cut short): no prompt
    // begins it.
    void continueLine();
    void clear();

private:
    static constexpr const char* kWithinLine = "-";
    QByteArray line_; // the unfinished line's prompt begun so far (its blanks left out), or kWithinLine
    bool seen_ = false;
};

// True when the last line of text (a terminal's) begins with the gateway's login prompt (HoldsLoginPrompt's rule)
// or is its password prompt, perhaps with what the user has typed after it: the gateway waits in its login
// dialogue.
bool AtLoginDialogue(const QByteArray& text);

// A marker at `at` that stands inside a value line of a listing ("I52=+++BRI-DOWN+++"): its line holds "="
// before it. Such a marker is the user's text, not the reply's end.
bool InValueLine(const QByteArray& text, qsizetype at);
// True when marker stands in text from `from` on (or ends there) outside a value line.
bool MarkerOutsideValueLine(const QByteArray& text, QByteArrayView marker, qsizetype from = 0);
// "MX login:" or "MY login:" at the start of a line of text (NoteSessionEnd's rule).
bool HoldsLoginPrompt(const QByteArray& text);

// The exchanges' own bookkeeping and the reply-end rule (link/LinkIo.cpp uses them).
namespace exchangestate {

bool onWindowThread();
// Whether a reply has ended (ReplyComplete), looking at the lines that came whole from `from` on (the line `from`
// falls in included), at the login prompt where it begins a line, and at the markers that may stand anywhere but
// in a value line (their lines are looked at back to their start, so a reply in pieces counts as one text).
bool replyEndsFrom(const QByteArray& text, qsizetype from, bool busy);
// Before an exchange of the window's thread writes, while a live tool's worker awaits the reply to its own
// command (awaited): waits for that reply's end, at most kWorkerReplyWaitMs, the window's events running. False
// when the wait was abandoned (the program closing, the link lost, closed or replaced): nothing is to be written.
bool awaitWorkerReply(quint64 epoch, const std::function<bool()>& awaited);
bool exchangeRefused(); // an exchange asked for now is refused (another waits, or the run found the gateway silent)
bool refusedForWait();  // ... because another exchange waits for its answer
bool runGaveUp();       // ... because the open run found the gateway no longer answering

// The reply an exchange of the window's thread stopped reading before its end (no byte within its bound, or cut
// at its cap): the next exchange takes it before it writes. Any write on the link, or the link's close, forgets
// it.
struct OwedReply
{
    bool owed = false;
    quint64 epoch = 0;
    bool busy = true;
    bool logged = true;
    bool noByte = false; // not a byte of it had come
    // The unfinished last line of what had come: the wait reads on from it, so that a line cut in its middle
    // ("I52=" and, after a pause, "+++BRI-DOWN+++") stays one line, a value line's markers the user's text.
    QByteArray lineHead;
};
OwedReply takeOwed();
void forgetOwed(); // on the window's thread only
// After an exchange's read on a link that is still up: a reply read to its end owes nothing and resets the run's
// count; one without its end is owed (owed set) and counts in the open run.
void noteReplyEnded();
void noteReplyWithoutEnd(const OwedReply& owed);
// An owed reply's wait ran to its cap without the reply's end (the link never quiet): it counts in the open run
// as an exchange without its end.
void noteOwedWaitCapped();

// Wakes the telnet waits in progress, so that one on a link that has closed ends now, not at its next step
// (link/LinkIo.cpp; AdvanceLinkEpoch calls it).
void wakeTcpWaits();
void reset(); // resetLinkState

} // namespace exchangestate
