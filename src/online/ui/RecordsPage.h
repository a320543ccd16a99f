#pragma once
// The LOG file, call data and statistics pages: downloads into text files.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class RecordsPage
{
public:
    QScrollArea* pLog = nullptr;
    QScrollArea* pCall = nullptr;
    QScrollArea* pStatistics = nullptr;

    void buildRecordsPage(QWidget* host)
    {
        pLog = addTopicPage(host, "pLog", 22);
        pCall = addTopicPage(host, "pCall", 23);
        pStatistics = addTopicPage(host, "pStatistics", 24);
    }

    void setLabelsLogFile(const Tlabels&) {}
    void setLabelsCallData(const Tlabels&) {}
    void setLabelsStatistics(const Tlabels&) {}
};
