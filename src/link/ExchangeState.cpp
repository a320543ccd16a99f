#include "link/ExchangeState.h"

#include "link/LinkState.h"
#include "platform/Wait.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <climits>
#include <deque>
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
// What the link owes (OwedReply, in write order), shared with the workers, and the link's current line, as much of
// it as the rules need (OwedLineHead): the queue's end finding and the prompt look both judge the text by it.
std::mutex owedMutex;
std::deque<OwedReply> owedQueue;
quint64 owedLastId = 0;
QByteArray owedLine;
qint64 owedLastArrival = 0;
// A reply settled by a marker or the prompt within its line: the rest of that line is still its own (read whole,
// that line ends it at its line end), so it settles nothing behind it; it goes to nobody when that reply was taken.
bool lineSpent = false;
bool spentTaken = false;
bool spentLogged = true;
// The readers that never look (NeverLooksScope).
std::atomic<int> neverLooks{0};
// Opens and closes of the link (AdvanceLinkEpoch).
std::atomic<quint64> linkEpoch{0};
// The gateway's session on the link now open has ended (the prompt began the link's line, or EndLinkSession); cleared
// as a link closes or opens.
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
// The first prompt in line that ends at lookFrom or later begins the line (blanks and CRs before it allowed).
bool promptBeginsLineIn(QByteArrayView line, qsizetype lookFrom)
{
    for (const QByteArrayView prompt : kPrompts) {
        const qsizetype at = line.indexOf(prompt, std::max<qsizetype>(0, lookFrom - prompt.size() + 1));
        if (at >= 0 && onlyBlanks(line.first(at)))
            return true; // a later one in the line stands within it
    }
    return false;
}

bool promptBeginsLine(QByteArrayView text)
{
    for (qsizetype lineStart = 0; lineStart <= text.size();) {
        const qsizetype nl = text.sliced(lineStart).indexOf('\n');
        if (promptBeginsLineIn(text.sliced(lineStart, nl >= 0 ? nl : text.size() - lineStart), 0))
            return true;
        if (nl < 0)
            break;
        lineStart += nl + 1;
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

qsizetype replyEndAt(QByteArrayView text, qsizetype from, bool busy)
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    qsizetype lineStart = from > 0 ? text.first(from).lastIndexOf('\n') + 1 : 0;
    while (lineStart <= text.size()) {
        const qsizetype nl = text.sliced(lineStart).indexOf('\n');
        const bool whole = nl >= 0;
        const QByteArrayView line = text.sliced(lineStart, whole ? nl : text.size() - lineStart);
        const qsizetype endAt = whole ? lineStart + nl + 1 : text.size();
        const qsizetype lookFrom = std::max<qsizetype>(from - lineStart, 0); // markers ending here or later
        const qsizetype valueAt = line.indexOf('=');
        if (promptBeginsLineIn(line, lookFrom))
            return endAt;
        for (const QByteArrayView marker : {QByteArrayView("NO CARRIER"), QByteArrayView("+++")}) {
            const qsizetype at = line.indexOf(marker, std::max<qsizetype>(0, lookFrom - marker.size() + 1));
            if (at >= 0 && (valueAt < 0 || valueAt > at))
                return endAt;
        }
        if (whole && lineStart + nl >= from) {
            const QByteArray verdict = line.toByteArray().trimmed();
            if (verdict == "OK" || verdict == "ERROR" || verdict == "<SPACE>" || (busy && verdict == "BUSY"))
                return endAt;
        }
        if (!whole)
            break;
        lineStart = endAt;
    }
    return -1;
}

bool replyEndsFrom(QByteArrayView text, qsizetype from, bool busy)
{
    return replyEndAt(text, from, busy) >= 0;
}

qsizetype ReplyEndFinder::feed(QByteArrayView piece)
{
    const QByteArray text = head_ + piece.toByteArray();
    const qsizetype end = replyEndAt(text, head_.size(), busy_);
    head_ = OwedLineHead(end < 0 ? QByteArrayView(text) : QByteArrayView(text).first(end));
    return end < 0 ? -1 : end - (text.size() - piece.size());
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

bool connectAfterRunGaveUp()
{
    return gatewayRuns > 0 && gatewayRunSilent && connectExchanges > 0;
}

void (*wakeTcpWaits)() = nullptr;
void (*logNobodys)(const QByteArray& text) = nullptr;
quint64 (*readerEpochOf)() = nullptr;

quint64 readerEpoch()
{
    return readerEpochOf ? readerEpochOf() : LinkEpoch();
}

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
    ForgetOwedReplies();
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
    ForgetOwedReplies(); // its link is gone
    if (exchangestate::wakeTcpWaits)
        exchangestate::wakeTcpWaits();
}

quint64 LinkEpoch()
{
    return linkEpoch.load();
}

bool HoldsLoginPrompt(const QByteArray& text)
{
    return promptBeginsLine(text);
}

namespace {

// The window's waits on the link (telnet's, a take's on a claimed reply) look again now rather than at their next
// step; told from any thread.
void wakeLinkWaits()
{
    const auto wake = [] {
        if (exchangestate::wakeTcpWaits)
            exchangestate::wakeTcpWaits();
    };
    if (exchangestate::onWindowThread())
        wake();
    else if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, wake, Qt::QueuedConnection);
}

} // namespace

