#pragma once
// The groups assignment page. It has no topic: its controls carry the assignment between the gate
// file and the image.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class GroupPage
{
public:
    QScrollArea* pGroup = nullptr;

    void buildGroupPage(QWidget* host) { pGroup = addTopicPage(host, "pGroup", 0); }

    void setLabelsGroup(const Tlabels&) {}

    void groupsSaveFile() {}
};
