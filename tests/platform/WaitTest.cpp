// Waiting while events flow, and the clock the tests can move.
#include "platform/Wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

qint64 threadCpuMicroseconds()
{
    rusage ru{};
    getrusage(RUSAGE_THREAD, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1000000LL + ru.ru_utime.tv_usec + ru.ru_stime.tv_usec;
}

TEST(WaitPumping, EventsArePassedOnWhileWaiting)
{
    bool queuedRan = false, timerRan = false;
    QMetaObject::invokeMethod(
        qApp, [&] { queuedRan = true; }, Qt::QueuedConnection);
    QTimer::singleShot(20, qApp, [&] { timerRan = true; });
    WaitPumping(100);
    EXPECT_TRUE(queuedRan);
    EXPECT_TRUE(timerRan);
}

TEST(WaitPumping, AnIdleWaitUsesAlmostNoCpu)
{
    WaitPumping(1); // warm up whatever the first nested loop sets up
    QElapsedTimer wall;
    wall.start();
    const qint64 cpuBefore = threadCpuMicroseconds();
    WaitPumping(300);
    const qint64 cpuUs = threadCpuMicroseconds() - cpuBefore;
    std::printf("WaitPumping(300): %lld ms wall, %lld us CPU\n", static_cast<long long>(wall.elapsed()),
                static_cast<long long>(cpuUs));
    EXPECT_LT(cpuUs, 50000) << "a wait must sleep, not spin";
}

TEST(ClockTest, TheTestOffsetMovesEveryClockAndResetRemovesIt)
{
    Clock::reset();
    const qint64 s0 = Clock::seconds();
    const qint64 ms0 = Clock::milliseconds();
    const quint32 t0 = Clock::tickCount();
    // Sub-second steps add up instead of being rounded away one by one.
    Clock::advance(89'000);
    for (int i = 0; i < 10; ++i)
        Clock::advance(100);
    EXPECT_GE(Clock::seconds() - s0, 90);
    EXPECT_LE(Clock::seconds() - s0, 91);
    EXPECT_GE(Clock::milliseconds() - ms0, 90'000);
    EXPECT_GE(Clock::tickCount() - t0, 90'000u);

    Clock::reset();
    EXPECT_LT(Clock::milliseconds() - ms0, 90'000);
    EXPECT_LE(Clock::seconds() - s0, 1);
}

} // namespace
