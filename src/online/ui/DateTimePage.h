#pragma once
// The date/time page: the gateway's clock, set by hand or from the PC.
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QCheckBox>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

class DateTimePage
{
public:
    QScrollArea* pDateTime = nullptr;
    QCheckBox* cbSynDateTime = nullptr; // synchronise the gateway clock with the PC
    QTimer* tDateTime = nullptr;        // the page's clock, every 500 ms

    void buildDateTimePage(QWidget* host)
    {
        pDateTime = addTopicPage(host, "pDateTime", 18);
        cbSynDateTime = new QCheckBox(QStringLiteral("Synchronize with system date/time"), pDateTime->widget());
        cbSynDateTime->setObjectName(QStringLiteral("cbSynDateTime"));
        cbSynDateTime->setChecked(true);
        auto* layout = new QVBoxLayout(pDateTime->widget());
        layout->addWidget(cbSynDateTime);
        layout->addStretch();
        tDateTime = new QTimer(pDateTime);
        tDateTime->setObjectName(QStringLiteral("tDateTime"));
        tDateTime->setInterval(500);
    }

    void setLabelsDateTime(const Tlabels&) {}
};
