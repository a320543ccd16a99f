// The user's input while an answer is awaited, given as the window system delivers it: held, then delivered in
// order and routed as if given then; the Disconnect and the close still end a wait at once; input to the
// disabled main window does nothing; a long wait shows the busy cursor, a box none; the modem diagnostics take
// input between their commands.
#include "LiveToolFixture.h"
#include "SystemInput.h"

#include "link/LinkIo.h"
#include "online/Diagnostics.h"
#include "online/LiveCells.h"
#include "online/OnlineQueries.h"
#include "pages/PageFrame.h"
#include "support/FreezeMeter.h"
#include "ui/TfHelp.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <QTreeWidget>
#include <random>

namespace {

constexpr int kOutgoingTopic = 34;
constexpr char kNineDigits[] = "012345678"; // what the SMS number edit (9 characters) keeps of the typing

class InputHoldTest;

struct HoldRow
{
    const char* name;
    Link link;
    int delayMs; // the gateway's answers start this late
    std::function<void(InputHoldTest&)> run;
};

void PrintTo(const HoldRow& row, std::ostream* os)
{
    *os << row.name;
}

class InputHoldTest : public LiveToolTest, public ::testing::WithParamInterface<HoldRow>
{
public:
    using LiveToolTest::dialogs;
    using LiveToolTest::received;
    using LiveToolTest::waitUntil;
    gatewaysim::Gateway& sim() { return *gateway; }

    // The keep-alive's turn, as its timer finds it after 90 s without link activity.
    static void keepAlive()
    {
        lastLinkActivity.store(Clock::seconds() - 100);
        fMain->tLoginTimerTimer();
    }

    // Thirty digits typed at 60 ms from now; typed() counts them.
    void typeDigits()
    {
        typing_.setInterval(60);
        QObject::connect(&typing_, &QTimer::timeout, [this] {
            systemInput::type(fMain, QChar(u'0' + typed_ % 10));
            if (++typed_ == 30)
                typing_.stop();
        });
        typing_.start();
    }
    int typed() const { return typed_; }

    static QLineEdit* smsEdit() { return fMain->edOutSmsNumber; }
    static void focusSmsEdit()
    {
        fMain->selectTopic(kOutgoingTopic);
        smsEdit()->clear();
        fMain->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(fMain));
        smsEdit()->setFocus();
    }
    static void clickTopic(int topic)
    {
        QTreeWidgetItem* node = fMain->topicNodeOf(topic);
        fMain->tvTopic->scrollToItem(node);
        systemInput::click(fMain->tvTopic->viewport(), fMain->tvTopic->visualItemRect(node).center());
    }
    static QWidget* disconnectButton() { return fMain->tbMain->widgetForAction(fMain->tbDisconnect); }

private:
    QTimer typing_;
    int typed_ = 0;
};

TEST_P(InputHoldTest, Rows)
{
    ASSERT_NO_FATAL_FAILURE(connectLate(GetParam().link, GetParam().delayMs));
    ASSERT_NO_FATAL_FAILURE(showMainWindow());
    GetParam().run(*this);
}

// Every digit typed during the keep-alive's wait reaches the edit, in order.
void typingDuringKeepAlive(InputHoldTest& t)
{
    ASSERT_NO_FATAL_FAILURE(InputHoldTest::focusSmsEdit());
    t.typeDigits();
    QTimer::singleShot(150, &InputHoldTest::keepAlive);
    ASSERT_TRUE(t.waitUntil([&] { return t.typed() == 30 && !LinkExchangeWaiting(); }, 10000));
    t.waitUntil([] { return InputHoldTest::smsEdit()->text().size() == 9; }, 2000);
    EXPECT_EQ(InputHoldTest::smsEdit()->text(), QLatin1String(kNineDigits));
    EXPECT_TRUE(t.received().contains("AT\r\n")) << t.received().toStdString();
}

// Gives the input once, as soon as an exchange waits for its answer (watch looks every 5 ms while it lives).
void giveOnceAWaitBegins(QTimer& watch, std::function<void()> give)
{
    QObject::connect(&watch, &QTimer::timeout, [&watch, give = std::move(give)] {
        if (!LinkExchangeWaiting())
            return;
        watch.stop();
        give();
    });
    watch.start(5);
}

