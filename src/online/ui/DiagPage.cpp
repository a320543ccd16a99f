#include "online/ui/DiagPage.h"

#include "link/CommLog.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/ui/ConnectionPart.h"
#include "online/Diagnostics.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "texts/TextFormat.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kDiagTopic = 26;
// A modem read step is cut into slices this long, so the window keeps working while a reply is awaited.
constexpr int kModemReadSliceMs = 250;
// How often the worker asks again for the link's turn while the window's thread awaits an answer.
constexpr int kLinkTurnRetryMs = 20;

struct ModuleRow
{
    const char* valueName; // after "lb<m>"
    int text;
    const char* english;
};
constexpr ModuleRow kModuleRows[10] = {{"layer2", 521, "Layer 2 : "},  {"layer3", 522, "Layer 3 : "},
                                       {"network", 526, "Network : "}, {"net", 527, "Net ID : "},
                                       {"cell", 528, "Net cell : "},   {"module", 532, "Module ID : "},
                                       {"revision", 533, "Rev ID : "}, {"serial", 534, "Module serial #: "},
                                       {"sim", 536, "ID SIM card "},   {"signal", 535, "Signal intensity : "}};

// The rows of a BRI port's list as the form names them; the pass rewrites all but "TEI :".
const char* const kBriRowCaptions[kDiagBriRows] = {
    "Layer 1 :", "Layer 2 :", "TEI :", "Layer 3 :", "Mode :", "Channel B1 :", "Channel B2 :"};

QTreeWidget* makeBriList(QWidget* parent, const char* name)
{
    auto* lv = named(new QTreeWidget(parent), name);
    lv->setColumnCount(1 + kDiagBriColumns);
    lv->setHeaderHidden(true);
    lv->setRootIsDecorated(false);
    lv->setUniformRowHeights(true);
    lv->setSelectionMode(QAbstractItemView::NoSelection);
    lv->setFocusPolicy(Qt::NoFocus);
    lv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lv->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lv->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lv->setAttribute(Qt::WA_TransparentForMouseEvents); // a display: no input
    lv->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid palette(mid); "
                                     "border-bottom: 1px solid palette(mid); }"));
    lv->header()->setMinimumSectionSize(20);
    lv->setColumnWidth(0, 120);
    for (int c = 1; c <= kDiagBriColumns; ++c)
        lv->setColumnWidth(c, 60);
    for (const char* caption : kBriRowCaptions)
        lv->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromLatin1(caption)}));
    const int rowHeight = lv->sizeHintForRow(0);
    lv->setFixedSize(120 + kDiagBriColumns * 60 + 2 * lv->frameWidth(),
                     kDiagBriRows * rowHeight + 2 * lv->frameWidth());
    return lv;
}

} // namespace

