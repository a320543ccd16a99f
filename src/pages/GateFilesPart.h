#pragma once
// The runs over every configuration page at once: the whole-gateway load and save of the tool bar, the
// whole-file load and save (and their File-menu forms), the default settings and the default profiles.
//
// The runs' bodies (progress window, boxes, flags) are here; which pages they run, in which order, stands in
// their lists in PageRuns.cpp.

struct GateReadReport;

class GateFilesPart
{
public:
    // Every page from the gateway, in one run with the progress window; the pages share the view replies.
    void tbLoadGateClick();
    // Every page to the gateway. The success box only when nothing failed.
    void tbSaveGateClick();

    // The current gateway's gate file into GateConfig and every page (model taken from the file).
    // True when the file read without failures; a file that is no gate file changes nothing
    // (report->notGateFile).
    bool tbLoadParams(GateReadReport* report = nullptr);
    // tbLoadParams with its closing box; the changed flags are cleared when the file was loaded.
    void tbLoadClick();
    // Another gate file chosen in a dialog into every page (model and changed flags untouched).
    void mLoadOClick();
    // Every page into the current gate file.
    void tbSaveClick();
    // Every page into a gate file chosen in a dialog, which becomes the gateway's file in gtws.ini (the
    // unnamed gateway's file stays unnamed.ini, and gtws.ini as it was).
    void mSaveAsClick();
    // Asked before every page goes into a gate file: true when every typed time and date is whole; otherwise
    // the first page's unfinished field is marked, the "not valid" box names the page, and the result is false.
    bool fileTimesValid();

    // Every page from "defaults.ini", laid out for the two-port model.
    void mDefaultClick();
    // Offers the default profiles; the chosen one fills GateConfig and every page. False when none is taken.
    bool newConfiguration();
    void Novkonfiguransoubor1Click();
};
