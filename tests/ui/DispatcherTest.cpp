// Every way to a topic (tree, alphabetical list, menu, tool bar) ends in one run of the dispatcher, which
// shows the topic's page with its title and hides the others.
#include "support/MainWindowFixture.h"

#include "config/Parametres.h"
#include "online/SystemInput.h"
#include "link/LiveTools.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <map>

namespace {

// The diagnostics show their page only once connected: without a link it stays hidden (left out here).
const std::map<int, QString> kPageOfTopic = {
    {17, "pLogin"},    {18, "pDateTime"},    {19, "pFirm"},     {20, "pTracing"},    {22, "pLog"},
    {23, "pCall"},     {24, "pStatistics"},  {25, "pVoice"},
    {505, "pConnection"}, {543, "pMonitor"}, {548, "pTest"},      {685, "pCommands"},
    {30, "pSystem"},      {584, "pIsdn"},    {834, "pPortModes"}, {32, "pBasic"},
    {34, "pOutgoing"}, {35, "pIncoming"},    {36, "pNet"},      {37, "pLcr"},        {38, "pAuto"},
};
const QStringList kAllPages = {
    "pLogin",  "pDateTime", "pFirm",       "pTracing", "pLog",  "pCall",     "pStatistics", "pVoice", "pDiag",
    "pActual", "pBuffer",   "pConnection", "pMonitor", "pTest", "pCommands", "pSystem",     "pIsdn",  "pPortModes",
    "pBasic",  "pOutgoing", "pIncoming",   "pNet",     "pLcr",  "pAuto",     "pGroup",      "pExt"};

// The buffer state reads the gateway when chosen: without a link its dispatch ends at the failed connect, so
// neither its page nor the sections after it run (it is left out of kPageOfTopic). The online commands, chosen
// while their page is on show, end the dispatch in their own section. The actual calls and the CLIP table show
// their page only with a link: without one only their titles show.
int expectedDispatches(int topic, bool shownAlready = false)
{
    return topic == 494 || (shownAlready && topic == 685) ? 0 : 1;
}

// The topic a dispatch of each node should record; -1 for the groups and the two resets.
int expectedTopic(int topic)
{
    if (topic == 28 || topic == 29 || topic == 40 || topic == 41 || topic == 42)
        return -1;
    return topic == 704 ? 705 : topic;
}

class DispatcherTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        startUp();
        showMainWindow();
        // Topics are found by their numbers, never by their texts: two of them read the same here.
        Tlabels texts(982);
        for (size_t k = 0; k < texts.size(); ++k)
            texts[k] = QStringLiteral("#%1").arg(k);
        texts[30] = texts[32] = QStringLiteral("Same");
        labelTexts = texts;
        fMain->setLabels(labelTexts);
        // The last section runs once in every dispatch: count dispatches there.
        fMain->setTopicSection(42, [this](bool) {
            ++dispatches;
            return true;
        });
    }

    void clickNode(QTreeWidgetItem* node)
    {
        QTreeWidget* tree = node->treeWidget();
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    }

    // The state after a dispatch of topic: title, currentTopic and exactly its page shown.
    void expectShown(int topic)
    {
        const int expected = expectedTopic(topic);
        EXPECT_EQ(currentTopic, expected) << topic;
        EXPECT_EQ(fMain->lbMain->text(), expected > 0 ? labelText(expected) : QString()) << topic;
        const auto page = kPageOfTopic.find(topic);
        for (const QString& name : kAllPages) {
            auto* widget = fMain->findChild<QScrollArea*>(name);
            ASSERT_NE(widget, nullptr) << qPrintable(name);
            const bool shown = page != kPageOfTopic.end() && page->second == name;
            EXPECT_EQ(widget->isVisibleTo(fMain), shown) << topic << " " << qPrintable(name);
        }
    }

    int dispatches = 0;
};

TEST_F(DispatcherTest, AClickOnAnyNodeDispatchesOnceAndShowsItsTopic)
{
    for (int i = 0; i < 31; ++i) {
        QTreeWidgetItem* node = fMain->topicNode(i);
        const int topic = NavigationPart::nodeTopic(node);
        dispatches = 0;
        clickNode(node);
        EXPECT_EQ(dispatches, expectedDispatches(topic)) << "first click on node " << i;
        EXPECT_EQ(fMain->tvTopic->currentItem(), node);
        expectShown(topic);
        clickNode(node);
        EXPECT_EQ(dispatches, expectedDispatches(topic) + expectedDispatches(topic, true))
            << "click on the selected node " << i;
        expectShown(topic);
    }
}

TEST_F(DispatcherTest, MovingTheSelectionWithTheKeyboardDispatchesOnce)
{
    clickNode(fMain->topicNode(18));
    dispatches = 0;
    fMain->tvTopic->setFocus();
    QTest::keyClick(fMain->tvTopic, Qt::Key_Down);
    EXPECT_EQ(dispatches, 1);
    EXPECT_EQ(fMain->tvTopic->currentItem(), fMain->topicNode(19));
    expectShown(30);
}

