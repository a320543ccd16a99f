#include "link/CommandWrite.h"

#include "link/ExchangeState.h"
#include "link/LinkReads.h"
#include "link/LiveTools.h"
#include "link/ModemWaits.h"
#include "platform/Wait.h"

#include <algorithm>
#include <optional>
#include <utility>

using namespace linkio;

namespace {

constexpr int kCommandReplyDelayMs = 10; // SendCommand: from the write to the read
constexpr int kCommandOkDelayMs = 100;   // SendCommandOk: from the write to the read

// A live tool's reader or route holds the link: it takes what comes, the take stands aside.
bool linkHeldByTool()
{
    return liveTools.anyReadsLink() || liveTools.anyRoute();
}

// After an exchange's read on a link that is still up: a reply that did not come to its end is counted in the open
// run (two in a row and the gateway counts as no longer answering) and, when owes, owed to whoever writes next.
void noteExchangeEnd(const ReplyReading& r, const WholeReply& whole, quint64 epoch, qint64 writtenMs, bool owes)
{
    if (readAbandoned(epoch))
        return;
    if (whole.ended) {
        exchangestate::noteReplyEnded();
        return;
    }
    exchangestate::noteReplyWithoutEnd();
    if (!owes)
        return;
    OwedReply owed;
    owed.epoch = epoch;
    owed.busy = r.busy;
    owed.logged = r.logged;
    owed.anyByte = !whole.text.isEmpty();
    owed.writtenMs = writtenMs;
    owed.firstByteMs = r.boundMs > 0 ? r.boundMs : CommandFirstByteMs();
    // A read with a bound of its own waited out its writer's whole time: the take gives it its least.
    owed.quietMs = r.boundMs > 0 ? 0 : CommandQuietMs();
    exchangestate::oweReply(owed); // behind any reply a take left before it; its cut line is the link's current line
}

// The bound of one command of the connect once its run has found the gateway silent: the first byte's wait of
// the link (the serial port's quiet bound, the modem's reply wait, one step of telnet's).
qint64 briefBoundMs()
{
    switch (LinkRecord().LinkType) {
    case LinkModem:
        return modemReplyWaitMs;
    default:
        return CommandFirstByteMs();
    }
}

} // namespace

qint64 CommandFirstByteMs()
{
    switch (LinkRecord().LinkType) {
    case LinkTelnet:
        // More than LanTimeout / 1000 whole seconds: up to a second beyond it, then the step's 100 ms.
        return qint64(LinkRecord().LanTimeout) + 1000 + kArrivalSettleMs;
    case LinkModem:
        return modemReplyWaitMs + kModemReadMs;
    default:
        return serialReplyQuietMs;
    }
}

qint64 CommandQuietMs()
{
    switch (LinkRecord().LinkType) {
    case LinkTelnet:
        return CommandFirstByteMs(); // each step of its read waits out the LAN time-out
    case LinkModem:
        return kModemReadMs;
    default:
        return serialReplyQuietMs;
    }
}

bool TakeOwedReplies(const OwedReader* worker, qint64* silentMs)
{
    if (silentMs)
        *silentMs = 0;
    if (worker)
        return exchangestate::takeOwed([worker](qint64 msLeft) { worker->read(msLeft); },
                                       [worker] { return !worker->alive(); }, worker->sleep)
            .ok;
    // A worker reads the link only through its own reads; on the window's thread nothing is waited for when nothing
    // is owed, and a live tool's reader or route that holds the link takes what comes itself.
    const quint64 epoch = LinkEpoch();
    if (!exchangestate::onWindowThread() || !OwedReplyNow().owed)
        return true;
    if (linkHeldByTool())
        return !readAbandoned(epoch);
    const LinkWaitScope waiting;
    const auto taken = exchangestate::takeOwed([epoch](qint64 msLeft) { dropForTake(epoch, msLeft); },
                                               [epoch] { return readAbandoned(epoch); }, waitWoken);
    if (taken.capped)
        exchangestate::noteReplyWithoutEnd(); // the link never quiet: an exchange without its reply's end
    if (silentMs)
        *silentMs = taken.silentMs;
    return taken.ok && !readAbandoned(epoch);
}

namespace {

quint64 oweFromNow(const CommandReply& reply)
{
    OwedReply owed;
    owed.epoch = exchangestate::readerEpoch();
    owed.writtenMs = Clock::milliseconds();
    owed.firstByteMs = reply.firstByteMs > 0 ? reply.firstByteMs : CommandFirstByteMs();
    owed.quietMs = CommandQuietMs();
    owed.readUntilMs = reply.readUntilMs;
    owed.logged = reply.logged;
    return exchangestate::oweReply(owed);
}

} // namespace

