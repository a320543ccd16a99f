#include "PageTestFixture.h"

#include "exchange/GroupsExchange.h"
#include "pages/OutgoingPage.h"
#include "pages/PortModesPage.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>

namespace {

class OutgoingPageTest : public PageTest
{
protected:
    void load() { press(fMain->sbOutLoad); }
    void save() { press(fMain->sbOutSave); }
    void showTab(int tab) { fMain->tcOutgoing->setCurrentIndex(tab); }

    void setValues(const std::initializer_list<std::pair<const char*, const char*>>& values)
    {
        for (const auto& [key, value] : values)
            ASSERT_TRUE(gateway->setValue(key, value)) << key;
    }
};

TEST_F(OutgoingPageTest, BothGroupsRoundTripByteForByte)
{
    setValues({{"G11", "23001,2,120,10,32,10,60,30"},
               {"G19", "0,5,1,0,98,7,#"}, // 98: count calls (2), virtual ring (32) and a bit the page does not know
               {"G15", "8:00/17:00/w+,0:00/6:00/w-"},
               {"G21", ",1,0,0,0,250,250,1200"},
               {"G29", "1,20,0,0,0,0,"}, // no separator
               {"G25", "00:00/24:00,00:00/00:00"},
               {"S85", "Call me back %N"},
               {"G109", "00420/0"}});
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    load();
    EXPECT_EQ(commandsReceived(), QList<QByteArray>({"AT&V1\r\n", "AT&V\r\n", "AT&V2\r\n", "AT&V\r\n", "AT&V0\r\n"}));
    expectInfoBox(61);

    // Group 1 on show.
    EXPECT_EQ(fMain->edOutRoaming->text(), QStringLiteral("23001"));
    EXPECT_EQ(fMain->cbOutClir->currentIndex(), 2);
    EXPECT_EQ(fMain->edOutMaxMin->text(), QStringLiteral("120"));
    EXPECT_EQ(fMain->seOutDayStats->value(), 32);
    EXPECT_EQ(fMain->seOutPseudo->value(), 30);
    EXPECT_TRUE(fMain->rbOut1->isChecked());
    EXPECT_FALSE(fMain->seOutDelayAlerting->isEnabled());
    EXPECT_EQ(fMain->seOutDelayConnect->value(), 5);
    EXPECT_EQ(fMain->cbOutDisconnect->currentIndex(), 1);
    EXPECT_EQ(fMain->cbOutMinute->currentIndex(), 1);
    EXPECT_TRUE(fMain->cbOutGenerateVirtual->isChecked());
    EXPECT_EQ(fMain->seOutDelaySms->value(), 7);
    EXPECT_TRUE(fMain->cbOutTransfer->isChecked());
    EXPECT_EQ(fMain->edOutSepChar->text(), QStringLiteral("#"));
    EXPECT_EQ(fMain->edOutTextSms->text(), QStringLiteral("Call me back %N"));
    EXPECT_EQ(fMain->edOutgoingClipPrefixConv->text(), QStringLiteral("00420/0"));
    EXPECT_EQ(fMain->edOutFrom1->text(), QStringLiteral("08:00"));
    EXPECT_TRUE(fMain->rbOutAll1->isChecked());
    EXPECT_TRUE(fMain->cbOut2Interval->isChecked());
    EXPECT_EQ(fMain->edOutTo5->text(), QStringLiteral("06:00"));
    EXPECT_FALSE(fMain->cbOutWeekend5->isChecked());
    EXPECT_FALSE(fMain->rbOutAll5->isEnabled());
    EXPECT_EQ(GateConfig.outgoing, outgoingWork);

    // Group 2: a second window listed as "00:00/00:00" is not in use.
    showTab(1);
    EXPECT_TRUE(fMain->rbOut2->isChecked());
    EXPECT_FALSE(fMain->cbOutTransfer->isChecked());
    EXPECT_FALSE(fMain->edOutSepChar->isEnabled());
    EXPECT_FALSE(fMain->cbOut2Interval->isChecked());
    EXPECT_FALSE(fMain->edOutFrom5->isEnabled());
    EXPECT_EQ(fMain->edOutTo5->text(), QStringLiteral("24:00"));
    EXPECT_EQ(fMain->edOutTextSms->text(), QStringLiteral("Call me back %N")) << "one text for both groups";

    // Unchecking the ring tone clears its bit only.
    showTab(0);
    fMain->cbOutGenerateVirtual->setChecked(false);
    save();
    EXPECT_EQ(commandsReceived(),
              QList<QByteArray>({"AT%G11=23001,2,120,10,32,10,60,30\r\n", "AT%G19=0,5,1,0,66,7,#\r\n",
                                 "AT%G15=08:00/17:00/w+,00:00/06:00/w-\r\n", "AT%G21=,1,0,0,0,250,250,1200\r\n",
                                 "AT%G29=1,20,0,0,0,0,\r\n", "AT%G25=00:00/24:00,00:00/00:00\r\n",
                                 "AT%S85=Call me back %N\r\n", "AT%G109=00420/0\r\n"}));
    expectInfoBox(66);

    // What went out reads back the same: the second windows stay on and off.
    load();
    EXPECT_TRUE(outgoingWork[0].sim.secondInterval);
    EXPECT_FALSE(outgoingWork[1].sim.secondInterval);
    EXPECT_EQ(outgoingWork[0].callFlags, 66);
    EXPECT_EQ(outgoingWork[1].clipSeparator, QChar());
}

TEST_F(OutgoingPageTest, WindowTextsShowAndRebuildWithTheirWeekendMarks)
{
    const struct
    {
        const char* window;
        const char* from;
        const char* to;
        bool weekend;
        bool all;
        const char* rebuilt;
    } cases[] = {
        {"07:30/20:00/w+", "07:30", "20:00", true, true, "07:30/20:00/w+"},
        {"7:30/9:00/w-", "07:30", "09:00", false, true, "07:30/09:00/w-"},
        {"00:00/24:00", "00:00", "24:00", true, false, "00:00/24:00"},
        {"12:00", "", "12:00", true, false, "/12:00"}, // no "/": all of it is the end
        {"9:5/24:00", "9:5", "24:00", true, false, "9:5/24:00"},
        {"", "", "", true, false, "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        ASSERT_TRUE(gateway->setValue("G15", c.window));
        ASSERT_TRUE(gateway->setValue("G25", c.window)); // a group not on show
        load();
        EXPECT_EQ(fMain->edOutFrom1->text(), QString::fromLatin1(c.from));
        EXPECT_EQ(fMain->edOutTo1->text(), QString::fromLatin1(c.to));
        EXPECT_EQ(fMain->cbOutWeekend1->isChecked(), c.weekend);
        EXPECT_EQ(fMain->rbOutAll1->isChecked(), c.all);
        EXPECT_EQ(fMain->rbOutAll1->isEnabled(), c.weekend);
        EXPECT_EQ(outgoingWork[0].sim.window1, QString::fromLatin1(c.rebuilt));
        EXPECT_FALSE(outgoingWork[0].sim.secondInterval) << "one window: the second is off";

        // The gateway's own windows, whole times or not, hold no save back and go out as they stand.
        save();
        const QList<QByteArray> lines = commandsReceived();
        EXPECT_TRUE(lines.contains("AT%G15=" + QByteArray(c.rebuilt) + ",00:00/00:00\r\n"));
        EXPECT_TRUE(lines.contains("AT%G25=" + QByteArray(c.window) + ",00:00/00:00\r\n"));
        dialogs().clearRecords();
        fMain->tbSaveClick();
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(75)});
    }
    // Editing the controls rebuilds the text of the window.
    fMain->edOutFrom1->setText(QStringLiteral("06:00"));
    fMain->edOutTo1->setText(QStringLiteral("18:00"));
    fMain->cbOutWeekend1->setChecked(true);
    fMain->rbOutAll1->setChecked(true);
    EXPECT_EQ(outgoingWork[0].sim.window1, QStringLiteral("06:00/18:00/w+"));
    fMain->cbOutWeekend1->setChecked(false);
    EXPECT_EQ(outgoingWork[0].sim.window1, QStringLiteral("06:00/18:00/w-"));
    EXPECT_FALSE(fMain->rbOutWeek1->isEnabled());
}

