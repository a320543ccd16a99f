#include "online/ui/CommandsPage.h"

#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "link/ui/ConnectionPart.h"
#include "online/OnlineCommands.h"
#include "platform/Cp1250.h"
#include "platform/Dialogs.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/KeyFilters.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QAction>
#include <QEventLoop>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kCommandsTopic = 685;
constexpr int kCommandTooLongText = 986; // shared with the test calls
constexpr qsizetype kProbeReplySize = 128;

void showCommError()
{
    CommErrorBox();
}

// The run's line end (its Stop, or the end after a reply): the run's reader still holds the link, so nothing is taken;
// an empty line owes nothing, the gateway answers none.
bool written(const QByteArray& bytes)
{
    return WriteCommand(bytes) == quint32(bytes.size());
}

QString startText()
{
    return TextOrFallback(labelText(152), QStringLiteral("Start"));
}

// Enter in the module field presses the page's default button, as it does in the command field.
class EnterPresses : public QObject
{
public:
    EnterPresses(QPushButton* button, QObject* parent) : QObject(parent), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                button_->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPushButton* button_;
};

} // namespace

bool CommandsPage::commandsRuns()
{
    return commandsThread || commandsOverTcp;
}

void CommandsPage::buildCommandsPage(QWidget* host)
{
    pCommands = addTopicPage(host, "pCommands", kCommandsTopic);
    QWidget* page = pCommands->widget();

    m1 = named(new QPlainTextEdit(page), "m1");
    m1->setReadOnly(true);
    m1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), font.family()});
    font.setPixelSize(13);
    m1->setFont(font);

    lbCommand = named(new QLabel(QStringLiteral("Command :"), page), "lbCommand");
    edCommand = named(new QLineEdit(page), "edCommand");
    lbCmdModule = named(new QLabel(QStringLiteral("Module number :"), page), "lbCmdModule");
    seModule = named(new QSpinBox(page), "seModule");
    seModule->setRange(0, 1);
    DigitKeyFilter::install(seModule); // seModuleKeyPress
    sbCommandsStart = named(new QPushButton(startText(), page), "sbCommandsStart");
    sbCommandsStart->setDefault(true);

    auto* panel = new QHBoxLayout;
    panel->addWidget(lbCommand);
    panel->addWidget(edCommand, 1);
    panel->addSpacing(12);
    panel->addWidget(lbCmdModule);
    panel->addWidget(seModule);
    panel->addSpacing(12);
    panel->addWidget(sbCommandsStart);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m1, 1);
    layout->addLayout(panel);

    QObject::connect(sbCommandsStart, &QPushButton::clicked, page, [this] { sbCommandsStartClick(); });
    QObject::connect(edCommand, &QLineEdit::returnPressed, page, [this] { sbCommandsStart->click(); });
    seModule->installEventFilter(new EnterPresses(sbCommandsStart, seModule));
    EmptiedSpinFilter::install(seModule);

    commandsChunkReceived = [this](const QByteArray& chunk) { commandsSerialChunk(chunk); };

    fMain->setTopicSection(kCommandsTopic, [this](bool chosen) { return commandsSection(chosen); });

    LiveTool tool;
    tool.topic = kCommandsTopic;
    tool.running = [] { return commandsRuns(); };
    // The link closes right after: the reader is joined and the page goes back to idle, with nothing sent.
    tool.stopForDisconnect = [this] { endCommandsRun(); };
    tool.stopForLeave = [this] {
        if (commandsRuns())
            stopCommands();
    };
    tool.routeView = [this] { return m1; };
    tool.routeReceived = [this](const QByteArray& text) { commandsTelnetText(text); };
    tool.holdsLink = [] { return commandsRuns(); };
    liveTools.add(LiveToolSlot::OnlineCommands, tool);
}

bool CommandsPage::commandsSection(bool chosen)
{
    // Leaving is the dispatcher's leaving step (the tool's stopForLeave, then the page is hidden).
    if (!chosen)
        return true;
    if (!pCommands->isHidden()) {
        // Chosen again while on show: the run, the view and the command stay as they are, and nothing else of
        // the dispatch runs; only the title and the topic the dispatch emptied are put back.
        fMain->lbMain->setText(labelText(kCommandsTopic));
        currentTopic = kCommandsTopic;
        return false;
    }
    m1->clear();
    edCommand->clear();
    fMain->lbMain->setText(labelText(kCommandsTopic));
    fMain->lbMain->repaint();
    currentTopic = kCommandsTopic;
    pCommands->show();
    pCommands->raise();
    pCommands->repaint();
    if (CurrentConnection.Connected) {
        QByteArray probe;
        SendCommandOk(QByteArrayLiteral("at\r\n"), probe, kProbeReplySize);
        WaitPumping(100);
    }
    return true;
}

void CommandsPage::sbCommandsStartClick()
{
    if (!CurrentConnection.Connected)
        connectForPageRun();
    if (!CurrentConnection.Connected)
        return;
    if (stopOffered_)
        stopCommands();
    else
        startCommands();
}