// A click on the outgoing topic and one on its SMS number edit, given while a poll of the actual calls waits,
// then digits: the page changes first, so the edit is there for the second click and takes every digit.
void typingAfterClicksDuringAPoll(InputHoldTest& t)
{
    fMain->selectTopic(kOutgoingTopic); // lays the page out: the edit's place is known while it is hidden
    InputHoldTest::smsEdit()->clear();
    fMain->selectTopic(235);
    QTimer watch;
    giveOnceAWaitBegins(watch, [&] {
        InputHoldTest::clickTopic(kOutgoingTopic);
        systemInput::click(InputHoldTest::smsEdit());
        t.typeDigits();
    });
    ASSERT_TRUE(t.waitUntil([&] { return t.typed() == 30; }, 15000));
    t.waitUntil([] { return InputHoldTest::smsEdit()->text().size() == 9; }, 2000);
    EXPECT_EQ(currentTopic, kOutgoingTopic);
    EXPECT_TRUE(InputHoldTest::smsEdit()->hasFocus());
    EXPECT_EQ(InputHoldTest::smsEdit()->text(), QLatin1String(kNineDigits));
}

// Clicks on the actual calls page's radio buttons at random moments, the first inside a poll's wait: each
// takes effect, in order, and none stays drawn pressed.
void radioClicksDuringPolls(InputHoldTest& t)
{
    fMain->selectTopic(235);
    QRadioButton* const radios[4] = {fMain->rb1, fMain->rb2, fMain->rb3, fMain->rb4};
    std::vector<QRadioButton*> clicked;
    std::vector<QRadioButton*> checked;
    for (QRadioButton* radio : radios)
        QObject::connect(radio, &QRadioButton::toggled, radio, [&, radio](bool on) {
            if (on)
                checked.push_back(radio);
        });
    std::mt19937 random(43);
    std::uniform_int_distribution<int> gap(150, 450);
    QElapsedTimer clock;
    clock.start();
    qint64 next = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (clicked.size() == 12 || clock.elapsed() < next || (clicked.empty() && !LinkExchangeWaiting()))
            return;
        QRadioButton* radio = radios[(clicked.size() + 1) % 4]; // rb1 is checked at the start
        clicked.push_back(radio);
        systemInput::click(radio, QPoint(8, radio->height() / 2)); // on its round mark
        next = clock.elapsed() + gap(random);
    });
    watch.start(5);
    t.waitUntil([&] { return clicked.size() == 12 && checked.size() == 12; }, 20000);
    EXPECT_EQ(checked, clicked);
    for (QRadioButton* radio : radios)
        EXPECT_FALSE(radio->isDown()) << radio->objectName().toStdString();
}

