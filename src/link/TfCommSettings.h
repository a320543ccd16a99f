#pragma once
// The communication settings: link type, serial port, time-out, modem, baud rate and the communication log
// switches. The start-up reads settings.ini into its controls.
#include "texts/Labels.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

class TfCommSettings : public QDialog
{
    Q_OBJECT
public:
    explicit TfCommSettings(QWidget* parent = nullptr);
    QLineEdit* eTimeResponse = nullptr; // the time-out of the chosen link type
    QCheckBox* cbSaveLog = nullptr;     // keep a communication log
    QCheckBox* cbAppendLog = nullptr;   // one log appended to, instead of one per connection

    // Shows the settings of CurrentConnection in the controls.
    void FormActivate() {}
    void setLabels(const Tlabels&) {}
};
inline TfCommSettings* fCommSettings = nullptr;
