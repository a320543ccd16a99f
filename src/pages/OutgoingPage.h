#pragma once
// The GSM outgoing groups page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class OutgoingPage
{
public:
    QScrollArea* pOutgoing = nullptr;

    void buildOutgoingPage(QWidget* host) { pOutgoing = addTopicPage(host, "pOutgoing", 34); }

    void setLabelsOutgoing1(const Tlabels&) {}
    void setLabelsOutgoing2(const Tlabels&) {}

    void outgoingSaveFile() {}
};
