#include "link/ExchangeState.h"

#include "link/LinkState.h"
#include "platform/Wait.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <climits>
#include <mutex>
#include <utility>

namespace {

constexpr qsizetype kLineHeadKept = 64; // an unfinished line longer than this is kept as its mark and its end
constexpr qsizetype kLineEndKept = 16;
constexpr int kRunRepliesWithoutEnd = 2; // exchanges in a row without their reply's end: a gateway run gives up

// Waits of the window's thread on the link now open (LinkWaitScope); exchanges refuse to start meanwhile. Steps
// that hold the user's input like a wait (UserStepScope).
int linkWaits = 0;
int userSteps = 0;
std::function<void(bool held)> inputHoldWatch;
// Open gateway runs (GatewayRunScope); their exchanges in a row whose reply did not come to its end, and whether
// that found the gateway no longer answering.
int gatewayRuns = 0;
int runRepliesWithoutEnd = 0;
bool gatewayRunSilent = false;
int connectExchanges = 0; // ConnectExchangesScope: the run counts, refuses nothing
// What the link owes (OwedReply), shared with the workers.
std::mutex owedMutex;
OwedReply owedReply;
// Opens and closes of the link (AdvanceLinkEpoch).
std::atomic<quint64> linkEpoch{0};
// The gateway's session on the link now open has ended (NoteSessionEnd); cleared as a link closes or opens.
std::atomic<bool> sessionEnded{false};

constexpr QByteArrayView kPrompts[] = {"MX login:", "MY login:"};

// Only blanks and CRs: what may stand between a line's start and the gateway's prompt.
bool onlyBlanks(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
}

// The gateway's login prompt begins a line of text (after a line end, or first in it; blanks and CRs before it
// count as the line's start), ending at `from` or after it. A prompt within a line is text: a module's echo of a
// command, a call record, a value.
bool promptBeginsLine(const QByteArray& text, qsizetype from = 0)
{
    for (const QByteArrayView prompt : kPrompts) {
        for (qsizetype at = text.indexOf(prompt, std::max<qsizetype>(0, from - prompt.size() + 1)); at >= 0;
             at = text.indexOf(prompt, at + 1)) {
            const qsizetype lineStart = at > 0 ? text.lastIndexOf('\n', at - 1) + 1 : 0;
            if (onlyBlanks(QByteArrayView(text).sliced(lineStart, at - lineStart)))
                return true;
        }
    }
    return false;
}

void countReplyWithoutEnd()
{
    if (gatewayRuns > 0 && ++runRepliesWithoutEnd >= kRunRepliesWithoutEnd)
        gatewayRunSilent = true;
}

// Counts a wait or a step in or out (counter is linkWaits or userSteps); the watch is told when the input's hold
// begins or ends.
void countHold(int& counter, int by)
{
    const bool heldBefore = linkWaits + userSteps > 0;
    counter = std::max(counter + by, 0); // a reset of the link state may have zeroed it under an open scope
    const bool heldNow = linkWaits + userSteps > 0;
    if (heldBefore != heldNow && inputHoldWatch)
        inputHoldWatch(heldNow);
}

} // namespace

namespace exchangestate {

bool onWindowThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool refusedForWait()
{
    return onWindowThread() && linkWaits > 0;
}

bool runGaveUp()
{
    return gatewayRuns > 0 && gatewayRunSilent && connectExchanges == 0;
}

bool exchangeRefused()
{
    return refusedForWait() || runGaveUp();
}

bool replyEndsFrom(const QByteArray& text, qsizetype from, bool busy)
{
    if (promptBeginsLine(text, from))
        return true;
    for (const QByteArrayView marker : {QByteArrayView("NO CARRIER"), QByteArrayView("+++")}) {
        if (MarkerOutsideValueLine(text, marker, from))
            return true;
    }
    qsizetype lineStart = from > 0 ? text.lastIndexOf('\n', from - 1) + 1 : 0;
    for (;;) {
        const qsizetype lineEnd = text.indexOf('\n', lineStart);
        if (lineEnd < 0)
            return false;
        const QByteArray line = text.mid(lineStart, lineEnd - lineStart).trimmed();
        if (line == "OK" || line == "ERROR" || line == "<SPACE>" || (busy && line == "BUSY"))
            return true;
        lineStart = lineEnd + 1;
    }
}

void noteReplyEnded()
{
    if (onWindowThread())
        runRepliesWithoutEnd = 0;
}

void noteReplyWithoutEnd()
{
    countReplyWithoutEnd();
}

void noteOwedWaitCapped()
{
    countReplyWithoutEnd();
}

bool connectAfterRunGaveUp()
{
    return gatewayRuns > 0 && gatewayRunSilent && connectExchanges > 0;
}

void (*wakeTcpWaits)() = nullptr;

void reset()
{
    ++linkEpoch;
    linkWaits = 0;
    userSteps = 0;
    gatewayRuns = 0;
    runRepliesWithoutEnd = 0;
    gatewayRunSilent = false;
    connectExchanges = 0;
    sessionEnded = false;
    SettleOwedReply();
}

} // namespace exchangestate

