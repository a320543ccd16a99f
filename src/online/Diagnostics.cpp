#include "online/Diagnostics.h"

#include "link/CommandWrite.h"
#include "link/ExchangeState.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/LiveTools.h"
#include "link/ReplyParsers.h"
#include "online/LiveCells.h"
#include "platform/Wait.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

const char* const kDiagModuleKeys[kDiagModuleFields] = {
    "Layer2: ", "Layer3: ", "Network: ", "Netid: ", "Netcell: ", "Modid: ", "Revid: ", "Sernum: ", "Simid-1: "};

namespace {

constexpr QByteArrayView kOkLine = "OK\r\n";

// The keys of the multi-value rows, in the order they are written.
struct MultiRow
{
    const char* key;
    int row;
};
constexpr MultiRow kMultiRows[] = {{"Layer2: ", 1}, {"Tei: ", 2}, {"Chan-B1: ", 5}, {"Chan-B2: ", 6}};

// One command's reply, collected as DiagCollect does. Its command's write claimed the link's owed reply for this
// read (DiagCommandReply): its end, counted where the link's text arrives, settled it; a reply given up on stays
// owed to whoever writes next, the window's next exchange or this poll's own next command.
DiagReply collectReply(const DiagPollIo& io, qint64 startMs)
{
    const DiagReply reply = DiagCollect(io.read, io.alive, startMs, diagTimings.replyMs);
    if (!reply.ended)
        ReleaseOwedReply();
    return reply;
}

// Fills one BRI port's list from command; false when the poll is to end (not written, no OK).
bool briBlock(const DiagPollIo& io, const char* command, int list)
{
    const qint64 start = Clock::milliseconds();
    if (!io.write(command))
        return false;
    const DiagReply reply = collectReply(io, start);
    if (!reply.text.contains(kOkLine))
        return false;
    // A reply that lacks a value ends the block where it lacks it; the poll goes on all the same.
    io.showBri(list, DiagBriCells(reply.text).cells);
    return true;
}

} // namespace

QByteArray DiagModuleCommand(int module)
{
    return "AT&S0" + QByteArray::number(module) + "\r\n";
}

QByteArray DiagSignalCommand(int module)
{
    return "AT&Q" + QByteArray::number(module) + "\r\n";
}

QList<QByteArray> DiagModuleWords(const QByteArray& reply)
{
    QList<QByteArray> words;
    for (const char* key : kDiagModuleKeys)
        words << ReplyWord(key, reply);
    return words;
}

QByteArray DiagSignalText(const QByteArray& reply, int module)
{
    if (!reply.contains("\r\nOK\r\n"))
        return {};
    const QByteArray word = ReplyWord("Signal: (g0" + QByteArray::number(module) + ")", reply);
    if (word.isEmpty() || word.contains("unknown"))
        return {};
    return word + " dBm";
}

DiagBriFill DiagBriCells(const QByteArray& reply)
{
    DiagBriFill fill;
    try {
        const QByteArray mode = ReplyValueList("Mode: ", reply, ' ').at(0);
        fill.cells << DiagCell{4, 1, mode};
        fill.cells << DiagCell{0, 1, ReplyValueList("Layer1: ", reply, ' ').at(0)};
        fill.cells << DiagCell{3, 1, ReplyValueList("Layer3: ", reply, ' ').at(0)};
        const int n = mode.contains("/mtp") ? kDiagBriColumns : 1;
        for (const MultiRow& r : kMultiRows) {
            const ReplyList values = ReplyValueListCompact(r.key, reply, ' ');
            for (int i = 0; i < n; ++i)
                fill.cells << DiagCell{r.row, i + 1, values.at(i)};
            if (n == 1)
                for (int column = 2; column <= kDiagBriColumns; ++column)
                    fill.cells << DiagCell{r.row, column, {}};
        }
        fill.complete = true;
    } catch (const std::out_of_range&) {
        // The cells before the missing value stand; the rest keep what they showed.
    }
    return fill;
}

DiagReply DiagCollect(const std::function<QByteArray(qint64 msLeft)>& read, const std::function<bool()>& alive,
                      qint64 startMs, int limitMs)
{
    DiagReply reply;
    // The last bytes of the stream, so that an "OK\r\n" split between two reads, or lying beyond the cap, is
    // still seen as the reply's end.
    QByteArray tail;
    for (;;) {
        const qint64 left = startMs + limitMs - Clock::milliseconds();
        const QByteArray chunk = read(std::max<qint64>(left, 0));
        // The gateway's login prompt, also one that came with the reply's "OK" or beyond the cap: the session has
        // ended, and the reply is none (the poll writes nothing more). It was looked at where the link's text
        // arrived, as the continuation of its line.
        if (LinkSessionEnded()) {
            reply.text.clear();
            break;
        }
        if (reply.text.size() < kDiagReplyCap)
            reply.text += chunk.left(kDiagReplyCap - reply.text.size());
        tail += chunk;
        if (tail.contains(kOkLine)) {
            reply.ended = true;
            break;
        }
        tail = tail.right(kOkLine.size() - 1);
        if (Clock::milliseconds() - startMs > limitMs || !alive())
            break;
    }
    return reply;
}