TEST_F(DispatcherTest, AnAlphabeticalEntrySelectsItsTopicsNodeAndDispatchesOnce)
{
    ASSERT_EQ(fMain->tvAlpha->topLevelItemCount(), 28);
    for (int i = 0; i < 28; ++i) {
        QTreeWidgetItem* entry = fMain->tvAlpha->topLevelItem(i);
        const int topic = NavigationPart::nodeTopic(entry);
        dispatches = 0;
        fMain->tvAlpha->setCurrentItem(entry);
        EXPECT_EQ(dispatches, expectedDispatches(topic)) << qPrintable(entry->text(0));
        EXPECT_EQ(NavigationPart::nodeTopic(fMain->tvTopic->currentItem()), topic);
        EXPECT_EQ(fMain->tvTopic->currentItem()->text(0), entry->text(0));
        expectShown(topic);
    }
    // The entry of the node selected already runs nothing.
    QTreeWidgetItem* other = fMain->tvAlpha->topLevelItem(0);
    clickNode(fMain->topicNodeOf(NavigationPart::nodeTopic(other)));
    fMain->tvAlpha->setCurrentItem(fMain->tvAlpha->topLevelItem(1));
    clickNode(fMain->topicNodeOf(NavigationPart::nodeTopic(other)));
    dispatches = 0;
    fMain->tvAlpha->setCurrentItem(other);
    EXPECT_EQ(dispatches, 0);
}

TEST_F(DispatcherTest, EveryMenuItemAndTheTerminalButtonDispatchOnce)
{
    const std::pair<QAction*, int> commands[] = {
        {fMain->mLogin, 17},     {fMain->mDate, 18},      {fMain->mFirm, 19},     {fMain->mTrac, 20},
        {fMain->mTerm, 21},      {fMain->mLogFile, 22},   {fMain->mCallData, 23}, {fMain->mStat, 24},
        {fMain->mVoiceMess, 25}, {fMain->mDiag, 26},      {fMain->mActual, 235},  {fMain->mBuffer, 494},
        {fMain->mConState, 505}, {fMain->mGsmInfo, 543},  {fMain->mTest, 548},    {fMain->mCommands, 685},
        {fMain->mDynamic, 704},  {fMain->tbTerminal, 21},
    };
    for (const auto& [action, topic] : commands) {
        for (int round = 0; round < 2; ++round) { // not selected, then selected already
            dispatches = 0;
            action->trigger();
            EXPECT_EQ(dispatches, expectedDispatches(topic, round == 1))
                << qPrintable(action->objectName()) << " round " << round;
            EXPECT_EQ(NavigationPart::nodeTopic(fMain->tvTopic->currentItem()), topic);
            expectShown(topic);
        }
    }
}

TEST_F(DispatcherTest, OnlyTheBusyTopicsLeaveTheWholeGatewayRunsDisabled)
{
    for (int i = 0; i < 31; ++i) {
        QTreeWidgetItem* node = fMain->topicNode(i);
        const int topic = NavigationPart::nodeTopic(node);
        fMain->tbLoadGate->setEnabled(false);
        fMain->tbSaveGate->setEnabled(false);
        clickNode(node);
        // Leaving the terminal enables them, and so does the closing step for every topic but 704, 235, 26
        // and 21; of those only the terminal is chosen without its own section disabling them again (the
        // diagnostics, actual-calls and CLIP-table sections do that when they are entered).
        const bool stays = topic == 21;
        EXPECT_EQ(fMain->tbLoadGate->isEnabled(), !stays) << topic;
        EXPECT_EQ(fMain->tbSaveGate->isEnabled(), !stays) << topic;
    }
}

TEST_F(DispatcherTest, WithoutALinkTheActualCallsAndTheClipTableShowOnlyTheirTitles)
{
    auto* poll = fMain->findChild<QTimer*>(QStringLiteral("tActual"));
    ASSERT_TRUE(poll);
    for (int topic : {235, 704, 235}) {
        fMain->selectTopic(topic);
        expectShown(topic);
        EXPECT_FALSE(poll->isActive()) << topic;
    }
}

TEST_F(DispatcherTest, LeavingStepsRunInTheirOrderForEveryTopicButTheChosenOne)
{
    // The live tools' leaving steps come from the registry, the autorouting page's from its topic, all before any
    // section; the voice, test-call and tracing sections leave their tools again (by then nothing runs).
    QList<int> left;
    const std::pair<LiveToolSlot, int> tools[] = {{LiveToolSlot::ActualCalls, 235}, {LiveToolSlot::OnlineCommands, 685},
                                                  {LiveToolSlot::Diagnostics, 26},  {LiveToolSlot::Tracing, 20},
                                                  {LiveToolSlot::Terminal, 21},     {LiveToolSlot::Voice, 25},
                                                  {LiveToolSlot::TestCalls, 548}};
    for (const auto& [slot, topic] : tools) {
        LiveTool tool;
        tool.topic = topic;
        tool.stopForLeave = [&left, topic] { left << topic; };
        liveTools.add(slot, tool);
    }
    fMain->setTopicLeave(38, [&left] { left << 38; });
    fMain->selectTopic(30);
    EXPECT_EQ(left, (QList<int>{235, 685, 26, 38, 20, 21, 548, 25, 25, 548, 20}));
    left.clear();
    fMain->selectTopic(26);
    EXPECT_EQ(left, (QList<int>{235, 685, 38, 20, 21, 548, 25, 25, 548, 20}));
    left.clear();
    fMain->selectTopic(548);
    EXPECT_EQ(left, (QList<int>{235, 685, 26, 38, 20, 21, 25, 25, 20}));
}