// A menu open when the monitor's late answer begins to be awaited: its item, chosen during the wait, runs once
// the answer is in, with no box, and its command follows the monitor's.
void menuItemDuringAWait(InputHoldTest& t, QMenu* menu, QAction* item, const QByteArray& command)
{
    fMain->selectTopic(543);
    fMain->ed1->setValue(0);
    menu->popup(fMain->mapToGlobal(QPoint(300, 120)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTimer::singleShot(500, [&] { systemInput::click(menu, menu->actionGeometry(item).center()); });
    fMain->sbSendClick();
    EXPECT_TRUE(fMain->mMonitor->toPlainText().contains(QStringLiteral("GSM0 monitor")));
    EXPECT_TRUE(t.waitUntil([&] { return t.received().contains(command); }, 10000)) << t.received().toStdString();
    t.waitUntil([] { return !LinkExchangeWaiting(); });
    EXPECT_LT(t.received().indexOf(MonitorCommand(0)), t.received().indexOf(command));
    EXPECT_TRUE(t.dialogs().boxes().isEmpty()) << qPrintable(t.dialogs().boxTexts().join('|'));
}

void bufferStateFromAMenu(InputHoldTest& t)
{
    menuItemDuringAWait(t, fMain->mGatewayControl, fMain->mBuffer, "AT!Q\r\n");
    EXPECT_EQ(fMain->lbBuffer1->text(), QStringLiteral("48211"));
}

void languageFromItsMenu(InputHoldTest& t)
{
    menuItemDuringAWait(t, fMain->mLanguage, fMain->mCzech, "ATI4\r\n");
    EXPECT_TRUE(fMain->mCzech->isChecked());
}

// The modem diagnostics pause 2 s before their commands without awaiting an answer: a click on another topic
// one second after entering leaves the page at once.
void leavingModemDiagnostics(InputHoldTest& t)
{
    QElapsedTimer clock;
    clock.start();
    qint64 clickedAt = 0;
    qint64 leftAt = 0;
    QTimer::singleShot(1000, [&] {
        InputHoldTest::clickTopic(kOutgoingTopic);
        clickedAt = clock.elapsed();
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (clickedAt && !leftAt && fMain->pDiag->isHidden())
            leftAt = clock.elapsed();
    });
    watch.start(5);
    fMain->selectTopic(26);
    ASSERT_TRUE(t.waitUntil([&] { return leftAt > 0; }, 15000));
    EXPECT_LT(leftAt - clickedAt, 1000);
    EXPECT_EQ(currentTopic, kOutgoingTopic);
}

// The busy cursor over the page's edit: shown once a wait has lasted 0.3 s, gone within 0.5 s after it ends;
// never at full speed.
void busyCursor(InputHoldTest& t)
{
    ASSERT_NO_FATAL_FAILURE(InputHoldTest::focusSmsEdit());
    systemInput::mouse(InputHoldTest::smsEdit(), QEvent::MouseMove);
    t.waitUntil([] { return false; }, 100);
    ASSERT_TRUE(t.waitUntil([] { return !QGuiApplication::overrideCursor(); }, 1000)); // the connect's is gone
    QElapsedTimer clock;
    qint64 firstBusy = -1;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        if (firstBusy < 0 && cursor && cursor->shape() == Qt::BusyCursor)
            firstBusy = clock.elapsed();
    });
    sample.start(10);
    clock.start();
    InputHoldTest::keepAlive();
    EXPECT_TRUE(t.waitUntil([] { return !QGuiApplication::overrideCursor(); }, 500));
    if (t.GetParam().delayMs == 0) {
        EXPECT_EQ(firstBusy, -1);
    } else {
        EXPECT_GE(firstBusy, 300);
        EXPECT_LT(firstBusy, 1000);
    }
}

// The tool-bar Disconnect and the close, given after digits and a click on Buffer state during a silent gateway's
// wait, end the wait at once. After the Disconnect the digits, held, reach the edit, and the click shows its
// topic without connecting again: nothing more reaches the gateway, and no box; nothing runs after the close.
void endOfAWait(InputHoldTest& t, bool close)
{
    ASSERT_NO_FATAL_FAILURE(InputHoldTest::focusSmsEdit());
    gatewaysim::Faults silent;
    silent.silent = true;
    t.sim().setFaults(silent);
    QElapsedTimer clock;
    qint64 endAskedAt = 0;
    QTimer::singleShot(300, [] {
        for (QChar c : QStringLiteral("123"))
            systemInput::type(fMain, c);
        InputHoldTest::clickTopic(494);
    });
    if (close)
        t.dialogs().answerBox(IDNO); // the page changed: not saved
    QTimer::singleShot(1000, [&] {
        if (close)
            systemInput::close(fMain);
        else
            systemInput::click(InputHoldTest::disconnectButton());
        endAskedAt = clock.elapsed();
    });
    clock.start();
    InputHoldTest::keepAlive();
    ASSERT_GT(endAskedAt, 0);
    EXPECT_LT(clock.elapsed() - endAskedAt, 1000);
    const QByteArray sent = t.received();
    t.waitUntil([] { return false; }, 1500);
    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_EQ(t.received(), sent);
    EXPECT_EQ(InputHoldTest::smsEdit()->text(), close ? QString() : QStringLiteral("123"));
    if (!close)
        EXPECT_TRUE(t.dialogs().boxes().isEmpty()) << qPrintable(t.dialogs().boxTexts().join('|'));
}