QByteArray querySignal(const DiagPollIo& io, int module)
{
    if (!io.write(DiagSignalCommand(module)))
        return {};
    io.sleep(100);
    const DiagReply reply = collectReply(io, Clock::milliseconds());
    return DiagSignalText(reply.text, module);
}

void DiagRefresh(const DiagPollIo& io)
{
    if (!io.shown())
        return;
    // Four polls in a row that did not reach their end: the fifth start gives the page up.
    if (diagUnfinishedPolls.fetch_add(1) > 3)
        io.giveUp();
    for (int m = 0; m < 2; ++m) {
        if (!io.shown())
            return;
        // The pauses take the user's input: a topic chosen there has left the page, and nothing more is sent.
        if (io.modemPause) {
            io.modemPause();
            if (!io.shown())
                return;
        }
        if (!io.write(DiagModuleCommand(m)))
            return;
        io.sleep(10);
        const DiagReply reply = collectReply(io, Clock::milliseconds());
        if (!reply.text.contains(kOkLine))
            return;
        if (reply.text.size() < kDiagModuleMinimum)
            continue; // no diagnostics in it: the module's labels stay as they are
        io.repaint();
        if (io.modemPause) {
            io.modemPause();
            if (!io.shown())
                return;
        }
        io.showModule(m, DiagModuleWords(reply.text));
        io.showSignal(m, querySignal(io, m));
        io.repaint();
    }
    if (io.model() == 0) {
        if (!io.shown() || !briBlock(io, kDiagFirstBriCommand, 0))
            return;
    }
    if (!io.shown() || !briBlock(io, kDiagSecondBriCommand, 1))
        return;
    diagUnfinishedPolls = 0;
}

void DiagInbox::post(const QByteArray& chunk)
{
    if (chunk.isEmpty())
        return;
    {
        std::lock_guard lock(mutex_);
        text_ += chunk;
    }
    arrived_.notify_all();
}

QByteArray DiagInbox::take(qsizetype max, qint64 ms, const WorkerThread* worker)
{
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::milliseconds(std::max<qint64>(ms, 0)),
                      [&] { return !text_.isEmpty() || (worker && worker->Terminated()); });
    const QByteArray text = text_.left(max);
    text_.remove(0, text.size());
    return text;
}

void DiagInbox::wake()
{
    {
        std::lock_guard lock(mutex_); // a take between its test and its wait cannot miss the wake
    }
    arrived_.notify_all();
}

QByteArray DiagInbox::clear()
{
    QByteArray dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(text_);
    }
    return dropped; // looked at and counted as it arrived
}

TDiagThread::TDiagThread(bool createSuspended)
    : LiveWorker(
          3, [](LiveWorker& w) { DiagThreadStep(w); }, LinkLostOf(diagThread, liveLinkLost))
{
    if (createSuspended)
        Suspend();
}

void DiagThreadStep(LiveWorker& worker)
{
    if (diagWorkerPoll)
        diagWorkerPoll(worker);
    else
        worker.Terminate();
}

void StopDiagWorker()
{
    const bool ran = diagThread;
    if (diagThread) {
        diagThread->Terminate();
        diagInbox.wake();
    }
    const bool ended = StopLiveWorker(diagThread);
    liveTools.setRoute(LiveToolSlot::Diagnostics, false);
    diagInbox.clear();
    // A command whose reply the stopped worker was still reading: the gateway still owes the rest of it, and
    // whoever writes next takes it to its end first. What the route had brought of it was counted as it came.
    const OwedReply owed = OwedReplyNow();
    if (ran && ended && owed.owed && owed.readUntilMs != 0)
        ReleaseOwedReply();
}

CommandReply DiagCommandReply()
{
    return {CommandReply::IfCommand, diagTimings.replyMs,
            Clock::milliseconds() + diagTimings.replyMs + kDiagReadSlackMs};
}

void resetDiagnostics()
{
    diagTimings = DiagTimings();
    diagWorkerPoll = nullptr;
    diagInbox.clear();
}