void DiagPage::buildDiagPage(QWidget* host)
{
    pDiag = addTopicPage(host, "pDiag", kDiagTopic);
    tDiag = new QTimer(pDiag);
    tDiag->setObjectName(QStringLiteral("tDiag"));
    tDiag->setInterval(30000);
    QWidget* page = pDiag->widget();

    QGroupBox** modules[2] = {&gbDiag1, &gbDiag2};
    auto* top = new QHBoxLayout;
    for (int m = 0; m < 2; ++m) {
        const QByteArray boxName = "gbDiag" + QByteArray::number(m + 1);
        *modules[m] = named(new QGroupBox(QStringLiteral("Module no. %1 :").arg(m + 1), page), boxName.constData());
        auto* grid = new QGridLayout(*modules[m]);
        grid->setVerticalSpacing(2);
        for (int r = 0; r < 10; ++r) {
            const QByteArray captionName = "l" + QByteArray::number(r + 1) + QByteArray::number(m + 1);
            const QByteArray valueName = "lb" + QByteArray::number(m) + kModuleRows[r].valueName;
            diagCaptions[m][r] =
                named(new QLabel(QString::fromLatin1(kModuleRows[r].english)), captionName.constData());
            diagValues[m][r] = named(new QLabel, valueName.constData());
            diagValues[m][r]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            diagValues[m][r]->setFixedWidth(170);
            grid->addWidget(diagCaptions[m][r], r, 0);
            grid->addWidget(diagValues[m][r], r, 1);
        }
        grid->setColumnStretch(0, 1);
        top->addWidget(*modules[m]);
    }
    top->addStretch();

    gbDiag3 = named(new QGroupBox(QStringLiteral("BRI 1 diagnostics :"), page), "gbDiag3");
    lv1 = makeBriList(gbDiag3, "lv1");
    auto* box3 = new QHBoxLayout(gbDiag3);
    box3->addWidget(lv1);
    box3->addStretch();
    gbDiag4 = named(new QGroupBox(QStringLiteral("BRI 2 diagnostics :"), page), "gbDiag4");
    lv2 = makeBriList(gbDiag4, "lv2");
    lbB2tei = named(new QLabel(gbDiag4), "lbB2tei");
    auto* box4 = new QHBoxLayout(gbDiag4);
    box4->addWidget(lv2);
    box4->addWidget(lbB2tei);
    box4->addStretch();

    // The groups keep their own height; what the page has beyond them stays empty below.
    for (QGroupBox* box : {gbDiag1, gbDiag2, gbDiag3, gbDiag4})
        box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(gbDiag3);
    layout->addWidget(gbDiag4); // on a one-port gateway it takes the upper group's place
    layout->addStretch();

    QObject::connect(tDiag, &QTimer::timeout, pDiag, [this] { tDiagTimer(); });
    diagWorkerPoll = [this](LiveWorker& worker) { diagWorkerRefresh(worker); };

    if (fMain) {
        fMain->setTopicSection(kDiagTopic, [this](bool chosen) { return diagSection(chosen); });
        fMain->addModelLayoutStep([this](int model) { setModelLayoutDiag(model); });
    }

    LiveTool tool;
    tool.topic = kDiagTopic;
    tool.running = [this] { return diagThread || tDiag->isActive(); };
    tool.stopForLeave = [this] {
        tDiag->stop();
        StopDiagWorker();
    };
    // Disconnect ends the worker only: on a modem line the timer goes on, and its polls fail until the guard
    // gives the page up.
    tool.stopForDisconnect = [] { StopDiagWorker(); };
    // The link is gone: the page ends as the poll guard ends it, and tells nobody (its failed polls never do).
    tool.stopForLinkLoss = [this] { giveUpDiag(); };
    tool.tellsLinkLoss = false;
    tool.stopForClose = [this] {
        tDiag->stop();
        StopDiagWorker();
    };
    tool.routeReceived = [](const QByteArray& chunk) {
        if (diagOverTcp)
            diagInbox.post(chunk);
    };
    tool.holdsLink = [this] { return diagThread || tDiag->isActive(); };
    liveTools.add(LiveToolSlot::Diagnostics, tool);
}

void DiagPage::setLabelsDiag(const Tlabels& t)
{
    const QString layer2 = labelOr(t, 521, QStringLiteral("Layer 2 : "));
    const QString layer3 = labelOr(t, 522, QStringLiteral("Layer 3 : "));
    diagCaptions[0][0]->setText(layer2);
    diagCaptions[0][1]->setText(layer3);
    diagCaptions[1][0]->setText(layer2);
    diagCaptions[1][1]->setText(layer3);

    const QString channel = labelOr(t, 749, QStringLiteral("Channel B"));
    for (QTreeWidget* lv : {lv1, lv2}) {
        lv->topLevelItem(3)->setText(0, layer3);
        lv->topLevelItem(1)->setText(0, layer2);
        lv->topLevelItem(0)->setText(0, labelOr(t, 520, QStringLiteral("Layer 1 : ")));
        lv->topLevelItem(4)->setText(0, labelOr(t, 748, QStringLiteral("Mode : ")));
        lv->topLevelItem(5)->setText(0, channel + QStringLiteral("1 :"));
        lv->topLevelItem(6)->setText(0, channel + QStringLiteral("2 :"));
    }

    for (int r = 2; r < 10; ++r) {
        const QString text = labelOr(t, kModuleRows[r].text, QString::fromLatin1(kModuleRows[r].english));
        diagCaptions[0][r]->setText(text);
        diagCaptions[1][r]->setText(text);
    }

    const QString module = labelOr(t, 746, QStringLiteral("Module no. %d :"));
    gbDiag1->setTitle(formatTextInt(module, 1));
    gbDiag2->setTitle(formatTextInt(module, 2));
    if (gatewayModel == 0)
        gbDiag3->setTitle(formatTextInt(labelOr(t, 747, QStringLiteral("BRI %d diagnostics :")), 1));
    setDiagBriCaption(t, gatewayModel);
}

void DiagPage::setDiagBriCaption(const Tlabels& t, int model)
{
    if (model == 0)
        gbDiag4->setTitle(formatTextInt(labelOr(t, 747, QStringLiteral("BRI %d diagnostics :")), 2));
    else
        gbDiag4->setTitle(labelOr(t, 890, QStringLiteral("BRI Status :")));
}

