#pragma once
// The thread class the live tools are built on: an Execute() loop that checks Terminated(), a Terminate()
// request, Synchronize() to run a piece of work on the UI thread and wait for it, and self-deletion when
// the thread ends (FreeOnTerminate). Cells that refer to a running thread are QPointer<WorkerThread>,
// so they become null when the object goes and can never dangle.
//
// Starting: a thread created running (createSuspended false) starts as soon as the creating thread returns
// to its event loop: starting it inside the base constructor would let Execute() run before the derived
// class is built. Resume() starts it at once.
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

class WorkerThread : public QThread
{
    Q_OBJECT
public:
    explicit WorkerThread(bool createSuspended = false);
    ~WorkerThread() override; // a running thread is told to terminate and waited for

    void Terminate(); // sets the flag and wakes a thread waiting in waitWhileSuspended(); returns at once
    bool Terminated() const { return terminated_.load(); }
    void Resume();  // starts a thread created suspended (or not started yet), or lets a suspended one continue
    void Suspend(); // the Execute loop checks Suspended() and waits
    bool Suspended() const { return suspended_.load(); }
    bool FreeOnTerminate = true;

    // Thread priority on the old toolkit's scale: 0 idle, 1 lowest, 2 lower, 3 normal, 4 higher, 5 highest,
    // 6 time-critical. May be set before the thread runs; it is applied when the thread starts.
    void setPriorityLevel(int level);
    int priorityLevel() const { return priorityLevel_; }

    // Runs fn on the UI thread and waits for it. Called on the UI thread itself it just runs fn.
    // An exception thrown by fn is thrown again here, on the calling thread.
    void Synchronize(const std::function<void()>& fn);
    // The same for code that is not a WorkerThread member (message boxes asked for by a worker).
    static void runOnUiThread(const std::function<void()>& fn);

    // Waits until Execute() has returned, at most boundMs, running the Synchronize() calls of the workers
    // meanwhile (call it on the UI thread, after Terminate()). A thread that has not started yet never starts.
    // True when the thread's loop is over.
    bool Join(int boundMs);
    // True while the UI thread is running a Synchronize() call of this thread (also further down the stack):
    // a stop asked from there must not join, since the thread cannot end before the call returns.
    bool InSynchronize() const;

    // Asks every live WorkerThread to stop and waits for each, at most boundMs in all. Used at exit.
    // Call it on the UI thread: while it waits it runs the Synchronize() calls of the threads it waits for
    // (and nothing else), so a worker blocked in Synchronize() can still finish.
    static void stopAll(int boundMs);

protected:
    virtual void Execute() = 0;
    // Sleeps while suspended, waking early when terminated. Returns false when terminated.
    bool waitWhileSuspended();

private:
    void run() final;
    void startNow();

    std::atomic<bool> terminated_{false};
    std::atomic<bool> suspended_{false};
    std::atomic<bool> started_{false};
    bool ended_ = false; // guarded by the registry's mutex
    int priorityLevel_ = 3;
    std::mutex suspendMutex_;
    std::condition_variable suspendCv_;
};
