#pragma once
// The button row of a configuration page: Load (from the gateway), Save (to the gateway), Default (from
// "defaults.ini") and Save to file (into the current gateway's gate file). Every page's buttons run the same
// frame around the page's own operations, so a page describes itself once and binds its buttons to it:
//
//     const PageFrame& SystemPage::systemFrame()
//     {
//         static const PageFrame frame = [] {
//             PageFrame f;
//             f.flag = pcSystem;                         // its entry of pageChanged
//             f.defaultMask = gsSystem;                  // what Default reads from defaults.ini
//             f.fileMask = gsSystem;                     // what Save to file writes
//             f.fileFailureCaption = 54;                 // caption of the "file not written" box
//             f.load = [] { return fMain->systemLoad(); };
//             f.save = [] { return fMain->systemSave(); };
//             f.unreachedLines = kSystemLineAll;         // listed when a whole-gateway run ends before it
//             f.toImage = [] { fMain->systemSaveFile(); };   // page -> GateConfig
//             f.fromImage = [] { fMain->systemLoadFile(); }; // GateConfig -> page
//             return f;
//         }();
//         return frame;
//     }
//     void sbSystemLoadClick() { systemFrame().loadClick(); }   // and Save, Default, SaveFile alike
//
// The operations call fMain at the moment they run (never a captured part pointer), so one static frame
// serves every main window a test creates. A page with more to do sets the optional fields: saveValid (GSM
// basic, ISDN: checked before anything is sent), fileValid (GSM basic, outgoing: checked before the file is
// written), timesValid (system, outgoing, ISDN, LCR: the typed times and dates are whole; checked before the
// page's own file save and before every save of all pages to a gate file), modelStep (ISDN, port modes: the
// model is asked for and the pages laid out again before the run), defaultSetsFlag = false (the LCR table's own
// Default), fileSaveClearsFlag = false (incoming groups). A page whose Default also fills working records and
// shows its tab does both in fromImage.
//
// The operations append one line per failed item to LoadErrors; the frame reads only LoadErrors, never the
// operations' results, to choose its closing box.
#include "texts/Labels.h"
#include "ui/UiState.h"

#include <functional>

class QPushButton;

struct PageFrame
{
    PageChangedFlag flag = pcSystem; // the page's changed flag
    int defaultMask = 0;             // GateSectionMask bits read by Default
    int fileMask = 0;                // GateSectionMask bits written by Save to file
    int fileFailureCaption = 54;     // text number of the caption when the file is not written
    bool modelStep = false;          // Load and Save ask the gateway's model first
    bool defaultSetsFlag = true;     // Default sets the changed flag
    bool fileSaveClearsFlag = true;  // a written file clears the changed flag
    std::function<bool()> load;      // reads the page from the gateway
    std::function<bool()> save;      // writes the page to the gateway
    std::function<bool()> saveValid; // optional: refuses Save before anything is sent
    std::function<bool()> fileValid; // optional: refuses Save to file before anything is written
    std::function<bool()> timesValid; // optional: false (the edit marked) while a typed time or date is partial
    std::function<void()> toImage;   // the page into GateConfig
    std::function<void()> fromImage; // GateConfig into the page
    // The lines a whole-gateway load or save lists for the page when the run ends before it (the link lost): the
    // failure lines of the page's whole views, as the page itself writes them.
    QString unreachedLines;

    // The four buttons.
    void loadClick() const;
    void saveClick() const;
    void defaultClick() const;
    void saveFileClick() const;
};

// Text numbers of the frame's boxes.
inline constexpr int kTextLoadDone = 61;
inline constexpr int kTextLoadFailed = 218;
inline constexpr int kTextSaveDone = 66;
inline constexpr int kTextSaveFailed = 219;
inline constexpr int kTextInvalid = 204;
inline constexpr int kTextFileWritten = 75;
inline constexpr int kTextFileNotWritten = 60;
inline constexpr int kCaptionInformation = 54;
inline constexpr int kCaptionWarning = 45;
inline constexpr int kCaptionError = 47;

// Asks the gateway for its model, stores it in gatewayModel and lays the pages out when it changed.
void refreshGatewayModel();

// The closing box of a load or save run: the success text, or the failure text, a line feed and LoadErrors.
// None when the gateway's session ended during the run (LinkSessionEnded): the link's loss tells that, once.
void showLoadResult();
// The save box is the success box only when LoadErrors is empty and the caller saw no failure either.
void showSaveResult(bool failed = false);

// The captions of the four buttons (texts 127, 128, 154 and 156), as a page's label step writes them.
void setFrameButtonTexts(const Tlabels& labels, QPushButton* save, QPushButton* load, QPushButton* defaults,
                         QPushButton* saveFile);
