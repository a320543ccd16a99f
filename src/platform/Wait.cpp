#include "platform/Wait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <vector>

namespace {

std::atomic<qint64> clockOffsetMs{0};
std::atomic<bool> closing{false};
std::atomic<bool> closeQuestion{false};

// UI thread only.
int waitDepth = 0;
std::vector<std::function<void()>> afterWaits;
bool afterWaitsPosted = false;

void runAfterWaits()
{
    afterWaitsPosted = false;
    if (waitDepth > 0)
        return; // still inside a wait: the end of the outermost one posts this again
    std::vector<std::function<void()>> due;
    due.swap(afterWaits);
    for (const auto& fn : due)
        fn();
}

void postAfterWaits()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (afterWaitsPosted || afterWaits.empty() || !app)
        return;
    afterWaitsPosted = true;
    QMetaObject::invokeMethod(app, [] { runAfterWaits(); }, Qt::QueuedConnection);
}

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

NestedWait::NestedWait() : counted_(canPump())
{
    if (counted_)
        ++waitDepth;
}

NestedWait::~NestedWait()
{
    if (counted_ && --waitDepth == 0)
        postAfterWaits();
}

int nestedWaits()
{
    return waitDepth;
}

void afterNestedWaits(std::function<void()> fn)
{
    afterWaits.push_back(std::move(fn));
    postAfterWaits();
}

bool closingProgram()
{
    return closing.load();
}

void setClosingProgram(bool on)
{
    closing.store(on);
}

bool closeQuestionOpen()
{
    return closeQuestion.load();
}

void setCloseQuestionOpen(bool on)
{
    closeQuestion.store(on);
}

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
    NestedWait nested;
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
    if (!QCoreApplication::instance())
        return;
    NestedWait nested;
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
