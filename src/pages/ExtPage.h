#pragma once
// The mobility extension page. It has no topic: its list carries the extension table between the
// gate file and the image.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class ExtPage
{
public:
    QScrollArea* pExt = nullptr;

    void buildExtPage(QWidget* host) { pExt = addTopicPage(host, "pExt", 0); }

    void setLabelsExt1(const Tlabels&) {}
    void setLabelsExt2(const Tlabels&) {}
    void setLabelsExt3(const Tlabels&) {}
};
