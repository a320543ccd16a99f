#pragma once
// Waiting and time. The program waits for the gateway in short steps while the window keeps working;
// here a wait is a nested event loop ended by a timer, so an idle wait costs no CPU.
#include <QtGlobal>

#include <functional>

// Waits ms milliseconds while the UI thread's events keep being processed. On a thread without an event
// dispatcher it simply sleeps.
void WaitPumping(int ms);
// Processes the pending events once, without waiting.
void ProcessMessages();
// Plain sleep, for worker threads.
void Sleep(int ms);

// Nested waits. A handler that waits with the window's events running lets other handlers run inside its wait,
// the main window's close among them. Every such wait on the UI thread (WaitPumping, ProcessMessages, the link's
// and the telnet client's own event loops, modal boxes) holds a NestedWait while it lasts.
class NestedWait
{
public:
    NestedWait();
    ~NestedWait();
    NestedWait(const NestedWait&) = delete;
    NestedWait& operator=(const NestedWait&) = delete;

private:
    bool counted_;
};
// The nested waits open now; 0 when control is in the outermost event loop (no handler is waiting below).
int nestedWaits();
// Runs fn on the UI thread, from the event loop, once no nested wait is open: once the handlers that were
// waiting when it was asked for have returned.
void afterNestedWaits(std::function<void()> fn);

// The program is closing: on from the moment the main window's close is decided. Work under way ends at its
// next step, and no box is shown any more (platform/Dialogs.h). Tests that start the windows anew turn it off.
bool closingProgram();
void setClosingProgram(bool on);
// The close's question (save the changed pages?) is open: its answer may still end the program or keep it.
// Work that ends meanwhile holds back what would start something new (a reconnect, a login) until the answer.
bool closeQuestionOpen();
void setCloseQuestionOpen(bool on);

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
