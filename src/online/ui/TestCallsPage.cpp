#include "online/ui/TestCallsPage.h"

#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "link/ui/ConnectionPart.h"
#include "online/LiveCells.h"
#include "online/TestCalls.h"
#include "platform/Dialogs.h"
#include "platform/ProgramDir.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "texts/TextFormat.h"
#include "ui/KeyFilters.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kTestTopic = 548;
constexpr int kRunActiveQuestion = 689;
constexpr int kCommandTooLongText = 986;
constexpr qsizetype kProbeReplySize = 128;
constexpr qsizetype kStopDrainSize = 512;
constexpr int kSerialStopPauseMs = 100;
constexpr int kModemStopDrainMs = 500; // the wait for the gateway's answer to the stop on a modem line
constexpr int kProbePauseMs = 100;

// A command while the test's reader holds the link: nothing is taken. The gateway's account of the call after the
// hang-up is the reply of the line end that ends the test, so the hang-up owes nothing; an empty line owes nothing
// either (while calling, its OK is the start's).
bool written(const QByteArray& bytes)
{
    return WriteCommand(bytes, {CommandReply::Never}) == quint32(bytes.size());
}

void showCommError()
{
    CommErrorBox();
}

bool askRunActive()
{
    return MessageBox(labelText(kRunActiveQuestion), labelText(54), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

QSpinBox* spin(QWidget* parent, const char* name, int maximum, int value)
{
    auto* box = named(new QSpinBox(parent), name);
    box->setRange(0, maximum);
    box->setValue(value);
    DigitKeyFilter::install(box);
    return box;
}

void closeTestLog()
{
    if (testLogFile) {
        std::fclose(testLogFile);
        testLogFile = nullptr;
    }
}

// Sets flag for the time of a scope.
class EndingGuard
{
public:
    explicit EndingGuard(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~EndingGuard() { flag_ = was_; }

private:
    bool& flag_;
    bool was_;
};

} // namespace

TestCallsPage::~TestCallsPage()
{
    testCallReceiveHook = nullptr;
}

bool TestCallsPage::testCallRuns()
{
    return testCallThread || testCallOverTcp;
}

void TestCallsPage::buildTestCallsPage(QWidget* host)
{
    pTest = addTopicPage(host, "pTest", kTestTopic);
    QWidget* page = pTest->widget();

    gbTest1 = named(new QGroupBox(QStringLiteral("Test call from AUX test interface :"), page), "gbTest1");
    rbRotating = named(new QRadioButton(gbTest1), "rbRotating");
    rbVia = named(new QRadioButton(gbTest1), "rbVia");
    seVia = spin(gbTest1, "seVia", 1, 1);
    rbRotating2 = named(new QRadioButton(gbTest1), "rbRotating2");
    rbVia2 = named(new QRadioButton(gbTest1), "rbVia2");
    seVia2 = spin(gbTest1, "seVia2", 1, 1);
    rbViaGsm = named(new QRadioButton(QStringLiteral("Via GSM module number"), gbTest1), "rbViaGsm");
    seViaGsm = spin(gbTest1, "seViaGsm", 1, 0);
    rbToGsm = named(new QRadioButton(QStringLiteral("To GSm (according to called prefix)"), gbTest1), "rbToGsm");
    rbConnect = named(new QRadioButton(QStringLiteral("Connect 2 GSM modules"), gbTest1), "rbConnect");
    seConnect1 = spin(gbTest1, "seConnect1", 1, 0);
    seConnect2 = spin(gbTest1, "seConnect2", 1, 0);
    lb2called = named(new QLabel(QStringLiteral("2nd called number : "), gbTest1), "lb2called");
    edNumber2 = named(new QLineEdit(gbTest1), "edNumber2");
    lbLimit = named(new QLabel(QStringLiteral("Limit : "), gbTest1), "lbLimit");
    seLimit = spin(gbTest1, "seLimit", 99, 0);
    Label16 = named(new QLabel(QStringLiteral("(0=off)"), gbTest1), "Label16");
    for (QWidget* w : std::initializer_list<QWidget*>{rbConnect, seConnect1, seConnect2, lb2called, edNumber2, lbLimit,
                                                      seLimit, Label16})
        w->hide();
    lbCalled = named(new QLabel(QStringLiteral("Called number : "), gbTest1), "lbCalled");
    edNumber1 = named(new QLineEdit(gbTest1), "edNumber1");
    sbDial = named(new QPushButton(QStringLiteral("Dial"), gbTest1), "sbDial");
    rbRotating->setChecked(true);

    auto* out = new QGridLayout(gbTest1);
    out->addWidget(rbRotating, 0, 0, 1, 2);
    out->addWidget(rbVia, 1, 0);
    out->addWidget(seVia, 1, 1);
    out->addWidget(rbRotating2, 2, 0, 1, 2);
    out->addWidget(rbVia2, 3, 0);
    out->addWidget(seVia2, 3, 1);
    out->addWidget(rbViaGsm, 4, 0);
    out->addWidget(seViaGsm, 4, 1);
    out->addWidget(rbToGsm, 5, 0, 1, 2);
    auto* hidden = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{rbConnect, seConnect1, seConnect2, lb2called, edNumber2, lbLimit,
                                                      seLimit, Label16})
        hidden->addWidget(w);
    out->addLayout(hidden, 6, 0, 1, 2);
    auto* called = new QHBoxLayout;
    called->addWidget(lbCalled);
    called->addWidget(edNumber1, 1);
    out->addLayout(called, 7, 0, 1, 2);
    out->setRowStretch(8, 1);
    out->addWidget(sbDial, 9, 0, Qt::AlignLeft);
    out->setColumnStretch(0, 1);

    gbTest2 = named(new QGroupBox(QStringLiteral("Incoming test calls"), page), "gbTest2");
    rbFirstIsd = named(new QRadioButton(QStringLiteral("First incoming call from BRI1"), gbTest2), "rbFirstIsd");
    rbIncoming =
        named(new QRadioButton(QStringLiteral("Incoming call from BRI1 B-channel number"), gbTest2), "rbIncoming");
    seIncoming = spin(gbTest2, "seIncoming", 1, 1);
    rbFirstIsd2 = named(new QRadioButton(gbTest2), "rbFirstIsd2");
    rbIncoming2 = named(new QRadioButton(gbTest2), "rbIncoming2");
    seIncoming2 = spin(gbTest2, "seIncoming2", 1, 1);
    rbFrom = named(new QRadioButton(QStringLiteral("From gsm module number"), gbTest2), "rbFrom");
    seFrom = spin(gbTest2, "seFrom", 1, 0);
    rbFirstGsm = named(new QRadioButton(QStringLiteral("First incoming call from GSM"), gbTest2), "rbFirstGsm");
    sbConnect = named(new QPushButton(QStringLiteral("Connect"), gbTest2), "sbConnect");
    rbFirstIsd->setChecked(true);

    auto* in = new QGridLayout(gbTest2);
    in->addWidget(rbFirstIsd, 0, 0, 1, 2);
    in->addWidget(rbIncoming, 1, 0);
    in->addWidget(seIncoming, 1, 1);
    in->addWidget(rbFirstIsd2, 2, 0, 1, 2);
    in->addWidget(rbIncoming2, 3, 0);
    in->addWidget(seIncoming2, 3, 1);
    in->addWidget(rbFrom, 4, 0);
    in->addWidget(seFrom, 4, 1);
    in->addWidget(rbFirstGsm, 5, 0, 1, 2);
    in->setRowStretch(6, 1);
    in->addWidget(sbConnect, 7, 0, Qt::AlignLeft);
    in->setColumnStretch(0, 1);

    mmTest = named(new QPlainTextEdit(page), "mmTest");
    mmTest->setReadOnly(true);
    mmTest->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmTest->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    sbDisconnect = named(new QPushButton(QStringLiteral("Disconnect"), page), "sbDisconnect");
    sbStop = named(new QPushButton(QStringLiteral("Stop tracing"), page), "sbStop");
    sbClear = named(new QPushButton(QStringLiteral("Clear"), page), "sbClear");
    edFile = named(new QLineEdit(page), "edFile");
    edFile->setText(programFile(QStringLiteral("calls.txt")));
    sbFile = named(new QPushButton(QStringLiteral("..."), page), "sbFile");
    sbFile->setFixedWidth(sbFile->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    cbTestTracingSave = named(new QCheckBox(QStringLiteral("Save to file"), page), "cbTestTracingSave");
    cbTestTracingSave->setChecked(true);
    sbDisconnect->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(gbTest1, 1);
    top->addWidget(gbTest2, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(sbDisconnect);
    bottom->addWidget(sbStop);
    bottom->addWidget(sbClear);
    bottom->addWidget(edFile, 1);
    bottom->addWidget(sbFile);
    bottom->addWidget(cbTestTracingSave);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(mmTest, 1);
    layout->addLayout(bottom);

    setTestCallPortCaptions(labelTexts, 0);

    QObject::connect(sbDial, &QPushButton::clicked, page, [this] { sbDialClick(); });
    QObject::connect(sbConnect, &QPushButton::clicked, page, [this] { sbConnectClick(); });
    QObject::connect(sbDisconnect, &QPushButton::clicked, page, [this] { sbDisconnectClick(); });
    QObject::connect(sbStop, &QPushButton::clicked, page, [this] { sbStopClick(); });
    QObject::connect(sbClear, &QPushButton::clicked, page, [this] { sbClearClick(); });
    QObject::connect(sbFile, &QPushButton::clicked, page, [this] { sbFileClick(); });

    testCallReceiveHook = [this](const QByteArray& chunk) { testCallReceive(chunk); };
    fMain->setTopicSection(kTestTopic, [this](bool chosen) { return testCallSection(chosen); });
    fMain->addModelLayoutStep([this](int model) { setTestCallModelLayout(model); });

    LiveTool tool;
    tool.topic = kTestTopic;
    tool.running = [] { return testCallRuns(); };
    tool.stopForLeave = [this] {
        if (!testCallRuns())
            return;
        EndingGuard ending(testEnding_);
        LeaveTestCallTopic();
        testCallIdle();
    };
    // The route and the log end with the link (Disconnect's own steps); the reader is joined first.
    tool.stopForDisconnect = [this] {
        EndingGuard ending(testEnding_);
        StopLiveWorker(testCallThread);
        testCallIdle();
    };
    tool.routeView = [this] { return mmTest; };
    tool.routeReceived = [this](const QByteArray& text) {
        if (!testCallOverTcp || LinkSessionEnded())
            return;
        // The handler takes the chunk as the program's zero-terminated buffer held it.
        QByteArray chunk = text.left(kTestChunkMax);
        const qsizetype nul = chunk.indexOf('\0');
        if (nul >= 0)
            chunk.truncate(nul);
        testCallReceive(chunk);
    };
    tool.holdsLink = [] { return testCallRuns(); };
    liveTools.add(LiveToolSlot::TestCalls, tool);
}

bool TestCallsPage::testCallSection(bool chosen)
{
    if (!chosen) {
        liveTools.stopForLeave(kTestTopic);
        pTest->hide();
        return true;
    }
    fMain->lbMain->setText(labelText(kTestTopic));
    currentTopic = kTestTopic;
    if (testPageFirstEntry) {
        const bool onePort = gatewayModel == 1;
        (onePort ? rbFirstIsd2 : rbFirstIsd)->setChecked(true);
        (onePort ? rbRotating2 : rbRotating)->setChecked(true);
    }
    // Shown again while a run goes on (its node chosen once more), the page keeps the run's buttons and the
    // gateway, busy with the call, gets no probe.
    const bool running = testCallRuns();
    if (!running)
        sbStop->setEnabled(false);
    testPageFirstEntry = false;
    pTest->show();
    pTest->raise();
    pTest->repaint();
    if (CurrentConnection.Connected && !running) {
        QByteArray reply;
        SendCommandOk("at\r\n", reply, kProbeReplySize);
        WaitPumping(kProbePauseMs);
    }
    return true;
}

void TestCallsPage::setTestCallPortCaptions(const Tlabels& labels, int model)
{
    auto format = [&labels](int k, const char* english, const char* port) {
        return formatTextString(labelOr(labels, k, QString::fromLatin1(english)), QString::fromLatin1(port));
    };
    if (model == 0) {
        rbRotating->setText(format(551, "Rotating B-channels (%s)", "BRI1"));
        rbRotating2->setText(format(551, "Rotating B-channels (%s)", "BRI2"));
        rbVia->setText(format(552, "Via B-channel number (%s)", "BRI1"));
        rbVia2->setText(format(552, "Via B-channel number (%s)", "BRI2"));
        rbFirstIsd2->setText(labelOr(labels, 898, QStringLiteral("First incoming call from BRI2")));
        rbIncoming2->setText(labelOr(labels, 899, QStringLiteral("Incoming call from BRI2 B-channel number")));
    } else {
        rbRotating2->setText(format(551, "Rotating B-channels (%s)", "BRI"));
        rbVia2->setText(format(552, "Via B-channel number (%s)", "BRI"));
        rbFirstIsd2->setText(labelOr(labels, 900, QStringLiteral("First incoming call from BRI")));
        rbIncoming2->setText(labelOr(labels, 901, QStringLiteral("Incoming call from BRI B-channel number")));
    }
}

void TestCallsPage::setTestCallModelLayout(int model)
{
    const bool twoPorts = model == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{rbRotating, rbVia, seVia, rbFirstIsd, rbIncoming, seIncoming})
        w->setVisible(twoPorts);
    if (!twoPorts) {
        // A choice of the missing port moves to the remaining one.
        if (rbRotating->isChecked() || rbVia->isChecked())
            rbRotating2->setChecked(true);
        if (rbIncoming->isChecked())
            rbIncoming2->setChecked(true);
        if (rbFirstIsd->isChecked())
            rbFirstIsd2->setChecked(true);
    }
    setTestCallPortCaptions(labelTexts, model);
}

void TestCallsPage::setLabelsTestCalls(const Tlabels& t)
{
    auto text = [&t](int k, const char* english) { return labelOr(t, k, QString::fromLatin1(english)); };
    gbTest1->setTitle(text(550, "Test call from AUX test interface :"));
    setTestCallPortCaptions(t, gatewayModel);
    rbViaGsm->setText(text(553, "Via GSM module number"));
    rbConnect->setText(text(554, "Connect 2 GSM modules"));
    lbCalled->setText(text(555, "Called number : "));
    lb2called->setText(text(556, "2nd called number : "));
    lbLimit->setText(text(557, "Limit : "));
    rbToGsm->setText(text(558, "To GSm (according to called prefix)"));
    sbDial->setText(text(559, "Dial"));
    gbTest2->setTitle(text(560, "Incoming test calls"));
    rbFirstIsd->setText(text(561, "First incoming call from BRI1"));
    rbIncoming->setText(text(562, "Incoming call from BRI1 B-channel number"));
    rbFrom->setText(text(563, "From gsm module number"));
    rbFirstGsm->setText(text(564, "First incoming call from GSM"));
    sbConnect->setText(text(565, "Connect"));
    sbDisconnect->setText(text(566, "Disconnect"));
    cbTestTracingSave->setText(text(567, "Save to file"));
    sbStop->setText(text(684, "Stop tracing"));
    sbClear->setText(text(570, "Clear"));
}

QByteArray TestCallsPage::dialCommand()
{
    const QByteArray number = edNumber1->text().toLocal8Bit();
    if (rbRotating->isChecked())
        return TestDialCommand(TestDial::Rotating, 0, number);
    if (rbVia->isChecked())
        return TestDialCommand(TestDial::Via, SpinFieldValue(seVia), number);
    if (rbViaGsm->isChecked())
        return TestDialCommand(TestDial::ViaGsm, SpinFieldValue(seViaGsm), number);
    if (rbRotating2->isChecked())
        return TestDialCommand(TestDial::Rotating2, 0, number);
    if (rbVia2->isChecked())
        return TestDialCommand(TestDial::Via2, SpinFieldValue(seVia2), number);
    if (rbToGsm->isChecked())
        return TestDialCommand(TestDial::ToGsm, 0, number);
    return {};
}

QByteArray TestCallsPage::waitCommand()
{
    if (rbFirstIsd->isChecked())
        return TestWaitCommand(TestWait::FirstIsd, 0);
    if (rbIncoming->isChecked())
        return TestWaitCommand(TestWait::Incoming, SpinFieldValue(seIncoming));
    if (rbFirstIsd2->isChecked())
        return TestWaitCommand(TestWait::FirstIsd2, 0);
    if (rbIncoming2->isChecked())
        return TestWaitCommand(TestWait::Incoming2, SpinFieldValue(seIncoming2));
    if (rbFrom->isChecked())
        return TestWaitCommand(TestWait::From, SpinFieldValue(seFrom));
    if (rbFirstGsm->isChecked())
        return TestWaitCommand(TestWait::FirstGsm, 0);
    return {};
}

void TestCallsPage::sbDialClick()
{
    if (testCallRuns() && !askRunActive())
        return;
    fMain->setGatewayRunsEnabled(false);
    startTestCall(dialCommand());
}

void TestCallsPage::sbConnectClick()
{
    if (testCallRuns() && !askRunActive())
        return;
    fMain->setGatewayRunsEnabled(false);
    startTestCall(waitCommand());
}

void TestCallsPage::testStartFailed()
{
    if (!testCallRuns())
        fMain->setGatewayRunsEnabled(true);
}

void TestCallsPage::startTestCall(const QByteArray& command)
{
    // A called number too long for the gateway's command line is refused before anything goes out.
    if (!TestCommandFits(command)) {
        MessageBox(labelOr(labelTexts, kCommandTooLongText,
                           QStringLiteral("The command is too long: a command line holds at most 127 characters.")),
                   labelText(47), MB_ICONERROR);
        testStartFailed();
        return;
    }
    // The reader of an earlier start may run: the connect leaves an open link's record as it is.
    if (!connectForPageRun()) {
        testStartFailed();
        return;
    }
    // A reader that goes on from an earlier start: CR LF ends the gateway's running test first. On telnet the
    // new command alone does.
    const QByteArray line = (testCallThread ? QByteArray("\r\n") : QByteArray()) + command;
    // What the link still owes is taken first (not while a running test's reader takes it).
    if (WriteCommand(line, {}, &testCallStartOwed) != quint32(line.size())) {
        showCommError();
        testStartFailed();
        return;
    }
    if (CurrentConnection.LinkType == LinkTelnet)
        liveTools.setRoute(LiveToolSlot::TestCalls, true);
    else if (!testCallThread)
        testCallThread = new TTestCall;
    sbStop->setEnabled(false);
    sbDial->setEnabled(false);
    sbConnect->setEnabled(false);
    sbDisconnect->setEnabled(true);

    if (!testLogFile) {
        if (!cbTestTracingSave->isChecked())
            return;
        // A log that cannot be opened: the run goes on without one, and says nothing.
        testLogFile = std::fopen(QFile::encodeName(edFile->text()).constData(), "ab");
        if (!testLogFile)
            return;
    }
    const QByteArray header = TestCallLogHeader(QDateTime::currentDateTime());
    std::fwrite(header.constData(), 1, size_t(header.size()), testLogFile);
    std::fflush(testLogFile);
}

void TestCallsPage::showTestText(const QByteArray& text)
{
    mmTest->appendPlainText(TestViewText(text));
    mmTest->verticalScrollBar()->setValue(mmTest->verticalScrollBar()->maximum());
}

void TestCallsPage::testCallReceive(const QByteArray& text)
{
    const TestChunk chunk = ParseTestChunk(text);
    if (chunk.ignored)
        return;
    // On telnet the router has shown the text already.
    const bool shows = CurrentConnection.LinkType != LinkTelnet;
    if (chunk.ends) {
        if (!testEnding_)
            stopTestCall(false);
        if (shows)
            showTestText(chunk.shown);
        return;
    }
    const bool calling = !sbStop->isEnabled() && sbDisconnect->isEnabled();
    if (chunk.answered && calling && !testEnding_) {
        // The call is up: the gateway is told to hang up and goes on with its account of the call.
        sbStop->setEnabled(true);
        sbDisconnect->setEnabled(false);
        if (!written("AT!D\r"))
            return;
    }
    if (testLogFile && cbTestTracingSave->isChecked()) {
        std::fwrite(chunk.logged.constData(), 1, size_t(chunk.logged.size()), testLogFile);
        std::fflush(testLogFile);
    }
    if (shows)
        showTestText(chunk.shown);
}

void TestCallsPage::sbDisconnectClick()
{
    if (!testCallRuns())
        return;
    if (!askRunActive())
        return;
    // The gateway's OK that follows moves the page on to tracing (the reply handler).
    if (testCallRuns() && !written("\r\n"))
        showCommError();
}

void TestCallsPage::sbStopClick()
{
    stopTestCall(true);
}

void TestCallsPage::stopTestCall(bool owesReply)
{
    if (!testCallRuns())
        return;
    EndingGuard ending(testEnding_);
    // The gateway's OK ends the test. Whoever reads it (the reader until its stop, the drain below) counts it;
    // one that has not come by then is owed to whoever writes next, so that no command takes it for its own.
    const bool owes = owesReply && !StillOwed(testCallStartOwed);
    if (WriteCommand("\r\n", {owes ? CommandReply::Always : CommandReply::Never}) != 2) {
        showCommError();
        return;
    }
    if (CurrentConnection.LinkType == LinkSerial)
        WaitPumping(kSerialStopPauseMs);
    // Joined before the log closes: the reader's last chunk is still handled (shown and logged).
    StopLiveWorker(testCallThread);
    QByteArray rest;
    if (testCallOverTcp) {
        // With the route off, what the gateway still says comes to the link's reads.
        liveTools.setRoute(LiveToolSlot::TestCalls, false);
        rest = LinkReadTimeout(kStopDrainSize, 0.01);
    } else if (CurrentConnection.LinkType == LinkModem) {
        // The reader has no pause before it is stopped here: the gateway's answer to the line end is read
        // now, so that the next command on the line does not take it for its own.
        rest = LinkReadWithin(kStopDrainSize, kModemStopDrainMs);
    }
    if (!rest.isEmpty()) {
        // One line: the reply's own line ends are not shown.
        if (rest.startsWith("\r\n"))
            rest.remove(0, 2);
        if (rest.endsWith("\r\n"))
            rest.chop(2);
        showTestText(rest);
    }
    closeTestLog();
    sbStop->setEnabled(false);
    sbDisconnect->setEnabled(false);
    sbDial->setEnabled(true);
    sbConnect->setEnabled(true);
    fMain->setGatewayRunsEnabled(true);
}

void TestCallsPage::testCallIdle()
{
    sbStop->setEnabled(false);
    sbDisconnect->setEnabled(false);
    sbDial->setEnabled(true);
    sbConnect->setEnabled(true);
    fMain->setGatewayRunsEnabled(true);
}

void TestCallsPage::sbClearClick()
{
    mmTest->clear();
}

void TestCallsPage::sbFileClick()
{
    const QString current = edFile->text();
    const QString start = QFile::exists(current) ? current : programFile(QStringLiteral("*.txt"));
    const QString chosen = GetSaveFileName(fMain, QString(), start, QStringLiteral("Text file (*txt)|*.txt"));
    if (!chosen.isEmpty())
        edFile->setText(chosen);
}