void EndLinkSession()
{
    if (sessionEnded.exchange(true))
        return;
    wakeLinkWaits(); // a telnet wait in progress ends now rather than at its time-out
    if (linkLostHook)
        linkLostHook();
}

bool LinkTextWouldEndSession(QByteArrayView text)
{
    if (neverLooks.load() != 0)
        return false;
    if (LinkSessionEnded())
        return true;
    const std::lock_guard lock(owedMutex);
    return !text.isEmpty() && HoldsLoginPrompt(owedLine + text.toByteArray());
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
    // Leading blanks are still the line's start: a prompt or a verdict ("OK") may stand after them, so a short rest
    // is kept whole behind the last few of them.
    qsizetype blanks = 0;
    while (blanks < line.size() && onlyBlanks(line.sliced(blanks, 1)))
        ++blanks;
    if (line.size() - blanks <= kLineHeadKept - kLineEndKept)
        return line.sliced(blanks - std::min(blanks, kLineEndKept)).toByteArray();
    // Not blank, so the line is no verdict line and a prompt no longer begins it.
    return QByteArrayLiteral("#") + line.last(kLineEndKept).toByteArray();
}

NeverLooksScope::NeverLooksScope()
{
    ++neverLooks;
}

NeverLooksScope::~NeverLooksScope()
{
    if (--neverLooks == 0) {
        const std::lock_guard lock(owedMutex);
        owedLine.clear(); // what comes next begins a line
        lineSpent = false;
    }
}

namespace {

// The reader's link: its text belongs to the queue only when it is the open one.
bool ownLink(quint64 epoch)
{
    return epoch == LinkEpoch();
}

qint64 lastArrivalMs()
{
    const std::lock_guard lock(owedMutex);
    return owedLastArrival;
}

// True while the link's current line is unfinished (text came since its last line end).
bool lineOpen()
{
    const std::lock_guard lock(owedMutex);
    return !owedLine.isEmpty();
}

// The front is past its bound without its end: it and every entry behind it are taken (their rest goes to nobody).
void markTaken()
{
    const std::lock_guard lock(owedMutex);
    for (OwedReply& r : owedQueue) {
        r.taken = true;
        r.readUntilMs = 0;
    }
}

// The front, read to its bound without a byte, counts as missing: it leaves the queue.
void dropFront(quint64 id)
{
    const std::lock_guard lock(owedMutex);
    if (!owedQueue.empty() && owedQueue.front().id == id)
        owedQueue.pop_front();
}

// A claimed front whose reader is past its bound: whoever takes reads it from here, to its own bounds.
void unclaimFront(quint64 id)
{
    const std::lock_guard lock(owedMutex);
    if (!owedQueue.empty() && owedQueue.front().id == id)
        owedQueue.front().readUntilMs = 0;
}

} // namespace

QByteArray LinkTextArrived(QByteArrayView text, quint64 epoch)
{
    if (text.isEmpty() || !ownLink(epoch))
        return text.toByteArray();
    QByteArray visible;
    QByteArray nobodys; // the rest of taken replies
    bool nobodysLogged = false;
    bool settled = false;
    bool promptSeen = false;
    {
        const std::lock_guard lock(owedMutex);
        if (neverLooks.load() == 0 && !LinkSessionEnded())
            promptSeen = HoldsLoginPrompt(owedLine + text.toByteArray());
        const auto pass = [&](QByteArrayView part, bool taken, bool logged) {
            if (taken) {
                nobodys += part;
                nobodysLogged = nobodysLogged || logged;
            } else {
                visible += part;
            }
        };
        if (lineSpent) {
            const qsizetype nl = text.indexOf('\n');
            const qsizetype used = nl < 0 ? text.size() : nl + 1;
            pass(text.first(used), spentTaken, spentLogged);
            owedLine = OwedLineHead(owedLine + text.first(used).toByteArray());
            lineSpent = nl < 0;
            text = text.sliced(used);
        }
        while (!text.isEmpty() && !owedQueue.empty()) {
            OwedReply& front = owedQueue.front();
            if (front.epoch != epoch) {
                owedQueue.clear();
                break;
            }
            owedLastArrival = Clock::milliseconds();
            const QByteArray joined = owedLine + text.toByteArray();
            const qsizetype end = exchangestate::replyEndAt(joined, owedLine.size(), front.busy);
            const qsizetype used = end < 0 ? text.size() : end - owedLine.size();
            pass(text.first(used), front.taken, front.logged);
            owedLine = OwedLineHead(end < 0 ? QByteArrayView(joined) : QByteArrayView(joined).first(end));
            text = text.sliced(used);
            if (end < 0) {
                front.anyByte = true;
                continue;
            }
            // Ended within its unfinished line (only the last line can be): the rest of that line follows later.
            lineSpent = !joined.first(end).endsWith('\n');
            spentTaken = front.taken;
            spentLogged = front.logged;
            owedQueue.pop_front();
            settled = true;
        }
        if (!text.isEmpty()) {
            owedLine = OwedLineHead(owedLine + text.toByteArray());
            visible += text;
        }
    }
    if (promptSeen)
        EndLinkSession();
    // A take waiting on the window's thread looks again (a worker's reader may have settled the reply it waits on).
    if (settled)
        wakeLinkWaits();
    if (nobodysLogged && !nobodys.isEmpty() && exchangestate::logNobodys)
        exchangestate::logNobodys(nobodys);
    return visible;
}

