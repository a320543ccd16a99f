#pragma once
// The thread class the live tools are built on: an Execute() loop that checks Terminated(), a Terminate()
// request, Synchronize() to run a piece of work on the UI thread and wait for it, and self-deletion when
// the thread ends (FreeOnTerminate). Cells that refer to a running thread are QPointer<WorkerThread>,
// so they become null when the object goes and can never dangle.
#include <QThread>
#include <atomic>
#include <functional>

class WorkerThread : public QThread
{
    Q_OBJECT
public:
    explicit WorkerThread(bool createSuspended = false);
    ~WorkerThread() override;

    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }
    void Resume();  // starts a thread created suspended, or lets a suspended one continue
    void Suspend(); // the Execute loop checks Suspended() and waits
    bool Suspended() const { return suspended_.load(); }
    bool FreeOnTerminate = true;

    // Runs fn on the UI thread and waits for it. Called on the UI thread itself it just runs fn.
    void Synchronize(const std::function<void()>& fn);

    // Asks every live WorkerThread to stop and waits for each, at most boundMs in all. Used at exit.
    static void stopAll(int boundMs);

protected:
    virtual void Execute() = 0;
    // Sleeps while suspended, waking early when terminated. Returns false when terminated.
    bool waitWhileSuspended();

private:
    void run() final;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> suspended_{false};
};
