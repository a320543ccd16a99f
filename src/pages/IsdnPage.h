#pragma once
// The ISDN parameters page with its General and Monitoring tabs: the mode and TEI of each BRI port, MSN and
// DISA dial tone, dialling mode, tones, progress elements, numbering plan, the digits dialled from ISDN
// ("G08" values 2 to 4; the GSM basic page owns values 1 and 5 and each page reads "G08" again before it
// sends it), BRI monitoring with its state SMS, and the alive SMS.
//
// Layouts: the two-port gateway (model 0: BRI 1 NT, BRI 2 TE) shows both port groups and sets the interface
// mode "I00" from the BRI 2 mode; the one-port gateway shows one port group with an NT/TE choice. The
// commands and reply values are built and read in exchange/IsdnExchange; this part applies them to its
// controls in the page's fixed order (the change handlers fire on code writes, isdnFilling keeps the mode
// handlers quiet while a load fills the page). Image: GateConfig.isdn; gate-file bit gsIsdn.
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QtGlobal>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QWidget;
struct TIsdn;

// Set while isdnLoad or isdnLoadFile fills the page: the mode, interface and DISA-tone handlers change
// nothing then.
inline bool isdnFilling = false;
// The BRI 1 TEI as its mode list or its spin edit last set it (0 or 64 from the list).
inline qint32 lastNtTei = 0;
// The wait after a change of the interface mode before the new login (the gateway restarts its interface),
// and the wait before the mode change's disconnect on a modem line. Tests shorten them.
inline int isdnRestartWaitMs = 5000;
inline int isdnModemHangupWaitMs = 2000;

struct PageFrame;

class IsdnPage
{
public:
    QScrollArea* pIsdn = nullptr;
    QTabWidget* pcIsdn = nullptr;
    QWidget* tsIsdnGeneral = nullptr;
    QWidget* tsIsdnMonitoring = nullptr;

    // General tab.
    QGroupBox* gbIsdn1 = nullptr;
    QLabel* lbIsdnInterfaceCap1 = nullptr;
    QLabel* lbIsdnInterface1 = nullptr;
    QLabel* lbIsdnNTmode = nullptr;
    QComboBox* cbIsdnNTmode = nullptr;
    QLabel* lbIsdnNTMan = nullptr;
    QSpinBox* seIsdnNTMan = nullptr;
    QLabel* lbIsdnDynamicTei1 = nullptr;

    QGroupBox* gbIsdn2 = nullptr;
    QLabel* lbIsdnInterfaceCap2 = nullptr;
    QLabel* lbIsdnInterface2 = nullptr;
    QComboBox* cbIsdnInterface = nullptr;
    QLabel* lbIsdnTEmode = nullptr;
    QComboBox* cbIsdnTEmode = nullptr;
    QLabel* lbIsdnTEMan = nullptr;
    QSpinBox* seIsdnTEMan = nullptr;
    QLabel* lbIsdnDynamicTei2 = nullptr;
    QCheckBox* cbIsdnDisaTone = nullptr;
    QLabel* lbIsdnMsn = nullptr;
    QLineEdit* edIsdnMsnNumber = nullptr;

    QGroupBox* GroupBox3 = nullptr;
    QLabel* lbIsdnDialingMode = nullptr;
    QComboBox* cbIsdnDialingMode = nullptr;
    QLabel* lbIsdnDigits = nullptr;
    QSpinBox* seIsdnDigits = nullptr;

    QGroupBox* gbIsdn7 = nullptr; // tone signalling
    QLabel* lbIsdnDial = nullptr;
    QComboBox* cbIsdnDial = nullptr;
    QLabel* lbIsdnRing = nullptr;
    QComboBox* cbIsdnRing = nullptr;
    QLabel* lbIsdnBusy = nullptr;
    QComboBox* cbIsdnBusy = nullptr;

    QGroupBox* gbIsdn4 = nullptr; // progress elements
    QLabel* lbIsdnAck = nullptr;
    QSpinBox* seIsdnAck = nullptr;
    QLabel* Label68 = nullptr;
    QLabel* lbIsdnProc = nullptr;
    QSpinBox* seIsdnProc = nullptr;
    QLabel* Label69 = nullptr;
    QLabel* lbIsdnProg = nullptr;
    QSpinBox* seIsdnProg = nullptr;
    QLabel* Label71 = nullptr;
    QLabel* lbIsdnAlert = nullptr;
    QSpinBox* seIsdnAlert = nullptr;
    QLabel* Label73 = nullptr;

    QGroupBox* gbIsdn9 = nullptr; // digits dialled from ISDN
    QLabel* lbIsdnMin = nullptr;
    QSpinBox* seIsdnMin = nullptr;
    QLabel* lbIsdnMax = nullptr;
    QSpinBox* seIsdnMax = nullptr;
    QLabel* lbIsdnWait = nullptr;
    QSpinBox* seIsdnWait = nullptr;
    QLabel* lbIsdnHint = nullptr;

    QGroupBox* gbIsdn8 = nullptr; // numbering plan
    QLabel* lbIsdnCDN = nullptr;
    QSpinBox* seIsdnCDN = nullptr;
    QLabel* lbIsdnCGN = nullptr;
    QSpinBox* seIsdnCGN = nullptr;
    QPushButton* SpeedButton2 = nullptr; // "?": the numbering plan's help list

