#pragma once
// The network lists page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class NetPage
{
public:
    QScrollArea* pNet = nullptr;

    void buildNetPage(QWidget* host) { pNet = addTopicPage(host, "pNet", 36); }

    void setLabelsNet1(const Tlabels&) {}
    void setLabelsNet2(const Tlabels&) {}

    void netSaveFile() {}
};
