#pragma once
// The buffer state page: the gateway's loop and stack figures.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class BufferPage
{
public:
    QScrollArea* pBuffer = nullptr;

    void buildBufferPage(QWidget* host) { pBuffer = addTopicPage(host, "pBuffer", 494); }

    void setLabelsBuffer(const Tlabels&) {}
};
