#include "online/LiveWorker.h"

#include "link/LinkIo.h"

#include <QCoreApplication>
#include <QTimer>

LiveWorker::LiveWorker(int priorityLevel, Body body) : WorkerThread(false), body_(std::move(body))
{
    setPriorityLevel(priorityLevel);
}

void LiveWorker::Execute()
{
    while (!Terminated())
        body_(*this);
}

bool StopLiveWorker(QPointer<LiveWorker>& cell, int boundMs)
{
    QPointer<LiveWorker> worker = cell;
    cell.clear();
    if (!worker)
        return true;
    worker->Terminate();
    if (worker->InSynchronize()) {
        QPointer<LiveWorker> later = worker;
        QTimer::singleShot(0, QCoreApplication::instance(), [later, boundMs] {
            if (later)
                later->Join(boundMs);
        });
        return false;
    }
    CancelLinkReads(true);
    const bool ended = worker ? worker->Join(boundMs) : true;
    CancelLinkReads(false);
    return ended;
}
