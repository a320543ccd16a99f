#include "platform/Wait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>

namespace {

std::atomic<qint64> clockOffsetMs{0};

// One monotonic base for tickCount() and milliseconds(), started the first time anybody asks.
const QElapsedTimer& monotonicBase()
{
    static const QElapsedTimer base = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return base;
}

bool canPump()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread() && QAbstractEventDispatcher::instance() != nullptr;
}

} // namespace

void WaitPumping(int ms)
{
    if (!canPump()) {
        Sleep(ms);
        return;
    }
    if (ms <= 0) {
        ProcessMessages();
        return;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    // A nested loop returns at once while the application is shutting down (exit() was called). Sleeping out
    // the rest keeps a caller that waits in a loop from spinning through that phase.
    const qint64 left = ms - elapsed.elapsed();
    if (left > 0)
        QThread::msleep(static_cast<unsigned long>(left));
}

void ProcessMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void Sleep(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

qint64 Clock::seconds()
{
    return (QDateTime::currentMSecsSinceEpoch() + clockOffsetMs.load()) / 1000;
}

quint32 Clock::tickCount()
{
    // Wraps after 49.7 days, exactly like the counter the program was written for.
    return static_cast<quint32>(milliseconds());
}

qint64 Clock::milliseconds()
{
    return monotonicBase().elapsed() + clockOffsetMs.load();
}

void Clock::advance(qint64 ms)
{
    clockOffsetMs.fetch_add(ms);
}

void Clock::reset()
{
    clockOffsetMs.store(0);
}