TEST_F(OutgoingPageTest, SameSettingsSendGroupOnesValuesForBoth)
{
    load();
    fMain->edOutRoaming->setText(QStringLiteral("26201"));
    fMain->seOutAfter->setValue(30);
    fMain->rbOut3->setChecked(true);
    fMain->seOutDelayAlerting->setValue(9);
    fMain->cbOutTransfer->setChecked(true);
    fMain->edOutSepChar->setText(QStringLiteral("*"));
    fMain->edOutTo1->setText(QStringLiteral("22:00"));
    showTab(1);
    fMain->cbOutSame->setChecked(true);
    EXPECT_FALSE(fMain->edOutRoaming->isEnabled());
    EXPECT_FALSE(fMain->rbOut3->isEnabled());
    EXPECT_TRUE(fMain->seOutPseudo->isEnabled());
    EXPECT_TRUE(fMain->edOutgoingClipPrefixConv->isEnabled());
    EXPECT_EQ(fMain->edOutRoaming->text(), QStringLiteral("26201"));

    save();
    const QList<QByteArray> lines = commandsReceived();
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines.at(0), "AT%G11=26201,0,0,0,1,30,1,0\r\n");
    EXPECT_EQ(lines.at(1), "AT%G19=9,0,0,0,0,0,*\r\n");
    EXPECT_EQ(lines.at(2), "AT%G15=00:00/22:00,00:00/00:00\r\n");
    for (int i = 0; i < 3; ++i) {
        QByteArray group2 = lines.at(i);
        group2[4] = '2';
        EXPECT_EQ(lines.at(i + 3), group2);
    }
}

