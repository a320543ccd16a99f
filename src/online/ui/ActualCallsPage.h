#pragma once
// The actual calls page; the dynamic CLIP routing table is shown on the same page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QScrollArea>

class ActualCallsPage
{
public:
    QScrollArea* pActual = nullptr;

    void buildActualCallsPage(QWidget* host)
    {
        pActual = addTopicPage(host, "pActual", 235);
        addTopicToPage(pActual, 704);
    }

    void setLabelsActual(const Tlabels&) {}
};
