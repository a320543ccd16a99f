#pragma once
// Program-wide cells of the live tools that more than one part reads: the topic dispatcher resets the poll
// counters when it enters a polled page, Disconnect and the test-call topic close the test-call log.
#include <atomic>
#include <cstdio>

// Polls started since the last complete one (diagnostics, actual calls); a poll start that finds more than 3
// gives up the page.
inline std::atomic<int> diagUnfinishedPolls{0};
inline std::atomic<int> actualUnfinishedPolls{0};
// The test-call log, opened "ab"; null while closed.
inline std::FILE* testLogFile = nullptr;

// Back to the state at program start (tests): counters zero, the log closed.
void resetLiveCells();
