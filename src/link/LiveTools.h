#pragma once
// The live tools on the open link (terminal, tracing, voice, diagnostics, test calls, online commands, actual
// calls) and what the rest of the program asks of them.
//
// Each tool registers one LiveTool record where it builds its page. Its callers differ in what they need, so
// the record has one entry per caller: Disconnect and the close stop the tools that run, each with its own
// steps; the topic dispatcher stops a tool when its topic is left; the telnet text router sends the received
// text to the view of the last route that is on; the keep-alive stands aside while a tool holds the link.
// The callers visit the tools in the fixed order of LiveToolSlot, which is the order of every one of them:
// Disconnect (terminal, tracing, voice, diagnostics, test calls, online commands, actual calls), the close
// (terminal, tracing, voice, diagnostics, actual calls, the firmware upgrade) and the router (terminal, tracing,
// diagnostics, test calls, online commands; the last one on wins).
//
// The route flags keep their names (terminalOverTcp, ...) and can be read anywhere, also on worker threads;
// only the registry sets them (liveTools.setRoute), so a route never changes behind the router's back.
#include <QByteArray>
#include <array>
#include <atomic>
#include <functional>

class QPlainTextEdit;

enum class LiveToolSlot : int {
    Terminal,
    Tracing,
    Voice,
    Diagnostics,
    TestCalls,
    OnlineCommands,
    ActualCalls,
    FirmwareUpgrade, // holds the telnet link while a link upgrade starts or runs (no route: it takes the text)
    Count
};

// A flag of the live tools: reads like a bool, set only by the registry.
class LiveFlag
{
public:
    operator bool() const noexcept { return on_.load(); }

private:
    friend class LiveToolRegistry;
    void set(bool on) noexcept { on_.store(on); }
    std::atomic<bool> on_{false};
};

// Telnet routes: while one is on, text received on the telnet link goes to that tool's view instead of to the
// link's reads.
inline LiveFlag terminalOverTcp;
inline LiveFlag tracingOverTcp;
inline LiveFlag testCallOverTcp;
inline LiveFlag commandsOverTcp;
// The diagnostics worker reads the telnet link through the router too: while this is on, the received text
// goes to the tools' routeReceived (the worker's inbox) rather than to the link's reads.
inline LiveFlag diagOverTcp;

// The firmware upgrade over the link takes the telnet text itself; the router and the keep-alive keep out.
inline std::atomic<bool> tcpUpgradeActive{false};
// A disconnect made for the upgrade leaves the status bar's gateway text as it is.
inline std::atomic<bool> upgradeDisconnect{false};

struct LiveTool
{
    // The topic whose leaving stops the tool (its text number), -1 for none.
    int topic = -1;
    // True while the tool is at work: its worker exists, its route is on, its poll timer runs.
    std::function<bool()> running;
    // The steps of each caller. Disconnect and the close call them only while the tool runs; the leaving
    // step runs whenever another topic is chosen (the dispatcher hides the tool's page after it).
    std::function<void()> stopForDisconnect;
    std::function<void()> stopForClose;
    std::function<void()> stopForLeave;
    // The link went away under the tool (the port gone, the modem's call or the telnet connection ended):
    // its steps before Disconnect runs, none of which may write to the link. Without them the Disconnect
    // steps end it.
    std::function<void()> stopForLinkLoss;
    // Whether the user is told of the link's loss (once, text 56) when it ends this tool's run.
    bool tellsLinkLoss = true;
    // The view that routed telnet text goes to while the tool's route is on.
    std::function<QPlainTextEdit*()> routeView;
    // The tool's own use of every routed chunk, whichever view takes it (the trace file, the test-call
    // reply parser); called after the text has been added to the view.
    std::function<void(const QByteArray&)> routeReceived;
    // True while the tool needs the link to itself: the keep-alive sends nothing then.
    std::function<bool()> holdsLink;
    // True while the tool's own reads take what comes on the link (a worker's or a timer's reads, a route): an
    // exchange then drops nothing and takes no owed reply. Unset: the same as holdsLink.
    std::function<bool()> readsLink;
};

class LiveToolRegistry
{
public:
    // A tool's record; registering again replaces the slot's record.
    void add(LiveToolSlot slot, LiveTool tool);
    const LiveTool* tool(LiveToolSlot slot) const;
    // The tool that is stopped when topic is left; null when none is.
    const LiveTool* toolOfTopic(int topic) const;

    // Route flags. A slot without a route (voice, actual calls) has none to set.
    void setRoute(LiveToolSlot slot, bool on);
    bool routeOn(LiveToolSlot slot) const;
    bool anyRoute() const;
    // The view of the last route that is on (in slot order) whose tool gives one; null when none.
    QPlainTextEdit* routeTarget() const;
    // Hands a routed chunk to every tool's routeReceived, in slot order.
    void routeReceived(const QByteArray& text) const;

    bool running(LiveToolSlot slot) const;
    bool anyRunning() const;
    // True while a run is active that keeps the whole-gateway load and save disabled: the terminal, tracing,
    // diagnostics, test calls, online commands or actual calls (the end of each enables them again).
    bool anyHoldsGatewayRuns() const;
    bool anyHoldsLink() const;
    // True while a tool's own reads take what comes on the link (LiveTool::readsLink).
    bool anyReadsLink() const;

    // The callers' stops, in slot order.
    void stopForDisconnect() const;
    void stopForClose() const;
    // The steps of every running tool for the loss of the link (stopForLinkLoss where given). True when one
    // of them tells the user of the loss.
    bool stopForLinkLoss() const;
    // Runs the leaving step of topic's tool; false when no tool is stopped by leaving topic.
    bool stopForLeave(int topic) const;

    // Back to the state at program start: no tools, every route off.
    void reset();

private:
    static LiveFlag* routeFlag(LiveToolSlot slot);
    std::array<LiveTool, size_t(LiveToolSlot::Count)> tools_;
};

inline LiveToolRegistry liveTools;

// Back to the state at program start (tests).
void resetLiveTools();
