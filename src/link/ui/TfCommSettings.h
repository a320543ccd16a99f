#pragma once
// The communication settings: link type, serial port, LAN time-out, modem and its baud rate, and the
// communication log switches. OK stores them into CurrentConnection and settings.ini; Cancel keeps nothing.
//
// The settings group shows the controls of the chosen link: the serial port (a listed device or a typed
// path) beside lbSettings1; the LAN time-out in milliseconds beside lbSettings2; the modem (a listed device or a
// typed path) beside lbSettings1 and its baud rate. lbSettings1 and lbSettings2 share one place.
#include "texts/Labels.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfCommSettings : public QDialog
{
    Q_OBJECT
public:
    explicit TfCommSettings(QWidget* parent = nullptr);

    QGroupBox* gbComm = nullptr;
    QLabel* lbCommType = nullptr;
    QComboBox* cbCommType = nullptr; // item = link type - 1: serial, LAN, modem
    QGroupBox* gSett = nullptr;
    QLabel* lbSettings1 = nullptr; // serial and modem
    QLabel* lbSettings2 = nullptr; // LAN
    QComboBox* cbComPort = nullptr;
    QLineEdit* eTimeResponse = nullptr; // the time-out of the chosen link type
    QLabel* lbTimeUnit = nullptr;
    QComboBox* cbModem = nullptr;
    QLabel* lbBaudrate = nullptr;
    QComboBox* cbBaudrate = nullptr;
    QGroupBox* gbLog = nullptr;
    QCheckBox* cbSaveLog = nullptr;   // keep a communication log
    QCheckBox* cbAppendLog = nullptr; // one log appended to, instead of one per connection
    QPushButton* sbOk = nullptr;
    QPushButton* sbCancel = nullptr;

    // Lists the modems and serial ports found and shows the settings of CurrentConnection.
    void FormActivate();
    // The link type chosen: the settings group's texts and controls follow it.
    void cbCommTypeChange();
    // Stores the settings into CurrentConnection and settings.ini and closes; a time-out that is not a whole
    // number above 0 is refused with a message and nothing is stored.
    void sbOkClick();
    void sbCancelClick();

    void setLabels(const Tlabels& labels);

private:
    void setSettingsTexts(const Tlabels& labels); // gSett, lbSettings1, lbSettings2 by the chosen item
    void showSettingsControls();
    void keepShownTimeout();

    int shownItem_ = -1;  // the item whose time-out eTimeResponse shows
    int lanTimeout_ = 0;  // milliseconds, as edited so far
    int tapiTimeout_ = 0; // seconds
};
inline TfCommSettings* fCommSettings = nullptr;
