#pragma once
// The GSM outgoing groups page: how the gateway places calls into the GSM network, per GSM group (call limits
// and statistics of the SIM cards, AoC pulses, messages to ISDN, roaming, CLIR, the CLIP sent to GSM, the
// SIM card's daily time windows), with two settings of the whole gateway shown on both tabs (the text of the
// "SMS at no answer" and the CLIP prefix conversion).
//
// The page edits two working records (outgoingWork); the tab bar chooses the one the controls show, and every
// control writes its field of that record as it changes. Gateway: "AT&V1"/"AT&V2" (G<n>1, G<n>9, G<n>5),
// S85 from "AT&V", G109 from "AT&V0"; the exchanges are in exchange/GroupsExchange.h. Image: the two
// TOutgoing records of GateConfig, gate-file bit gsOutgoing.
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QTabBar;
class QWidget;
struct PageFrame;
struct TOutgoing;

// Set while the tab change writes the alerting radios, the alerting delay and the SMS delay: their handlers
// then leave the record alone.
inline bool outgoingFilling = false;

class OutgoingPage
{
public:
    QScrollArea* pOutgoing = nullptr;
    QTabBar* tcOutgoing = nullptr;
    QCheckBox* cbOutSame = nullptr;

    QGroupBox* gbOut1 = nullptr; // call statistics and limits
    QLabel* lbOutMax = nullptr;
    QLineEdit* edOutMaxMin = nullptr;
    QLabel* lbOut1 = nullptr;
    QLabel* lbOutMinute = nullptr;
    QComboBox* cbOutMinute = nullptr;
    QLabel* lbOutSms = nullptr;
    QLineEdit* edOutSmsNumber = nullptr;
    QLabel* lbOutRestore = nullptr;
    QSpinBox* seOutDayStats = nullptr;
    QLabel* lbOutRestore1 = nullptr;

    QGroupBox* gbOut2 = nullptr; // SMS at no answer
    QLabel* lbOutDefault = nullptr;
    QSpinBox* seOutDelaySms = nullptr;
    QLabel* lbOut2 = nullptr;
    QLabel* lbOutTextSms = nullptr;
    QLineEdit* edOutTextSms = nullptr;
    QLabel* lbOutTextSms1 = nullptr;

    QGroupBox* gbOut3 = nullptr; // statistics counting
    QLabel* lbOutAfter = nullptr;
    QSpinBox* seOutAfter = nullptr;
    QLabel* lbOutNext = nullptr;
    QSpinBox* seOutNext = nullptr;

    QGroupBox* gbOut4 = nullptr; // roaming, CLIR, disconnect
    QLabel* lbOutRoaming = nullptr;
    QLineEdit* edOutRoaming = nullptr;
    QLabel* lbOutClir = nullptr;
    QComboBox* cbOutClir = nullptr;
    QLabel* lbOutDisconnect = nullptr;
    QComboBox* cbOutDisconnect = nullptr;

    QGroupBox* gbOut5 = nullptr; // advice of charge
    QLabel* lbOutPseudo = nullptr;
    QSpinBox* seOutPseudo = nullptr;
    QLabel* lbOut5 = nullptr;

    QGroupBox* gbOut6 = nullptr; // messages to ISDN
    QLabel* lbOutDelay = nullptr;
    QSpinBox* seOutDelayConnect = nullptr;
    QRadioButton* rbOut1 = nullptr;
    QRadioButton* rbOut2 = nullptr;
    QRadioButton* rbOut3 = nullptr;
    QSpinBox* seOutDelayAlerting = nullptr;
    QCheckBox* cbOutGenerateVirtual = nullptr;

    QGroupBox* gbOut7 = nullptr; // CLIP sent from ISDN to GSM
    QLabel* lbOutHelp = nullptr;
    QCheckBox* cbOutTransfer = nullptr;
    QLabel* lbOutSepChar = nullptr;
    QLineEdit* edOutSepChar = nullptr;
    QLabel* lbOutgoingClipPrefixConv = nullptr;
    QLineEdit* edOutgoingClipPrefixConv = nullptr;
    QPlainTextEdit* mOutgoingClipPrefixConv = nullptr;

