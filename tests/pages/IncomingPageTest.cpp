#include "PageTestFixture.h"

#include "exchange/GroupsExchange.h"
#include "pages/IncomingPage.h"
#include "pages/OutgoingPage.h"
#include "pages/TinCallPrefixForm.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>
#include <QTextDocument>

namespace {

QStringList items(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// A list of called numbers of exactly length characters (ten-digit numbers and a shorter last one).
QByteArray calledList(int length)
{
    QByteArray list;
    while (list.size() + 11 <= length)
        list += (list.isEmpty() ? "" : ",") + QByteArray("6021234567");
    const int rest = length - int(list.size()) - 1;
    return list + "," + QByteArray(rest, '7');
}

class IncomingPageTest : public PageTest
{
protected:
    void load() { press(fMain->sbInLoad); }
    void save() { press(fMain->sbInSave); }
    void showTab(int tab) { fMain->tcIncoming->setCurrentIndex(tab); }
};

TEST_F(IncomingPageTest, BothGroupsRoundTripByteForByte)
{
    for (const auto& [key, value] : std::initializer_list<std::pair<const char*, const char*>>{
             {"G91", "3,2,8,15,5,*55,123"},
             {"G92", "7,4,6,20,0,,"},
             {"G95", ",123,,456"}, // empty entries are no numbers
             {"G96", ""},
             {"G99", "24,9"},
             {"G191", "3,"}, // looping 3 minutes, no separator
             {"G192", "5,#"},
             {"G198", "0/420,00/+"},
             {"G199", "0/00420"}})
        ASSERT_TRUE(gateway->setValue(key, value)) << key;
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    load();
    EXPECT_EQ(commandsReceived(), QList<QByteArray>({"AT&V9\r\n", "AT&V9\r\n"}));
    expectInfoBox(61);

    EXPECT_EQ(fMain->cbInMode->currentIndex(), 3);
    EXPECT_EQ(fMain->lbInHelp->text(), labelText(460));
    EXPECT_EQ(fMain->seInMin->value(), 2);
    EXPECT_EQ(fMain->seInMax->value(), 8);
    EXPECT_EQ(fMain->seInTour->value(), 15);
    EXPECT_EQ(fMain->seInDay->value(), 5);
    EXPECT_EQ(fMain->edInPrefix->text(), QStringLiteral("*55"));
    EXPECT_EQ(fMain->edInClip->text(), QStringLiteral("123"));
    EXPECT_EQ(items(fMain->lbInCalled), QStringList({QStringLiteral("123"), QStringLiteral("456")}));
    EXPECT_EQ(fMain->seInTime->value(), 24);
    EXPECT_TRUE(fMain->cbInAdd->isChecked());
    EXPECT_FALSE(fMain->cbInDelete->isChecked());
    EXPECT_TRUE(fMain->cbInRouteDtmf->isChecked());
    EXPECT_FALSE(fMain->cbInDeniedDtfm->isChecked());
    EXPECT_EQ(fMain->seInSeparator->value(), 3);
    EXPECT_TRUE(fMain->edInSep->text().isEmpty());
    EXPECT_EQ(fMain->edInPrefixConv->text(), QStringLiteral("0/00420"));
    EXPECT_EQ(items(fMain->lbIn198PrefixList), QStringList({QStringLiteral("0/420"), QStringLiteral("00/+")}));
    EXPECT_EQ(GateConfig.incoming, incomingWork);

    showTab(1);
    EXPECT_EQ(fMain->cbInMode->currentIndex(), 7);
    EXPECT_EQ(fMain->edInSep->text(), QStringLiteral("#"));
    EXPECT_TRUE(fMain->lbInCalled->count() == 0);

    save();
    EXPECT_EQ(commandsReceived(),
              QList<QByteArray>({"AT%G91=3,2,8,15,5,*55,123\r\n", "AT%G191=3,\r\n", "AT%G95=123,456\r\n",
                                 "AT%G92=7,4,6,20,0,,\r\n", "AT%G192=5,#\r\n", "AT%G96=\r\n", "AT%G99=24,9\r\n",
                                 "AT%G198=0/420,00/+\r\n", "AT%G199=0/00420\r\n"}));
    expectInfoBox(66);
}

TEST_F(IncomingPageTest, RoutingSwitchesComeFromTheBitsAndGoBackFromTheCheckBoxes)
{
    const struct
    {
        const char* g99;
        bool add, del, route, denied;
        const char* sent;
    } cases[] = {
        {"12,0", false, false, false, false, "12,0"}, {"12,1", true, false, false, false, "12,1"},
        {"12,2", false, true, false, false, "12,2"},  {"12,4", false, false, false, true, "12,4"},
        {"12,8", false, false, true, false, "12,8"},  {"240,15", true, true, true, true, "240,15"},
        {"5", false, false, true, true, "5,12"}, // one value: route and disabled DTMF, no line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.g99);
        ASSERT_TRUE(gateway->setValue("G99", c.g99));
        load();
        EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
        EXPECT_EQ(fMain->cbInAdd->isChecked(), c.add);
        EXPECT_EQ(fMain->cbInDelete->isChecked(), c.del);
        EXPECT_EQ(fMain->cbInRouteDtmf->isChecked(), c.route);
        EXPECT_EQ(fMain->cbInDeniedDtfm->isChecked(), c.denied);
        EXPECT_EQ(incomingWork[1].dtmfDisabled, c.denied) << "shared by both groups";
        save();
        EXPECT_EQ(timesReceived("AT%G99=" + QByteArray(c.sent) + "\r\n"), 1);
    }
}

TEST_F(IncomingPageTest, KeyTextsInsideEarlierValuesDoNotHijackTheirKeys)
{
    ASSERT_TRUE(gateway->setValue("G91", "2,1,9,12,3,77,88"));
    ASSERT_TRUE(gateway->setValue("G191", "9,-"));
    ASSERT_TRUE(gateway->setValue("G99", "48,3"));
    // Conversions listed first that hold another key's text, as a user could type them.
    ASSERT_TRUE(gateway->setValue("G199", "G91=7,0"));
    ASSERT_TRUE(gateway->setValue("G198", "G95=555"));
    setFaults([](gatewaysim::Faults& f) { f.swapKeyOrder = true; }); // G199, G198, G192, G191, G99, ... G91
    load();
    EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
    EXPECT_EQ(incomingWork[0].mode, 2);
    EXPECT_EQ(incomingWork[0].disaPrefix, QStringLiteral("77"));
    EXPECT_EQ(incomingWork[0].voiceLoop, 9);
    EXPECT_EQ(incomingWork[0].cdnSeparator, QLatin1Char('-'));
    EXPECT_EQ(incomingWork[0].clipKeepHours, 48);
    EXPECT_TRUE(incomingWork[0].addUnconnectedOnly && incomingWork[0].deleteOnAnswer);
    EXPECT_TRUE(incomingWork[0].calledNumbers.empty());
    EXPECT_EQ(incomingWork[1].cdnPrefixConversion, QStringLiteral("G91=7,0"));
    EXPECT_EQ(incomingWork[1].clipConversions, QStringLiteral("G95=555"));
}

TEST_F(IncomingPageTest, MissingGroupKeysTakeDefaultsAndListTheirLines)
{
    ASSERT_TRUE(gateway->removeKey("G91"));
    ASSERT_TRUE(gateway->removeKey("G92"));
    load();
    const QString once = QStringLiteral("Incoming groups - Mode incoming calls\n"
                                        "Incoming groups - Min numbers in DTMF\n"
                                        "Incoming groups - Max numbers in DTMF\n"
                                        "Incoming groups - Tour for entering\n"
                                        "Incoming groups - Day of deleting\n");
    const QString every = QStringLiteral("Incoming groups - Prefix before DISA\n"
                                         "Incoming groups - CLIP\n");
    EXPECT_EQ(LoadErrors, once + every + every);
    const TIncoming& r = incomingWork[1];
    EXPECT_EQ(r.mode, 0);
    EXPECT_EQ(r.minDigits, 3);
    EXPECT_EQ(r.maxDigits, 3);
    EXPECT_EQ(r.dtmfTour, 10);
    EXPECT_EQ(r.statsDay, 1);

    setFaults([](gatewaysim::Faults& f) { f.errorToAll = true; });
    load();
    EXPECT_EQ(LoadErrors, kInLineAll);
    save();
    EXPECT_EQ(commandsReceived().size(), 9);
    EXPECT_EQ(LoadErrors,
              kInLineGroup + kInLineLoop + kInLineCalled + kInLineRouting + kInLineConversions + kInLinePrefix);
}

TEST_F(IncomingPageTest, CalledNumbersFitOneCommandLine)
{
    const QByteArray longest = calledList(kMaxCalledList);
    ASSERT_EQ(longest.size(), kMaxCalledList);
    ASSERT_TRUE(gateway->setValue("G95", longest));
    load();
    save();
    EXPECT_EQ(timesReceived("AT%G95=" + longest + "\r\n"), 1);

    // One more number would make the line too long: refused before anything is sent.
    dialogs().answerInput(QStringLiteral("5"));
    press(fMain->sbInAdd);
    expectOnlyBox(labelText(76), 47, MB_ICONERROR);
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
    EXPECT_EQ(incomingWork[0].calledNumbers.size(), size_t(fMain->lbInCalled->count()));
    // And so are a number that reads as 0 and one with a comma in it.
    for (const char* refused : {"0", "abc", "12,34"}) {
        ASSERT_TRUE(gateway->setValue("G95", "1"));
        load();
        dialogs().answerInput(QString::fromLatin1(refused));
        press(fMain->sbInAdd);
        expectOnlyBox(labelText(76), 47, MB_ICONERROR);
        EXPECT_EQ(items(fMain->lbInCalled), QStringList({QStringLiteral("1")}));
    }

    // A longer list that came another way is not sent for its group; the save reports it.
    GateConfig.incoming = incomingWork;
    const QList<QByteArray> numbers = calledList(kMaxCalledList + 1).split(',');
    GateConfig.incoming[1].calledNumbers.clear();
    for (const QByteArray& n : numbers)
        GateConfig.incoming[1].calledNumbers.push_back(QString::fromLatin1(n));
    fMain->incomingLoadFile();
    fMain->tcIncomingChange();
    save();
    for (const QByteArray& line : gateway->receivedLines())
        EXPECT_FALSE(line.startsWith("AT%G96=")) << line.constData();
    EXPECT_EQ(timesReceived("AT%G95=1\r\n"), 1);
    expectListBox(219, kInLineCalled);
}

TEST_F(IncomingPageTest, PrefixDialogGivesTheRoomTheListHasLeft)
{
    const struct
    {
        const char* list;
        int room; // -1: refused
    } cases[] = {{"", 31},
                 {"11/22,33/44,555/6666", 10},
                 {"1111/2222,3333/4444,55/66666", 2},
                 {"1111/2222,3333/4444,555/66666", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        ASSERT_TRUE(gateway->setValue("G198", c.list));
        load();
        int maxLength = -1;
        if (c.room >= 0)
            dialogs().onModal([&maxLength](QDialog* dialog) {
                maxLength = inCallPrefixForm->ed1->maxLength();
                dialog->reject();
            });
        press(fMain->sbInPrefAdd);
        EXPECT_EQ(maxLength, c.room);
        if (c.room < 0)
            expectOnlyBox(labelText(957), 47, MB_ICONERROR);
        else
            EXPECT_TRUE(dialogs().boxes().isEmpty());
    }

    // Typing: a second "/" and a "," are dropped; OK only with a "/".
    ASSERT_TRUE(gateway->setValue("G198", "11/22,33/44,555/6666"));
    load();
    bool okWithoutSlash = true;
    dialogs().onModal([&okWithoutSlash](QDialog* dialog) {
        QLineEdit* ed1 = inCallPrefixForm->ed1;
        QTest::keyClicks(ed1, QStringLiteral("1234"));
        okWithoutSlash = inCallPrefixForm->sbOk->isEnabled();
        QTest::keyClicks(ed1, QStringLiteral("/5/6,7a89"));
        inCallPrefixForm->sbOk->click();
        (void)dialog;
    });
    resetPageChanged();
    press(fMain->sbInPrefAdd);
    EXPECT_FALSE(okWithoutSlash);
    EXPECT_EQ(incomingWork[0].clipConversions, QStringLiteral("11/22,33/44,555/6666,1234/56789"));
    EXPECT_EQ(incomingWork[1].clipConversions, incomingWork[0].clipConversions);
    EXPECT_EQ(incomingWork[0].clipConversions.size(), 31);
    EXPECT_EQ(pageChanged[pcIncoming], 1);

    // Removing marks the page changed too; the list goes out as it is left.
    fMain->lbIn198PrefixList->setCurrentRow(1);
    resetPageChanged();
    fMain->sbInPrefRemove->click();
    EXPECT_EQ(pageChanged[pcIncoming], 1);
    EXPECT_EQ(incomingWork[1].clipConversions, QStringLiteral("11/22,555/6666,1234/56789"));
    resetPageChanged();
    fMain->sbInPrefRemoveAll->click();
    EXPECT_EQ(pageChanged[pcIncoming], 1);
    save();
    EXPECT_EQ(timesReceived("AT%G198=\r\n"), 1);
}

TEST_F(IncomingPageTest, SameSettingsAndDtmfLimitsPushEachOther)
{
    load();
    fMain->seInMax->setValue(5);
    fMain->seInMin->setValue(9);
    EXPECT_EQ(fMain->seInMax->value(), 9);
    fMain->seInMax->setValue(4);
    EXPECT_EQ(fMain->seInMin->value(), 4);
    fMain->edInClip->setText(QStringLiteral("99"));
    fMain->edInSep->setText(QStringLiteral("*"));
    showTab(1);
    fMain->cbInSame->setChecked(true);
    EXPECT_FALSE(fMain->seInMin->isEnabled());
    EXPECT_TRUE(fMain->edInPrefixConv->isEnabled());
    save();
    const QList<QByteArray> lines = commandsReceived();
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.at(0), "AT%G91=0,4,4,10,1,,99\r\n");
    EXPECT_EQ(lines.at(1), "AT%G191=0,*\r\n");
    EXPECT_EQ(lines.at(3), "AT%G92=0,4,4,10,1,,99\r\n");
    EXPECT_EQ(lines.at(4), "AT%G192=0,*\r\n");
}

TEST_F(IncomingPageTest, SaveToFileKeepsTheFlagAndBothSectionsComeBackWhole)
{
    load();
    fMain->edInSep->clear(); // separator 0 in both sections
    fMain->edInPrefix->setText(QStringLiteral("*9"));
    outgoingWork[1].sim.text = QStringLiteral("carried");
    outgoingWork[1].sim.values = {1, 2, 3, 4, 5, 6};
    outgoingWork[1].sim.moreValues = {7, 8};
    outgoingWork[1].clipSeparator = QChar();
    const auto outgoing = outgoingWork;
    const auto incoming = incomingWork;

    press(fMain->sbInSaveFile);
    expectInfoBox(75);
    EXPECT_EQ(pageChanged[pcIncoming], 1) << "the incoming page's own file save leaves its flag set";
    fMain->edOutSmsNumber->setText(QString::number(outgoing[0].maxSms));
    press(fMain->sbOutSaveFile);
    expectInfoBox(75);

    outgoingWork = {};
    incomingWork = {};
    GateConfig = TParametres();
    dialogs().clearRecords();
    fMain->tbLoadClick();
    EXPECT_EQ(incomingWork, incoming);
    EXPECT_EQ(outgoingWork[1].sim, outgoing[1].sim);
    EXPECT_EQ(outgoingWork[1].clipSeparator, QChar());
    EXPECT_EQ(fMain->edInPrefix->text(), QStringLiteral("*9"));
}

TEST_F(IncomingPageTest, WholeGatewayRunsCarryBothGroupPages)
{
    ASSERT_TRUE(gateway->setValue("G91", "4,3,3,10,1,,"));
    ASSERT_TRUE(gateway->setValue("G11", "23003,0,0,0,1,1,1,0"));
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    fMain->tbLoadGateClick();
    for (const QByteArray view : {"AT&V1\r\n", "AT&V2\r\n", "AT&V0\r\n"})
        EXPECT_GE(timesReceived(view), 1) << view.constData();
    EXPECT_EQ(timesReceived("AT&V9\r\n"), 2);
    EXPECT_EQ(incomingWork[0].mode, 4);
    EXPECT_EQ(outgoingWork[0].roamingNetwork, QStringLiteral("23003"));
    expectInfoBox(61);

    gateway->clearLog();
    dialogs().clearRecords();
    fMain->tbSaveGateClick();
    EXPECT_EQ(timesReceived("AT%G91=4,3,3,10,1,,\r\n"), 1);
    EXPECT_EQ(timesReceived("AT%G11=23003,0,0,0,1,1,1,0\r\n"), 1);
    expectInfoBox(66);
}

TEST_F(IncomingPageTest, LabelStepsKeepItemsChoicesAndLineCounts)
{
    fMain->cbInMode->setCurrentIndex(5);
    fMain->cbOutClir->setCurrentIndex(2);
    resetPageChanged();
    const Tlabels empty(982);
    fMain->setLabels(empty);
    fMain->setLabels(empty); // twice: nothing grows
    EXPECT_EQ(fMain->tcOutgoing->tabText(1), QStringLiteral("GSM module 2"));
    EXPECT_EQ(fMain->tcIncoming->tabText(0), QStringLiteral("Group 1"));
    EXPECT_EQ(fMain->cbOutClir->count(), 3);
    EXPECT_EQ(fMain->cbOutClir->currentText(), QStringLiteral("Enable (CLIP - off)"));
    EXPECT_EQ(fMain->cbInMode->count(), 8);
    EXPECT_EQ(fMain->cbInMode->currentIndex(), 5);
    EXPECT_TRUE(fMain->lbInHelp->text().isEmpty());
    EXPECT_TRUE(fMain->cbInRouteDtmf->text().isEmpty());
    EXPECT_EQ(fMain->mOutgoingClipPrefixConv->document()->blockCount(), 4);
    EXPECT_EQ(fMain->mInClipConv->document()->blockCount(), 4);
    EXPECT_EQ(inCallPrefixForm->windowTitle(), QStringLiteral("Add to prefixlist"));
    EXPECT_FALSE(anyPageChanged()) << "the pass runs no change handler";

    // A language's own texts; the captions without an English text of their own keep the one they had.
    Tlabels texts(982);
    texts[314] = QStringLiteral("Skupina");
    texts[462] = QStringLiteral("help 5");
    texts[975] = QStringLiteral("line 2");
    fMain->setLabels(texts);
    EXPECT_EQ(fMain->tcOutgoing->tabText(0), QStringLiteral("Skupina 1"));
    EXPECT_EQ(fMain->tcIncoming->tabText(1), QStringLiteral("Skupina 2"));
    EXPECT_EQ(fMain->lbInHelp->text(), QStringLiteral("help 5"));
    EXPECT_EQ(fMain->mInPrefixConv->toPlainText(), QStringLiteral("\nline 2\n\n"));
    EXPECT_EQ(fMain->cbOutTransfer->text(), QStringLiteral("Transfer CLIP to GSM"));
}

} // namespace