// Clicks on the main window while a whole save keeps it disabled: a topic and a check box. Nothing of them
// happens, during the save or after it.
void clicksOnTheDisabledWindow(InputHoldTest& t)
{
    fMain->selectTopic(kOutgoingTopic);
    QCheckBox* same = fMain->cbOutSame;
    const bool wasChecked = same->isChecked();
    QTimer::singleShot(300, [] { InputHoldTest::clickTopic(494); }); // the buffer state asks "AT!Q"
    QTimer::singleShot(600, [same] { systemInput::click(same); });
    QElapsedTimer clock;
    clock.start();
    fMain->tbSaveGateClick();
    ASSERT_GT(clock.elapsed(), 700); // the clicks came during the save
    EXPECT_EQ(t.dialogs().boxTexts(), QStringList{labelText(kTextSaveDone)});
    t.waitUntil([] { return false; }, 1000);
    EXPECT_EQ(currentTopic, kOutgoingTopic);
    EXPECT_EQ(same->isChecked(), wasChecked);
    EXPECT_FALSE(t.received().contains("AT!Q"));
}

// The tree's current and highlighted node is the one of the page on show.
void expectTreeNames(int topic)
{
    QTreeWidgetItem* node = fMain->topicNodeOf(topic);
    EXPECT_EQ(fMain->tvTopic->currentItem(), node);
    EXPECT_EQ(fMain->tvTopic->selectedItems(), QList<QTreeWidgetItem*>{node});
}

// Buffer state clicked while the modem diagnostics are entered: the buffer page shows with its own values, the
// tree names it, and nothing of the diagnostics goes out after its command.
void bufferStateDuringModemDiagnosticsEntry(InputHoldTest& t)
{
    for (int afterMs : {320, 380, 440}) {
        SCOPED_TRACE(afterMs);
        fMain->selectTopic(kOutgoingTopic);
        t.sim().clearLog();
        QTimer::singleShot(0, [] { InputHoldTest::clickTopic(26); });
        QTimer::singleShot(afterMs, [] { InputHoldTest::clickTopic(494); });
        ASSERT_TRUE(t.waitUntil([] { return currentTopic == 494 && !LinkInputHeld(); }, 10000));
        t.waitUntil([] { return false; }, 2500); // the diagnostics' pause, had it gone on
        const QByteArray received = t.received();
        EXPECT_EQ(currentTopic, 494);
        EXPECT_EQ(fMain->lbBuffer1->text(), QStringLiteral("48211"));
        EXPECT_TRUE(fMain->pDiag->isHidden());
        EXPECT_FALSE(fMain->tDiag->isActive());
        EXPECT_FALSE(received.mid(received.indexOf("AT!Q")).contains("AT&")) << received.toStdString();
        expectTreeNames(494);
    }
}

// Topics clicked fast while the serial diagnostics are entered and left, answers 400 ms late: the gateway never
// gets a command while it still owes a reply, and the page and the tree end on the last topic clicked.
void topicsAroundSerialDiagnostics(InputHoldTest& t)
{
    const std::pair<int, int> clicks[] = {{494, 450}, {26, 1500}, {494, 480}, {26, 1700}, {30, 300},  {26, 1200},
                                          {494, 510}, {26, 900},  {34, 200},  {26, 2000}, {494, 420}, {26, 600}};
    int at = 0;
    for (const auto& [topic, gapMs] : clicks) {
        QTimer::singleShot(at, [topic = topic] { InputHoldTest::clickTopic(topic); });
        at += gapMs;
    }
    QTimer::singleShot(at, [] { InputHoldTest::clickTopic(kOutgoingTopic); });
    t.waitUntil([] { return false; }, at + 200);
    ASSERT_TRUE(t.waitUntil([] { return currentTopic == kOutgoingTopic && !LinkInputHeld() && !diagThread; }, 10000));
    t.waitUntil([&] { return !t.sim().sending(); }, 3000);
    QList<QByteArray> commands = t.sim().linesWhileReplying();
    commands.removeIf([](const QByteArray& line) { return line.trimmed().isEmpty(); }); // a telnet line's LF
    EXPECT_EQ(commands, QList<QByteArray>{}) << t.received().toStdString();
    EXPECT_TRUE(t.received().contains("AT!Q\r\n"));
    EXPECT_TRUE(t.received().contains("AT&S00\r\n"));
    expectTreeNames(kOutgoingTopic);
}

