#pragma once
// The actual calls page; the dynamic CLIP routing table is shown on the same page.
#include "link/LiveTools.h"
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QScrollArea>
#include <QTimer>

class ActualCallsPage
{
public:
    QScrollArea* pActual = nullptr;
    QTimer* tActual = nullptr; // the actual-call poll, every 1000 ms while the page (or the CLIP table) is shown

    void buildActualCallsPage(QWidget* host)
    {
        pActual = addTopicPage(host, "pActual", 235);
        addTopicToPage(pActual, 704);
        tActual = new QTimer(pActual);
        tActual->setObjectName(QStringLiteral("tActual"));
        tActual->setInterval(1000);
        LiveTool tool;
        tool.topic = 235; // any other topic stops the poll (the CLIP table starts it again)
        tool.running = [this] { return tActual->isActive(); };
        tool.stopForLeave = [this] { tActual->stop(); };
        tool.holdsLink = [this] { return tActual->isActive(); };
        liveTools.add(LiveToolSlot::ActualCalls, tool);
    }

    void setLabelsActual(const Tlabels&) {}
};
