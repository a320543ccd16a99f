#pragma once
// The test calls page.
#include "link/LiveTools.h"
#include "online/LiveCells.h"
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class TestCallsPage
{
public:
    QScrollArea* pTest = nullptr;

    void buildTestCallsPage(QWidget* host)
    {
        pTest = addTopicPage(host, "pTest", 548);
        LiveTool tool;
        tool.topic = 548;
        tool.running = [] { return testCallThread || testCallOverTcp; };
        tool.stopForLeave = [] { LeaveTestCallTopic(); };
        tool.stopForDisconnect = [] { StopLiveWorker(testCallThread); };
        tool.holdsLink = [] { return testCallThread || testCallOverTcp; };
        liveTools.add(LiveToolSlot::TestCalls, tool);
    }

    void setLabelsTestCalls(const Tlabels&) {}
};
