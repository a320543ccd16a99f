// The dispatcher's leaving steps for the polled tools and the test calls: nothing is left running behind a
// topic that was left, also when the gateway could not be told.
#include "online/LiveToolFixture.h"

#include "link/LiveTools.h"
#include "online/LiveCells.h"
#include "platform/Wait.h"

#include <QPointer>
#include <QScrollArea>
#include <QTemporaryFile>
#include <QTimer>

namespace {

using LeavingTest = LiveToolTest;

QPointer<LiveWorker> idleWorker()
{
    return new LiveWorker(0, [](LiveWorker&) { Sleep(2); });
}

TEST_F(LeavingTest, ATestCallLeftAfterAFailedWriteIsStillStoppedAndTheDispatchGoesOn)
{
    startProgram({});
    // A telnet link whose client is gone: every write fails.
    CurrentConnection.LinkType = LinkTelnet;
    CurrentConnection.Connected = true;
    fMain->selectTopic(548);
    QPointer<LiveWorker> worker = testCallThread = idleWorker();
    liveTools.setRoute(LiveToolSlot::TestCalls, true);
    testLogFile = std::fopen(QFile::encodeName(programFolder() + QStringLiteral("/Test calls.txt")).constData(), "ab");
    ASSERT_TRUE(testLogFile);
    ASSERT_TRUE(waitUntil([&] { return worker && worker->isRunning(); }));
    fMain->selectTopic(30);
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_EQ(dialogs().boxes()[0].text, labelText(56));
    EXPECT_FALSE(testCallThread);
    EXPECT_TRUE(!worker || !worker->isRunning());
    EXPECT_FALSE(testCallOverTcp);
    EXPECT_EQ(testLogFile, nullptr);
    EXPECT_EQ(currentTopic, 30) << "the dispatch went on";
    EXPECT_TRUE(fMain->findChild<QScrollArea*>(QStringLiteral("pSystem"))->isVisibleTo(fMain));
    fMain->selectTopic(17);
    EXPECT_EQ(dialogs().boxes().size(), 1) << "nothing is left to stop";
}

TEST_F(LeavingTest, ThePollsStopWhenTheirTopicsAreLeftAndTheKeepAliveWaitsWhileTheyRun)
{
    startProgram({});
    CurrentConnection.LinkType = LinkSerial;
    fMain->tActual->start();
    QPointer<LiveWorker> diag = diagThread = idleWorker();
    EXPECT_TRUE(liveTools.anyHoldsLink());
    ASSERT_TRUE(waitUntil([&] { return diag && diag->isRunning(); }));
    fMain->selectTopic(30);
    EXPECT_FALSE(fMain->tActual->isActive());
    EXPECT_FALSE(diagThread);
    EXPECT_TRUE(!diag || !diag->isRunning());
    EXPECT_FALSE(liveTools.anyHoldsLink());

    // On a modem line the diagnostics poll by their timer, which leaving stops.
    CurrentConnection.LinkType = LinkModem;
    fMain->tDiag->start();
    EXPECT_TRUE(liveTools.anyHoldsLink());
    fMain->selectTopic(17);
    EXPECT_FALSE(fMain->tDiag->isActive());
}

} // namespace
