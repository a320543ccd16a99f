#pragma once
// The diagnostics page: the state of the GSM modules and BRI ports, polled.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class DiagPage
{
public:
    QScrollArea* pDiag = nullptr;

    void buildDiagPage(QWidget* host) { pDiag = addTopicPage(host, "pDiag", 26); }

    void setLabelsDiag(const Tlabels&) {}
};
