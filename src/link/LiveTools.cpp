#include "link/LiveTools.h"

void LiveToolRegistry::add(LiveToolSlot slot, LiveTool tool)
{
    tools_[size_t(slot)] = std::move(tool);
}

const LiveTool* LiveToolRegistry::tool(LiveToolSlot slot) const
{
    return &tools_[size_t(slot)];
}

const LiveTool* LiveToolRegistry::toolOfTopic(int topic) const
{
    if (topic < 0)
        return nullptr;
    for (const LiveTool& t : tools_)
        if (t.topic == topic)
            return &t;
    return nullptr;
}

LiveFlag* LiveToolRegistry::routeFlag(LiveToolSlot slot)
{
    switch (slot) {
    case LiveToolSlot::Terminal:
        return &terminalOverTcp;
    case LiveToolSlot::Tracing:
        return &tracingOverTcp;
    case LiveToolSlot::TestCalls:
        return &testCallOverTcp;
    case LiveToolSlot::OnlineCommands:
        return &commandsOverTcp;
    case LiveToolSlot::Diagnostics:
        return &diagOverTcp;
    default:
        return nullptr;
    }
}

void LiveToolRegistry::setRoute(LiveToolSlot slot, bool on)
{
    if (LiveFlag* flag = routeFlag(slot))
        flag->set(on);
}

bool LiveToolRegistry::routeOn(LiveToolSlot slot) const
{
    const LiveFlag* flag = routeFlag(slot);
    return flag && *flag;
}

bool LiveToolRegistry::anyRoute() const
{
    return terminalOverTcp || tracingOverTcp || testCallOverTcp || commandsOverTcp || diagOverTcp;
}

QPlainTextEdit* LiveToolRegistry::routeTarget() const
{
    QPlainTextEdit* target = nullptr;
    for (size_t i = 0; i < tools_.size(); ++i)
        if (routeOn(LiveToolSlot(i)) && tools_[i].routeView)
            if (QPlainTextEdit* view = tools_[i].routeView())
                target = view;
    return target;
}

void LiveToolRegistry::routeReceived(const QByteArray& text) const
{
    for (const LiveTool& t : tools_)
        if (t.routeReceived)
            t.routeReceived(text);
}

bool LiveToolRegistry::running(LiveToolSlot slot) const
{
    const LiveTool& t = tools_[size_t(slot)];
    return t.running && t.running();
}

bool LiveToolRegistry::anyRunning() const
{
    for (size_t i = 0; i < tools_.size(); ++i)
        if (running(LiveToolSlot(i)))
            return true;
    return false;
}

bool LiveToolRegistry::anyHoldsGatewayRuns() const
{
    for (LiveToolSlot slot : {LiveToolSlot::Terminal, LiveToolSlot::Tracing, LiveToolSlot::Diagnostics,
                              LiveToolSlot::TestCalls, LiveToolSlot::OnlineCommands, LiveToolSlot::ActualCalls})
        if (running(slot))
            return true;
    return false;
}

bool LiveToolRegistry::anyHoldsLink() const
{
    for (const LiveTool& t : tools_)
        if (t.holdsLink && t.holdsLink())
            return true;
    return false;
}

bool LiveToolRegistry::anyReadsLink() const
{
    for (const LiveTool& t : tools_) {
        const std::function<bool()>& reads = t.readsLink ? t.readsLink : t.holdsLink;
        if (reads && reads())
            return true;
    }
    return false;
}

void LiveToolRegistry::stopForDisconnect() const
{
    for (size_t i = 0; i < tools_.size(); ++i)
        if (tools_[i].stopForDisconnect && running(LiveToolSlot(i)))
            tools_[i].stopForDisconnect();
}

void LiveToolRegistry::stopForClose() const
{
    for (size_t i = 0; i < tools_.size(); ++i)
        if (tools_[i].stopForClose && running(LiveToolSlot(i)))
            tools_[i].stopForClose();
}

bool LiveToolRegistry::stopForLinkLoss() const
{
    bool tell = false;
    for (size_t i = 0; i < tools_.size(); ++i) {
        if (!running(LiveToolSlot(i)))
            continue;
        tell = tell || tools_[i].tellsLinkLoss;
        if (tools_[i].stopForLinkLoss)
            tools_[i].stopForLinkLoss();
    }
    return tell;
}

bool LiveToolRegistry::stopForLeave(int topic) const
{
    const LiveTool* t = toolOfTopic(topic);
    if (!t || !t->stopForLeave)
        return false;
    t->stopForLeave();
    return true;
}

void LiveToolRegistry::reset()
{
    tools_.fill(LiveTool{});
    for (LiveFlag* flag : {&terminalOverTcp, &tracingOverTcp, &testCallOverTcp, &commandsOverTcp, &diagOverTcp})
        flag->set(false);
}

void resetLiveTools()
{
    liveTools.reset();
    tcpUpgradeActive = false;
    upgradeDisconnect = false;
}