    QGroupBox* gbOutTime = nullptr; // the SIM card's time windows
    QLabel* lbFrom = nullptr;
    QLineEdit* edOutFrom1 = nullptr;
    QLabel* lbTo = nullptr;
    QLineEdit* edOutTo1 = nullptr;
    QCheckBox* cbOutWeekend1 = nullptr;
    QRadioButton* rbOutAll1 = nullptr;
    QRadioButton* rbOutWeek1 = nullptr;
    QCheckBox* cbOut2Interval = nullptr;
    QLabel* lbOutFrom2 = nullptr;
    QLineEdit* edOutFrom5 = nullptr;
    QLabel* lbOutTo2 = nullptr;
    QLineEdit* edOutTo5 = nullptr;
    QCheckBox* cbOutWeekend5 = nullptr;
    QRadioButton* rbOutAll5 = nullptr;
    QRadioButton* rbOutWeek5 = nullptr;

    QPushButton* sbOutSave = nullptr;
    QPushButton* sbOutLoad = nullptr;
    QPushButton* sbOutDefault = nullptr;
    QPushButton* sbOutSaveFile = nullptr;

    void buildOutgoingPage(QWidget* host);
    void setLabelsOutgoing1(const Tlabels& labels); // the four buttons
    void setLabelsOutgoing2(const Tlabels& labels); // the rest of the page

    // Both groups from the gateway; the result is the last view command's ("AT&V0").
    bool outgoingLoad();
    // Both groups to the gateway (G11, G19, G15, G21, G29, G25, S85, G109); the result is G109's.
    bool outgoingSave();
    // False (and the field marked red) when the SMS count is empty.
    bool outgoingValid();
    // The page's Save button and every save to a gate file: refuses a window time a person left half-typed
    // (its group's tab shown, the field marked red).
    bool outgoingTimesValid();
    void outgoingSaveFile(); // outgoingWork -> GateConfig
    void outgoingLoadFile(); // GateConfig -> outgoingWork (the caller shows the tab)

    static const PageFrame& outgoingFrame();
    void sbOutLoadClick();
    void sbOutSaveClick();
    void sbOutDefaultClick();
    void sbOutSaveFileClick();

    void tcOutgoingChange();
    void cbOutSameClick();
    void cbOut2IntervalClick();
    void outgoingEnableControls(bool enabled);

    // Handlers of the controls that feed the shown record.
    void edOutMaxMinChange();
    void edOutSmsNumberChange();
    void cbOutMinuteChange();
    void edOutTextSmsChange();
    void edOutRoamingChange();
    void cbOutClirChange();
    void cbOutDisconnectChange();
    void cbOutGenerateVirtualClick();
    void edOutgoingClipPrefixConvChange();
    void edOutSepCharChange();
    void cbOutTransferClick();
    void rbOut1Click();
    void rbOut2Click();
    void rbOut3Click();
    void seOutDelayAlertingChange();
    void seOutDayStatsChange();
    void seOutAfterChange();
    void seOutNextChange();
    void seOutPseudoChange();
    void seOutDelaySmsChange();
    void seOutDelayConnectChange();
    // The ten window handlers: each rebuilds its window's text from the window's controls.
    void edOutFrom1Change() { outgoingWindowChange(1); }
    void edOutTo1Change() { outgoingWindowChange(1); }
    void cbOutWeekend1Click() { outgoingWindowChange(1); }
    void rbOutAll1Click() { outgoingWindowChange(1); }
    void rbOutWeek1Click() { outgoingWindowChange(1); }
    void edOutFrom5Change() { outgoingWindowChange(2); }
    void edOutTo5Change() { outgoingWindowChange(2); }
    void cbOutWeekend5Click() { outgoingWindowChange(2); }
    void rbOutAll5Click() { outgoingWindowChange(2); }
    void rbOutWeek5Click() { outgoingWindowChange(2); }
    void outgoingWindowChange(int window);

private:
    int shownOutgoing() const;
    void applyOutSame();        // the second tab's "same settings": lock, copy, write the image
    bool secondTabSame() const; // the second tab is shown with "same settings" checked
    void storeSpin(QSpinBox* spin, int TOutgoing::*field);
    void showOutgoingWindow(int window, const QString& text);

    // Which window times of each group a person has edited (the edits' modified flags, in the order of
    // outgoingTimeEdits). The edits show one group at a time and the tab change refills them, so each group
    // keeps its own flags: only a time a person left half-typed holds a save back, never one the program put
    // there (gateway, gate file, defaults).
    std::array<std::array<bool, 4>, 2> outgoingTyped{};
    int outgoingEditsGroup = 0; // the group whose times the edits hold
    std::array<QLineEdit*, 4> outgoingTimeEdits() const;
    void keepTypedTimes();   // the edits' flags -> their group's
    void forgetTypedTimes(); // the records are the program's again: nothing in them is typed
    // No time of the group that goes out is one a person left half-typed.
    bool typedTimesWhole(int group);
};
