#pragma once
// The GSM incoming groups page: how the gateway treats calls from the GSM network, per GSM group (the mode,
// the DTMF digits a caller may dial, the prefix before DISA, the CLIP, the voice message's looping with the
// separator of the called number in the CLIP, the list of called numbers), with the settings both groups
// share (dynamic CLIP routing, the CLIP conversions of calls from GSM, the prefix conversion of the called
// number taken from the CLIP).
//
// The page edits two working records (incomingWork); the tab bar chooses the one the controls show. Gateway:
// "AT&V9" (asked twice by the load), one set command per parameter; the exchanges are in
// exchange/GroupsExchange.h. Image: the two TIncoming records of GateConfig, gate-file bit gsIncoming. The
// page's own Save to file leaves its changed flag set.
#include "texts/Labels.h"
#include "ui/PageArea.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
#include <QStringList>
class QTabBar;
class QWidget;
struct PageFrame;

class IncomingPage
{
public:
    QScrollArea* pIncoming = nullptr;
    QTabBar* tcIncoming = nullptr;
    QCheckBox* cbInSame = nullptr;

    QGroupBox* gbIn1 = nullptr; // the mode
    QLabel* lbInMode = nullptr;
    QComboBox* cbInMode = nullptr;
    QLabel* lbInHelp = nullptr;

    QGroupBox* gbIn2 = nullptr; // DTMF digits
    QLabel* lbInMin = nullptr;
    QSpinBox* seInMin = nullptr;
    QLabel* lbInMax = nullptr;
    QSpinBox* seInMax = nullptr;
    QLabel* lbInTour = nullptr;
    QSpinBox* seInTour = nullptr;
    QCheckBox* cbInDeniedDtfm = nullptr;
    QCheckBox* cbInRouteDtmf = nullptr;

    QGroupBox* gbIn3 = nullptr; // dynamic CLIP routing
    QLabel* lbInTime = nullptr;
    QSpinBox* seInTime = nullptr;
    QLabel* Label44 = nullptr;
    QCheckBox* cbInAdd = nullptr;
    QCheckBox* cbInDelete = nullptr;

    QGroupBox* GroupBox6 = nullptr; // statistics day
    QLabel* lbInDay = nullptr;
    QSpinBox* seInDay = nullptr;
    QLabel* Label42 = nullptr;
    QGroupBox* GroupBox8 = nullptr; // CLIP
    QLabel* lbInClip = nullptr;
    QLineEdit* edInClip = nullptr;
    QPlainTextEdit* mInClipConv = nullptr;
    QGroupBox* GroupBox9 = nullptr; // prefix before DISA
    QLabel* lbInPrefix = nullptr;
    QLineEdit* edInPrefix = nullptr;
    QGroupBox* GroupBox10 = nullptr; // looping of the voice message
    QLabel* lbInSeparator = nullptr;
    QSpinBox* seInSeparator = nullptr;

    QGroupBox* groupBox7 = nullptr; // the called number taken from the CLIP
    QLabel* lbInSep = nullptr;
    QLineEdit* edInSep = nullptr;
    QLabel* lbInPrefixConv = nullptr;
    QLineEdit* edInPrefixConv = nullptr;
    QPlainTextEdit* mInPrefixConv = nullptr;

    QLabel* lbInNumbers = nullptr;
    QListWidget* lbInCalled = nullptr;
    QPushButton* sbInAdd = nullptr;
    QPushButton* sbInRemove = nullptr;
    QPushButton* sbInRemoveAll = nullptr;

    QGroupBox* gbInPref = nullptr; // CLIP conversions of calls from GSM
    QListWidget* lbIn198PrefixList = nullptr;
    QPushButton* sbInPrefAdd = nullptr;
    QPushButton* sbInPrefRemove = nullptr;
    QPushButton* sbInPrefRemoveAll = nullptr;

    QPushButton* sbInSave = nullptr;
    QPushButton* sbInLoad = nullptr;
    QPushButton* sbInDefault = nullptr;
    QPushButton* sbInSaveFile = nullptr;

    void buildIncomingPage(QWidget* host);
    void setLabelsIncoming1(const Tlabels& labels); // the four buttons
    void setLabelsIncoming2(const Tlabels& labels); // the page but the CLIP conversion group's caption
    void setLabelsIncoming3(const Tlabels& labels); // the CLIP conversion group's caption

    // Both groups from the gateway ("AT&V9" twice); false when a view command failed.
    bool incomingLoad();
    // Both groups to the gateway; true when every command was acknowledged.
    bool incomingSave();
    void incomingSaveFile(); // incomingWork -> GateConfig
    void incomingLoadFile(); // GateConfig -> incomingWork (the caller shows the tab)

    static const PageFrame& incomingFrame();
    void sbInLoadClick();
    void sbInSaveClick();
    void sbInDefaultClick();
    void sbInSaveFileClick();

    void tcIncomingChange();
    void cbInSameClick();
    void incomingEnableControls(bool enabled);
    void cbInModeChange();
    void rerunModeHandler(); // cbInModeChange for the shown mode, the changed flag kept (the page shown)
    void seInSeparatorChange();
    void edInSepChange();

    // The called numbers of the shown group.
    void sbInAddClick();
    void sbInRemoveClick();
    void sbInRemoveAllClick();

    // The CLIP conversion list (TinCallPrefixForm asks for one entry).
    void fillIn198PrefixList(const QStringList& entries);
    void sbInPrefAddClick();
    void sbInPrefRemoveClick();
    void sbInPrefRemoveAllClick();

private:
    int shownIncoming() const;
    void applyInSame(); // the second tab's "same settings": lock, copy, write the image
    void showModeHelp();
    bool incomingFilling_ = false; // the tab change fills the controls: the DTMF limits stay as stored
};
