#pragma once
// The system parameters page: the call data records the gateway keeps (CDR mode), the gateway's ID and the
// daily time of an automatic reset. Loaded with "AT&V", saved with "S91" and "X22", kept in the gate file's
// "System parametres" section (GateSectionMask bit 1).
#include "texts/Labels.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QWidget;
struct PageFrame;

class SystemPage
{
public:
    QScrollArea* pSystem = nullptr;
    QGroupBox* gbSystem1 = nullptr;
    QLabel* lbSystemCDRmode = nullptr;
    QComboBox* cbSystemCDRmode = nullptr; // list position, not the gateway's code (see cdrCodeToPosition)
    QLabel* lbSystemGateId = nullptr;
    QSpinBox* seSystemGate = nullptr;
    QLabel* Label11 = nullptr;
    QCheckBox* cbSystemReset = nullptr;
    QLabel* lbSystemReset = nullptr;
    QLineEdit* edSystemReset = nullptr; // "hh:mm"; "00:00" means no reset
    QPushButton* sbSystemSave = nullptr;
    QPushButton* sbSystemLoad = nullptr;
    QPushButton* sbSystemDefault = nullptr;
    QPushButton* sbSystemSaveFile = nullptr;

    void buildSystemPage(QWidget* host);
    void setLabelsSystem(const Tlabels& labels);

    // Reads the page from the gateway ("AT&V"); false when something failed (the items are in LoadErrors).
    bool systemLoad();
    // Writes the page to the gateway ("S91", then "X22", both sent whatever the first one did).
    bool systemSave();
    // The page into GateConfig, and back.
    void systemSaveFile();
    void systemLoadFile();
    // False, with the reset time's edit marked, when the reset is on with a partly typed time.
    bool systemValid();

    // The button row.
    static const PageFrame& systemFrame();
    void sbSystemLoadClick();
    void sbSystemSaveClick();
    void sbSystemDefaultClick();
    void sbSystemSaveFileClick();

    // The controls' own handlers.
    void cbSystemResetClick();
    void cbSystemCDRmodeChange();
    void seSystemGateChange();
    void edSystemResetChange();

private:
    // Checks the reset box, and enables the time and its label, exactly when the time is not "00:00".
    void showResetState();
};
