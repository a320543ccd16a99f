#pragma once
// The GSM incoming groups page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class IncomingPage
{
public:
    QScrollArea* pIncoming = nullptr;

    void buildIncomingPage(QWidget* host) { pIncoming = addTopicPage(host, "pIncoming", 35); }

    void setLabelsIncoming1(const Tlabels&) {}
    void setLabelsIncoming2(const Tlabels&) {}
    void setLabelsIncoming3(const Tlabels&) {}

    void incomingSaveFile() {}
};
