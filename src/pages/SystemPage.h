#pragma once
// The system parameters page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class SystemPage
{
public:
    QScrollArea* pSystem = nullptr;

    void buildSystemPage(QWidget* host) { pSystem = addTopicPage(host, "pSystem", 30); }

    void setLabelsSystem(const Tlabels&) {}

    void systemSaveFile() {}
};
