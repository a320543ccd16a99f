#pragma once
// The test calls page.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class TestCallsPage
{
public:
    QScrollArea* pTest = nullptr;

    void buildTestCallsPage(QWidget* host) { pTest = addTopicPage(host, "pTest", 548); }

    void setLabelsTestCalls(const Tlabels&) {}
};
