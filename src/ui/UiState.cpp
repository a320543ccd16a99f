#include "ui/UiState.h"

#include <QCoreApplication>
#include <QMetaObject>

void requestTerminate()
{
    terminateRequested = true;
    // Queued, so that the quit takes effect when control is back in the event loop, not in the middle of the
    // start-up that asked for it.
    if (quitOnTerminate && QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}
