#include "pages/PageRuns.h"

#include "link/LinkIo.h"
#include "pages/PageFrame.h"
#include "pages/PageState.h"
#include "platform/Wait.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <iterator>

namespace {

std::array<const PageFrame*, int(PageId::Count)> pages{};

enum class Op { Load, Save, Default, ToImage, FromImage };

// One step of a run: a page's operation, or a step of the run's own (a plain function rather than a pointer to
// a member: the operations live in the main window's parts, and a pointer to a base part's member called
// through TfMain trips the sanitizer's type check).
struct Step
{
    PageId page = PageId::Count;
    Op op = Op::Load;
    void (*own)() = nullptr;
};

constexpr Step page(PageId id, Op op)
{
    return {id, op, nullptr};
}

constexpr Step own(void (*step)())
{
    return {PageId::Count, Op::Load, step};
}

// The runs' orders. A page joins a run with its entry in its place (most stand here already and run as soon
// as the page registers the operation); a run's own steps are lines of their own.

// Whole-gateway load and save: system, ISDN, port modes, GSM basic, outgoing groups, incoming groups, network
// lists, LCR table, autorouting table. The GSM basic page's basicValid guards the whole save (GateFilesPart).
constexpr PageId kGatewayRun[] = {PageId::System,   PageId::Isdn,    PageId::PortModes, PageId::Basic, PageId::Outgoing,
                                  PageId::Incoming, PageId::Network, PageId::Lcr,       PageId::Auto};

// Whole-file load (also Load Other and a chosen profile): system, ISDN, GSM basic, port modes, groups
// assignment, outgoing groups and tcOutgoingChange, incoming groups and tcIncomingChange, network lists and
// tcNetChange, LCR table, autorouting table, extension table, and the port modes once more at the end.
const Step kFileLoadRun[] = {
    page(PageId::System, Op::FromImage),
    page(PageId::Isdn, Op::FromImage),
    page(PageId::Basic, Op::FromImage),
    page(PageId::PortModes, Op::FromImage),
    page(PageId::Groups, Op::FromImage),
    page(PageId::Outgoing, Op::FromImage), // with tcOutgoingChange
    // The incoming groups without the page's own emptying of lbInCalled.
    own([] {
        fMain->incomingLoadFile();
        fMain->tcIncomingChange();
    }),
    page(PageId::Network, Op::FromImage), // with tcNetChange
    page(PageId::Lcr, Op::FromImage),
    page(PageId::Auto, Op::FromImage),
    page(PageId::Extension, Op::FromImage),
    page(PageId::PortModes, Op::FromImage),
};

// Whole-file save and Save As (without the extension table): system, GSM basic, groups assignment, network
// lists, outgoing groups, incoming groups, LCR table, autorouting table, extension table, port modes, ISDN.
constexpr Step kFileSaveRun[] = {
    page(PageId::System, Op::ToImage),    page(PageId::Basic, Op::ToImage),    page(PageId::Groups, Op::ToImage),
    page(PageId::Network, Op::ToImage),   page(PageId::Outgoing, Op::ToImage), page(PageId::Incoming, Op::ToImage),
    page(PageId::Lcr, Op::ToImage),       page(PageId::Auto, Op::ToImage),     page(PageId::Extension, Op::ToImage),
    page(PageId::PortModes, Op::ToImage), page(PageId::Isdn, Op::ToImage),
};

// The close's save, without the extension table: system, GSM basic, port modes, ISDN, groups assignment,
// network lists, outgoing groups, incoming groups, LCR table, autorouting table.
constexpr Step kCloseSaveRun[] = {
    page(PageId::System, Op::ToImage),   page(PageId::Basic, Op::ToImage),    page(PageId::PortModes, Op::ToImage),
    page(PageId::Isdn, Op::ToImage),     page(PageId::Groups, Op::ToImage),   page(PageId::Network, Op::ToImage),
    page(PageId::Outgoing, Op::ToImage), page(PageId::Incoming, Op::ToImage), page(PageId::Lcr, Op::ToImage),
    page(PageId::Auto, Op::ToImage),
};

// Default settings (after the model is set back to the two-port one): the extension and autorouting lists
// emptied, then the Default buttons of outgoing groups, incoming groups, system, network lists, GSM basic, LCR
// holidays (sbLcrDefaultClick), LCR table (sbLcrDefaultLcrClick), ISDN, port modes.
const Step kDefaultRun[] = {
    own([] { fMain->lvExt->clear(); }),
    own([] { fMain->lvAuto->clear(); }),
    page(PageId::Outgoing, Op::Default),
    page(PageId::Incoming, Op::Default),
    page(PageId::System, Op::Default),
    page(PageId::Network, Op::Default),
    page(PageId::Basic, Op::Default),
    own([] { fMain->sbLcrDefaultClick(); }),
    own([] { fMain->sbLcrDefaultLcrClick(); }),
    page(PageId::Isdn, Op::Default),
    page(PageId::PortModes, Op::Default),
};

// The flags each run leaves alone. pcEthernet is a flag without a page; the runs treat it as any other.
constexpr PageChangedFlag kKeptAtStartUp[] = {pcPortModes};
constexpr PageChangedFlag kKeptBySaveAs[] = {pcPortModes, pcExtension};

// Runs a step; false when it was a page's Load or Save that returned false. A page that has not registered
// the operation is passed over.
bool run(const Step& step)
{
    if (step.own) {
        step.own();
        return true;
    }
    const PageFrame* frame = registeredPage(step.page);
    if (!frame)
        return true;
    switch (step.op) {
    case Op::Load:
        return frame->load ? frame->load() : true;
    case Op::Save:
        return frame->save ? frame->save() : true;
    case Op::Default:
        if (frame->fromImage)
            frame->defaultClick();
        return true;
    case Op::ToImage:
        if (frame->toImage)
            frame->toImage();
        return true;
    case Op::FromImage:
        if (frame->fromImage)
            frame->fromImage();
        return true;
    }
    return true;
}

template <size_t N> void runAll(const Step (&steps)[N])
{
    for (const Step& step : steps)
        run(step);
}

template <size_t N> void clearAllBut(const PageChangedFlag (&kept)[N])
{
    for (int flag = 0; flag < pcCount; ++flag)
        if (std::find(std::begin(kept), std::end(kept), flag) == std::end(kept))
            pageChanged[flag] = 0;
}

} // namespace

