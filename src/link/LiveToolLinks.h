#pragma once
// What the link knows of the live tools (terminal, tracing, voice, diagnostics, test calls, online commands,
// firmware upgrade over the link). The tools work on the open link, so the telnet text router, the keep-alive
// and the disconnect have to know when one of them is at work. The tools set these cells; the link reads them.
#include <QByteArray>
#include <array>
#include <functional>
#include <vector>

// The firmware upgrade over the link takes the telnet text itself; the router and the keep-alive keep out.
inline bool tcpUpgradeActive = false;
// A disconnect made for the upgrade leaves the status bar's gateway text as it is.
inline bool upgradeDisconnect = false;

// Telnet routes: while one is on, text received on the telnet link goes to that tool's view (through
// routeTcpText) instead of to the link's reads.
inline bool terminalOverTcp = false;
inline bool tracingOverTcp = false;
inline bool testCallOverTcp = false;
inline bool commandsOverTcp = false;
inline std::function<void(const QByteArray&)> routeTcpText;

inline bool anyTcpRoute()
{
    return terminalOverTcp || tracingOverTcp || testCallOverTcp || commandsOverTcp;
}

// Each tool that works on the link registers a test that is true while it does (its worker runs, its poll
// timer is on); the keep-alive sends nothing then.
inline std::vector<std::function<bool()>> liveToolBusy;

inline bool anyLiveToolBusy()
{
    for (const auto& busy : liveToolBusy)
        if (busy && busy())
            return true;
    return false;
}

// The tools' stops, in the order the disconnect runs them; each tool fills its own place.
enum LiveToolStop : int {
    StopTerminal = 0,
    StopTracing,
    StopVoiceRecording,
    StopVoiceErase,
    StopDiagnostics,
    StopTestCalls,
    StopOnlineCommands,
    LiveToolStopCount
};
inline std::array<std::function<void()>, LiveToolStopCount> liveToolStops;

// Back to the state at program start.
inline void resetLiveToolLinks()
{
    tcpUpgradeActive = false;
    upgradeDisconnect = false;
    terminalOverTcp = tracingOverTcp = testCallOverTcp = commandsOverTcp = false;
    routeTcpText = nullptr;
    liveToolBusy.clear();
    liveToolStops.fill(nullptr);
}
