#pragma once
// The GSM monitor page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class MonitorPage
{
public:
    QScrollArea* pMonitor = nullptr;

    void buildMonitorPage(QWidget* host) { pMonitor = addTopicPage(host, "pMonitor", 543); }

    void setLabelsMonitor(const Tlabels&) {}
};
