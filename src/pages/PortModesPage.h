#pragma once
// The ISDN port modes page: what the gateway does with an incoming call, per source of calls (BRI 1, the NT
// interface; BRI 2, the TE interface; the GSM channels). Each source is one group of radio buttons, and the
// gateway holds the choice as one character per source in "X40" (GSM, BRI 1, BRI 2, then an always-0
// fourth value). Image: GateConfig.portModeChars in the same order; gate-file bit gsPortModes.
//
// Beside each group a hint label explains the chosen mode (red for reject, blue for the routing modes). The
// radios' click handlers set it, also when a radio is chosen from code, when the label pass runs them again
// after a language switch and when the page is shown. Every radio marks the page changed, except in those two
// reruns, which change nothing on the page.
//
// On a one-port gateway (model 1) the BRI 1 group and the radios that route to BRI 1 are hidden; what is
// sent for them is decided at the save.
#include "texts/Labels.h"
#include "ui/PageArea.h"

#include <array>
#include <utility>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QWidget;

struct PageFrame;

class PortModesPage
{
public:
    QScrollArea* pPortModes = nullptr;

    QGroupBox* gbPortModes1 = nullptr; // BRI 1 (NT interface)
    QRadioButton* rbRejectBri1 = nullptr;
    QRadioButton* rbRouteBri1 = nullptr;
    QRadioButton* rbUseReject1 = nullptr;
    QRadioButton* rbUseRoute1 = nullptr;
    QLabel* lbPortModes1 = nullptr;

    QGroupBox* gbPortModes2 = nullptr; // BRI 2 (TE interface), the only port of a one-port gateway
    QRadioButton* rbRejectBri2 = nullptr;
    QRadioButton* rbRouteBri2 = nullptr;
    QRadioButton* rbUseReject2 = nullptr;
    QRadioButton* rbUseRoute2 = nullptr;
    QLabel* lbPortModes2 = nullptr;

    QGroupBox* gbPortModes3 = nullptr; // GSM channels 1 and 2
    QRadioButton* rbRejectAll = nullptr;
    QRadioButton* rbRouteIn1 = nullptr;
    QRadioButton* rbRouteIn2 = nullptr;
    QLabel* lbPortModes3 = nullptr;

    QPushButton* sbPortModesSave = nullptr;
    QPushButton* sbPortModesLoad = nullptr;
    QPushButton* sbPortModesDefault = nullptr;
    QPushButton* sbPortModesSaveFile = nullptr;

    void buildPortModesPage(QWidget* host);
    // The page's record for its buttons and the runs (pages/PageRuns.h).
    static const PageFrame& portModesFrame();

    void setLabelsPortModes1(const Tlabels& labels); // the four buttons
    void setLabelsPortModes2(const Tlabels& labels); // radios, hint labels, captions of the model
    // The page's step of setModelLayout (model 0 or 1).
    void setModelLayoutPortModes(int model);
    void setPortModesModelCaptions(const Tlabels& labels, int model);

    // Gateway and image.
    bool portModesLoad();
    bool portModesSave();
    void portModesSaveFile(); // radios -> GateConfig.portModeChars
    void portModesLoadFile(); // GateConfig.portModeChars -> radios

    // Buttons of the page frame.
    void sbPortModesLoadClick();
    void sbPortModesSaveClick();
    void sbPortModesDefaultClick();
    void sbPortModesSaveFileClick();

    // The radios' click handlers: the group's hint text and colour, and the page marked changed.
    void rbRejectBri1Click();
    void rbRouteBri1Click();
    void rbUseReject1Click();
    void rbUseRoute1Click();
    void rbRejectBri2Click();
    void rbRouteBri2Click();
    void rbUseReject2Click();
    void rbUseRoute2Click();
    void rbRejectAllClick();
    void rbRouteIn1Click();
    void rbRouteIn2Click();

private:
    // Every radio with its click handler, in the order the label pass runs them.
    using RadioHandler = std::pair<QRadioButton*, void (PortModesPage::*)()>;
    std::array<RadioHandler, 11> radioHandlers() const;
    // The chosen radios' handlers in the page's order, the changed flag left as it was.
    void rerunChosenRadios();
    // The characters of the selected radios ('0' for a group without a selection).
    char portModeBri1() const;
    char portModeBri2() const;
    char portModeGsm() const;
    // Selects the radios of the characters; a character outside a group's set leaves that group as it is.
    void selectPortModes(char gsm, char bri1, char bri2);
};