void DiagPage::setModelLayoutDiag(int model)
{
    if (model != 0 && model != 1)
        return;
    gbDiag3->setVisible(model == 0);
    setDiagBriCaption(labelTexts, model);
}

bool DiagPage::diagSection(bool chosen)
{
    if (!chosen)
        return true; // the leaving step has stopped the poll and hidden the page
    fMain->lbMain->setText(labelText(kDiagTopic));
    fMain->lbMain->repaint();
    currentTopic = kDiagTopic;
    if (!connectForPageRun())
        return true;
    fMain->setGatewayRunsEnabled(false);
    pDiag->show();
    pDiag->raise();
    diagUnfinishedPolls = 0;
    pDiag->repaint();
    // A poll that runs already keeps the link to itself: a probe now would put its "OK" into that poll's
    // reply, and a second poll would take the first one's replies.
    const bool polling = diagThread || diagPolling_;
    if (!polling) {
        QByteArray probe;
        SendCommandOk(QByteArrayLiteral("AT\r\n"), probe, 32);
        WaitPumping(100);
    }
    if (CurrentConnection.LinkType == LinkModem) {
        tDiag->setInterval(diagTimings.modemIntervalMs);
        if (!tDiag->isActive())
            tDiag->start();
        if (!polling) {
            WaitPumping(100);
            // The first poll is the page's own work, no part of the entry: its pauses take the user's input
            // (a topic chosen there ends the poll at its next look at the page), its reply waits hold it.
            fMain->endTopicStep();
            diagRefresh();
        }
    } else if (!diagThread && !pDiag->isHidden()) {
        if (CurrentConnection.LinkType == LinkTelnet) {
            diagInbox.clear();
            liveTools.setRoute(LiveToolSlot::Diagnostics, true);
        }
        auto* worker = new TDiagThread(false);
        worker->setPriorityLevel(1);
        diagThread = worker;
    }
    return true;
}

void DiagPage::giveUpDiag()
{
    pDiag->hide();
    tDiag->stop();
    StopDiagWorker();
}

void DiagPage::tDiagTimer()
{
    if (pDiag->isHidden()) {
        tDiag->stop();
        return;
    }
    diagRefresh();
}

void DiagPage::diagRefresh()
{
    // A tick that comes while a poll waits (it keeps the window working) starts no second poll: the two would
    // take each other's replies.
    if (diagPolling_ || !TimersMaySend())
        return;
    // From each command's write to its answer nothing else may write (diagWait_). The pauses between them
    // await nothing: the window takes its input then, and a command started meanwhile runs to its end before
    // the poll goes on (its next write drops what came unasked).
    diagPolling_ = true;
    DiagRefresh(diagModemIo());
    diagWait_.reset();
    diagPolling_ = false;
}

DiagPollIo DiagPage::diagModemIo()
{
    DiagPollIo io;
    io.shown = [this] { return !pDiag->isHidden(); };
    io.giveUp = [this] { giveUpDiag(); };
    // A call that has ended answers every read at once: the reply is not waited for.
    io.alive = [] { return CurrentConnection.Connected && !LinkPortLost(); };
    io.write = [this](const QByteArray& command) {
        if (!diagWait_)
            diagWait_.emplace();
        if (!TakeOwedReplies())
            return false;
        DropArrivedText(); // a late reply to an earlier command is no part of this one's
        return WriteCommand(command, DiagCommandReply()) == quint32(command.size());
    };
    io.read = [](qint64 msLeft) {
        ProcessMessages();
        if (!CurrentConnection.Connected)
            return QByteArray();
        return LinkReadWithin(kDiagReadSize, int(std::clamp<qint64>(msLeft, 1, kModemReadSliceMs)));
    };
    io.sleep = [](int ms) { WaitPumping(ms); };
    io.modemPause = [this] {
        diagWait_.reset();
        WaitPumping(diagTimings.modemPauseMs);
    };
    io.model = [] { return gatewayModel; };
    io.showModule = [this](int m, const QList<QByteArray>& words) { showDiagModule(m, words); };
    io.showSignal = [this](int m, const QByteArray& signal) { showDiagSignal(m, signal); };
    io.showBri = [this](int list, const QList<DiagCell>& cells) { showDiagBri(list, cells); };
    io.repaint = [] { fMain->repaint(); };
    return io;
}

