#include "online/ui/TerminalPart.h"

#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LiveTools.h"
#include "link/ui/ConnectionPart.h"
#include "online/LiveCells.h"
#include "online/Terminal.h"
#include "platform/Cp1250.h"
#include "platform/Dialogs.h"
#include "platform/TelnetClient.h"
#include "platform/Wait.h"
#include "texts/Labels.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QAction>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kTerminalTopic = 21;
// One pasted byte this often: a paste of any length keeps the window working.
constexpr int kPastePaceMs = 2;

bool linkIsOpen()
{
    const ConnectionRecord& c = CurrentConnection;
    if (!c.Connected)
        return false;
    if (c.LinkType == LinkSerial && !c.Handle)
        return false;
    if (c.LinkType == LinkTelnet && !(tcp && tcp->Connected()))
        return false;
    return true;
}

} // namespace

TPasteMemo::TPasteMemo(QWidget* parent) : QPlainTextEdit(parent) {}

void TPasteMemo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete)
        return; // swallowed: the gateway's line is edited by Backspace only
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Paste)) {
        QPlainTextEdit::keyPressEvent(event); // copy the selection; a paste comes back through OnPaste
        return;
    }
    QByteArray text = encodeCp1250(event->text());
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        text = "\r";
    else if (event->key() == Qt::Key_Backspace)
        text = "\b";
    else if (event->key() == Qt::Key_Tab)
        text = "\t";
    if (text.size() != 1 || !OnKeyPress) {
        // Not a character (arrows, page keys): the memo moves its caret.
        if (text.isEmpty())
            QPlainTextEdit::keyPressEvent(event);
        return;
    }
    char key = text[0];
    OnKeyPress(key);
    if (key == '\b')
        QPlainTextEdit::keyPressEvent(event);
}

void TPasteMemo::insertFromMimeData(const QMimeData* source)
{
    if (!OnPaste) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    if (source && source->hasText())
        OnPaste(encodeCp1250(source->text()));
}

void TerminalPart::buildTerminal(QWidget* host)
{
    mTerminal = new TPasteMemo(host);
    mTerminal->setObjectName(QStringLiteral("mTerminal"));
    mTerminal->setLineWrapMode(QPlainTextEdit::NoWrap);
    mTerminal->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mTerminal->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    mTerminal->setFont(font);
    mTerminal->setMaximumBlockCount(liveViewLineLimit);
    if (auto* grid = qobject_cast<QGridLayout*>(host->layout()))
        grid->addWidget(mTerminal, 0, 0);
    mTerminal->hide();
    mTerminal->OnKeyPress = [this](char& key) { mTerminalKeyPress(key); };
    mTerminal->OnPaste = [this](const QByteArray& text) { mTerminalPaste(text); };

    pasteTimer_ = new QTimer(mTerminal);
    pasteTimer_->setInterval(kPastePaceMs);
    QObject::connect(pasteTimer_, &QTimer::timeout, mTerminal, [this] { sendNextPasted(); });

    terminalShowText = [this](const QByteArray& text) {
        // Line ends show as lines; a carriage return alone moves nothing here.
        QByteArray shown = text;
        shown.replace("\r\n", "\n");
        shown.replace('\r', "");
        mTerminal->setPlainText(decodeCp1250(shown));
        mTerminal->moveCursor(QTextCursor::End);
        mTerminal->ensureCursorVisible();
    };

    fMain->setTopicSection(kTerminalTopic, [this](bool chosen) {
        if (chosen) {
            fMain->showTopicTitle(kTerminalTopic, true);
            OpenTerminal();
        }
        return true;
    });

    LiveTool tool;
    tool.topic = kTerminalTopic;
    tool.running = [] { return terminalThread || terminalOverTcp; };
    tool.stopForDisconnect = [this] {
        StopLiveWorker(terminalThread);
        neverLooks_.reset();
    };
    tool.stopForClose = [this] {
        StopLiveWorker(terminalThread);
        neverLooks_.reset();
    };
    tool.stopForLeave = [this] { leaveTerminal(); };
    tool.routeView = [this] { return mTerminal; };
    // Over telnet the route is the terminal's reader: any text it brings answers the keep-alive.
    tool.routeReceived = [](const QByteArray& chunk) {
        if (terminalOverTcp && !chunk.isEmpty())
            terminalKeepAlivePending = false;
    };
    // Its reader (or route) takes what comes on the link while it runs: an exchange neither drops nor takes then.
    tool.readsLink = [] { return terminalThread || terminalOverTcp; };
    liveTools.add(LiveToolSlot::Terminal, tool);
}