// File > Load chosen while the diagnostics' worker awaits its own command's reply: the diagnostics page keeps
// the whole load off, from the menu as from the tool bar, so nothing of it goes out.
void loadOnTheDiagnosticsPage(InputHoldTest& t)
{
    fMain->selectTopic(26);
    ASSERT_TRUE(t.waitUntil([] { return OwedReplyNow().readUntilMs != 0; }, 10000));
    fMain->mFile->popup(fMain->mapToGlobal(QPoint(300, 120)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fMain->mFile));
    systemInput::click(fMain->mFile, fMain->mFile->actionGeometry(fMain->mLoad).center());
    t.waitUntil([] { return false; }, 1500);
    fMain->mFile->hide();
    EXPECT_FALSE(t.received().contains("AT&V0\r\n")) << t.received().toStdString();
    EXPECT_TRUE(t.dialogs().boxes().isEmpty()) << qPrintable(t.dialogs().boxTexts().join('|'));
    EXPECT_TRUE(t.received().contains("AT&S00\r\n")) << "the diagnostics polled meanwhile";
}

// Random clicks on a modem, the terminal among the topics: the window never stands still for more than 1 s.
void randomTopicsOnAModem(InputHoldTest& t)
{
    const int topics[] = {26, 21, 494, 21, 30, 543};
    std::mt19937 random(46);
    std::uniform_int_distribution<int> gap(100, 800);
    std::uniform_int_distribution<int> pick(0, std::size(topics) - 1);
    const FreezeMeter freeze(20);
    for (int at = 0; at < 25000; at += gap(random))
        QTimer::singleShot(at, [topic = topics[pick(random)]] { InputHoldTest::clickTopic(topic); });
    t.waitUntil([] { return false; }, 26000);
    EXPECT_LT(freeze.longestMs(), 1000);
    EXPECT_TRUE(t.received().contains("AT&S00\r\n"));
}

// A press that went through 50 ms before the keep-alive's turn, released 100 ms into its wait; returns once the
// held input has been delivered.
void pressAcrossKeepAlive(InputHoldTest& t, QWidget* w, QPoint pos)
{
    systemInput::mouse(w, QEvent::MouseButtonPress, pos);
    QTimer::singleShot(50, &InputHoldTest::keepAlive);
    QTimer::singleShot(150, [w, pos] { systemInput::mouse(w, QEvent::MouseButtonRelease, pos); });
    ASSERT_TRUE(t.waitUntil([&] { return t.received().contains("AT\r\n") && !LinkInputHeld(); }, 5000));
    t.waitUntil([] { return false; }, 300);
}

// The SMS delay's up arrow: one click is one step, whatever wait began meanwhile.
void spinArrowAcrossAWait(InputHoldTest& t)
{
    fMain->selectTopic(kOutgoingTopic);
    QSpinBox* delay = fMain->seOutDelaySms;
    delay->setValue(0);
    pressAcrossKeepAlive(t, delay, QPoint(delay->width() - 5, delay->height() / 4));
    EXPECT_EQ(delay->value(), 1);
}

// A push button's click across the same wait runs once, after the wait.
void buttonClickAcrossAWait(InputHoldTest& t)
{
    fMain->selectTopic(kOutgoingTopic);
    int clicks = 0;
    bool inWait = false;
    QObject scope;
    QObject::connect(fMain->sbOutSaveFile, &QPushButton::clicked, &scope, [&] {
        ++clicks;
        inWait = inWait || LinkInputHeld();
    });
    pressAcrossKeepAlive(t, fMain->sbOutSaveFile, {});
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(inWait);
}

