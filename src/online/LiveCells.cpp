#include "online/LiveCells.h"

#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "platform/Dialogs.h"
#include "texts/Labels.h"

namespace {

constexpr qsizetype kLeaveDrainSize = 512;
constexpr int kModemLeaveDrainMs = 500; // the first answer's wait on a modem line

bool written(const QByteArray& bytes)
{
    return LinkWrite(CurrentConnection, bytes) == quint32(bytes.size());
}

} // namespace

void LeaveTestCallTopic()
{
    if (!testCallThread && !testCallOverTcp)
        return;
    // The hang-up and the line end that ends the test: the gateway's account and OK are owed from here, read by the
    // reader until its stop and by the drain below, and by whoever writes next when they come later.
    const CommandReply owed{StillOwed(testCallStartOwed) ? CommandReply::Never : CommandReply::Always};
    bool allWritten = WriteCommand(" ", owed) == 1 && written("AT!D\r") && written("\r\n");
    // The worker may still write the log: it is joined before the log closes.
    StopLiveWorker(testCallThread);
    if (testLogFile) {
        std::fclose(testLogFile);
        testLogFile = nullptr;
    }
    if (allWritten)
        allWritten = written("\r\n");
    liveTools.setRoute(LiveToolSlot::TestCalls, false);
    if (!allWritten) {
        CommErrorBox();
        return;
    }
    // The gateway's answers to the hang-up and the line ends are read away, so that the next command on the
    // link gets its own reply. A modem line's read is bounded here like the serial port's time-outs bound
    // its own (its usual read would wait for the long first-byte time-out).
    // The gateway's login prompt among them ends its session where the text passes (LinkTextArrived), looked at
    // as the continuation of the line the stopped reader left: the drain may begin within a line.
    if (CurrentConnection.LinkType == LinkTelnet)
        LinkReadTimeout(kLeaveDrainSize, 0.01);
    else if (CurrentConnection.LinkType == LinkSerial)
        LinkRead(kLeaveDrainSize);
    else if (CurrentConnection.LinkType == LinkModem)
        LinkReadWithin(kLeaveDrainSize, kModemLeaveDrainMs);
}

void resetLiveCells()
{
    diagUnfinishedPolls = 0;
    actualUnfinishedPolls = 0;
    liveViewLineLimit = kLiveViewLines;
    if (testLogFile) {
        std::fclose(testLogFile);
        testLogFile = nullptr;
    }
    testCallThread.clear();
    commandsThread.clear();
    diagThread.clear();
    testCallStartOwed = 0;
}