void TerminalPart::OpenTerminal()
{
    if (!CurrentConnection.Connected)
        connectForPageRun();
    if (!linkIsOpen())
        return;
    mTerminal->show();
    mTerminal->raise();
    mTerminal->setFocus();
    fMain->setGatewayRunsEnabled(false);
    SetTerminalTimeouts(&CurrentConnection);
    terminalKeepAlivePending = false; // an "AT" of an earlier opening is no concern of this one's
    if (!neverLooks_)
        neverLooks_.emplace();
    if (CurrentConnection.LinkType == LinkTelnet) {
        liveTools.setRoute(LiveToolSlot::Terminal, true);
        const QByteArray waiting = TakeTcpReceived();
        ClearTcpReceived();
        if (!waiting.isEmpty())
            fMain->routeTcpText(waiting); // it passed the link's one place as it came
    } else if (!terminalThread) {
        terminalThread = new TTerminal;
    }
}

void TerminalPart::leaveTerminal()
{
    pasteTimer_->stop();
    pasteQueue_.clear();
    // The gateway still waits in its login dialogue (the user did not log in here by hand): once the leaving
    // line end is out, the session counts as ended, so that nothing more goes in as a user name or a password.
    // The reader stops first (the last line judged as it left it, before the leaving line end can bring the
    // gateway's answer, a bare line end, which would hide the prompt on show); then the leaving line takes what
    // the link owes like every command's write.
    bool atLogin = false;
    bool reading = false;
    if (terminalOverTcp) {
        atLogin = AtLoginDialogue(mTerminal->document()->lastBlock().text().toLatin1());
        liveTools.setRoute(LiveToolSlot::Terminal, false);
        reading = true;
    } else if (terminalThread) {
        StopLiveWorker(terminalThread);
        atLogin = AtLoginDialogue(terminalText);
        reading = true;
    }
    neverLooks_.reset();
    if (reading)
        writeLeavingLine();
    if (atLogin)
        EndLinkSession();
    // Another tool's run that goes on through this dispatch (tracing, its topic chosen again) keeps them
    // disabled; every run enables them at its end.
    if (!liveTools.anyHoldsGatewayRuns())
        fMain->setGatewayRunsEnabled(true);
    mTerminal->hide();
}

void TerminalPart::mTerminalKeyPress(char& key)
{
    if (!CurrentConnection.Connected)
        connectForPageRun();
    if (!CurrentConnection.Connected) {
        fMain->mDisconnectClick();
        return;
    }
    lastLinkActivity.store(Clock::seconds());
    if (!terminalOverTcp && !terminalThread) {
        // The reader is gone (a Disconnect and a new connect meanwhile): open the terminal anew.
        if (CurrentConnection.LinkType == LinkSerial && !CurrentConnection.Handle)
            return;
        OpenTerminal();
    }
    if (key == 3 || key == 22)
        return; // copy and paste are the memo's
    const quint8 type = CurrentConnection.LinkType;
    bool sent = true;
    if (type == LinkSerial || type == LinkModem || type == LinkIsdnModem) {
        sent = LinkWrite(CurrentConnection, QByteArray(1, key), 1) == 1;
    } else if (!TelnetSendKey(key)) {
        sent = false;
        fMain->mDisconnectClick();
    }
    if (sent)
        noteKeySent(key);
    if (key != '\b') {
        key = 0;
        return;
    }
    // Backspace erases locally, except at the very start or right after a line break.
    const QTextCursor cursor = mTerminal->textCursor();
    if (cursor.atStart() || cursor.positionInBlock() == 0)
        key = 0;
}

void TerminalPart::noteKeySent(char key)
{
    if (key == '\r') {
        // The line goes to the gateway as a command: its reply is owed until the terminal's reader has seen its end,
        // and if the terminal is left before that, whoever writes next takes it first.
        if (lineTyped_ > 0)
            OweTypedLine();
        lineTyped_ = 0;
    } else if (key == '\b') {
        lineTyped_ = std::max(lineTyped_ - 1, 0);
    } else if (key != '\n') {
        ++lineTyped_;
    }
}

void TerminalPart::writeLeavingLine()
{
    // Text typed without Return becomes a command with the leaving line end; an empty line is answered by nothing.
    WriteCommand("\r\n", {lineTyped_ > 0 ? CommandReply::Always : CommandReply::Never});
    lineTyped_ = 0;
}

void TerminalPart::mTerminalPaste(const QByteArray& text)
{
    const qsizetype zero = text.indexOf('\0');
    pasteQueue_ += zero >= 0 ? text.left(zero) : text;
    if (!pasteQueue_.isEmpty() && !pasteTimer_->isActive())
        pasteTimer_->start();
}

void TerminalPart::sendNextPasted()
{
    if (!TimersMaySend())
        return; // the next byte goes out at the next tick, once the answer awaited now is in
    if (pasteQueue_.isEmpty()) {
        pasteTimer_->stop();
        return;
    }
    char key = pasteQueue_.front();
    pasteQueue_.remove(0, 1);
    mTerminalKeyPress(key); // the key's value afterwards means nothing for a pasted byte
    // Without a link the rest of the paste is dropped: each byte would try to connect again.
    if (!CurrentConnection.Connected)
        pasteQueue_.clear();
    if (pasteQueue_.isEmpty())
        pasteTimer_->stop();
}