void registerPage(PageId id, const PageFrame& frame)
{
    pages[size_t(id)] = &frame;
}

const PageFrame* registeredPage(PageId id)
{
    return id < PageId::Count ? pages[size_t(id)] : nullptr;
}

int gatewayRunLength()
{
    int n = 0;
    for (PageId id : kGatewayRun)
        if (const PageFrame* frame = registeredPage(id); frame && frame->load)
            ++n;
    return n;
}

namespace {

// The whole-gateway runs' loop: each page's operation in the run's order. Each page is a new exchange with the
// gateway: none starts once the close is decided, nor once the link is lost (the session's end among the
// causes), which the loss tells at once. The pages not reached then stand in LoadErrors with their own lines,
// so that a run cut short never ends in the success box. False when the run stopped early or an operation
// returned false.
bool runGateway(const std::function<bool()> PageFrame::*op, const std::function<void(int)>& stepped)
{
    bool ok = true;
    int done = 0;
    bool stopped = false;
    for (PageId id : kGatewayRun) {
        const PageFrame* frame = registeredPage(id);
        if (!frame || !(frame->*op))
            continue;
        stopped = stopped || closingProgram() || LinkLost();
        if (stopped) {
            LoadErrors += frame->unreachedLines;
            continue;
        }
        if (!(frame->*op)()) // a page reports its failures in LoadErrors; a failed page does not stop the run
            ok = false;
        stepped(++done);
    }
    return ok && !stopped;
}

} // namespace

void runGatewayLoad(const std::function<void(int)>& stepped)
{
    runGateway(&PageFrame::load, stepped);
}

bool runGatewaySave(const std::function<void(int)>& stepped)
{
    return runGateway(&PageFrame::save, stepped);
}

void runFileLoad()
{
    runAll(kFileLoadRun);
}

void runFileSave(bool withExtensions)
{
    for (const Step& step : kFileSaveRun)
        if (withExtensions || step.page != PageId::Extension)
            run(step);
}

PageId firstPageWithPartialTimes()
{
    for (const Step& step : kFileSaveRun)
        if (const PageFrame* frame = registeredPage(step.page); frame && frame->timesValid && !frame->timesValid())
            return step.page;
    return PageId::Count;
}

void runDefault()
{
    runAll(kDefaultRun);
}

void runCloseSave()
{
    runAll(kCloseSaveRun);
}

void clearFlagsAtStartUp()
{
    clearAllBut(kKeptAtStartUp);
}

void clearFlagsAfterSaveAs()
{
    clearAllBut(kKeptBySaveAs);
}