// A menu item clicked during the keep-alive's wait, then keys typed (typing).
void menuItemThenKeys(QMenu* menu, QAction* item, std::function<void()> typing)
{
    menu->popup(fMain->mapToGlobal(QPoint(300, 120)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTimer::singleShot(300, [=] {
        systemInput::click(menu, menu->actionGeometry(item).center());
        typing();
    });
    InputHoldTest::keepAlive();
}

// File > Save as..., then "xyz" typed for typedTo (the main window, or the open menu that has the keyboard): the
// keys land in the dialog the held click opens.
void keysIntoTheDialogAHeldClickOpened(InputHoldTest& t, QWidget* typedTo)
{
    QString name;
    t.dialogs().showNext([&](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        t.waitUntil([&] { return edit->text().contains(u"xyz"); }, 2000);
        name = edit->text();
    });
    ASSERT_NO_FATAL_FAILURE(menuItemThenKeys(fMain->mFile, fMain->mSaveAs, [typedTo] {
        for (QChar c : QStringLiteral("xyz"))
            systemInput::type(typedTo, c);
    }));
    ASSERT_TRUE(t.waitUntil([&] { return !t.dialogs().fileDialogs().isEmpty(); }, 5000));
    EXPECT_TRUE(name.contains(u"xyz")) << name.toStdString();
}

// Language > Czech, then digits typed for the open menu: the menu has closed, and they reach the focused edit.
void keysFromAClosedMenuIntoTheWindow(InputHoldTest& t)
{
    ASSERT_NO_FATAL_FAILURE(InputHoldTest::focusSmsEdit());
    ASSERT_NO_FATAL_FAILURE(menuItemThenKeys(fMain->mLanguage, fMain->mCzech, [] {
        for (QChar c : QStringLiteral("123"))
            systemInput::type(fMain->mLanguage, c);
    }));
    t.waitUntil([] { return InputHoldTest::smsEdit()->text().size() == 3; }, 8000);
    EXPECT_EQ(InputHoldTest::smsEdit()->text(), QStringLiteral("123"));
}

// On the polling actual calls page, Help clicked on the menu bar, About... once a poll's wait has begun and Escape
// 0.2 s after that: the about box the held click opens takes the Escape. Help is clicked during that wait too
// (the Escape is typed for the main window), or with no wait running, 0.12-0.25 s before the poll (the open menu
// has the keyboard).
void escapeIntoTheAboutBox(InputHoldTest& t, bool helpBeforeThePoll)
{
    QMenuBar* bar = fMain->mMain;
    const QPoint helpAt = bar->actionGeometry(fMain->mHelp->menuAction()).center();
    systemInput::click(bar, helpAt); // lays the menu out where the held click opens it
    ASSERT_TRUE(t.waitUntil([] { return fMain->mHelp->isVisible(); }, 2000));
    const QPoint aboutAt = fMain->mHelp->actionGeometry(fMain->mAbout).center();
    fMain->mHelp->hide();
    int closed = 0;
    QObject::connect(fHelp, &QDialog::finished, fHelp, [&] { ++closed; });
    fMain->selectTopic(235);
    QTimer watch;
    QTimer beforePoll;
    const auto aboutThenEscape = [&](int afterMs, QWidget* typedTo) {
        QTimer::singleShot(afterMs, [aboutAt] { systemInput::click(fMain->mHelp, aboutAt); });
        QTimer::singleShot(afterMs + 200, [typedTo] { systemInput::key(typedTo, Qt::Key_Escape, Qt::NoModifier); });
    };
    if (helpBeforeThePoll) {
        QObject::connect(&beforePoll, &QTimer::timeout, [&] {
            const int toPoll = fMain->tActual->remainingTime();
            if (LinkInputHeld() || toPoll < 120 || toPoll > 250)
                return;
            beforePoll.stop();
            systemInput::click(bar, helpAt);
            giveOnceAWaitBegins(watch, [&] { aboutThenEscape(0, fMain->mHelp); });
        });
        beforePoll.start(5);
    } else {
        giveOnceAWaitBegins(watch, [&] {
            systemInput::click(bar, helpAt);
            aboutThenEscape(120, fMain);
        });
    }
    EXPECT_TRUE(t.waitUntil([&] { return closed > 0; }, 10000));
    EXPECT_FALSE(fHelp->isVisible());
    EXPECT_TRUE(fMain->isEnabled());
}

// Buffer state's "AT!Q" is answered "ERROR", every answer the row's delay late: box 56.
void bufferStateAnsweredErrorLate(InputHoldTest& t)
{
    gatewaysim::Faults faults;
    faults.replyDelayMs = t.GetParam().delayMs;
    faults.errorOn = {"AT!Q"};
    t.sim().setFaults(faults);
}

// Buffer state from its menu, held; its own exchange ends in box 56 (AT!Q answered "ERROR"). A Return typed
// during that exchange's wait does not answer the box.
void returnIntoAWaitThatEndsInABox(InputHoldTest& t)
{
    bufferStateAnsweredErrorLate(t);
    bool boxStayed = false;
    t.dialogs().showNext([&](QDialog& box) {
        t.waitUntil([] { return false; }, 500);
        boxStayed = box.isVisible();
    });
    ASSERT_NO_FATAL_FAILURE(menuItemThenKeys(fMain->mGatewayControl, fMain->mBuffer, [] {}));
    QTimer::singleShot(500, [] { systemInput::key(fMain, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); });
    ASSERT_TRUE(t.waitUntil([&] { return !t.dialogs().boxes().isEmpty(); }, 10000));
    EXPECT_EQ(t.dialogs().boxTexts(), QStringList{labelText(56)});
    EXPECT_TRUE(boxStayed);
}

// Buffer state clicked, its "AT!Q" answered "ERROR" late: box 56, shown by the entry while the input stays held,
// waits for the user under the ordinary cursor; after it nothing busy is left.
void boxOfATopicsEntryWithoutBusyCursor(InputHoldTest& t)
{
    bufferStateAnsweredErrorLate(t);
    bool heldUnderBox = false;
    int busyUnderBox = 0; // samples that found the busy cursor while the box waited
    t.dialogs().answerBoxAfter(
        [&] {
            heldUnderBox = LinkInputHeld();
            QTimer look;
            QObject::connect(&look, &QTimer::timeout, [&] {
                const QCursor* cursor = QGuiApplication::overrideCursor();
                busyUnderBox += cursor && cursor->shape() == Qt::BusyCursor;
            });
            look.start(10);
            t.waitUntil([] { return false; }, 1000);
        },
        IDOK);
    InputHoldTest::clickTopic(494);
    ASSERT_TRUE(t.waitUntil([&] { return !t.dialogs().boxes().isEmpty() && !LinkInputHeld(); }, 10000));
    EXPECT_EQ(t.dialogs().boxTexts(), QStringList{labelText(56)});
    EXPECT_TRUE(heldUnderBox);
    EXPECT_EQ(busyUnderBox, 0);
    EXPECT_TRUE(t.waitUntil([] { return !QGuiApplication::overrideCursor(); }, 1000));
}

// A page's save with late answers: once shown, the busy cursor stays until the run is over (no gap longer than
// 150 ms), and is gone within 0.5 s after the run's box.
void busyCursorThroughASave(InputHoldTest& t)
{
    QElapsedTimer clock;
    qint64 firstBusy = -1;
    qint64 notBusySince = -1; // seen without the busy cursor since, after it was first shown
    qint64 longestGap = 0;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        const bool busy = cursor && cursor->shape() == Qt::BusyCursor;
        const qint64 now = clock.elapsed();
        if (busy && notBusySince >= 0)
            longestGap = std::max(longestGap, now - notBusySince);
        if (busy && firstBusy < 0)
            firstBusy = now;
        notBusySince = busy || firstBusy < 0 ? -1 : notBusySince < 0 ? now : notBusySince;
    });
    qint64 goneAfterBox = -1;
    t.dialogs().answerBoxAfter(
        [&] {
            sample.stop();
            clock.restart();
            if (t.waitUntil([] { return !QGuiApplication::overrideCursor(); }, 1000))
                goneAfterBox = clock.elapsed();
        },
        IDOK);
    clock.start();
    sample.start(10);
    fMain->sbOutSaveClick();
    EXPECT_GE(firstBusy, 0);
    EXPECT_LE(longestGap, 150);
    EXPECT_GE(goneAfterBox, 0);
    EXPECT_LT(goneAfterBox, 500);
}

