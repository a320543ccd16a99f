#pragma once
// The ISDN parameters page with its General and Monitoring tabs.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class IsdnPage
{
public:
    QScrollArea* pIsdn = nullptr;

    void buildIsdnPage(QWidget* host) { pIsdn = addTopicPage(host, "pIsdn", 584); }

    void setLabelsIsdn1(const Tlabels&) {}
    void setLabelsIsdn2(const Tlabels&) {}
    void setLabelsIsdn3(const Tlabels&) {}
    void setLabelsIsdnMonitoring(const Tlabels&) {}
    void setLabelsIsdn4(const Tlabels&) {}
    void setLabelsIsdn5(const Tlabels&) {}

    void isdnSaveFile() {}
};