bool LinkExchangeWaiting()
{
    return linkWaits > 0;
}

bool LinkInputHeld()
{
    return linkWaits > 0 || userSteps > 0;
}

bool TimersMaySend()
{
    return !LinkInputHeld();
}

void SetInputHoldWatch(std::function<void(bool held)> watch)
{
    inputHoldWatch = std::move(watch);
}

LinkHoldScope::LinkHoldScope(Kind kind) : kind_(kind), counted_(exchangestate::onWindowThread())
{
    if (counted_)
        countHold(kind_ == Wait ? linkWaits : userSteps, 1);
}

LinkHoldScope::~LinkHoldScope()
{
    if (counted_)
        countHold(kind_ == Wait ? linkWaits : userSteps, -1);
}

GatewayRunScope::GatewayRunScope()
{
    if (gatewayRuns++ == 0) {
        runRepliesWithoutEnd = 0;
        gatewayRunSilent = false;
    }
}

GatewayRunScope::~GatewayRunScope()
{
    if (--gatewayRuns == 0) {
        runRepliesWithoutEnd = 0;
        gatewayRunSilent = false;
    }
}

ConnectExchangesScope::ConnectExchangesScope()
{
    ++connectExchanges;
}

ConnectExchangesScope::~ConnectExchangesScope()
{
    --connectExchanges;
}

void AdvanceLinkEpoch()
{
    ++linkEpoch;
    sessionEnded = false;
    SettleOwedReply(); // its link is gone
    if (exchangestate::wakeTcpWaits)
        exchangestate::wakeTcpWaits();
}

quint64 LinkEpoch()
{
    return linkEpoch.load();
}

bool InValueLine(const QByteArray& text, qsizetype at)
{
    const qsizetype lineStart = at > 0 ? text.lastIndexOf('\n', at - 1) + 1 : 0;
    return QByteArrayView(text).sliced(lineStart, at - lineStart).contains('=');
}

bool MarkerOutsideValueLine(const QByteArray& text, QByteArrayView marker, qsizetype from)
{
    for (qsizetype at = text.indexOf(marker, std::max<qsizetype>(0, from - marker.size() + 1)); at >= 0;
         at = text.indexOf(marker, at + 1)) {
        if (!InValueLine(text, at))
            return true;
    }
    return false;
}

bool HoldsLoginPrompt(const QByteArray& text)
{
    return promptBeginsLine(text);
}

bool NoteSessionEnd(const QByteArray& text)
{
    if (!HoldsLoginPrompt(text))
        return false;
    EndLinkSession();
    return true;
}

void EndLinkSession()
{
    if (sessionEnded.exchange(true))
        return;
    // A telnet wait in progress ends now rather than at its time-out.
    const auto wake = [] {
        if (exchangestate::wakeTcpWaits)
            exchangestate::wakeTcpWaits();
    };
    if (exchangestate::onWindowThread())
        wake();
    else if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, wake, Qt::QueuedConnection);
    if (linkLostHook)
        linkLostHook();
}

bool LoginPromptWatch::see(QByteArrayView piece)
{
    if (seen_)
        return true;
    if (piece.isEmpty())
        return false;
    const QByteArray text = line_ + piece.toByteArray();
    seen_ = NoteSessionEnd(text);
    // The unfinished line is kept only while a prompt may still begin it: without its leading blanks, a prompt's
    // beginning (at most all of it but its last character); any other line is kept as one character that no
    // prompt begins with.
    QByteArrayView last = QByteArrayView(text).sliced(text.lastIndexOf('\n') + 1);
    while (!last.isEmpty() && onlyBlanks(last.first(1)))
        last = last.sliced(1);
    const bool promptBegun = std::any_of(std::begin(kPrompts), std::end(kPrompts), [last](QByteArrayView prompt) {
        return last.size() < prompt.size() && prompt.startsWith(last);
    });
    line_ = promptBegun ? last.toByteArray() : QByteArray(kWithinLine);
    return seen_;
}

void LoginPromptWatch::continueLine()
{
    if (!seen_)
        line_ = kWithinLine;
}

void LoginPromptWatch::clear()
{
    line_.clear();
    seen_ = false;
}

bool AtLoginDialogue(const QByteArray& text)
{
    const QByteArray last = text.mid(text.lastIndexOf('\n') + 1);
    return HoldsLoginPrompt(last) || last.trimmed().startsWith("Password:");
}

bool LinkSessionEnded()
{
    return sessionEnded.load();
}