TEST_F(OutgoingPageTest, FailedItemsAreListedOnceEachWithTheirExactLines)
{
    const QString valueLines = QStringLiteral("Outgoing groups - Roaming enabled for network\n"
                                              "Outgoing groups - CLIR\n"
                                              "Outgoing groups - max. number of called minutes\n"
                                              "Outgoing groups - max. number of SMS messages\n"
                                              "Outgoing groups - Day stats\n"
                                              "Outgoing groups - Nr. of seconds after connect\n"
                                              "Outgoing groups - Nr. of seconds for next counting\n"
                                              "Outgoing groups - Pseudo tarif\n");
    ASSERT_TRUE(gateway->removeKey("G11"));
    ASSERT_TRUE(gateway->removeKey("G21"));
    load();
    EXPECT_EQ(LoadErrors, valueLines);
    expectListBox(218, valueLines);
    EXPECT_EQ(outgoingWork[1].statsDay, 0) << "a value that could not be read takes its default";

    // View commands without "OK": their own lines, with the two blanks; the values still read. After two such
    // replies in a row the run takes the gateway as no longer answering: "AT&V0" is not asked, and each of its
    // values is listed.
    startGateway(gatewaysim::Config());
    ASSERT_NO_FATAL_FAILURE(connectGateway()); // the connect's own replies would count in the page's run
    setFaults([](gatewaysim::Faults& f) { f.noOk = true; });
    load();
    EXPECT_EQ(LoadErrors, QStringLiteral("Outgoing groups  - GSM group 1\n"
                                         "Outgoing groups  - Text of SMS at no answer\n"
                                         "Outgoing groups  - GSM group 2\n") +
                              valueLines +
                              QStringLiteral("Outgoing groups - Delay alerting\n"
                                             "Outgoing groups - Delay connect\n"
                                             "Outgoing groups - Disconnect call\n"
                                             "Outgoing groups - Parametr minutes\n"
                                             "Outgoing groups - Timeout for SMS at no answer\n"
                                             "Outgoing groups - Time limitation of SIM card\n"
                                             "Outgoing groups  - CLIP prefix conversion\n"));
    EXPECT_FALSE(commandsReceived().contains("AT&V0\r\n"));

    // Every set refused: each item once; the messages line ends in its own line feed.
    setFaults([](gatewaysim::Faults& f) {
        f.noOk = false;
        f.errorToAll = true;
    });
    save();
    EXPECT_EQ(commandsReceived().size(), 8) << "a refused command does not stop the save";
    const QString saveLines = QStringLiteral(
        "Outgoing groups - CLIR, max of called minutes, SMS messages number, day of deleting stats, nr. of seconds "
        "after connect/for next counting, pseudo tarif\n"
        "Outgoing groups - Delay for send CONNECT, timeout for send ALERTING, timeout for SMS at no answer, "
        "disconnect call, 'minute' parameter, delay for 'SMS at no answer'\n"
        "Outgoing groups - Time limitation of SIM card\n"
        "Outgoing groups - Text of SMS at no answer\n"
        "Outgoing groups - CLIP prefix conversion\n");
    EXPECT_EQ(LoadErrors, saveLines);
    expectListBox(219, saveLines);
}

