#pragma once
// Program-wide cells of the live tools that more than one part reads: the topic dispatcher resets the poll
// counters when it enters a polled page, Disconnect and the test-call topic close the test-call log.
#include "online/LiveWorker.h"

#include <QPointer>
#include <atomic>
#include <cstdio>

// Polls started since the last complete one (diagnostics, actual calls); a poll start that finds more than 3
// gives up the page.
inline std::atomic<int> diagUnfinishedPolls{0};
inline std::atomic<int> actualUnfinishedPolls{0};
// The test-call log, opened "ab"; null while closed.
inline std::FILE* testLogFile = nullptr;

// The lines the trace view and the terminal keep: the oldest go as new ones come, so that a run left going
// for days cannot use up the memory (the trace file keeps everything). Read as the views are built.
inline constexpr int kLiveViewLines = 100000;
inline std::atomic<int> liveViewLineLimit{kLiveViewLines};

// The workers of the test calls, the online commands and the diagnostics (empty while none runs).
inline QPointer<LiveWorker> testCallThread;
inline QPointer<LiveWorker> commandsThread;
inline QPointer<LiveWorker> diagThread;
// The owed reply of the running test call's start (StillOwed): the gateway answers it and a line end that breaks
// the call off with one OK, so while it is owed such a line end owes nothing of its own.
inline quint64 testCallStartOwed = 0;

// Leaving the test-call topic while a test call runs (its worker or its telnet route): " ", "AT!D\r" and
// CR LF end the call on the gateway, the log closes, CR LF once more; then the worker is stopped and the
// route cleared whatever the writes did, so no reader or route outlives the topic. A write that did not go
// out whole is reported once (text 56) and the dispatch goes on; otherwise what the gateway still answers is
// read away (telnet and serial).
void LeaveTestCallTopic();

// Back to the state at program start (tests): counters zero, the log closed, the views' limit as built.
void resetLiveCells();
