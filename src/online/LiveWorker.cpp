#include "online/LiveWorker.h"

#include "link/LinkIo.h"

#include <QCoreApplication>
#include <QTimer>

LiveWorker::LiveWorker(int priorityLevel, Body body, LinkLost linkLost)
    : WorkerThread(false), body_(std::move(body)), linkLost_(std::move(linkLost)), link_(CurrentConnection), epoch_(LinkEpoch())
{
    link_.TcpReceived.clear(); // the window's telnet text is never a worker's
    setPriorityLevel(priorityLevel);
}

void LiveWorker::Execute()
{
    const LinkRecordScope own(link_, epoch_);
    while (!Terminated()) {
        body_(*this);
        if (!Terminated() && LinkPortLost())
            waitForStop();
    }
}

void LiveWorker::waitForStop()
{
    if (linkLost_) {
        QPointer<LiveWorker> self(this);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, lost = linkLost_] {
                if (self && !self->Terminated())
                    lost(*self);
            },
            Qt::QueuedConnection);
    }
    // Woken by the stop's Terminate.
    Suspend();
    waitWhileSuspended();
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
