#pragma once
// The LCR table page with the holidays and the winter and summer dates.
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QStringList>

class QScrollArea;
class QWidget;

class LcrPage
{
public:
    QScrollArea* pLcr = nullptr;
    QStringList networkNames;

    void buildLcrPage(QWidget* host) { pLcr = addTopicPage(host, "pLcr", 37); }

    void setLabelsLcr1(const Tlabels&) {}
    void setLabelsLcr2(const Tlabels&) {}
    void setLabelsLcr3(const Tlabels&) {}
    void setLabelsLcr4(const Tlabels&) {}
    void setLabelsLcr5(const Tlabels&) {}

    void lcrSaveFile() {}
};
