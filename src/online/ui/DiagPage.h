#pragma once
// The diagnostics page: the state of the GSM modules and BRI ports, polled.
#include "link/LinkState.h"
#include "link/LiveTools.h"
#include "online/LiveCells.h"
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QScrollArea>
#include <QTimer>

class DiagPage
{
public:
    QScrollArea* pDiag = nullptr;
    QTimer* tDiag = nullptr; // the diagnostics poll on a modem line, every 30 s (other links poll in diagThread)

    void buildDiagPage(QWidget* host)
    {
        pDiag = addTopicPage(host, "pDiag", 26);
        tDiag = new QTimer(pDiag);
        tDiag->setObjectName(QStringLiteral("tDiag"));
        tDiag->setInterval(30000);
        LiveTool tool;
        tool.topic = 26;
        tool.running = [this] { return diagThread || tDiag->isActive(); };
        tool.stopForLeave = [this] {
            if (CurrentConnection.LinkType == LinkModem)
                tDiag->stop();
            else
                StopLiveWorker(diagThread);
        };
        tool.stopForDisconnect = [] { StopLiveWorker(diagThread); };
        tool.holdsLink = [this] { return diagThread || tDiag->isActive(); };
        liveTools.add(LiveToolSlot::Diagnostics, tool);
    }

    void setLabelsDiag(const Tlabels&) {}
};