// A shortcut (paste) and a digit typed into the SMS number edit during one wait: the paste pastes, then the
// digit follows.
void shortcutAndLetterDuringAWait(InputHoldTest& t)
{
    ASSERT_NO_FATAL_FAILURE(InputHoldTest::focusSmsEdit());
    QGuiApplication::clipboard()->setText(QStringLiteral("55"));
    QTimer::singleShot(300, [] {
        systemInput::key(fMain, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
        systemInput::type(fMain, u'4');
    });
    InputHoldTest::keepAlive();
    t.waitUntil([] { return InputHoldTest::smsEdit()->text().size() == 3; }, 1000);
    EXPECT_EQ(InputHoldTest::smsEdit()->text(), QStringLiteral("554"));
}

const HoldRow kRows[] = {
    {"TypingDuringKeepAlive", Link::Serial, 400, typingDuringKeepAlive},
    {"TypingAfterClicksDuringAPoll", Link::Serial, 400, typingAfterClicksDuringAPoll},
    {"RadioClicksSerial", Link::Serial, 400, radioClicksDuringPolls},
    {"RadioClicksTelnet", Link::Telnet, 400, radioClicksDuringPolls},
    {"RadioClicksModem", Link::Modem, 400, radioClicksDuringPolls},
    {"BufferStateFromAMenu", Link::Serial, 1500, bufferStateFromAMenu},
    {"LanguageFromItsMenu", Link::Serial, 1500, languageFromItsMenu},
    {"LeavingModemDiagnostics", Link::Modem, 0, leavingModemDiagnostics},
    {"BusyCursorLateAnswer", Link::Serial, 1500, busyCursor},
    {"BusyCursorFullSpeed", Link::Serial, 0, busyCursor},
    {"DisconnectDuringAWait", Link::Serial, 0, [](InputHoldTest& t) { endOfAWait(t, false); }},
    {"CloseDuringAWait", Link::Serial, 0, [](InputHoldTest& t) { endOfAWait(t, true); }},
    {"ClicksOnTheDisabledWindow", Link::Serial, 0, clicksOnTheDisabledWindow},
    {"BufferStateDuringModemDiagnosticsEntry", Link::Modem, 0, bufferStateDuringModemDiagnosticsEntry},
    {"TopicsAroundSerialDiagnostics", Link::Serial, 400, topicsAroundSerialDiagnostics},
    {"TopicsAroundTelnetDiagnostics", Link::Telnet, 400, topicsAroundSerialDiagnostics},
    {"RandomTopicsOnAModem", Link::Modem, 0, randomTopicsOnAModem},
    {"LoadOnTheDiagnosticsPage", Link::Telnet, 400, loadOnTheDiagnosticsPage},
    {"DisconnectDuringAWaitTelnet", Link::Telnet, 0, [](InputHoldTest& t) { endOfAWait(t, false); }},
    {"SpinArrowAcrossAWait", Link::Serial, 1500, spinArrowAcrossAWait},
    {"ButtonClickAcrossAWait", Link::Serial, 1500, buttonClickAcrossAWait},
    {"KeysIntoTheDialogAHeldClickOpened", Link::Serial, 1500,
     [](InputHoldTest& t) { keysIntoTheDialogAHeldClickOpened(t, fMain); }},
    {"KeysFromTheOpenMenuIntoTheDialog", Link::Serial, 1500,
     [](InputHoldTest& t) { keysIntoTheDialogAHeldClickOpened(t, fMain->mFile); }},
    {"KeysFromAClosedMenuIntoTheWindow", Link::Serial, 1500, keysFromAClosedMenuIntoTheWindow},
    {"EscapeIntoTheAboutBoxDuringPolls", Link::Serial, 1500, [](InputHoldTest& t) { escapeIntoTheAboutBox(t, false); }},
    {"EscapeFromTheOpenMenuIntoTheAboutBox", Link::Serial, 1500,
     [](InputHoldTest& t) { escapeIntoTheAboutBox(t, true); }},
    {"ReturnIntoAWaitThatEndsInABox", Link::Serial, 1500, returnIntoAWaitThatEndsInABox},
    {"BusyCursorThroughASave", Link::Serial, 400, busyCursorThroughASave},
    {"BoxOfATopicsEntryWithoutBusyCursor", Link::Serial, 1500, boxOfATopicsEntryWithoutBusyCursor},
    {"ShortcutAndLetterDuringAWait", Link::Serial, 1500, shortcutAndLetterDuringAWait},
};

INSTANTIATE_TEST_SUITE_P(Input, InputHoldTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
