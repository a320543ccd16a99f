#pragma once
// The tracing page: call tracing into a view and a file.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class TracingPage
{
public:
    QScrollArea* pTracing = nullptr;

    void buildTracingPage(QWidget* host) { pTracing = addTopicPage(host, "pTracing", 20); }

    void setLabelsTracing(const Tlabels&) {}
};
