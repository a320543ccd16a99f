#include "link/ExchangeState.h"

#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "platform/Wait.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <utility>

namespace {

// A worker's own command's reply that an exchange waits for (the diagnostics' reply time), looked at in steps.
constexpr qint64 kWorkerReplyWaitMs = 5000;
constexpr int kWorkerReplyStepMs = 20;
constexpr int kRunRepliesWithoutEnd = 2; // exchanges in a row without their reply's end: a gateway run gives up
constexpr int kPauseStepMs = 20;         // PauseOnLink looks at the link this often

// Waits of the window's thread on the link now open (LinkWaitScope); exchanges refuse to start meanwhile. Steps
// that hold the user's input like a wait (UserStepScope).
int linkWaits = 0;
int userSteps = 0;
std::function<void(bool waiting)> linkWaitWatch;
// Open gateway runs (GatewayRunScope); their exchanges in a row whose reply did not come to its end, and whether
// that found the gateway no longer answering.
int gatewayRuns = 0;
int runRepliesWithoutEnd = 0;
bool gatewayRunSilent = false;
int connectExchanges = 0; // ConnectExchangesScope: the run counts, refuses nothing
exchangestate::OwedReply owedReply;
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
    if (heldBefore != heldNow && linkWaitWatch)
        linkWaitWatch(heldNow);
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

bool awaitWorkerReply(quint64 epoch, const std::function<bool()>& awaited)
{
    const qint64 end = Clock::milliseconds() + kWorkerReplyWaitMs;
    const auto abandoned = [epoch] { return closingProgram() || LinkEpoch() != epoch || LinkLost(); };
    while (awaited() && !abandoned() && Clock::milliseconds() < end)
        WaitPumping(kWorkerReplyStepMs);
    return !abandoned();
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

OwedReply takeOwed()
{
    return std::exchange(owedReply, OwedReply());
}

void forgetOwed()
{
    if (onWindowThread())
        owedReply = OwedReply();
}

void noteReplyEnded()
{
    if (!onWindowThread())
        return;
    owedReply = OwedReply();
    runRepliesWithoutEnd = 0;
}

void noteReplyWithoutEnd(const OwedReply& owed)
{
    if (onWindowThread())
        owedReply = owed;
    countReplyWithoutEnd();
}

void noteOwedWaitCapped()
{
    countReplyWithoutEnd();
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
    owedReply = OwedReply();
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

void SetLinkWaitWatch(std::function<void(bool waiting)> watch)
{
    linkWaitWatch = std::move(watch);
}

LinkWaitScope::LinkWaitScope() : counted_(exchangestate::onWindowThread())
{
    if (counted_)
        countHold(linkWaits, 1);
}

LinkWaitScope::~LinkWaitScope()
{
    if (counted_)
        countHold(linkWaits, -1);
}

UserStepScope::UserStepScope() : counted_(exchangestate::onWindowThread())
{
    if (counted_)
        countHold(userSteps, 1);
}

UserStepScope::~UserStepScope()
{
    if (counted_)
        countHold(userSteps, -1);
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
    exchangestate::forgetOwed(); // its link is gone
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
    if (exchangestate::onWindowThread())
        exchangestate::wakeTcpWaits();
    else if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [] { exchangestate::wakeTcpWaits(); }, Qt::QueuedConnection);
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

void PauseOnLink(int ms)
{
    if (ms <= 0) {
        WaitPumping(ms); // the events handled once, as ever
        return;
    }
    const qint64 end = Clock::milliseconds() + ms;
    const bool window = exchangestate::onWindowThread(); // the telnet text is the window's thread's
    const auto ends = [window] {
        return LinkLost() ||
               (window && CurrentConnection.LinkType == LinkTelnet && HoldsLoginPrompt(CurrentConnection.TcpReceived));
    };
    for (qint64 left = ms; left > 0 && !ends(); left = end - Clock::milliseconds())
        WaitPumping(int(std::min<qint64>(left, kPauseStepMs)));
}
