#include "online/Terminal.h"

#include "link/LinkIo.h"
#include "online/LiveCells.h"
#include "platform/ComPort.h"

#include <cstring>

namespace {

constexpr qsizetype kTerminalReadSize = 4096;

// The length of the erase sequence at chunk[i], 0 when none starts there.
qsizetype eraseSequenceAt(const QByteArray& chunk, qsizetype i)
{
    auto at = [&chunk](qsizetype k, const char* text) { return chunk.mid(k, qsizetype(std::strlen(text))) == text; };
    if (at(i, "\b \b"))
        return 3;
    if (chunk[i] != '\x1b')
        return 0;
    qsizetype n = 1;
    if (at(i + n, "[D"))
        n += 2;
    else
        return n;
    if (at(i + n, " "))
        n += 1;
    else
        return n;
    if (at(i + n, "\x1b"))
        n += 1;
    else
        return n;
    if (at(i + n, "[D"))
        n += 2;
    return n;
}

} // namespace

TTerminal::TTerminal(bool createSuspended)
    : LiveWorker(
          0, [](LiveWorker&) { ReadTerminalData(); }, LinkLostOf(terminalThread, liveLinkLost))
{
    if (createSuspended)
        Suspend();
}

void ApplyTerminalChunk(QByteArray& text, const QByteArray& chunk, qsizetype* lineFeeds)
{
    qsizetype feeds = 0;
    for (qsizetype i = 0; i < chunk.size();) {
        if (const qsizetype n = eraseSequenceAt(chunk, i)) {
            if (text.endsWith('\n'))
                --feeds;
            text.chop(1);
            i += n;
        } else {
            if (chunk[i] == '\n')
                ++feeds;
            text.append(chunk[i]);
            ++i;
        }
    }
    if (lineFeeds)
        *lineFeeds += feeds;
}

void KeepLastLines(QByteArray& text, qsizetype& lineFeeds, int limit)
{
    qsizetype extra = lineFeeds - (limit - 1);
    if (limit <= 0 || extra <= 0)
        return;
    qsizetype cut = 0;
    for (; extra > 0; --extra, --lineFeeds)
        cut = text.indexOf('\n', cut) + 1;
    text.remove(0, cut);
}

bool SetTerminalTimeouts(ConnectionRecord* conn)
{
    if (!conn || !conn->Handle || !conn->Handle->isOpen())
        return false;
    CommTimeouts timeouts = conn->Handle->timeouts();
    timeouts.readInterval = kTerminalTimeouts.readInterval;
    timeouts.readTotalMultiplier = kTerminalTimeouts.readTotalMultiplier;
    timeouts.readTotalConstant = kTerminalTimeouts.readTotalConstant;
    return conn->Handle->setTimeouts(timeouts);
}

void ReadTerminalData()
{
    QByteArray chunk = LinkRead(kTerminalReadSize);
    const qsizetype zero = chunk.indexOf('\0');
    if (zero >= 0)
        chunk.truncate(zero);
    if (chunk.isEmpty())
        return;
    terminalKeepAlivePending = false;
    ApplyTerminalChunk(terminalText, chunk, &terminalTextLineFeeds);
    KeepLastLines(terminalText, terminalTextLineFeeds, liveViewLineLimit);
    const QByteArray shown = terminalText;
    WorkerThread::runOnUiThread([shown] {
        if (terminalShowText)
            terminalShowText(shown);
    });
}

void resetTerminal()
{
    terminalThread.clear();
    terminalText.clear();
    terminalTextLineFeeds = 0;
    terminalShowText = nullptr;
    terminalKeepAlivePending = false;
}
