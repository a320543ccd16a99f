#pragma once
// The GSM monitor page: asks one GSM module for its monitor information and shows the reply as it came.
#include "texts/Labels.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QWidget;

class MonitorPage
{
public:
    QScrollArea* pMonitor = nullptr;
    QLabel* lbMonitor = nullptr;
    QSpinBox* ed1 = nullptr;
    QPushButton* sbSend = nullptr;
    QPlainTextEdit* mMonitor = nullptr;

    void buildMonitorPage(QWidget* host);
    void setLabelsMonitor(const Tlabels& t);
    void sbSendClick();
};