quint32 WriteCommand(const QByteArray& command, const CommandReply& reply, quint64* owedId)
{
    if (owedId)
        *owedId = 0;
    if (!TakeOwedReplies())
        return 0;
    // The gateway's login prompt that has come and nobody has read: whatever went out now would go into its login
    // dialogue.
    if (ArrivedTextEndsSession())
        return 0;
    const quint32 n = reply.logged ? LinkWrite(LinkRecord(), command) : LinkPortWrite(command);
    const bool owes =
        reply.owed == CommandReply::Always || (reply.owed == CommandReply::IfCommand && !command.trimmed().isEmpty());
    if (owes && n == quint32(command.size())) {
        const quint64 id = oweFromNow(reply);
        if (owedId)
            *owedId = id;
    }
    return n;
}

void OweTypedLine()
{
    oweFromNow({});
}

ExchangeResult Exchange(const QByteArray& command, int delayMs, const ReplyReading& reading, bool readAfterShortWrite)
{
    ExchangeResult result;
    if (exchangestate::exchangeRefused()) {
        result.refused = true;
        result.refusedForWait = exchangestate::refusedForWait();
        return result;
    }
    LinkWaitScope waiting;
    const quint64 epoch = LinkEpoch();
    std::optional<NeverLooksScope> expected; // the prompt may answer: no sign of the session's end
    if (reading.loginPromptExpected)
        expected.emplace();
    qint64 silentBeforeMs = 0;
    if (exchangestate::connectAfterRunGaveUp()) {
        ForgetOwedReplies(); // the connect goes its way; nothing is waited for past a command's first byte
    } else {
        if (!TakeOwedReplies(nullptr, &silentBeforeMs))
            return result;
        result.refused = exchangestate::runGaveUp(); // the owed reply's wait was the run's second without an end
        if (result.refused)
            return result;
    }
    // The connect's commands after the run has found the gateway silent: each is read for its first byte's
    // bound at most, counted from its write, and owes nothing after it.
    const bool brief = exchangestate::connectAfterRunGaveUp();
    // What has come is dropped, looked at as the line's continuation as it passes (the prompt there ends the
    // session and nothing is written); a live tool's reader takes it and looks at it itself.
    if (!linkHeldByTool())
        DropArrivedText();
    const qint64 writtenMs = Clock::milliseconds();
    const quint32 n = reading.logged ? LinkWrite(LinkRecord(), command, command.size()) : LinkPortWrite(command);
    result.written = n == quint32(command.size());
    if (!result.written && !readAfterShortWrite)
        return result;
    WaitPumping(delayMs);
    ReplyReading r = reading;
    if (brief) {
        r.boundMs = int(std::max<qint64>(briefBoundMs() - (Clock::milliseconds() - writtenMs), kSliceMs));
        silentBeforeMs = 0;
    }
    // What a take left of earlier replies goes to nobody (LinkTextArrived): the reply read is this command's own,
    // or missing while their rest has not come to its end.
    WholeReply whole = readWholeReply(r, silentBeforeMs);
    // An empty line is answered by nothing (the gateway takes it as no command): it owes nothing.
    // Nor does its silence count against the gateway.
    if (!command.trimmed().isEmpty() || whole.ended)
        noteExchangeEnd(reading, whole, epoch, writtenMs, !brief);
    result.reply = keptOf(std::move(whole.text), reading.size);
    return result;
}

bool SendCommand(const QByteArray& command, QByteArray& reply, qsizetype size, QString& failedItems,
                 const QString& itemLine)
{
    if (commandStatusHook)
        commandStatusHook(QString::fromLatin1(command));
    reply.clear();
    ReplyReading r;
    r.size = size;
    const ExchangeResult e = Exchange(command, kCommandReplyDelayMs, r);
    if (!e.written && !e.refused) {
        failedItems += itemLine;
        return false;
    }
    reply = e.reply;
    if (reply.contains("OK"))
        return true;
    if (!failedItems.contains(itemLine))
        failedItems += itemLine;
    return false;
}

QByteArray SendCommandOk(const QByteArray& command, QByteArray& reply, qsizetype size)
{
    ReplyReading r;
    r.size = size;
    const ExchangeResult e = Exchange(command, kCommandOkDelayMs, r);
    reply = e.reply;
    return reply.contains("OK") ? reply : QByteArray();
}
