#pragma once
// The worker threads of the live tools.
//
// A live tool that keeps reading the gateway on a serial port or modem line runs one worker: a LiveWorker
// that calls the tool's body over and over until it is told to stop. There is no pause between body calls;
// the body paces itself by its own link reads and their time-outs. Changes of controls made by a body go
// through Synchronize() (they run on the window's thread). Each tool has its own class (TTerminal, TTracing,
// ...) with the tool's priority and body, and one cell that holds its running worker: a QPointer, empty when
// none runs and never dangling (the worker deletes itself when its loop ends).
//
// A port that goes away (its other end closed, the device removed) makes every read fail at once, so a body
// would return at once, again and again. After each body call the loop looks at the link's port: once it is
// gone the worker reads no more and waits for its stop, and the tool's linkLost handler, when it has one, runs
// on the window's thread to end the run through the tool's own stop.
//
// Stopping (StopLiveWorker, always on the window's thread): the worker is told to terminate, its link read is
// woken, and the stop waits for its loop to end (bounded) before it returns, so the caller may close the link
// or a file the body writes, or start the tool again, without two readers on one link. Only when the stop is
// asked from a Synchronize() call of that same worker (the worker waits for it and cannot end first) is the
// join put off until that call has returned; the body then sees the flag before it touches the link again.
#include "link/LinkState.h"
#include "platform/WorkerThread.h"

#include <QPointer>
#include <functional>

class LiveWorker : public WorkerThread
{
    Q_OBJECT
public:
    using Body = std::function<void(LiveWorker&)>;
    // Called on the window's thread with the worker that found its port gone, while that worker still waits
    // for its stop (not after a stop has been asked for).
    using LinkLost = std::function<void(LiveWorker&)>;
    // Created running: the loop starts when the creating thread returns to its event loop.
    LiveWorker(int priorityLevel, Body body, LinkLost linkLost = {});

protected:
    void Execute() override;

private:
    void waitForStop();

    Body body_;
    LinkLost linkLost_;
    // The link it was created on: its reads and writes go by this copy (LinkRecordScope), never by the record the
    // window's thread resets once the link closes. Its epoch: a later link's queue of what is owed is none of its.
    ConnectionRecord link_;
    quint64 epoch_ = 0;
};

// The linkLost of a tool whose running worker stands in cell: it calls handler (when set) only for that worker,
// not for one that a stop has already replaced.
template <class Worker>
LiveWorker::LinkLost LinkLostOf(const QPointer<Worker>& cell, const std::function<void()>& handler)
{
    return [&cell, &handler](LiveWorker& lost) {
        if (static_cast<LiveWorker*>(cell.data()) == &lost && handler)
            handler();
    };
}

// The linkLost handler the tools' workers pass (through LinkLostOf): the program's ending of a lost link (the
// main window sets it).
inline std::function<void()> liveLinkLost;

// How long a stop waits for a worker to leave its loop. A body's reads end within their time-outs (at most
// 230 ms with the normal serial time-outs) or at once when woken; the bound only guards against a hung device.
inline constexpr int kLiveWorkerJoinMs = 3000;

// Stops the worker in cell as described above and empties the cell. True when the worker's loop is over
// (or none ran); false when it did not end within the bound or the join had to be put off.
bool StopLiveWorker(QPointer<LiveWorker>& cell, int boundMs = kLiveWorkerJoinMs);
template <class T> bool StopLiveWorker(QPointer<T>& cell, int boundMs = kLiveWorkerJoinMs)
{
    QPointer<LiveWorker> base(cell.data());
    cell.clear();
    return StopLiveWorker(base, boundMs);
}
