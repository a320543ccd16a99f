#include "platform/WorkerThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QtDebug>
#include <algorithm>
#include <deque>
#include <exception>
#include <memory>
#include <vector>

// Every WorkerThread registers itself here, and every call waiting to run on the UI thread is queued here.
// One mutex and one condition variable cover both, so a UI thread that waits for workers to end (stopAll,
// the destructor) can wake for either event: a worker ended, or a worker needs the UI thread. That is what
// keeps a worker blocked in Synchronize() from dead-locking with a UI thread that waits for it.
namespace {

struct UiCall
{
    std::function<void()> fn;
    const QThread* from = nullptr;
    bool done = false;
    std::exception_ptr error;
};

struct Registry
{
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<WorkerThread*> threads;
    std::deque<std::shared_ptr<UiCall>> calls;
};

Registry& registry()
{
    // Never destroyed: threads may still report in while static objects are being torn down at exit.
    static Registry* r = new Registry;
    return *r;
}

bool onUiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// The threads whose Synchronize() calls the UI thread is running right now (nested when a call waits).
std::vector<const QThread*>& servingFrom()
{
    static std::vector<const QThread*> from;
    return from;
}

// Runs the queued calls on the UI thread until the queue is empty.
void serveUiCalls()
{
    Registry& r = registry();
    for (;;) {
        std::shared_ptr<UiCall> call;
        {
            std::lock_guard lock(r.mutex);
            if (r.calls.empty())
                return;
            call = r.calls.front();
            r.calls.pop_front();
        }
        servingFrom().push_back(call->from);
        try {
            call->fn();
        } catch (...) {
            call->error = std::current_exception();
        }
        servingFrom().pop_back();
        {
            std::lock_guard lock(r.mutex);
            call->done = true;
        }
        r.cv.notify_all();
    }
}

QThread::Priority qtPriority(int level)
{
    // Level 0 ("idle") is not Qt's IdlePriority: on Linux that is SCHED_IDLE, which runs a thread only while no
    // other thread wants the processor, so a live tool's reader would stall on a busy machine. The old
    // platform's idle level still got its share; the lowest ordinary priority is what comes closest.
    static const QThread::Priority map[] = {
        QThread::LowestPriority, QThread::LowestPriority,  QThread::LowPriority,         QThread::NormalPriority,
        QThread::HighPriority, QThread::HighestPriority, QThread::TimeCriticalPriority};
    return map[std::clamp(level, 0, 6)];
}

} // namespace

WorkerThread::WorkerThread(bool createSuspended)
{
    suspended_.store(createSuspended);
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        r.threads.push_back(this);
    }
    // finished is emitted on the worker thread; the slot runs queued on the thread that owns this object.
    connect(this, &QThread::finished, this, [this] {
        if (FreeOnTerminate)
            deleteLater();
    });
    if (!createSuspended) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!started_.load())
                    startNow();
            },
            Qt::QueuedConnection);
    }
}

WorkerThread::~WorkerThread()
{
    Registry& r = registry();
    if (isRunning()) {
        Terminate();
        if (onUiThread()) {
            std::unique_lock lock(r.mutex);
            while (!ended_) {
                if (!r.calls.empty()) {
                    lock.unlock();
                    serveUiCalls();
                    lock.lock();
                    continue;
                }
                r.cv.wait(lock);
            }
        }
        wait();
    }
    std::lock_guard lock(r.mutex);
    r.threads.erase(std::remove(r.threads.begin(), r.threads.end(), this), r.threads.end());
}

void WorkerThread::Terminate()
{
    terminated_.store(true);
    {
        // Taking the mutex orders the store before a waiter's predicate check, so the wake-up is not lost.
        std::lock_guard lock(suspendMutex_);
    }
    suspendCv_.notify_all();
}

void WorkerThread::Resume()
{
    if (!started_.load()) {
        suspended_.store(false);
        startNow();
        return;
    }
    {
        std::lock_guard lock(suspendMutex_);
        suspended_.store(false);
    }
    suspendCv_.notify_all();
}

void WorkerThread::Suspend()
{
    suspended_.store(true);
}

