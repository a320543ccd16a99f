// WorkerThread: start, suspend, terminate, self-deletion, Synchronize and the exit-time stop.
#include "platform/WorkerThread.h"
#include "platform/Wait.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <future>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// The shape of every live tool's thread: call the body until terminated, parking while suspended.
class LoopThread : public WorkerThread
{
public:
    using Body = std::function<void(LoopThread&)>;
    LoopThread(bool createSuspended, Body body) : WorkerThread(createSuspended), body_(std::move(body)) {}
    std::atomic<int> rounds{0};

protected:
    void Execute() override
    {
        while (!Terminated()) {
            if (!waitWhileSuspended())
                break;
            body_(*this);
            ++rounds;
        }
    }

private:
    Body body_;
};

void pause1ms(LoopThread&)
{
    Sleep(1);
}

TEST(WorkerThreadTest, ACreatedThreadRunsUntilTerminatedAndThenDeletesItself)
{
    auto* t = new LoopThread(false, pause1ms);
    t->setPriorityLevel(2);
    QPointer<WorkerThread> cell(t);
    EXPECT_TRUE(QTest::qWaitFor([&] { return t->rounds.load() > 2; }, 5000));
    EXPECT_EQ(t->priority(), QThread::LowPriority) << "a level set before the start is applied";
    // The idle level is the lowest ordinary priority: Linux's idle class would starve the thread.
    t->setPriorityLevel(0);
    EXPECT_EQ(t->priority(), QThread::LowestPriority);
    t->Terminate();
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell.isNull(); }, 5000)) << "FreeOnTerminate deletes the object";
}

TEST(WorkerThreadTest, WithoutFreeOnTerminateTheOwnerDeletesEvenARunningThread)
{
    auto* ended = new LoopThread(false, pause1ms);
    ended->FreeOnTerminate = false;
    QPointer<WorkerThread> cell(ended);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended->rounds.load() > 0; }, 5000));
    ended->Terminate();
    ASSERT_TRUE(ended->wait(5000));
    WaitPumping(20);
    ASSERT_FALSE(cell.isNull());
    delete ended;

    std::atomic<int> calls{0};
    auto* running = new LoopThread(false, [&](LoopThread&) {
        ++calls;
        Sleep(1);
    });
    running->FreeOnTerminate = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls.load() > 0; }, 5000));
    delete running; // must neither abort ("destroyed while still running") nor leave the body running
    const int after = calls.load();
    WaitPumping(20);
    EXPECT_EQ(calls.load(), after);
}

TEST(WorkerThreadTest, ASuspendedThreadWaitsForResumeAndWakesForTerminate)
{
    auto* t = new LoopThread(true, pause1ms);
    QPointer<WorkerThread> cell(t);
    WaitPumping(50);
    EXPECT_FALSE(t->isRunning());
    EXPECT_EQ(t->rounds.load(), 0);

    t->Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return t->rounds.load() > 0; }, 5000));

    t->Suspend();
    WaitPumping(30); // let a round under way finish
    const int parked = t->rounds.load();
    WaitPumping(50);
    EXPECT_EQ(t->rounds.load(), parked) << "the loop parks while suspended";

    t->Terminate(); // must wake the parked loop
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell.isNull(); }, 5000));
}

TEST(WorkerThreadTest, SynchronizeRunsOnTheUiThreadPassesExceptionsBackAndIsServedByStopAll)
{
    std::atomic<int> calls{0};
    std::atomic<QThread*> ranOn{nullptr};
    std::atomic<bool> caught{false};
    auto* t = new LoopThread(false, [&](LoopThread& self) {
        self.Synchronize([&] {
            ranOn = QThread::currentThread();
            ++calls;
        });
        try {
            self.Synchronize([] { throw std::runtime_error("from the UI thread"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
    });
    QPointer<WorkerThread> cell(t);
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls.load() > 0; }, 5000));
    EXPECT_EQ(ranOn.load(), qApp->thread());
    // No events are processed from here on: a worker blocked in Synchronize must still get its answer.
    WorkerThread::stopAll(5000);
    ASSERT_FALSE(cell.isNull()) << "the deferred delete has not run yet";
    EXPECT_TRUE(cell->isFinished());
    EXPECT_TRUE(caught.load());
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell.isNull(); }, 5000));
}

TEST(WorkerThreadTest, StopAllGivesUpAfterItsBound)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> inBody{false};
    auto* t = new LoopThread(false, [&](LoopThread&) {
        inBody = true;
        released.wait(); // a body that does not look at Terminated() for a long time
    });
    QPointer<WorkerThread> cell(t);
    ASSERT_TRUE(QTest::qWaitFor([&] { return inBody.load(); }, 5000));

    WorkerThread::stopAll(100);
    ASSERT_FALSE(cell.isNull());
    EXPECT_TRUE(cell->isRunning()) << "stopAll returned while the body still ran";
    EXPECT_TRUE(cell->Terminated());

    release.set_value();
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell.isNull(); }, 5000));
}

TEST(WorkerThreadTest, ATerminatedThreadThatNeverRanStillCleansUp)
{
    auto* t = new LoopThread(false, pause1ms);
    QPointer<WorkerThread> cell(t);
    t->Terminate(); // before the creating thread got back to its event loop
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell.isNull(); }, 5000));
}

} // namespace
