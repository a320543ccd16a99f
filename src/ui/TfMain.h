#pragma once
// The main window.
//
// TfMain is one QMainWindow assembled from parts: each page or tool is a class of its own (in its own file
// pair, in the folder of its subsystem) that holds that page's controls, handlers and operations, and TfMain
// derives from all of them, so that fMain->edSystemReset and TfMain::systemLoad work from anywhere. This
// header lists the parts; it holds none of their members. A part reaches other parts through fMain.
//
// How a page plugs in:
//   - Its part (e.g. SystemPage in pages/SystemPage.h) is among TfMain's bases below and has
//     buildXxx(QWidget* host): it creates its page with addTopicPage(host, "pXxx", topic) (ui/PageArea.h),
//     which also registers the page for its topic with the dispatcher, and builds its controls into
//     page->widget(), each with setObjectName("<the control's name>").
//   - A topic that does more than show and hide its page sets its section with setTopicSection; see
//     NavigationPart.h for the fixed order they run in. A live tool registers its LiveTool record
//     (link/LiveTools.h, docs/architecture.md), which Disconnect, the close, the dispatcher's leaving steps,
//     the keep-alive and the telnet router use.
//   - Its label steps are setLabelsXxx(const Tlabels&) methods of the part; setLabels (ui/LabelPass.cpp)
//     calls every step of every window in the fixed order of the label pass, so a page fills its existing
//     step functions and adds none to the pass.
//   - Its changed flag is its entry of pageChanged (ui/UiState.h).
//   - Its Load, Save, Default and Save-to-file buttons run the page frame (pages/PageFrame.h); its operations
//     join the whole-gateway and whole-file runs (pages/GateFilesPart.h); a page that depends on the gateway
//     model registers its layout step (ui/ModelLayoutPart.h).
//   - Its page-to-image copier (xxxSaveFile) is called by the close's save in its fixed place.
// The dialogs are windows of their own (TfCommSettings, TfLcr, ...), created once at start-up by
// createForms() (ui/Forms.h) with program-wide pointers (fCommSettings, fLcr, ...); each dialog's label steps
// are methods of its class.
#include "texts/Labels.h"
#include "ui/LanguagePart.h"
#include "ui/MenuPart.h"
#include "ui/ModelLayoutPart.h"
#include "ui/NavigationPart.h"
#include "ui/ResetPart.h"
#include "ui/StatusPart.h"

#include "firmware/ui/FirmwarePage.h"
#include "link/ui/ConnectionPart.h"
#include "online/ui/ActualCallsPage.h"
#include "online/ui/BufferPage.h"
#include "online/ui/CommandsPage.h"
#include "online/ui/ConnectionStatePage.h"
#include "online/ui/DateTimePage.h"
#include "online/ui/DiagPage.h"
#include "online/ui/LoginAccountPage.h"
#include "online/ui/MonitorPage.h"
#include "online/ui/RecordsPage.h"
#include "online/ui/TerminalPart.h"
#include "online/ui/TestCallsPage.h"
#include "online/ui/TracingPage.h"
#include "online/ui/VoicePage.h"
#include "pages/AutoPage.h"
#include "pages/BasicPage.h"
#include "pages/ExtPage.h"
#include "pages/GateFilesPart.h"
#include "pages/GroupPage.h"
#include "pages/IncomingPage.h"
#include "pages/IsdnPage.h"
#include "pages/LcrPage.h"
#include "pages/NetPage.h"
#include "pages/OutgoingPage.h"
#include "pages/PortModesPage.h"
#include "pages/SystemPage.h"

#include <QMainWindow>

class TfMain : public QMainWindow,
               public MenuPart,
               public StatusPart,
               public ModelLayoutPart,
               public NavigationPart,
               public ResetPart,
               public LanguagePart,
               public ConnectionPart,
               public GateFilesPart,
               public TerminalPart,
               public LoginAccountPage,
               public DateTimePage,
               public FirmwarePage,
               public TracingPage,
               public RecordsPage,
               public VoicePage,
               public DiagPage,
               public ActualCallsPage,
               public BufferPage,
               public ConnectionStatePage,
               public MonitorPage,
               public TestCallsPage,
               public CommandsPage,
               public SystemPage,
               public IsdnPage,
               public PortModesPage,
               public BasicPage,
               public OutgoingPage,
               public IncomingPage,
               public NetPage,
               public LcrPage,
               public AutoPage,
               public GroupPage,
               public ExtPage
{
    Q_OBJECT
public:
    explicit TfMain(QWidget* parent = nullptr);
    ~TfMain() override;

    // The window's own events.
    void FormCreate();
    // The start-up at the first activation: settings, language, texts, gateway. Later activations do nothing.
    void FormActivate();
    // The close: the save question, the workers stopped, the link closed. False when the close is cancelled.
    // A close that comes while a handler waits in the middle of its work stops the workers and closes the link
    // once that handler has returned. One that comes during a load from the gateway is held (false here) and
    // runs once the load has ended (LoadRunScope).
    bool FormClose();

    // The label pass: every window takes the texts of the current language (the caller loads them first).
    void setLabels(Tlabels labels);

    // A right-click on the tool bar or the menu bar opens nothing: Qt's popup there would offer only to hide the
    // tool bar, which has no title and no other way back.
    QMenu* createPopupMenu() override { return nullptr; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The save question of the close and the save on Yes; false when the close does not go on.
    bool askAndSaveOnClose();

    bool starting_ = false; // the start-up is running (a box it shows re-activates the window)
    bool closeDeferred_ = false; // the close waits for the work it came in to end (FormClose)
};

inline TfMain* fMain = nullptr;

// A load from the gateway into the pages (a page's Load, the whole-gateway load), from its first command until
// its result box has been answered. The pages hold part old and part new values until it ends, so a close that
// comes meanwhile (over telnet the load's waits run the window's events) is held, and runs its usual steps once
// the outermost scope ends; further closes meanwhile add nothing.
class LoadRunScope
{
public:
    LoadRunScope();
    ~LoadRunScope();
    LoadRunScope(const LoadRunScope&) = delete;
    LoadRunScope& operator=(const LoadRunScope&) = delete;
};