void WorkerThread::setPriorityLevel(int level)
{
    priorityLevel_ = std::clamp(level, 0, 6);
    if (isRunning())
        setPriority(qtPriority(priorityLevel_));
}

bool WorkerThread::waitWhileSuspended()
{
    std::unique_lock lock(suspendMutex_);
    suspendCv_.wait(lock, [this] { return !suspended_.load() || terminated_.load(); });
    return !terminated_.load();
}

void WorkerThread::Synchronize(const std::function<void()>& fn)
{
    runOnUiThread(fn);
}

bool WorkerThread::InSynchronize() const
{
    const auto& from = servingFrom();
    return std::find(from.begin(), from.end(), this) != from.end();
}

bool WorkerThread::Join(int boundMs)
{
    Registry& r = registry();
    if (!started_.load()) {
        // Created running, but its start waits for the event loop: it is stopped before it ever runs.
        started_.store(true);
        {
            std::lock_guard lock(r.mutex);
            ended_ = true;
        }
        if (FreeOnTerminate)
            deleteLater();
        return true;
    }
    const QDeadlineTimer deadline(std::max(boundMs, 0));
    const bool serve = onUiThread();
    {
        std::unique_lock lock(r.mutex);
        for (;;) {
            if (serve && !r.calls.empty()) {
                lock.unlock();
                serveUiCalls();
                lock.lock();
                continue;
            }
            if (ended_)
                break;
            if (deadline.hasExpired())
                return false;
            r.cv.wait_for(lock, std::chrono::milliseconds(deadline.remainingTime()));
        }
    }
    wait(deadline);
    return true;
}

void WorkerThread::runOnUiThread(const std::function<void()>& fn)
{
    if (onUiThread()) {
        fn();
        return;
    }
    Registry& r = registry();
    auto call = std::make_shared<UiCall>();
    call->fn = fn;
    call->from = QThread::currentThread();
    {
        std::lock_guard lock(r.mutex);
        r.calls.push_back(call);
    }
    r.cv.notify_all(); // a UI thread waiting in stopAll() serves it from there
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { serveUiCalls(); }, Qt::QueuedConnection);
    {
        std::unique_lock lock(r.mutex);
        r.cv.wait(lock, [&] { return call->done; });
    }
    if (call->error)
        std::rethrow_exception(call->error);
}

void WorkerThread::stopAll(int boundMs)
{
    const QDeadlineTimer deadline(std::max(boundMs, 0));
    Registry& r = registry();
    std::vector<QPointer<WorkerThread>> stopping;
    {
        std::lock_guard lock(r.mutex);
        for (WorkerThread* t : r.threads)
            stopping.emplace_back(t);
    }
    for (const QPointer<WorkerThread>& t : stopping) {
        if (t)
            t->Terminate();
    }

    const bool serve = onUiThread();
    std::unique_lock lock(r.mutex);
    for (;;) {
        if (serve && !r.calls.empty()) {
            lock.unlock();
            serveUiCalls();
            lock.lock();
            continue;
        }
        const bool anyRunning = std::any_of(r.threads.begin(), r.threads.end(),
                                            [](const WorkerThread* t) { return t->started_.load() && !t->ended_; });
        if (!anyRunning || deadline.hasExpired())
            break;
        r.cv.wait_for(lock, std::chrono::milliseconds(deadline.remainingTime()));
    }
    lock.unlock();

    // The Execute() loops are over (or the bound is spent); give QThread what is left to finish its own work.
    for (const QPointer<WorkerThread>& t : stopping) {
        if (t && t->isRunning())
            t->wait(deadline);
    }
}

void WorkerThread::startNow()
{
    started_.store(true);
    start(qtPriority(priorityLevel_));
}

void WorkerThread::run()
{
    started_.store(true);
    try {
        Execute();
    } catch (const std::exception& e) {
        qWarning("Worker thread ended by an exception: %s", e.what());
    } catch (...) {
        qWarning("Worker thread ended by an exception");
    }
    Registry& r = registry();
    {
        std::lock_guard lock(r.mutex);
        ended_ = true;
    }
    r.cv.notify_all();
}