DiagPollIo DiagPage::diagWorkerIo(LiveWorker& worker)
{
    // Everything that touches a control, the telnet client or the cells runs on the window's thread.
    LiveWorker* w = &worker;
    auto onUi = [w](const std::function<void()>& fn) { w->Synchronize(fn); };
    const bool telnet = CurrentConnection.LinkType == LinkTelnet;
    DiagPollIo io;
    io.shown = [this, w, onUi] {
        bool shown = false;
        if (!w->Terminated())
            onUi([&] { shown = !pDiag->isHidden(); });
        return shown && !w->Terminated();
    };
    io.giveUp = [this, w, onUi] {
        onUi([&] {
            pDiag->hide();
            tDiag->stop();
            if (diagThread == w)
                StopDiagWorker(); // from inside the worker's own call: the join follows when it returns
        });
        w->Terminate();
    };
    // A port that is gone answers every read at once: the reply is not waited for.
    io.alive = [w, telnet] { return !w->Terminated() && (telnet || !LinkPortLost()); };
    if (telnet) {
        io.read = [w](qint64 msLeft) {
            const QByteArray text = diagInbox.take(kDiagReadSize - 1, msLeft, w);
            if (!text.isEmpty()) {
                lastLinkActivity.store(Clock::seconds());
                if (LinkRecord().SaveLog)
                    LogReceived(text);
            }
            return text;
        };
    } else {
        // The port's read time-outs pace the steps; a stop wakes the read.
        io.read = [](qint64) { return LinkRead(kDiagReadSize); };
    }
    // A command goes out on the window's thread, and only in the link's turn: while an exchange there awaits its
    // answer (or a step holds the input, as a topic's entry does) it waits, at most a reply's time. Leaving the
    // page stops the worker; a reply its command still owes then goes to whoever writes next (StopDiagWorker).
    io.write = [w, onUi, telnet, read = io.read, alive = io.alive](const QByteArray& command) {
        const qint64 start = Clock::milliseconds();
        for (;;) {
            // What the link still owes (the window's last exchange, this poll's own command given up) is read to
            // its end first, through the worker's own reads.
            const OwedReader worker{read, alive, [](int ms) { Sleep(std::min(ms, kClaimedStepMs)); }};
            TakeOwedReplies(&worker);
            bool turn = false;
            bool written = false;
            onUi([&] {
                // A stop's join runs this call too: nothing is written once the worker has been told to end.
                if (w->Terminated() || LinkInputHeld() || OwedReplyNow().owed)
                    return;
                turn = true;
                // A late reply to an earlier command is no part of this one's.
                if (telnet)
                    diagInbox.clear();
                else
                    DropArrivedText();
                written = WriteCommand(command, DiagCommandReply()) == quint32(command.size());
            });
            if (turn || w->Terminated() || Clock::milliseconds() - start > diagTimings.replyMs)
                return written;
            Sleep(kLinkTurnRetryMs);
        }
    };
    io.sleep = [](int ms) { Sleep(ms); };
    io.model = [onUi] {
        int model = 0;
        onUi([&] { model = gatewayModel; });
        return model;
    };
    io.showModule = [this, onUi](int m, const QList<QByteArray>& words) { onUi([&] { showDiagModule(m, words); }); };
    io.showSignal = [this, onUi](int m, const QByteArray& signal) { onUi([&] { showDiagSignal(m, signal); }); };
    io.showBri = [this, onUi](int list, const QList<DiagCell>& cells) { onUi([&] { showDiagBri(list, cells); }); };
    io.repaint = [onUi] { onUi([] { fMain->repaint(); }); };
    return io;
}

void DiagPage::diagWorkerRefresh(LiveWorker& worker)
{
    const DiagPollIo io = diagWorkerIo(worker);
    if (!io.shown()) {
        // The page is gone (or the worker told to stop): this worker has nothing more to do.
        worker.Synchronize([&] {
            if (diagThread == &worker)
                StopDiagWorker();
        });
        worker.Terminate();
        return;
    }
    DiagRefresh(io);
}

void DiagPage::showDiagModule(int module, const QList<QByteArray>& words)
{
    for (int r = 0; r < kDiagModuleFields && r < words.size(); ++r)
        diagValues[module][r]->setText(QString::fromLatin1(words[r]));
}

void DiagPage::showDiagSignal(int module, const QByteArray& signal)
{
    diagValues[module][9]->setText(QString::fromLatin1(signal));
}

void DiagPage::showDiagBri(int list, const QList<DiagCell>& cells)
{
    QTreeWidget* lv = list == 0 ? lv1 : lv2;
    for (const DiagCell& c : cells)
        lv->topLevelItem(c.row)->setText(c.column, QString::fromLatin1(c.text));
}
