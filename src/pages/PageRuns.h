#pragma once
// The configuration pages as the runs over several pages see them, and those runs' orders.
//
// A page registers its record (its PageFrame, pages/PageFrame.h: changed flag, gate-file masks, operations)
// once, where it builds its page:
//
//     pSystem = addTopicPage(host, "pSystem", 30);
//     registerPage(PageId::System, systemFrame());
//
// The runs (whole-gateway load and save, whole-file load, save and Save As, Default settings, the close's
// save) are ordered lists of (page, operation) steps plus a few steps of their own, one list per run, all of
// them in PageRuns.cpp. A page step whose operation the page has not registered (yet) is skipped, so every
// page stands in the lists in its place already; a page that needs more than its record's operation in a run
// (a tab change, a second Default button) adds that step as a line beside its entry.
#include <functional>

struct PageFrame;

enum class PageId : int {
    System,
    Isdn,
    PortModes,
    Basic,
    Outgoing,
    Incoming,
    Network,
    Lcr,
    Auto,
    Groups,    // the groups assignment
    Extension, // the extension table
    Count
};

// Keeps the record by address: pass the page's static frame.
void registerPage(PageId id, const PageFrame& frame);
// The page's record, nullptr before the page registered.
const PageFrame* registeredPage(PageId id);

// The whole-gateway runs: every page's Load (or Save), in the run's order. stepped(n) follows the n-th page
// that ran (the progress window). Once the close is decided or the link is lost no further page runs, and each
// page not reached adds its unreachedLines to LoadErrors. The save run is true when every page's Save ran and
// none returned false.
int gatewayRunLength();
void runGatewayLoad(const std::function<void(int)>& stepped);
bool runGatewaySave(const std::function<void(int)>& stepped);

// The whole-file load's steps: GateConfig into every page (also the profile and Load Other runs).
void runFileLoad();
// Every page into GateConfig for the whole-file save; Save As leaves the extension table out (that section is
// written as the image holds it).
void runFileSave(bool withExtensions);
// Default settings: every page's Default, with the run's own steps.
void runDefault();
// The close's save: every page into GateConfig, in the close's order.
void runCloseSave();

// The first page, in the whole-file save's order, whose typed times or dates are not whole (its timesValid
// marks them); PageId::Count when every page's are. Asked before any run writes all pages to a gate file.
PageId firstPageWithPartialTimes();

// The changed flags the first activation clears (all but the port modes page's).
void clearFlagsAtStartUp();
// The changed flags Save As clears (all but the port modes and extension pages').
void clearFlagsAfterSaveAs();
