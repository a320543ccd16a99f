#pragma once
// The firmware page: versions, the firmware file and the upgrade.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QScrollArea;
class QWidget;

class FirmwarePage
{
public:
    QScrollArea* pFirm = nullptr;

    void buildFirmwarePage(QWidget* host) { pFirm = addTopicPage(host, "pFirm", 19); }

    void setLabelsFirmware(const Tlabels&) {}
};
