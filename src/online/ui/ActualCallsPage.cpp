#include "online/ui/ActualCallsPage.h"

#include "link/CommandWrite.h"
#include "link/LinkIo.h"
#include "link/LinkState.h"
#include "link/LiveTools.h"
#include "link/ui/ConnectionPart.h"
#include "online/ActualCalls.h"
#include "online/LiveCells.h"
#include "platform/Wait.h"
#include "texts/LabelRule.h"
#include "ui/PageArea.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QAction>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kActualTopic = 235;
constexpr int kClipTopic = 704; // the CLIP table's node ...
constexpr int kClipTitle = 705; // ... and the title its page shows (its currentTopic)

const char* const kArrangements[4][2] = {
    {"rb1", "Arrange by B-channel number"},
    {"rb2", "All calls on connecting layer (not sotred)"},
    {"rb3", "Arrange by number of GSM module"},
    {"rb4", "Calls from BRI 1 to BRI 2 By PRI 2"},
};

} // namespace

void ActualCallsPage::buildActualCallsPage(QWidget* host)
{
    pActual = addTopicPage(host, "pActual", kActualTopic);
    addTopicToPage(pActual, kClipTopic);
    QWidget* page = pActual->widget();

    gb1 = named(new QGroupBox(page), "gb1");
    auto* arrangements = new QGridLayout(gb1);
    QRadioButton** radios[4] = {&rb1, &rb2, &rb3, &rb4};
    for (int i = 0; i < 4; ++i) {
        *radios[i] = named(new QRadioButton(QString::fromLatin1(kArrangements[i][1]), gb1), kArrangements[i][0]);
        arrangements->addWidget(*radios[i], i / 2, i % 2);
    }
    rb1->setChecked(true);

    mmActual = named(new QPlainTextEdit(page), "mmActual");
    mmActual->setReadOnly(true);
    mmActual->setLineWrapMode(QPlainTextEdit::NoWrap); // both scroll bars: the table keeps its columns
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    mmActual->setFont(fixed);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(gb1);
    layout->addWidget(mmActual, 1);

    tActual = new QTimer(pActual);
    tActual->setObjectName(QStringLiteral("tActual"));
    tActual->setInterval(1000);
    QObject::connect(tActual, &QTimer::timeout, pActual, [this] { tActualTimer(); });

    LiveTool tool;
    tool.topic = kActualTopic; // any other topic stops the poll (the CLIP table's section starts it again)
    tool.running = [this] { return tActual->isActive() || actualPollRunning_; };
    tool.stopForLeave = [this] { stopActualPolls(); };
    tool.stopForDisconnect = [this] { stopActualPolls(); };
    tool.stopForClose = [this] { stopActualPolls(); };
    // The link is gone: the page ends as the poll guard ends it, without a word (its failed polls say none).
    tool.stopForLinkLoss = [this] {
        stopActualPolls();
        pActual->hide();
    };
    tool.tellsLinkLoss = false;
    // A poll waits for its reply with the window's events running: the keep-alive must not talk meanwhile.
    tool.holdsLink = [this] { return tActual->isActive() || actualPollRunning_; };
    tool.readsLink = [] { return false; }; // the poll reads through Exchange, like any page
    liveTools.add(LiveToolSlot::ActualCalls, tool);

    if (fMain) {
        fMain->setTopicSection(kActualTopic, [this](bool chosen) { return actualSection(kActualTopic, chosen); });
        fMain->setTopicSection(kClipTopic, [this](bool chosen) { return actualSection(kClipTopic, chosen); });
    }
}

void ActualCallsPage::setLabelsActual(const Tlabels& t)
{
    QRadioButton* radios[4] = {rb1, rb2, rb3, rb4};
    for (int i = 0; i < 4; ++i)
        radios[i]->setText(labelOr(t, 501 + i, QString::fromLatin1(kArrangements[i][1])));
}

void ActualCallsPage::stopActualPolls()
{
    ++actualEntries_;
    tActual->stop();
}

bool ActualCallsPage::actualSection(int topic, bool chosen)
{
    if (!chosen)
        return true; // the leaving step of the actual calls hides the page for both topics
    const bool clip = topic == kClipTopic;
    const int title = clip ? kClipTitle : kActualTopic;
    fMain->lbMain->setText(labelText(title));
    fMain->lbMain->repaint();
    currentTopic = title;
    if (!connectForPageRun())
        return true;
    const quint64 entry = ++actualEntries_;
    mmActual->clear();
    gb1->setVisible(!clip);
    fMain->setGatewayRunsEnabled(false);
    pActual->show();
    pActual->raise();
    actualUnfinishedPolls = clip ? 1 : 0;
    pActual->repaint();
    QByteArray probe;
    SendCommandOk(QByteArrayLiteral("at\r\n"), probe, clip ? 4096 : 128);
    WaitPumping(clip ? 100 : 300);
    // The probe and the pause let other handlers run: a page left, entered anew or disconnected meanwhile
    // must not get a timer that nothing stops.
    if (entry == actualEntries_ && !pActual->isHidden() && CurrentConnection.Connected)
        tActual->start();
    return true;
}

void ActualCallsPage::tActualTimer()
{
    if (!pActual->isHidden())
        PollActualCalls();
}

void ActualCallsPage::PollActualCalls()
{
    // The reply is awaited with the window's events running, so a tick can come back here before it is in;
    // a second poll would put its command between the first one and its reply. One poll at a time.
    if (actualPollRunning_ || !TimersMaySend())
        return; // a tick inside another exchange's wait skips its turn
    const int old = actualUnfinishedPolls.fetch_add(1);
    if (old > 3) {
        tActual->stop();
        pActual->hide();
        return;
    }
    if (const auto table = ActualTableOf(currentTopic)) {
        const quint64 entry = actualEntries_;
        actualPollRunning_ = true;
        const bool complete = fetchActualTable(*table, entry);
        actualPollRunning_ = false;
        if (!complete)
            return;
    }
    actualUnfinishedPolls = 0;
}

bool ActualCallsPage::fetchActualTable(const ActualTable& table, quint64 entry)
{
    const ExchangeResult e = Exchange(table.command, 100);
    if (!e.written)
        return false;
    const QByteArray& reply = e.reply;
    if (entry != actualEntries_)
        return false; // the page was left or entered anew while the reply came: it is not this page's any more
    mmActual->clear();
    const std::optional<QByteArray> text = ActualTableText(reply, table.mark);
    if (!text)
        return false;
    mmActual->setPlainText(QString::fromLatin1(*text));
    return true;
}
