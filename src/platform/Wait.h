#pragma once
// Waiting and time. The program waits for the gateway in short steps while the window keeps working;
// here a wait is a nested event loop ended by a timer, so an idle wait costs no CPU.
#include <QtGlobal>

// Waits ms milliseconds while the UI thread's events keep being processed. On a thread without an event
// dispatcher it simply sleeps.
void WaitPumping(int ms);
// Processes the pending events once, without waiting.
void ProcessMessages();
// Plain sleep, for worker threads.
void Sleep(int ms);

// The system clock as the program reads it. Tests move it forward so that waits measured in whole seconds
// (keep-alive, boot-loader time-outs) run in milliseconds.
class Clock
{
public:
    static qint64 seconds();        // whole seconds since the epoch, plus the test offset
    static quint32 tickCount();     // milliseconds since start, plus the test offset (GetTickCount)
    static qint64 milliseconds();   // monotonic milliseconds plus the test offset
    static void advance(qint64 ms); // test hook: moves both clocks forward
    static void reset();            // test hook: removes the offset
};
