#include "online/ui/TracingPage.h"

#include "link/CommError.h"
#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "link/ui/ConnectionPart.h"
#include "online/LiveCells.h"
#include "online/Tracing.h"
#include "platform/Cp1250.h"
#include "platform/Dialogs.h"
#include "platform/ProgramDir.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
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
#include <QVBoxLayout>

namespace {

constexpr int kTracingTopic = 20;
constexpr qsizetype kTraceReplySize = 128;
constexpr int kStopDrainMs = 2000; // the whole drain of the stop's answer on a serial port or modem line

template <class W> W* named(W* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

void showCommError()
{
    CommErrorBox();
}

// A command of the tracing's own: what the link still owes is taken first, and its answer is owed until a reader
// (the tracing's, or the Stop's drain) has seen its end.
bool written(const QByteArray& command)
{
    return WriteCommand(command) == quint32(command.size());
}

// The answer to "AT!RX": read and thrown away, so that it does not end up in the next command's reply; what has
// not come by the drain's end is taken by whoever writes next.
void drainStopReply()
{
    if (CurrentConnection.LinkType == LinkTelnet) {
        WaitPumping(100);
        // Looked at, what came and what comes until the next write: the gateway's login prompt may answer the Stop.
        DropArrivedText();
        DropTcpTextUntilWrite();
    } else {
        // Trace lines still on their way come before it; a read ends at the line's silence. A gateway that
        // answers with something else and traces on would keep this thread reading: the drain has a bound.
        // The drain may begin within a trace line the stopped reader left unfinished: the session's end is the
        // one place's verdict, which looks at the text as that line's continuation, not a look from the drain's
        // first byte.
        QElapsedTimer since;
        since.start();
        QByteArray seen;
        while (!seen.contains("OK")) {
            const qint64 left = kStopDrainMs - since.elapsed();
            if (left <= 0)
                break;
            const QByteArray got = LinkReadWithin(kTraceReplySize, int(left));
            if (got.isEmpty() || LinkSessionEnded())
                break;
            seen = seen.right(2) + got;
        }
    }
}

} // namespace

bool TracingPage::tracingRuns()
{
    return tracingThread || tracingOverTcp;
}

void TracingPage::buildTracingPage(QWidget* host)
{
    pTracing = addTopicPage(host, "pTracing", kTracingTopic);
    QWidget* page = pTracing->widget();

    gbTrac1 = named(new QGroupBox(QStringLiteral("Set details of tracing"), page), "gbTrac1");
    cbTracState34 = named(new QCheckBox(QStringLiteral("State of layers 3, 4"), gbTrac1), "cbTracState34");
    cbTracTimestamp = named(new QCheckBox(QStringLiteral("Timestamp for each message"), gbTrac1), "cbTracTimestamp");
    cbTracFullTracing = named(new QCheckBox(QStringLiteral("FULL tracing"), gbTrac1), "cbTracFullTracing");
    cbTracState2 = named(new QCheckBox(QStringLiteral("State of layer 2"), gbTrac1), "cbTracState2");
    cbTracLcr = named(new QCheckBox(QStringLiteral("LCR routing and Sim select"), gbTrac1), "cbTracLcr");
    auto* details = new QGridLayout(gbTrac1);
    details->addWidget(cbTracState34, 0, 0);
    details->addWidget(cbTracTimestamp, 1, 0);
    details->addWidget(cbTracFullTracing, 2, 0);
    details->addWidget(cbTracState2, 0, 1);
    details->addWidget(cbTracLcr, 1, 1);

    gbTrac2 = named(new QGroupBox(QStringLiteral("Select tracing type"), page), "gbTrac2");
    lbTracSelect = named(new QLabel(QStringLiteral("Select tracing : "), gbTrac2), "lbTracSelect");
    cbTracType = named(new QComboBox(gbTrac2), "cbTracType");
    cbTracType->addItems({QStringLiteral("LAN and Telnet"), QStringLiteral("Voip and GSM messages")});
    cbTracType->setCurrentIndex(1);
    lbTracSelect->hide();
    cbTracType->hide();
    rbTracIpTcpTelnet = named(new QRadioButton(gbTrac2), "rbTracIpTcpTelnet");
    rbTracTcpTelnet = named(new QRadioButton(gbTrac2), "rbTracTcpTelnet");
    rbTracTelnet = named(new QRadioButton(gbTrac2), "rbTracTelnet");
    rbTracIpTcpTelnet->setChecked(true);
    auto* type = new QVBoxLayout(gbTrac2);
    type->addWidget(rbTracIpTcpTelnet);
    type->addWidget(rbTracTcpTelnet);
    type->addWidget(rbTracTelnet);

    sbTracStart = named(new QPushButton(QStringLiteral("Start"), page), "sbTracStart");
    sbTracDefaults = named(new QPushButton(QStringLiteral("Defaults"), page), "sbTracDefaults");
    sbTracClear = named(new QPushButton(QStringLiteral("Clear"), page), "sbTracClear");
    edTracFile = named(new QLineEdit(page), "edTracFile");
    edTracFile->setText(programFile(QStringLiteral("Tracing.txt")));
    sbTracFile = named(new QPushButton(QStringLiteral("..."), page), "sbTracFile");
    sbTracFile->setFixedWidth(sbTracFile->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    cbTracSave = named(new QCheckBox(QStringLiteral("Save to file"), page), "cbTracSave");
    cbTracSave->setChecked(true);
    tracingSave = true;

    mTracing = named(new QPlainTextEdit(page), "mTracing");
    mTracing->setReadOnly(true);
    mTracing->setLineWrapMode(QPlainTextEdit::NoWrap);
    mTracing->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    mTracing->setMaximumBlockCount(liveViewLineLimit);

    auto* top = new QHBoxLayout;
    top->addWidget(gbTrac1, 3);
    top->addWidget(gbTrac2, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(sbTracStart);
    bottom->addWidget(sbTracDefaults);
    bottom->addWidget(sbTracClear);
    bottom->addWidget(edTracFile, 1);
    bottom->addWidget(sbTracFile);
    bottom->addWidget(cbTracSave);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(mTracing, 1);
    layout->addLayout(bottom);

    QObject::connect(sbTracStart, &QPushButton::clicked, page, [this] { sbTracStartClick(); });
    QObject::connect(sbTracDefaults, &QPushButton::clicked, page, [this] { sbTracDefaultsClick(); });
    QObject::connect(sbTracClear, &QPushButton::clicked, page, [this] { sbTracClearClick(); });
    QObject::connect(sbTracFile, &QPushButton::clicked, page, [this] { sbTracFileClick(); });
    QObject::connect(cbTracFullTracing, &QCheckBox::toggled, page, [this] { cbTracFullTracingClick(); });
    QObject::connect(cbTracType, &QComboBox::activated, page, [this] { cbTracTypeChange(); });
    QObject::connect(cbTracSave, &QCheckBox::toggled, page, [](bool on) { tracingSave = on; });
    cbTracTypeChange();

    tracingShowLine = [this](const QByteArray& line) {
        // The line keeps its carriage return in the file; the view shows the text.
        QByteArray shown = line;
        if (shown.endsWith('\r'))
            shown.chop(1);
        mTracing->appendPlainText(decodeCp1250(shown));
    };

    fMain->setTopicSection(kTracingTopic, [this](bool chosen) {
        if (chosen) {
            fMain->showTopicTitle(kTracingTopic, false);
            cbTracTypeChange();
            pTracing->show();
            pTracing->raise();
        } else {
            liveTools.stopForLeave(kTracingTopic);
            pTracing->hide();
        }
        return true;
    });

    LiveTool tool;
    tool.topic = kTracingTopic;
    tool.running = [] { return tracingRuns(); };
    tool.stopForDisconnect = [this] { sbTracStartClick(); };
    // The close ends the reader, then tells the gateway before the link closes, so that it does not trace on
    // after the program has gone; the link closes right after, so nothing is read and a failed write is let be.
    tool.stopForClose = [] {
        const bool reader = tracingThread;
        StopLiveWorker(tracingThread);
        if (reader)
            LinkWrite(CurrentConnection, "AT!RX\r"); // the link closes right after: nothing is taken, read or owed
        CloseTraceFile();
    };
    // The link is gone: the trace ends as Stop ends it, without the "AT!RX" that cannot go out.
    tool.stopForLinkLoss = [this] {
        StopLiveWorker(tracingThread);
        liveTools.setRoute(LiveToolSlot::Tracing, false);
        tracingStopped();
    };
    tool.stopForLeave = [this] {
        cbTracFullTracingClick();
        if (tracingRuns())
            sbTracStartClick();
    };
    tool.routeView = [this] { return mTracing; };
    tool.routeReceived = [this](const QByteArray& text) { tracingTelnetText(text); };
    tool.holdsLink = [] { return tracingRuns(); };
    liveTools.add(LiveToolSlot::Tracing, tool);
}

void TracingPage::tracingTelnetText(const QByteArray& text)
{
    // The raw chunk as it came, whichever view took it.
    if (traceFile && cbTracSave->isChecked()) {
        std::fwrite(text.constData(), 1, size_t(text.size()), traceFile);
        std::fflush(traceFile);
    }
}

void TracingPage::cbTracTypeChange()
{
    if (CurrentConnection.LinkType == LinkTelnet && cbTracType->currentIndex() == 0)
        cbTracType->setCurrentIndex(1);
    if (cbTracType->currentIndex() == 0) {
        rbTracIpTcpTelnet->setText(labelText(149));
        rbTracTcpTelnet->setText(labelText(150));
        rbTracTelnet->setText(labelText(151));
    } else {
        rbTracIpTcpTelnet->setText(TextOrFallback(labelText(159), QStringLiteral("Messages from layers 2,3,4")));
        rbTracTcpTelnet->setText(TextOrFallback(labelText(160), QStringLiteral("Messages from layers 3,4")));
        rbTracTelnet->setText(TextOrFallback(labelText(161), QStringLiteral("Messages from layer 4")));
    }
}

void TracingPage::cbTracFullTracingClick()
{
    const bool detailed = !cbTracFullTracing->isChecked();
    for (QCheckBox* box : {cbTracLcr, cbTracState2, cbTracState34, cbTracTimestamp})
        box->setEnabled(detailed);
}

void TracingPage::sbTracDefaultsClick()
{
    for (QCheckBox* box : {cbTracState34, cbTracState2, cbTracLcr, cbTracTimestamp})
        box->setChecked(false);
}

void TracingPage::sbTracClearClick()
{
    mTracing->clear();
}

void TracingPage::sbTracFileClick()
{
    const QString current = edTracFile->text();
    const QString start = QFile::exists(current) ? current : programFile(QStringLiteral("*.txt"));
    const QString chosen = GetSaveFileName(fMain, QString(), start, QStringLiteral("Text file (*.txt)"));
    if (!chosen.isEmpty())
        edTracFile->setText(chosen);
}

void TracingPage::sbTracStartClick()
{
    if (!CurrentConnection.Connected)
        connectForPageRun();
    if (!CurrentConnection.Connected)
        return;
    const bool telnet = CurrentConnection.LinkType == LinkTelnet;
    if (telnet) {
        cbTracType->setCurrentIndex(1);
        cbTracTypeChange();
        if (tracingOverTcp) {
            stopTracingOverTcp();
            return;
        }
    } else if (tracingThread) {
        stopTracingOnSerial();
        return;
    }

    mTracing->clear();
    const int mask = TracingMask(cbTracState34->isChecked(), cbTracTimestamp->isChecked(),
                                 cbTracFullTracing->isChecked(), cbTracState2->isChecked(), cbTracLcr->isChecked());
    ReplyReading maskReading;
    maskReading.size = kTraceReplySize;
    const ExchangeResult maskSet = Exchange(TracingMaskCommand(mask), 0, maskReading);
    if (!maskSet.written || !maskSet.reply.contains("OK")) {
        if (!RefusedForWait(maskSet))
            showCommError();
        return;
    }
    const int level = rbTracTcpTelnet->isChecked() ? 3 : rbTracTelnet->isChecked() ? 4 : 2;
    if (!written(TracingLevelCommand(cbTracType->currentIndex(), level))) {
        showCommError();
        return;
    }
    // The trace may follow the reply at once and come in the same read: it is handed on below, once the
    // reader's state and the file are ready for it.
    QByteArray answer = LinkRead(kTraceReplySize);
    if (LinkSessionEnded())
        return; // the gateway's session has ended: the link's loss path tells it
    const qsizetype replyLength = TraceStartReplyLength(answer);
    QByteArray early;
    if (replyLength >= 0) {
        early = answer.mid(replyLength);
        answer.truncate(replyLength);
    }
    if (answer.contains("ERROR") || answer.contains("BUSY")) {
        showCommError();
        return;
    }
    if (telnet) {
        // Behind a whole reply, what the read left of the received text is the trace's too.
        if (replyLength >= 0) {
            early += TakeTcpReceived();
            ClearTcpReceived();
        }
        liveTools.setRoute(LiveToolSlot::Tracing, true);
    } else if (!tracingThread) {
        mTracing->clear();
        tracingLine.clear();
        tracingThread = new TTracing;
    }
    fMain->setGatewayRunsEnabled(false);
    sbTracStart->setText(TextOrFallback(labelText(153), QStringLiteral("Stop")));

    if (cbTracSave->isChecked()) {
        // A file that cannot be opened: the trace runs without one, and says nothing.
        CloseTraceFile();
        traceFile = std::fopen(QFile::encodeName(edTracFile->text()).constData(), "ab");
        if (traceFile) {
            const QByteArray header = TraceFileHeader(QDateTime::currentDateTime());
            std::fwrite(header.constData(), 1, size_t(header.size()), traceFile);
            std::fflush(traceFile);
        }
    }

    if (early.isEmpty())
        return;
    if (telnet) {
        fMain->routeTcpText(early); // it passed the link's one place as it came
    } else {
        // The reader has not begun yet (it starts when the window's thread is back in its event loop).
        for (const char c : std::as_const(early))
            HandleTraceByte(c);
    }
}

void TracingPage::tracingStopped()
{
    fMain->setGatewayRunsEnabled(true);
    sbTracStart->setText(TextOrFallback(labelText(152), QStringLiteral("Start")));
    CloseTraceFile();
}

void TracingPage::stopTracingOverTcp()
{
    const bool sent = written("AT!RX\r");
    if (!sent)
        showCommError();
    tracingStopped();
    liveTools.setRoute(LiveToolSlot::Tracing, false);
    // With the route off, the answer lands in the link's received text, where it is thrown away.
    if (sent)
        drainStopReply();
}

void TracingPage::stopTracingOnSerial()
{
    // The reader is joined before its file closes and before the link carries anything else.
    StopLiveWorker(tracingThread);
    tracingStopped();
    if (!written("AT!RX\r"))
        showCommError();
    else
        drainStopReply();
}

void TracingPage::setLabelsTracing(const Tlabels& labels)
{
    auto text = [&labels](int k, const char* english) { return labelOr(labels, k, QString::fromLatin1(english)); };
    gbTrac1->setTitle(text(141, "Set details of tracing"));
    gbTrac2->setTitle(text(142, "Select tracing type"));
    cbTracState34->setText(text(143, "State of layers 3, 4"));
    cbTracTimestamp->setText(text(144, "Timestamp for each message"));
    cbTracFullTracing->setText(text(145, "FULL tracing"));
    cbTracState2->setText(text(146, "State of layer 2"));
    cbTracLcr->setText(text(147, "LCR routing and Sim select"));
    lbTracSelect->setText(text(148, "Select tracing : "));
    const bool lan = cbTracType->currentIndex() == 0;
    rbTracIpTcpTelnet->setText(lan ? text(149, "Layers IP, TCP, Telnet") : labelAt(labels, 159));
    rbTracTcpTelnet->setText(lan ? text(150, "Layers TCP, Telnet") : labelAt(labels, 160));
    rbTracTelnet->setText(lan ? text(151, "Layers Telnet") : labelAt(labels, 161));
    sbTracStart->setText(tracingRuns() ? text(153, "Stop") : text(152, "Start"));
    sbTracDefaults->setText(text(154, "Default"));
    sbTracClear->setText(text(155, "Clear"));
    cbTracSave->setText(text(156, "Save to file"));
    const int kept = cbTracType->currentIndex();
    cbTracType->removeItem(0);
    cbTracType->insertItem(0, text(157, "LAN and Telnet"));
    cbTracType->removeItem(1);
    cbTracType->insertItem(1, text(158, "Voip and GSM messages"));
    cbTracType->setCurrentIndex(kept);
}
