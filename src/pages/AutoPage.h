#pragma once
// The autorouting table page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class AutoPage
{
public:
    QScrollArea* pAuto = nullptr;

    void buildAutoPage(QWidget* host) { pAuto = addTopicPage(host, "pAuto", 38); }

    void setLabelsAuto1(const Tlabels&) {}
    void setLabelsAuto2(const Tlabels&) {}
    void setLabelsAuto3(const Tlabels&) {}

    void autoSaveFile() {}
};
