#pragma once
// The GSM basic parameters page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class BasicPage
{
public:
    QScrollArea* pBasic = nullptr;

    void buildBasicPage(QWidget* host) { pBasic = addTopicPage(host, "pBasic", 32); }

    void setLabelsBasic1(const Tlabels&) {}
    void setLabelsBasic2(const Tlabels&) {}
    void setLabelsBasic3(const Tlabels&) {}
    void setLabelsBasic4(const Tlabels&) {}
    void setLabelsBasic5(const Tlabels&) {}
    void setLabelsBasic6(const Tlabels&) {}
    void setLabelsBasic7(const Tlabels&) {}

    void basicSaveFile() {}
};
