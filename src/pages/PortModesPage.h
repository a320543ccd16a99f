#pragma once
// The ISDN port modes page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class PortModesPage
{
public:
    QScrollArea* pPortModes = nullptr;

    void buildPortModesPage(QWidget* host) { pPortModes = addTopicPage(host, "pPortModes", 834); }

    void setLabelsPortModes1(const Tlabels&) {}
    void setLabelsPortModes2(const Tlabels&) {}

    void portModesSaveFile() {}
};