TEST_F(OutgoingPageTest, APartlyTypedTimeIsNeverSent)
{
    load();
    showTab(1);
    fMain->cbOut2Interval->setChecked(true);
    typeInto(fMain->edOutTo5, "1_:__");
    showTab(0);

    // The page's Save refuses before it connects, and shows the group with the time marked.
    fMain->mDisconnectClick();
    save();
    expectOnlyBox(labelText(204), 47, MB_ICONERROR);
    EXPECT_TRUE(commandsReceived().isEmpty());
    EXPECT_EQ(fMain->tcOutgoing->currentIndex(), 1);
    EXPECT_EQ(fMain->edOutTo5->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_NE(fMain->edOutFrom5->palette().color(QPalette::Base), QColor(Qt::red));

    // The whole-gateway save sends the rest and lists the window.
    fMain->tbSaveGateClick();
    const QList<QByteArray> lines = gateway->receivedLines();
    EXPECT_TRUE(lines.contains("AT%G15=00:00/24:00,00:00/00:00\r\n"));
    EXPECT_TRUE(lines.contains("AT%G29=1,0,0,0,0,0,\r\n"));
    for (const QByteArray& line : lines)
        EXPECT_FALSE(line.startsWith("AT%G25=")) << line.constData();
    EXPECT_TRUE(LoadErrors.contains(kOutLineTime));

    // The mark stays while the time is still in part, and goes once it is whole.
    fMain->mDisconnectClick();
    save();
    typeInto(fMain->edOutTo5, "12:__");
    EXPECT_EQ(fMain->edOutTo5->palette().color(QPalette::Base), QColor(Qt::red));
    typeInto(fMain->edOutTo5, "12:00");
    EXPECT_NE(fMain->edOutTo5->palette().color(QPalette::Base), QColor(Qt::red));
}

TEST_F(OutgoingPageTest, TextsThatGoInsideAValueListRefuseACommaTypedOrPasted)
{
    for (QLineEdit* edit : {fMain->edOutRoaming, fMain->edOutSepChar}) {
        SCOPED_TRACE(qPrintable(edit->objectName()));
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("1,2"));
        EXPECT_FALSE(edit->text().contains(QLatin1Char(',')));
        edit->clear();
        edit->insert(QStringLiteral("3,4")); // what a paste does
        EXPECT_FALSE(edit->text().contains(QLatin1Char(',')));
    }
    // The number edits take digits only.
    fMain->edOutMaxMin->clear();
    QTest::keyClicks(fMain->edOutMaxMin, QStringLiteral("1a2-"));
    EXPECT_EQ(fMain->edOutMaxMin->text(), QStringLiteral("12"));
}

TEST_F(OutgoingPageTest, SaveToFileNeedsTheSmsCountAndDefaultsFillBothGroups)
{
    fMain->edOutSmsNumber->clear();
    removeFile(QStringLiteral("sim.ini"));
    press(fMain->sbOutSaveFile);
    expectOnlyBox(labelText(204), 47, MB_ICONERROR);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("sim.ini"))));
    EXPECT_EQ(fMain->edOutSmsNumber->palette().color(QPalette::Base), QColor(Qt::red));

    resetPageChanged();
    press(fMain->sbOutDefault);
    EXPECT_EQ(pageChanged[pcOutgoing], 1);
    EXPECT_EQ(outgoingWork, GateConfig.outgoing);
    EXPECT_EQ(fMain->edOutSmsNumber->text(), QStringLiteral("0"));
    press(fMain->sbOutSaveFile);
    expectInfoBox(75);
    EXPECT_EQ(pageChanged[pcOutgoing], 0);
    EXPECT_TRUE(readFile(QStringLiteral("sim.ini")).contains("[Outgoing groups]"));
}

TEST_F(OutgoingPageTest, AUserTextHoldingAnotherKeyDoesNotHijackIt)
{
    ASSERT_TRUE(gateway->setValue("S85", "X40=0,0,0,0 call %N")); // listed before the real X40
    ASSERT_TRUE(gateway->setValue("X40", "2,G,1,0"));
    press(fMain->sbPortModesLoad);
    EXPECT_TRUE(fMain->rbRouteIn2->isChecked());
    EXPECT_TRUE(fMain->rbRouteBri2->isChecked());
    load();
    EXPECT_EQ(fMain->edOutTextSms->text(), QStringLiteral("X40=0,0,0,0 call %N"));
}

} // namespace
