#include "online/LiveCells.h"

#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "platform/Dialogs.h"
#include "texts/Labels.h"

namespace {

bool written(const QByteArray& bytes)
{
    return LinkWrite(CurrentConnection, bytes) == quint32(bytes.size());
}

} // namespace

void LeaveTestCallTopic()
{
    if (!testCallThread && !testCallOverTcp)
        return;
    bool allWritten = written(" ") && written("AT!D\r") && written("\r\n");
    // The worker may still write the log: it is joined before the log closes.
    StopLiveWorker(testCallThread);
    if (testLogFile) {
        std::fclose(testLogFile);
        testLogFile = nullptr;
    }
    if (allWritten)
        allWritten = written("\r\n");
    liveTools.setRoute(LiveToolSlot::TestCalls, false);
    if (!allWritten)
        MessageBox(labelText(56), labelText(47), MB_ICONERROR);
}

void resetLiveCells()
{
    diagUnfinishedPolls = 0;
    actualUnfinishedPolls = 0;
    if (testLogFile) {
        std::fclose(testLogFile);
        testLogFile = nullptr;
    }
    testCallThread.clear();
    commandsThread.clear();
    diagThread.clear();
}