QByteArray OwedLineHead(QByteArrayView text)
{
    const QByteArrayView line = text.sliced(text.lastIndexOf('\n') + 1);
    if (line.size() <= kLineHeadKept)
        return line.toByteArray();
    if (line.contains('='))
        return QByteArrayLiteral("=");
    // Not blank, so the line is no verdict line ("OK") and a prompt no longer begins it.
    return QByteArrayLiteral("#") + line.last(kLineEndKept).toByteArray();
}

namespace {

// Goes on in owed with seen, text of it that came: true when its end came there; else its unfinished line moves on.
bool advanceOwed(OwedReply& owed, QByteArrayView seen)
{
    if (seen.isEmpty())
        return false;
    const QByteArray text = owed.lineHead + seen.toByteArray();
    if (exchangestate::replyEndsFrom(text, owed.lineHead.size(), owed.busy))
        return true;
    owed.anyByte = true;
    owed.lineHead = OwedLineHead(text);
    return false;
}

// Counts seen in the owed reply (the lock held): its end there settles it.
void countSeen(QByteArrayView seen)
{
    if (advanceOwed(owedReply, seen))
        owedReply = OwedReply();
}

} // namespace

void OweReply(OwedReply reply)
{
    reply.owed = true;
    reply.lineHead = OwedLineHead(reply.lineHead);
    const std::lock_guard lock(owedMutex);
    owedReply = std::move(reply);
}

qint64 OwedFirstByteMs(const OwedReply& owed, qint64 now)
{
    if (owed.anyByte)
        return kOwedReplyQuietMs;
    return std::max<qint64>(kOwedReplyQuietMs, owed.writtenMs + owed.firstByteMs - now);
}

OwedReply OwedFromNow(qint64 firstByteMs, qint64 readUntilMs)
{
    OwedReply r;
    r.owed = true;
    r.epoch = LinkEpoch();
    r.writtenMs = Clock::milliseconds();
    r.firstByteMs = firstByteMs;
    r.readUntilMs = readUntilMs;
    return r;
}

OwedReply OwedReplyNow()
{
    const std::lock_guard lock(owedMutex);
    return owedReply;
}

bool ClaimOwedReply(OwedReply& claimed, qint64 readUntilMs)
{
    const std::lock_guard lock(owedMutex);
    if (!owedReply.owed || owedReply.readUntilMs != 0)
        return false;
    if (owedReply.epoch != LinkEpoch()) {
        owedReply = OwedReply(); // its link is gone
        return false;
    }
    owedReply.readUntilMs = std::max<qint64>(readUntilMs, 1);
    claimed = owedReply;
    return true;
}

void SettleOwedReply()
{
    const std::lock_guard lock(owedMutex);
    owedReply = OwedReply();
}

void ReleaseOwedReply(QByteArrayView seen)
{
    const std::lock_guard lock(owedMutex);
    if (!owedReply.owed)
        return;
    owedReply.readUntilMs = 0;
    countSeen(seen);
}

void OwedReplySeen(QByteArrayView text)
{
    const std::lock_guard lock(owedMutex);
    if (owedReply.owed && owedReply.readUntilMs == 0)
        countSeen(text);
}

void TakeOwedReplyWith(const std::function<QByteArray(qint64 msLeft)>& read, const std::function<bool()>& alive,
                       const std::function<void(int ms)>& sleep)
{
    OwedReply owed;
    for (;;) {
        if (!alive())
            return;
        const OwedReply now = OwedReplyNow();
        if (!now.owed)
            return;
        if (now.readUntilMs == 0) {
            if (ClaimOwedReply(owed, Clock::milliseconds() + kReplyCapMs + kOwedReplyQuietMs))
                break;
            continue;
        }
        if (Clock::milliseconds() >= now.readUntilMs)
            return; // its reader is past its bound and still has it: nothing more is waited for
        sleep(kClaimedStepMs);
    }
    const qint64 start = Clock::milliseconds();
    qint64 quietEnd = start + OwedFirstByteMs(owed, start);
    LoginPromptWatch prompt;
    prompt.see(owed.lineHead);
    bool ended = false;
    while (!ended && alive()) {
        const qint64 now = Clock::milliseconds();
        const qint64 until = std::min(quietEnd, start + kReplyCapMs);
        if (now >= until)
            break;
        const QByteArray chunk = read(until - now);
        if (chunk.isEmpty())
            continue;
        if (prompt.see(chunk))
            break;
        ended = advanceOwed(owed, chunk);
        quietEnd = Clock::milliseconds() + kOwedReplyQuietMs;
    }
    if (!ended && !alive() && !LinkSessionEnded()) {
        // Stopped before its end: still owed to whoever writes next, from where this read left it.
        owed.readUntilMs = 0;
        OweReply(owed);
        return;
    }
    SettleOwedReply();
}