void CommandsPage::startCommands()
{
    const QByteArray line = OnlineCommandLine(SpinFieldValue(seModule), edCommand->text());
    if (line.size() > kCommandLineMax) {
        // The gateway's command line would overflow: nothing is sent.
        MessageBox(labelOr(labelTexts, kCommandTooLongText,
                           QStringLiteral("The command is too long: a command line holds at most 127 characters.")),
                   labelText(47), MB_ICONERROR);
        return;
    }
    const bool running = commandsRuns();
    commandsText.clear();
    m1->clear();
    m1->repaint();
    fMain->setGatewayRunsEnabled(false);
    // A command of the program: what the link still owes is taken first (not while a run's reader takes it). Its
    // reply is owed: the run's reader or route counts it to its end; a run stopped before that leaves the rest to
    // whoever writes next.
    // A module may answer later than the gateway's own commands: the reply is awaited past the Stop's wait too.
    if (WriteCommand(line, {CommandReply::IfCommand, CommandFirstByteMs() + commandsStopDrainMs}) !=
        quint32(line.size())) {
        showCommError();
        // No run came about: the whole-gateway load and save are free again.
        if (!running)
            fMain->setGatewayRunsEnabled(true);
        return;
    }
    ++run_;
    if (CurrentConnection.LinkType == LinkTelnet)
        liveTools.setRoute(LiveToolSlot::OnlineCommands, true);
    else if (!commandsThread)
        commandsThread = new TOnlineCommands; // one that runs goes on reading
    stopOffered_ = true;
    sbCommandsStart->setText(TextOrFallback(labelText(153), QStringLiteral("Stop")));
    // A Stop still waiting for the end of the last reply leaves this run alone.
    if (stopWait_)
        stopWait_->quit();
}

void CommandsPage::stopCommands()
{
    if (stopWait_) {
        // Stopped again (or the page is left) while the first Stop waits: end now.
        abandonCommandsRun();
        return;
    }
    if (!written("\r\n")) {
        showCommError();
        return;
    }
    fMain->setGatewayRunsEnabled(true);
    waitForEnd();
}

void CommandsPage::waitForEnd()
{
    // The rest of the reply still comes as the run has it (the reader's chunks, or the telnet route into the
    // view) until its end ends the run. A gateway that never sends an end would keep the run, and its reader
    // or route, for ever: the run ends here after a bounded wait.
    const int run = run_;
    QEventLoop wait;
    stopWait_ = &wait;
    QTimer::singleShot(commandsStopDrainMs, &wait, &QEventLoop::quit);
    {
        NestedWait nested;
        wait.exec();
    }
    stopWait_ = nullptr;
    if (run == run_ && commandsRuns())
        abandonCommandsRun();
}

void CommandsPage::abandonCommandsRun()
{
    const bool telnet = commandsOverTcp;
    endCommandsRun();
    // Whatever the gateway still sends of this reply would otherwise be taken by the next read for its own.
    if (telnet)
        DropTcpTextUntilWrite();
}

void CommandsPage::commandsSerialChunk(const QByteArray& chunk)
{
    if (!commandsThread)
        return; // the last read of a reader that has been told to stop
    AppendCommandsText(commandsText, chunk);
    // Commands go out in Windows-1250, and the module's answers come back in it.
    QString shown = decodeCp1250(commandsText);
    shown.remove(QLatin1Char('\r'));
    m1->setPlainText(shown);
    m1->verticalScrollBar()->setValue(m1->verticalScrollBar()->maximum());
    if (CommandsReplyEnded(commandsText))
        commandsReplyEnded();
    if (commandsThread && CommandsChunkShowsOk(chunk))
        offerStart();
}

void CommandsPage::commandsTelnetText(const QByteArray& text)
{
    // The router has put the text into the view already (all of it, also what follows an end).
    if (!commandsOverTcp || LinkSessionEnded())
        return;
    AppendCommandsText(commandsText, text);
    if (CommandsReplyEnded(commandsText))
        commandsReplyEnded();
}

void CommandsPage::commandsReplyEnded()
{
    if (!written("\r\n")) {
        // The run goes on; the next text tries again.
        showCommError();
        return;
    }
    endCommandsRun();
}

void CommandsPage::endCommandsRun()
{
    StopLiveWorker(commandsThread);
    liveTools.setRoute(LiveToolSlot::OnlineCommands, false);
    commandsIdle();
}

void CommandsPage::commandsIdle()
{
    offerStart();
    fMain->setGatewayRunsEnabled(true);
    if (stopWait_)
        stopWait_->quit();
}

void CommandsPage::offerStart()
{
    stopOffered_ = false;
    sbCommandsStart->setText(startText());
}

void CommandsPage::setLabelsCommands(const Tlabels& labels)
{
    // The Start text whether a run is active or not; the button then offers Start, as it shows.
    stopOffered_ = false;
    sbCommandsStart->setText(labelOr(labels, 152, QStringLiteral("Start")));
    lbCommand->setText(labelOr(labels, 687, QStringLiteral("Command :")));
    lbCmdModule->setText(labelOr(labels, 688, QStringLiteral("Module number :")));
}
