#pragma once
// The date/time page: the gateway's clock, set by hand or from the PC (src/online/GatewayClock.h builds and
// reads the "S99" value).
#include "texts/Labels.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTimer;
class QWidget;

class DateTimePage
{
public:
    QScrollArea* pDateTime = nullptr;
    QCheckBox* cbSynDateTime = nullptr; // synchronise the gateway clock with the PC
    QLineEdit* eDate = nullptr;
    QComboBox* cbDay = nullptr;
    QLineEdit* eTime = nullptr;
    QLabel* lbDateFormat = nullptr;
    QLabel* lbTimeFormat = nullptr;
    QPushButton* sbDateTimeSave = nullptr;
    QTimer* tDateTime = nullptr;

    void buildDateTimePage(QWidget* host);
    void setLabelsDateTime(const Tlabels& t);

    void tDateTimeTimer();
    void sbDateTimeSaveClick();
    void cbSynDateTimeClick();
    // Reads the gateway's clock into the fields (the PC clock when its value cannot be read); false when no
    // connection came about or the gateway did not answer.
    bool readGatewayClock();

private:
    void setClockFields(const struct ClockFields& fields);
    void enableClockFields(bool on);
    bool dateTimeSection(bool chosen);
};
