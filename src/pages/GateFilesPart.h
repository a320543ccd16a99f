#pragma once
// The runs over every configuration page at once: the whole-gateway load and save of the tool bar, the
// whole-file load and save (and their File-menu forms), the default settings and the default profiles.
//
// The runs call each page's own operations (the ones its buttons use) from tables in GateFilesPart.cpp, one
// table per run, each in the fixed order the run needs. A page joins the runs by adding its operations to
// those tables in their places:
//   whole-gateway load and save: its load and save operation (kGatewayPages); the GSM basic page's
//                  basicValid guards the whole save
//   whole-file load: its image-to-page copier, a page with tabs also its tab change (kFileLoadSteps)
//   whole-file save: its page-to-image copier (kFileSaveSteps; every page stands there already)
//   default settings: its Default button's handler (kDefaultSteps); mDefaultClick also empties the
//                  autorouting page's list, which that page adds there
// The groups assignment and extension pages take part only in the file runs.

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
    // Every page into a gate file chosen in a dialog, which becomes the gateway's file in gtws.ini.
    void mSaveAsClick();

    // Every page from "defaults.ini", laid out for the two-port model.
    void mDefaultClick();
    // Offers the default profiles; the chosen one fills GateConfig and every page. False when none is taken.
    bool newConfiguration();
    void Novkonfiguransoubor1Click();

private:
    void pagesFromImage();
    void pagesToImage(bool withExtensions);
};