    QLabel* lbIsdnDay = nullptr;
    QSpinBox* seIsdnDay = nullptr;
    QCheckBox* cbIsdnReceive = nullptr;
    QCheckBox* cbIsdnConnectAck = nullptr;

    // Monitoring tab.
    QGroupBox* gIsdnMonitoring = nullptr;
    QLabel* lbIsdnBri1 = nullptr;
    QLabel* lbIsdnBri2 = nullptr;
    QCheckBox* cbIsdnKeepBRI11 = nullptr;
    QCheckBox* cbIsdnKeepBRI12 = nullptr;
    QCheckBox* cbIsdnSendSms1 = nullptr;
    QCheckBox* cbIsdnKeepBRI21 = nullptr;
    QCheckBox* cbIsdnKeepBRI22 = nullptr;
    QCheckBox* cbIsdnSendSms2 = nullptr;
    QLabel* lbIsdnDeact = nullptr;
    QSpinBox* sebIsdnDeact = nullptr;
    QLabel* lbIsdnAct = nullptr;
    QSpinBox* sebIsdnAct = nullptr;

    QGroupBox* gbIsdnStateSms = nullptr;
    QLabel* lbIsdnStateSms = nullptr;
    QLineEdit* edIsdnStateSms = nullptr;
    QLabel* lbIsdnNumbers = nullptr;
    QLabel* lbIsdn1Number = nullptr;
    QLineEdit* edIsdn1Number = nullptr;
    QLabel* lbIsdn2Number = nullptr;
    QLineEdit* edIsdn2Number = nullptr;
    QLabel* lbIsdn3Number = nullptr;
    QLineEdit* edIsdn3Number = nullptr;
    QLabel* lbIsdnMonitoringHelp = nullptr;
    QPlainTextEdit* mIsdnMonitoringHint = nullptr;

    QGroupBox* gbInAliveSms = nullptr;
    QCheckBox* cbInAliveActivate = nullptr;
    QLabel* lbInAliveTime = nullptr;
    QLineEdit* edInAliveTime = nullptr;
    QLabel* lbInAliveDay = nullptr;
    QSpinBox* seInAliveDay = nullptr;
    QLabel* lbInAliveNum1 = nullptr;
    QLineEdit* edInAliveNum1 = nullptr;
    QLabel* lbInAliveNum2 = nullptr;
    QLineEdit* edInAliveNum2 = nullptr;
    QLabel* lbInAliveNum3 = nullptr;
    QLineEdit* edInAliveNum3 = nullptr;
    QLabel* lbInAliveSmsText = nullptr;
    QLineEdit* edInAliveSmsText = nullptr;
    QLabel* lbInAliveSmsHint = nullptr;
    QLabel* lbInAliveSmsWarning = nullptr;

    QPushButton* sbIsdnSave = nullptr;
    QPushButton* sbIsdnLoad = nullptr;
    QPushButton* sbIsdnDefault = nullptr;
    QPushButton* sbIsdnSaveFile = nullptr;

    // The longest MSN the page takes: the reply parser keeps 99 characters of a value.
    static constexpr int kMaxMsnLength = 99;

    void buildIsdnPage(QWidget* host);
    // The page's record for its buttons and the runs (pages/PageRuns.h).
    static const PageFrame& isdnFrame();

    // The label steps of the pass, in their places among the other pages' steps.
    void setLabelsIsdn1(const Tlabels& labels);          // six texts of the General tab
    void setLabelsIsdn2(const Tlabels& labels);          // buttons, "(0=off)" labels, tone signalling
    void setLabelsIsdn3(const Tlabels& labels);          // ports, dialling, numbering, progress elements
    void setLabelsIsdnMonitoring(const Tlabels& labels); // the Monitoring tab and both tab captions
    void setLabelsIsdn4(const Tlabels& labels);          // the digits-from-ISDN labels
    void setLabelsIsdn5(const Tlabels& labels);          // the digits-from-ISDN group

    // Gateway and image.
    bool isdnLoad();
    bool isdnSave();
    bool isdnValid();
    bool isdnTimesValid(); // the alive SMS's time is whole (else marked)
    void isdnSaveFile(); // page -> GateConfig.isdn
    void isdnLoadFile(); // GateConfig.isdn -> page

    // Buttons of the page frame.
    void sbIsdnLoadClick();
    void sbIsdnSaveClick();
    void sbIsdnDefaultClick();
    void sbIsdnSaveFileClick();

    // Control handlers.
    void cbIsdnNTmodeChange();
    void cbIsdnTEmodeChange();
    void seIsdnNTManChange();
    void seIsdnTEManChange();
    void cbIsdnInterfaceChange();
    void cbIsdnDisaToneClick();
    void cbIsdnDialingModeChange();
    void cbInAliveActivateClick();
    void enableAliveSmsControls(bool enabled);
    void SpeedButton2Click();

private:
    // Keeps the ISDN page's changed flag as it was while the page fills its controls.
    struct FlagKeeper
    {
        FlagKeeper();
        ~FlagKeeper();
        quint8 kept;
    };
    bool isdnLoadSteps();
    void isdnToRecord(TIsdn& isdn) const; // the page's values in the image's form
    void setModelLayoutIsdn(int model);
    void setIsdnPort2Caption(const Tlabels& labels, int model); // gbIsdn2
    void setIsdnPortHeads(const Tlabels& labels, int model);    // lbIsdnBri1, lbIsdnBri2
    void showIsdnDigitsHint();
};
