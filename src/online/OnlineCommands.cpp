#include "online/OnlineCommands.h"

#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "platform/Cp1250.h"

namespace {

constexpr qsizetype kStepReadSize = 64;
constexpr double kStepReadSeconds = 0.01;

} // namespace

// The reader's priority follows the link it is made for: normal on a modem line, idle on a serial port.
TOnlineCommands::TOnlineCommands()
    : LiveWorker(
          CurrentConnection.LinkType == LinkModem ? 3 : 0, [](LiveWorker&) { OnlineCommandsStep(); },
          LinkLostOf(commandsThread, liveLinkLost))
{
}

QByteArray OnlineCommandLine(int module, const QString& command)
{
    QByteArray line = "AT&G" + QByteArray::number(module) + '=';
    line.reserve(line.size() + command.size() + 1);
    for (QChar c : command)
        line.append(char(toCp1250(c)));
    line.append('\r');
    return line;
}

void AppendCommandsText(QByteArray& text, const QByteArray& chunk)
{
    text.append(chunk);
    if (text.startsWith("\r\n"))
        text.remove(0, 2);
}

bool CommandsReplyEnded(const QByteArray& text)
{
    for (const char* end : {"\r\n\r\nOK\r\n", "\r\n\r\nBUSY\r\n", "\r\n\r\nERROR\r\n"}) {
        if (text.contains(end))
            return true;
    }
    return false;
}

bool CommandsChunkShowsOk(const QByteArray& chunk)
{
    const QByteArrayView rest = chunk.startsWith("\r\n") ? QByteArrayView(chunk).sliced(2) : QByteArrayView(chunk);
    return rest.contains("\r\nOK\r");
}

void OnlineCommandsStep()
{
    const QByteArray got = LinkReadTimeout(kStepReadSize, kStepReadSeconds);
    if (got.isEmpty() || LinkSessionEnded()) // the gateway's login prompt: the run ends on the link's loss path
        return;
    WorkerThread::runOnUiThread([got] {
        if (commandsChunkReceived)
            commandsChunkReceived(got);
    });
}

void resetOnlineCommands()
{
    commandsThread.clear();
    commandsText.clear();
    commandsChunkReceived = nullptr;
    commandsStopDrainMs = 2000;
}
