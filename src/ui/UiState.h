#pragma once
// Program-wide state of the main window and its navigation. No widgets here, so any part of the program may
// read it. Tests put it back with resetUiState().
#include <QtGlobal>
#include <array>
#include <atomic>

// One changed flag per configuration page, in this fixed order. Set by the page's edits, Load and Default;
// cleared when the page reaches the gate file. Closing the program offers to save when any is set.
enum PageChangedFlag : int {
    pcSystem = 0,
    pcEthernet, // no page uses it
    pcBasic,
    pcGroups,
    pcPortModes,
    pcIncoming,
    pcOutgoing,
    pcLcr,
    pcAuto,
    pcNetwork,
    pcExtension,
    pcIsdn,
    pcCount
};
inline std::array<quint8, pcCount> pageChanged{};

inline bool anyPageChanged()
{
    for (quint8 flag : pageChanged)
        if (flag)
            return true;
    return false;
}

inline void resetPageChanged()
{
    pageChanged.fill(0);
}

// The text number of the topic on show, -1 when none. Only the topic dispatcher writes it.
inline qint32 currentTopic = -1;

// Set while the please-wait window is shown (ShowProgress .. HideProgress); the keep-alive stays quiet then.
inline std::atomic<bool> progressShown{false};

// True from program start until the main window's first activation has done its start-up work.
inline bool firstActivation = true;

// The start-up asked the program to end (the language file is missing). With quitOnTerminate set, the
// application's event loop is told to quit as well; tests clear quitOnTerminate and look at the flag.
inline bool terminateRequested = false;
inline bool quitOnTerminate = true;
void requestTerminate(); // UiState.cpp

// Back to the state at program start.
inline void resetUiState()
{
    resetPageChanged();
    currentTopic = -1;
    progressShown = false;
    firstActivation = true;
    terminateRequested = false;
}