TEST_F(DispatcherTest, ASectionThatEndsTheDispatchStopsTheLaterSectionsAndHidesTheirPages)
{
    QList<int> left;
    fMain->setTopicSection(543, [&left](bool chosen) { // a section after the voice page's
        if (!chosen)
            left << 543;
        return true;
    });
    fMain->selectTopic(30); // the system page, a later section than the voice page
    auto* system = fMain->findChild<QScrollArea*>(QStringLiteral("pSystem"));
    ASSERT_TRUE(system->isVisibleTo(fMain));
    fMain->setTopicSection(25, [](bool chosen) {
        if (chosen)
            fMain->showTopicPage(25);
        return !chosen;
    });
    dispatches = 0;
    left.clear();
    fMain->selectTopic(25);
    EXPECT_EQ(currentTopic, 25);
    EXPECT_EQ(dispatches, 0) << "the sections after the early end must not run";
    EXPECT_TRUE(left.isEmpty()) << "nor their leaving";
    EXPECT_FALSE(system->isVisibleTo(fMain)) << "no page stays in sight under another topic's title";
    EXPECT_TRUE(fMain->findChild<QScrollArea*>(QStringLiteral("pVoice"))->isVisibleTo(fMain));
}

// A right-click on the tool bar or the menu bar, as the window system gives it, opens no popup (Qt's would offer
// only to hide the tool bar); the tool bar stays where it is.
TEST_F(DispatcherTest, ARightClickOnTheToolBarOrTheMenuBarOpensNoPopup)
{
    const QRect toolBarAt = fMain->tbMain->geometry();
    for (QWidget* bar : {static_cast<QWidget*>(fMain->tbMain), static_cast<QWidget*>(fMain->mMain)}) {
        systemInput::rightClick(bar, QPoint(bar->width() - 5, bar->height() / 2));
        QTest::qWait(100);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << qPrintable(bar->objectName());
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
    EXPECT_TRUE(fMain->tbMain->isVisible());
    EXPECT_EQ(fMain->tbMain->geometry(), toolBarAt);
}

TEST_F(DispatcherTest, AFailedConnectLeavesThePageAreaEmpty)
{
    {
        const QSignalBlocker quiet(fMain->cbSynDateTime);
        fMain->cbSynDateTime->setChecked(false); // the date/time topic reads the gateway's clock
    }
    for (int topic : {18, 494}) {
        fMain->selectTopic(30);
        dialogs().clearRecords();
        fMain->selectTopic(topic); // nothing to connect to
        EXPECT_EQ(currentTopic, topic);
        for (const QString& name : kAllPages)
            EXPECT_FALSE(fMain->findChild<QScrollArea*>(name)->isVisibleTo(fMain)) << topic << " " << qPrintable(name);
    }
}

TEST_F(DispatcherTest, ShowingTheIncomingGroupsPageRunsItsModeHandlerWithoutMarkingIt)
{
    // The list shows a mode the page has not applied yet (a code write runs no handler).
    labelTexts[457 + 3] = QStringLiteral("help of mode 3");
    fMain->cbInMode->setCurrentIndex(3);
    resetPageChanged();
    fMain->selectTopic(35);
    EXPECT_EQ(fMain->lbInHelp->text(), QStringLiteral("help of mode 3"));
    EXPECT_EQ(incomingWork[0].mode, 3);
    EXPECT_EQ(pageChanged[pcIncoming], 0) << "showing the page is no edit";
}

TEST_F(DispatcherTest, EnterOpensACollapsedGroupWithEverythingBelowIt)
{
    QTreeWidgetItem* group = fMain->topicNode(18);
    fMain->tvTopic->doItemsLayout();
    fMain->tvTopic->collapseItem(group);
    EXPECT_EQ(NavigationPart::topicImageIndex(group), 0);
    clickNode(group);
    fMain->tvTopic->setFocus();
    QTest::keyClick(fMain->tvTopic, Qt::Key_Return);
    EXPECT_TRUE(group->isExpanded());
    EXPECT_EQ(NavigationPart::topicImageIndex(group), 1);
    // On an open group or a topic Enter changes nothing.
    clickNode(fMain->topicNode(19));
    QTest::keyClick(fMain->tvTopic, Qt::Key_Return);
    EXPECT_TRUE(group->isExpanded());
    EXPECT_EQ(NavigationPart::topicImageIndex(fMain->topicNode(19)), 2);
}

} // namespace
