#pragma once
// The connection state page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class ConnectionStatePage
{
public:
    QScrollArea* pConnection = nullptr;

    void buildConnectionStatePage(QWidget* host) { pConnection = addTopicPage(host, "pConnection", 505); }

    void setLabelsConnectionState(const Tlabels&) {}
};
