// The worker base of the live tools: a stop wakes the worker's link read, joins it and empties the cell.
#include "support/PtyPair.h"

#include "link/LinkIo.h"
#include "link/LinkOpen.h"
#include "link/LinkState.h"
#include "online/LiveWorker.h"
#include "platform/ComPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <atomic>
#include <gtest/gtest.h>

namespace {

class LiveWorkerTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        CurrentConnection = ConnectionRecord{};
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Lets the queued start of a worker created running take place.
    static void startQueued() { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }
};

TEST_F(LiveWorkerTest, AStopWakesALongReadAndJoinsBeforeItReturns)
{
    PtyPair pair;
    ASSERT_TRUE(pair.isReady()) << qPrintable(pair.errorString());
    auto port = std::make_shared<ComPort>();
    ASSERT_TRUE(port->open(pair.pathA()));
    // A modem line's long read: the first byte may take 100 s.
    port->setTimeouts(CommTimeouts{100, 0, 100000, 0, 0});
    CurrentConnection.LinkType = LinkSerial;
    CurrentConnection.Handle = port;

    std::atomic<int> inBody{0};
    std::atomic<int> afterStop{0};
    std::atomic<bool> stopped{false};
    QPointer<LiveWorker> cell = new LiveWorker(0, [&](LiveWorker&) {
        inBody++;
        char c;
        port->readByte(c);
        if (stopped)
            afterStop++;
    });
    EXPECT_EQ(cell->priorityLevel(), 0);
    startQueued();
    while (inBody == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    QElapsedTimer clock;
    clock.start();
    stopped = true;
    EXPECT_TRUE(StopLiveWorker(cell));
    EXPECT_LT(clock.elapsed(), kLiveWorkerJoinMs) << "the read was woken";
    EXPECT_TRUE(cell.isNull());
    const int calls = inBody;
    EXPECT_LE(afterStop, 1) << "the body call under way ends, no further call starts";
    EXPECT_FALSE(port->readsCancelled()) << "reads wait normally again after the stop";
    startQueued();
    EXPECT_EQ(inBody, calls);
}

TEST_F(LiveWorkerTest, StopsFromTheWindowThreadWhileTheWorkerWaitsForIt)
{
    // (a) the worker waits in Synchronize for an unrelated stop: the join runs its call and ends it;
    // (b) the stop comes from the worker's own Synchronize call: it only asks, the join follows;
    // (c) the worker never started: it never runs.
    for (int mode = 0; mode < 3; ++mode) {
        std::atomic<int> bodies{0};
        std::atomic<bool> waiting{false};
        QPointer<LiveWorker> cell;
        bool joinedInCall = true;
        cell = new LiveWorker(3, [&](LiveWorker& self) {
            bodies++;
            waiting = true;
            self.Synchronize([&] {
                if (mode == 1)
                    joinedInCall = StopLiveWorker(cell);
            });
        });
        QPointer<LiveWorker> watch = cell;
        if (mode != 2) {
            // One pass delivers the queued start and nothing the worker posts after it: a longer pass would serve
            // the body's Synchronize call and let the body run again before the stop.
            QCoreApplication::processEvents();
            while (!waiting)
                QThread::yieldCurrentThread();
        }
        if (mode == 0)
            EXPECT_TRUE(StopLiveWorker(cell));
        else if (mode == 1)
            while (cell)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        else
            EXPECT_TRUE(StopLiveWorker(cell));
        if (mode == 1) {
            EXPECT_FALSE(joinedInCall);
        }
        EXPECT_TRUE(cell.isNull());
        for (int i = 0; i < 100 && watch; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_TRUE(watch.isNull()) << "mode " << mode << ": the worker ended and deleted itself";
        EXPECT_EQ(bodies, mode == 2 ? 0 : 1) << mode;
    }
}

// A worker hung outside its reads outlives its stop's bound; the link closes and the next one opens. When it reads
// again it reads its own, closed link, never the next connection's text.
TEST_F(LiveWorkerTest, AWorkerThatOutlivesItsStopKeepsToItsOwnLink)
{
    PtyPair first;
    PtyPair next;
    ASSERT_TRUE(first.isReady() && next.isReady());
    auto firstPort = std::make_shared<ComPort>();
    ASSERT_TRUE(firstPort->open(first.pathA()));
    CurrentConnection.LinkType = LinkSerial;
    CurrentConnection.Handle = firstPort;
    CurrentConnection.Connected = true;

    std::atomic<bool> hung{false};
    std::atomic<bool> release{false};
    std::atomic<bool> done{false};
    QByteArray workerGot;
    QPointer<LiveWorker> cell = new LiveWorker(0, [&](LiveWorker&) {
        if (done)
            return;
        hung = true;
        while (!release)
            QThread::msleep(1);
        workerGot = LinkReadWithin(64, 300);
        done = true;
    });
    QPointer<LiveWorker> watch = cell;
    startQueued();
    while (!hung)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(StopLiveWorker(cell, 50)) << "the join runs out";

    CloseLink(CurrentConnection);
    CurrentConnection = ConnectionRecord{};
    auto nextPort = std::make_shared<ComPort>();
    ASSERT_TRUE(nextPort->open(next.pathA()));
    CurrentConnection.LinkType = LinkSerial;
    CurrentConnection.Handle = nextPort;
    CurrentConnection.Connected = true;
    ComPort far;
    ASSERT_TRUE(far.open(next.pathB()));
    ASSERT_EQ(far.write("OK\r\n", 4), 4);

    release = true;
    while (!done)
        QThread::msleep(1);
    EXPECT_TRUE(workerGot.isEmpty()) << "took the next link's " << workerGot.toStdString();
    EXPECT_EQ(LinkReadWithin(64, 1000), QByteArray("OK\r\n"));
    for (int i = 0; i < 200 && watch; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(watch.isNull());
}

} // namespace
