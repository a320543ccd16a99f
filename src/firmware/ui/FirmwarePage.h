#pragma once
// The firmware page: the gateway's firmware and boot versions, the firmware file and the upgrade.
//
// The upgrade runs as a job on a thread of its own (firmware/UpgradeJob.h): over the serial port after the
// file was found to fit the gateway's boot version, or over the open telnet link after the gateway was asked
// to erase its flash. Meanwhile the main window is disabled and the progress window fFirm shows the job's
// state; the job's reports reach the window's thread in the order they were made, and the end handling (the
// result, the reconnect or the disconnect) runs once the job's thread has returned from its last report. The
// connect uses the same start when it meets a gateway in boot mode (startBootModeUpgrade).
#include "texts/Labels.h"

#include <QString>
#include <memory>

class CFWUpgradeTcpThread;
class CFWUpgradeThread;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QWidget;

// The jobs of the latest serial and link upgrade.
inline std::shared_ptr<CFWUpgradeThread> firmwareJob;
inline std::shared_ptr<CFWUpgradeTcpThread> tcpFirmwareJob;

class FirmwarePage
{
public:
    QScrollArea* pFirm = nullptr;
    QGroupBox* gbFirmware = nullptr;
    QLabel* lbFirmFirm = nullptr;
    QLineEdit* edFirmFirm = nullptr;
    QLabel* lbFirmBoot = nullptr;
    QLineEdit* edFirmBoot = nullptr;
    QLabel* lbFirmUpdate = nullptr;
    QLineEdit* edFirmUpdate = nullptr;
    QPushButton* sbFirmFile = nullptr;
    QPushButton* sbFirmLoad = nullptr;
    QPushButton* sbFirmUpgrade = nullptr;
    QPlainTextEdit* mFirmHint = nullptr;

    void buildFirmwarePage(QWidget* host);
    void setLabelsFirmware(const Tlabels& labels);

    void sbFirmLoadClick();
    void sbFirmFileClick();
    void sbFirmUpgradeClick();
    // The link upgrade: with erase, the gateway is asked to erase its flash first ("at!K2RM") and must answer
    // "Boot: Ready" within 30 s; without, it is in its boot loader already.
    void StartTcpFwUpgrade(bool erase);
    // The connect met the boot loader: offers the upgrade, lets the user choose the file and starts it. The
    // serial port is closed first; the telnet link stays open for the link job. False when the user declined
    // (the caller then closes the link).
    bool startBootModeUpgrade();

    // The file dialog of the firmware file (odFirm): the chosen path, or empty.
    QString odFirmExecute();

private:
    void startSerialUpgrade();
};

// Reads the versions from the gateway (connecting first): false when not connected or when its description
// lacks them (text 56).
bool ReadGatewaySwVersion(QString& firmware, QString& boot);
// 0 compatible, 1 not compatible, 2 a version not readable from the file name or the boot version, 3 the
// gateway's versions not read.
int CheckFirmwareVersion(const QString& fileName);

// The jobs' progress reports (called on the job thread).
void SerialUpgradeProgress(int state, int percent);
void LinkUpgradeProgress(int state, int percent);

// Back to the state at program start: the jobs joined and dropped, the flags cleared.
void resetFirmwareState();
