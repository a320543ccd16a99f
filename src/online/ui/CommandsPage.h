#pragma once
// The online commands page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class CommandsPage
{
public:
    QScrollArea* pCommands = nullptr;

    void buildCommandsPage(QWidget* host) { pCommands = addTopicPage(host, "pCommands", 685); }

    void setLabelsCommands(const Tlabels&) {}
};
