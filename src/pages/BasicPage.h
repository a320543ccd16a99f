#pragma once
// The GSM basic parameters page: delays, SIM and SMS choices, signalling tones, the voice parameters of the
// three kinds of GSM module (Siemens, Wavecom, Sierra), PIN, module selection, the GSM-to-ISDN cause transfer
// list and the four causes the gateway sends to ISDN on its own errors.
//
// Gateway parameters: "G08" values 1 and 5 (the ISDN page owns values 2 to 4 and sends them too, so each
// page reads "G08" again before it saves), "G09" (sent in a three-value form that old firmware knows, then in
// the five-value form), "G02", "G04", "G103" (volumes as codes, see volumeCodeToPosition), "G05", "G101" from
// "AT&V0"; "S98", "S90" from "AT&V"; "I05" from "AT&Vi". Image: GateConfig.basic; gate-file bit gsBasic.
#include "config/TableRows.h"
#include "exchange/BasicExchange.h"
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <QtGlobal>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class QWidget;


struct PageFrame;

class BasicPage
{
public:
    QScrollArea* pBasic = nullptr;

    QGroupBox* gbBasic9 = nullptr; // delays, SIM, SMS, CLIP, BUSY status
    QLabel* lbBasicRelax = nullptr;
    QSpinBox* seBasicRelax = nullptr;
    QLabel* lbBasicTimeoutRing = nullptr;
    QSpinBox* seBasicTimeoutRing = nullptr;
    QLabel* Label2 = nullptr; // "(0=off)" beside the ringing time-out
    QLabel* lbBasicDtmf = nullptr;
    QSpinBox* seBasicDtmf = nullptr;
    QLabel* lbBasicSim = nullptr;
    QComboBox* cbBasicSim = nullptr;
    QLabel* lbBasicRecSms = nullptr;
    QComboBox* cbBasicRecSms = nullptr;
    QCheckBox* cbBasicDisable = nullptr;
    QCheckBox* cbBasicActivateBusy = nullptr;
    QCheckBox* cbBasicInit = nullptr; // never shown, read or written

    QGroupBox* gbBasic12 = nullptr; // signalling tones
    QLabel* lbBasicDial = nullptr;
    QComboBox* cbBasicDial = nullptr;
    QLabel* lbBasicRing = nullptr;
    QComboBox* cbBasicRing = nullptr;
    QLabel* lbBasicBusy = nullptr;
    QComboBox* cbBasicBusy = nullptr;

    QGroupBox* gbBasic5 = nullptr; // Siemens
    QLabel* lbBasicTran1 = nullptr;
    QSlider* tbBasicTran = nullptr;
    QLabel* lbBasicRec1 = nullptr;
    QSlider* tbBasicRec = nullptr;
    QCheckBox* cbBasicSiemens = nullptr;

    QGroupBox* gbBasic6 = nullptr; // Wavecom
    QLabel* lbBasicEcho = nullptr;
    QComboBox* cbBasicVoice = nullptr;
    QLabel* lbBasicTran2 = nullptr;
    QSlider* tbBasicTran2 = nullptr;
    QLabel* lbBasicRec2 = nullptr;
    QSlider* tbBasicRec2 = nullptr;

    QGroupBox* gbBasic4 = nullptr; // Sierra
    QLabel* lbBasicTran4 = nullptr;
    QSlider* tbBasicTran4 = nullptr;
    QLabel* lbBasicRec4 = nullptr;
    QSlider* tbBasicRec4 = nullptr;
    QLabel* lbBasicUse = nullptr;
    QComboBox* cbBasicUse = nullptr;
    QLabel* lbBasicSearch = nullptr;
    QComboBox* cbBasicSearch = nullptr;

    QGroupBox* GroupBox1 = nullptr; // PIN
    QLabel* lbBasicPin = nullptr;
    QLineEdit* edBasicPin = nullptr;

    QGroupBox* GroupBox2 = nullptr; // module selection
    QLabel* lbBasicSelection = nullptr;
    QComboBox* cbBasicSelection = nullptr;

    QGroupBox* gbBasic3 = nullptr; // causes sent to ISDN on the gateway's own errors
    QLabel* lbBasicLack = nullptr;
    QSpinBox* seBasicLack = nullptr;
    QLabel* lbBasicRestricted = nullptr;
    QSpinBox* seBasicRestricted = nullptr;
    QLabel* lbBasicSelected = nullptr;
    QSpinBox* seBasicSelected = nullptr;
    QLabel* lbBasicNomodule = nullptr;
    QSpinBox* seBasicModule = nullptr;
    QPushButton* SpeedButton1 = nullptr; // "?": the help list of ISDN causes

    QGroupBox* gbIsdn6 = nullptr; // cause transfer
    QListWidget* lbBasicCauses = nullptr;
    QPushButton* sbBasicCauseAdd = nullptr;
    QPushButton* sbBasicCauseRemove = nullptr;
    QPushButton* sbBasicCauseRemoveAll = nullptr;

    QPushButton* sbBasicSave = nullptr;
    QPushButton* sbBasicLoad = nullptr;
    QPushButton* sbBasicDefault = nullptr;
    QPushButton* sbBasicSaveFile = nullptr;

    // The most entries the cause transfer list takes from the Add button: what the gateway and the file hold.
    static constexpr int kMaxCauseEntries = kCauseEntries;
    // The page's record for its buttons and the runs (pages/PageRuns.h).
    static const PageFrame& basicFrame();

    void buildBasicPage(QWidget* host);

    // The label steps of the pass, in their places among the other pages' steps.
    void setLabelsBasic1(const Tlabels& labels); // the four buttons
    void setLabelsBasic2(const Tlabels& labels); // the error-cause group
    void setLabelsBasic3(const Tlabels& labels); // echo cancelling, call delay, ringing time-out
    void setLabelsBasic4(const Tlabels& labels); // the main block
    void setLabelsBasic5(const Tlabels& labels); // the cause transfer buttons
    void setLabelsBasic6(const Tlabels& labels); // the busy tone label
    void setLabelsBasic7(const Tlabels& labels); // the ringing time-out note, the BUSY status check box

    // Gateway and image.
    bool basicLoad();
    bool basicSave();
    bool basicValid();
    void basicSaveFile(); // page -> GateConfig.basic
    void basicLoadFile(); // GateConfig.basic -> page

    // Buttons of the page frame.
    void sbBasicLoadClick();
    void sbBasicaveClick(); // the Save button
    void sbBasicDefaultClick();
    void sbBasicSaveFileClick();

    // The cause transfer list and the help list.
    void sbBasicCauseAddClick();
    void sbBasicCauseRemoveClick();
    void sbBasicCauseRemoveAllClick();
    void SpeedButton1Click();

    // The PIN edit's change: its colour back to normal, the page changed. The other edits, lists, bars and
    // check boxes only mark the page changed (bound in buildBasicPage).
    void edBasicPinChange();
    // Any edit of the DTMF delay takes away the red mark of a refused save.
    void seBasicDtmfTextChange();

private:
    // The G09 bit set of the controls (bit 8 is never read or written).
    // The record as the page shows it (what its save sends and its Save to file writes).
    TBasic basicShown() const;
    int basicSimFlags() const;
    int basicBusyValue() const;
};