OwedReply OwedReplyNow()
{
    const std::lock_guard lock(owedMutex);
    if (owedQueue.empty() || !ownLink(owedQueue.front().epoch))
        return {};
    return owedQueue.front();
}

bool StillOwed(quint64 id)
{
    const std::lock_guard lock(owedMutex);
    return id != 0 && std::any_of(owedQueue.begin(), owedQueue.end(), [id](const OwedReply& r) { return r.id == id; });
}

void ReleaseOwedReply()
{
    {
        const std::lock_guard lock(owedMutex);
        if (!owedQueue.empty() && ownLink(owedQueue.front().epoch))
            owedQueue.front().readUntilMs = 0;
    }
    wakeLinkWaits();
}

void OwedReplyRead(quint64 id)
{
    {
        const std::lock_guard lock(owedMutex);
        const auto at =
            std::find_if(owedQueue.begin(), owedQueue.end(), [id](const OwedReply& r) { return r.id == id; });
        if (at == owedQueue.end())
            return;
        owedQueue.erase(at);
    }
    wakeLinkWaits();
}

void ForgetOwedReplies()
{
    const std::lock_guard lock(owedMutex);
    owedQueue.clear();
    owedLine.clear();
    owedLastArrival = 0;
    lineSpent = false;
}

namespace exchangestate {

quint64 oweReply(OwedReply reply)
{
    const std::lock_guard lock(owedMutex);
    if (!ownLink(reply.epoch))
        return 0;
    if (!owedQueue.empty() && owedQueue.front().epoch != reply.epoch)
        owedQueue.clear();
    reply.owed = true;
    reply.id = ++owedLastId;
    owedQueue.push_back(reply);
    return reply.id;
}

OwedTakeResult takeOwed(const std::function<void(qint64 msLeft)>& readSome, const std::function<bool()>& abandoned,
                        const std::function<void(int ms)>& sleep)
{
    OwedTakeResult result;
    const qint64 start = Clock::milliseconds();
    qint64 silentSince = -1; // the take's read while no byte came of a reply that had none
    for (;;) {
        if (abandoned()) {
            result.ok = false;
            return result;
        }
        const OwedReply front = OwedReplyNow();
        if (!front.owed)
            break;
        const qint64 now = Clock::milliseconds();
        if (front.readUntilMs != 0) {
            // Its writer's reader has it: waited for until that reader lets it go or its end settles it; a reader
            // past its bound has given it up, and it is read here from where it stands.
            const qint64 left = front.readUntilMs + kClaimedStepMs - now;
            if (left > 0)
                sleep(int(left));
            else
                unclaimFront(front.id);
            continue;
        }
        const qint64 lastArrival = lastArrivalMs();
        const qint64 quietFrom = std::max(start, lastArrival);
        // As long as its writer would have waited: its first byte from its write or, when the reply before it ended
        // later, from that end (the gateway answers one line after the other); once bytes came, its writer's pause
        // between two. Never less than the take's own quiet bound.
        qint64 until =
            front.anyByte ? lastArrival + front.quietMs : std::max(front.writtenMs, lastArrival) + front.firstByteMs;
        until = std::min(std::max(until, quietFrom + kOwedReplyQuietMs), start + kReplyCapMs);
        if (!front.anyByte && lastArrival < start && silentSince < 0)
            silentSince = std::max(start, front.writtenMs);
        if (now >= until) {
            if (now >= start + kReplyCapMs) {
                result.capped = true;
                markTaken();
                break;
            }
            if (front.anyByte && lineOpen()) {
                markTaken(); // cut within a line: it goes on to whoever reads next, its rest nobody's
                break;
            }
            // No byte, or no more, within its writer's bound: missing. (A reply whose lines came whole but no end
            // is a gateway's that ends none: its next reply is the next command's.)
            dropFront(front.id);
            continue;
        }
        readSome(until - now);
    }
    if (silentSince >= 0 && lastArrivalMs() < start)
        result.silentMs = Clock::milliseconds() - silentSince;
    return result;
}

} // namespace exchangestate
