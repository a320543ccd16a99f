// The LCR and autorouting pages through the main window against the simulated gateway: the paged listings,
// the rows both ways, the dates and holidays, the whole-gateway and whole-file runs, the row dialogs.
#include "PageTestFixture.h"

#include "exchange/TablesExchange.h"
#include "gatewaysim/Fixture.h"
#include "pages/AutoPage.h"
#include "pages/LcrPage.h"
#include "pages/TfAuto.h"
#include "pages/TfLcr.h"
#include "ui/UiState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString kAutoAll = QStringLiteral("Autorouting table - All parametres\n");
const QString kLcrAll = QStringLiteral("LCR table - All parametres\n");

QByteArray reg(char letter, int i)
{
    return letter + QByteArray::number(i).rightJustified(2, '0');
}

// Autorouting rows cycling through the six services.
QByteArray autoValue(int i)
{
    const QByteArray clip = "+42060" + QByteArray::number(1000 + i);
    switch (i % 6) {
    case 0:
        return clip + ",5551" + QByteArray::number(i);
    case 1:
        return clip + ",," + QByteArray::number(i % 100);
    default:
        return clip + ',' + "RITD"[i % 6 - 2];
    }
}

QByteArray lcrValue(int i)
{
    static const char* const windows[] = {"08:00/17:00/w+", "00:00/24:00/w-", "07:30/16:00"};
    static const char* const groups[] = {"129", "", "3"};
    return QByteArray::number(i % 8 + 1) + ',' + windows[i % 3] + ',' + groups[i % 3] + ',' +
           QByteArray::number(i % 3 == 0 ? 99 : i % 10);
}

QStringList rowTexts(const QTreeWidget* list, int row)
{
    QStringList cells;
    for (int c = 0; c < list->columnCount(); ++c)
        cells << list->topLevelItem(row)->text(c);
    return cells;
}

class TablesTest : public PageTest
{
protected:
    void TearDown() override
    {
        pagedListingLimits = PagedListingLimits();
        PageTest::TearDown();
    }

    // The gateway's table holds exactly these rows.
    void setRows(char letter, int registers, int count, const std::function<QByteArray(int)>& value)
    {
        for (int i = 0; i < registers; ++i)
            ASSERT_TRUE(gateway->setValue(reg(letter, i), i < count ? value(i) : QByteArray()));
    }
    QList<QByteArray> storedRows(char letter, int registers) const
    {
        QList<QByteArray> rows;
        for (int i = 0; i < registers; ++i)
            rows << gateway->value(reg(letter, i));
        return rows;
    }
    // A gateway with a fixture of its own lines added to the built-in one's [gateway] section.
    void startWithGatewayLines(const QString& lines, int pageSize)
    {
        gatewaysim::Config cfg;
        cfg.fixtureText = gatewaysim::Fixture::builtInText().replace(QStringLiteral("[gateway]\n"),
                                                                     QStringLiteral("[gateway]\n") + lines);
        cfg.pageSize = pageSize;
        startGateway(cfg);
    }
};

TEST_F(TablesTest, PagingSendsOneBlankPerFurtherPageAndStopsAtTheEndMarker)
{
    const struct
    {
        int rows;
        int pageSize;
        int blanks; // title and header lines count on the first page
    } cases[] = {{5, 20, 0}, {25, 10, 2}, {96, 20, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        startGateway([&] {
            gatewaysim::Config cfg;
            cfg.pageSize = c.pageSize;
            return cfg;
        }());
        setRows('A', kMaxAutoRows, c.rows, autoValue);
        ASSERT_NO_FATAL_FAILURE(connectGateway());
        press(fMain->sbAutoLoad);
        expectInfoBox(61);
        EXPECT_EQ(fMain->lvAuto->topLevelItemCount(), c.rows);
        EXPECT_EQ(commandsReceived().first(), "AT&A\r\n"); // the telnet link sends a CR as CR LF
        EXPECT_EQ(timesReceived(" "), c.blanks);
    }
}

TEST_F(TablesTest, AListingThatStallsOrNeverEndsFailsWithinItsBounds)
{
    pagedListingLimits.maxPages = 5;
    setRows('A', kMaxAutoRows, 30, autoValue);
    setRows('R', kMaxLcrRows, 30, lcrValue);
    press(fMain->sbAutoLoad);
    ASSERT_EQ(fMain->lvAuto->topLevelItemCount(), 30);

    const struct
    {
        const char* what;
        std::function<void(gatewaysim::Faults&)> fault;
        int blanks;
    } cases[] = {{"silent after page 1", [](gatewaysim::Faults& f) { f.stallAfterPages = 1; }, 1},
                 {"endless pages", [](gatewaysim::Faults& f) { f.endlessPages = true; }, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setFaults(c.fault);
        QElapsedTimer clock;
        clock.start();
        press(fMain->sbAutoLoad);
        EXPECT_LT(clock.elapsed(), 10000);
        EXPECT_EQ(timesReceived(" "), c.blanks);
        expectListBox(218, kAutoAll);
        EXPECT_EQ(fMain->lvAuto->topLevelItemCount(), 30); // the list keeps its rows

        press(fMain->sbLcrLoad);
        EXPECT_TRUE(LoadErrors.endsWith(kLcrAll)) << qPrintable(LoadErrors);
        setFaults([](gatewaysim::Faults& f) { f = gatewaysim::Faults(); });
    }
}

TEST_F(TablesTest, OverTheModemEachPageIsGatheredFromItsPieces)
{
    // Both listings, the views and the network ids over the modem line, the autorouting pages coming in slow
    // pieces. (Slow: every modem reply has its fixed wait.)
    gatewaysim::Config cfg;
    cfg.pageSize = 10;
    gateway = std::make_unique<gatewaysim::Gateway>(cfg);
    const QString modem = gateway->startModemPty();
    ASSERT_FALSE(modem.isEmpty());
    CurrentConnection.LinkType = LinkModem;
    CurrentConnection.ModemName = modem;
    CurrentGateway.PhoneNumber = QStringLiteral("1");
    ASSERT_TRUE(gateway->setValue("N19", ",0"));
    ASSERT_TRUE(gateway->setValue("N29", "Voda,5"));
    setRows('A', kMaxAutoRows, 25, autoValue);
    setRows('R', kMaxLcrRows, 25, lcrValue);
    ASSERT_NO_FATAL_FAILURE(connectGateway());

    setFaults([](gatewaysim::Faults& f) {
        f.chunkSize = 100; // a page takes longer than the modem reply's wait
        f.chunkDelayMs = 300;
    });
    press(fMain->sbAutoLoad);
    expectInfoBox(61);
    EXPECT_EQ(timesReceived(" "), 2);
    ASSERT_EQ(fMain->lvAuto->topLevelItemCount(), 25);
    EXPECT_EQ(fMain->autoRowAt(24).clip, QStringLiteral("+420601024"));

    // The LCR page's views and network ids over the modem line.
    setFaults([](gatewaysim::Faults& f) { f = gatewaysim::Faults(); });
    press(fMain->sbLcrLoad);
    expectInfoBox(61);
    EXPECT_EQ(timesReceived(" "), 2);
    ASSERT_EQ(fMain->lvLcr->topLevelItemCount(), 25);
    EXPECT_EQ(rowTexts(fMain->lvLcr, 1), (QStringList{"2/Voda", "00:00/24:00/w-", "", "1"}));
    EXPECT_EQ(rowTexts(fMain->lvLcr, 24), (QStringList{"1/", "08:00/17:00/w+", "129", "99"}));
}

TEST_F(TablesTest, AnOkInsideAPageEndsTheLcrListingButNotTheAutoroutingOne)
{
    startWithGatewayLines(QStringLiteral("title AT&R = LCR table (OK)\ntitle AT&A = Autorouting table (OK)\n"), 10);
    setRows('A', kMaxAutoRows, 12, autoValue);
    setRows('R', kMaxLcrRows, 12, lcrValue);

    press(fMain->sbLcrLoad);
    EXPECT_EQ(timesReceived(" "), 0);
    EXPECT_EQ(fMain->lvLcr->topLevelItemCount(), 8); // the rows of the first page
    press(fMain->sbAutoLoad);
    EXPECT_EQ(timesReceived(" "), 1);
    EXPECT_EQ(fMain->lvAuto->topLevelItemCount(), 12);
}

TEST_F(TablesTest, AutoroutingRoundTripForEveryServiceAndTableSize)
{
    for (int count : {0, 9, 10, 96}) {
        SCOPED_TRACE(count);
        setRows('A', kMaxAutoRows, count, autoValue);
        const QList<QByteArray> before = storedRows('A', kMaxAutoRows);
        press(fMain->sbAutoLoad);
        ASSERT_EQ(fMain->lvAuto->topLevelItemCount(), count);
        setRows('A', kMaxAutoRows, 0, autoValue);

        press(fMain->sbAutoSave);
        expectInfoBox(66);
        const QList<QByteArray> sent = commandsReceived();
        ASSERT_EQ(sent.size(), count + (count < kMaxAutoRows ? 1 : 0));
        if (count > 9) {
            EXPECT_EQ(sent[8], "AT%A08=" + autoValue(8) + "\r\n");
            EXPECT_EQ(sent[9], "AT%A9=" + autoValue(9) + "\r\n");
        }
        const QByteArray emptying = count == 0 ? "AT%A00=\r\n" : count == 9 ? "AT%A9=\r\n" : "AT%A10=\r\n";
        if (count < kMaxAutoRows) {
            EXPECT_EQ(sent.last(), emptying);
        }
        EXPECT_EQ(storedRows('A', kMaxAutoRows), before);
    }
}

TEST_F(TablesTest, AutoroutingRowsShowTheirServiceAndStayOnTheirOwnLine)
{
    // A dial row's line ends after its number (its limit is empty, trailing blanks are cut).
    const QByteArray values[] = {"+420601,123456", "+420602,,15", "603,R", "604,I", "605,T", "606,D"};
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(gateway->setValue(reg('A', i), values[i]));
    press(fMain->sbAutoLoad);
    const QStringList expected[] = {{"+420601", "123456", "", "Dial"}, {"+420602", "", "15", "Callback"},
                                    {"603", "", "", "Reject"},         {"604", "", "", "Ignore"},
                                    {"605", "", "", "Tone dial-in"},   {"606", "", "", "Disa dial-in"}};
    ASSERT_EQ(fMain->lvAuto->topLevelItemCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(rowTexts(fMain->lvAuto, i), expected[i]);
    EXPECT_EQ(GateConfig.autorouting.rows.front(), QStringLiteral("+420601,123456,,A"));
    EXPECT_EQ(GateConfig.autorouting.rows.back(), QStringLiteral("606,,,D"));

    // The type column follows the language; the letter stays with the row.
    fMain->tbCzechClick();
    EXPECT_EQ(fMain->lvAuto->topLevelItem(1)->text(AutoPage::acType), labelText(915));
    EXPECT_NE(labelText(915), QStringLiteral("Callback"));
    fMain->tbEnglishClick();
    EXPECT_EQ(fMain->lvAuto->topLevelItem(1)->text(AutoPage::acType), QStringLiteral("Callback"));
    EXPECT_EQ(fMain->autoRowAt(5).letter, QLatin1Char('D'));
}

// A listed value longer than the gateway's field (columns run together) makes a damaged listing: the load
// fails as for a broken header and the page keeps its rows, so nothing over-long reaches a command or the file.
TEST_F(TablesTest, AListedValueLongerThanItsFieldFailsTheLoad)
{
    ASSERT_TRUE(gateway->setValue(reg('A', 0), "+420601,123456"));
    ASSERT_TRUE(gateway->setValue(reg('R', 0), "1,08:00/17:00/w-,129,5"));
    press(fMain->sbAutoLoad);
    press(fMain->sbLcrLoad);
    const struct
    {
        QAbstractButton* load;
        QTreeWidget* list;
        char letter;
        QByteArray value;
        QString line;
    } cases[] = {
        {fMain->sbAutoLoad, fMain->lvAuto, 'A', QByteArray(48, '1') + ",2", "Autorouting table - All parametres\n"},
        {fMain->sbAutoLoad, fMain->lvAuto, 'A', "+1," + QByteArray(15, '2'), "Autorouting table - All parametres\n"},
        {fMain->sbLcrLoad, fMain->lvLcr, 'R', "1,08:00/17:00/w-,12391239,5", "LCR table - All parametres\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.constData());
        ASSERT_EQ(c.list->topLevelItemCount(), 1);
        ASSERT_TRUE(gateway->setValue(reg(c.letter, 1), c.value));
        press(c.load);
        EXPECT_TRUE(LoadErrors.contains(c.line)) << qPrintable(LoadErrors);
        EXPECT_EQ(c.list->topLevelItemCount(), 1);
        ASSERT_TRUE(gateway->setValue(reg(c.letter, 1), QByteArray()));
    }
}

TEST_F(TablesTest, LcrRoundTripWithNetworkCaptionsForTenAndSixtyFourRows)
{
    for (const auto& [key, value] : {std::pair{"N19", ",0"}, {"N29", "Voda,5"}, {"N39", ",0"}, {"N89", "T8,0"}})
        ASSERT_TRUE(gateway->setValue(key, value));
    for (int count : {10, 64}) {
        SCOPED_TRACE(count);
        setRows('R', kMaxLcrRows, count, lcrValue);
        const QList<QByteArray> before = storedRows('R', kMaxLcrRows);
        press(fMain->sbLcrLoad);
        expectInfoBox(61);
        ASSERT_EQ(fMain->lvLcr->topLevelItemCount(), count);
        EXPECT_EQ(rowTexts(fMain->lvLcr, 0), (QStringList{"1/", "08:00/17:00/w+", "129", "99"}));
        EXPECT_EQ(rowTexts(fMain->lvLcr, 1), (QStringList{"2/Voda", "00:00/24:00/w-", "", "1"}));
        EXPECT_EQ(rowTexts(fMain->lvLcr, 2), (QStringList{"3/", "07:30/16:00", "3", "2"}));
        EXPECT_EQ(rowTexts(fMain->lvLcr, 7), (QStringList{"8/T8", "00:00/24:00/w-", "", "7"}));
        EXPECT_EQ(GateConfig.lcr.rows[1], QStringLiteral("2,00:00/24:00/w-,,1"));
        setRows('R', kMaxLcrRows, 0, lcrValue);

        press(fMain->sbLcrSave);
        expectInfoBox(66);
        const QList<QByteArray> sent = commandsReceived();
        EXPECT_EQ(sent.value(2), "AT%R00=" + lcrValue(0) + "\r\n");
        EXPECT_TRUE(sent.contains("AT%R08=" + lcrValue(8) + "\r\n"));
        EXPECT_TRUE(sent.contains("AT%R9=" + lcrValue(9) + "\r\n"));
        EXPECT_EQ(sent.contains("AT%R10=\r\n"), count == 10);
        EXPECT_EQ(sent.size(), 2 + count + (count < kMaxLcrRows ? 1 : 0)); // X20, G06, rows, emptying
        EXPECT_EQ(storedRows('R', kMaxLcrRows), before);
    }
}

TEST_F(TablesTest, AMissingNetworkIdDropsTheIdsOfTheLoadBeforeAndSaysSo)
{
    ASSERT_TRUE(gateway->setValue("N29", "Voda,5"));
    setRows('R', kMaxLcrRows, 3, lcrValue);
    press(fMain->sbLcrLoad);
    ASSERT_EQ(fMain->networkNames.value(1), QStringLiteral("Voda"));

    // The next load lacks the id of list 3.
    ASSERT_TRUE(gateway->removeKey("N39"));
    press(fMain->sbLcrLoad);
    expectListBox(218, QStringLiteral("Lcr table - Network ID\n"));
    EXPECT_TRUE(fMain->networkNames.isEmpty());
    EXPECT_EQ(fMain->lvLcr->topLevelItem(1)->text(LcrPage::lcNetwork), QStringLiteral("2"));
}

TEST_F(TablesTest, DatesAndHolidaysComeBackUnchangedAndFillOneOrTwoRegisters)
{
    QList<QByteArray> dates;
    for (int i = 1; i <= 13; ++i)
        dates << QByteArray::number(i % 12 + 1).rightJustified(2, '0') + QByteArray::number(i + 10);
    for (int count : {12, 13}) {
        SCOPED_TRACE(count);
        ASSERT_TRUE(gateway->setValue("X20", "1026,0329"));
        ASSERT_TRUE(gateway->setValue("G06", dates.mid(0, 12).join(',')));
        ASSERT_TRUE(gateway->setValue("G07", count > 12 ? dates.mid(12).join(',') : QByteArray()));
        press(fMain->sbLcrLoad);
        EXPECT_EQ(fMain->edSystemWinter->text(), QStringLiteral("26.10"));
        EXPECT_EQ(fMain->edSystemSummer->text(), QStringLiteral("29.03"));
        ASSERT_EQ(fMain->lbBasicHolidays->count(), count);
        EXPECT_EQ(fMain->lbBasicHolidays->item(0)->text(), QStringLiteral("11.02"));

        ASSERT_TRUE(gateway->setValue("X20", "0000,0000"));
        ASSERT_TRUE(gateway->setValue("G06", ""));
        press(fMain->sbLcrSave);
        const QList<QByteArray> sent = commandsReceived();
        EXPECT_EQ(sent.value(0), "AT%X20=1026,0329\r\n");
        EXPECT_EQ(sent.value(1), "AT%G06=" + dates.mid(0, 12).join(',') + "\r\n");
        EXPECT_EQ(sent.value(2).startsWith("AT%G07="), count > 12);
        EXPECT_EQ(gateway->value("X20"), "1026,0329");
        EXPECT_EQ(gateway->value("G06"), dates.mid(0, 12).join(','));
        EXPECT_EQ(gateway->value("G07"), count > 12 ? dates.at(12) : QByteArray());
    }
}

TEST_F(TablesTest, MissingDatesOrIdsOddHolidaysAndPartlyTypedDatesAreReportedNotSent)
{
    fMain->edSystemWinter->setText(QStringLiteral("01.11"));
    ASSERT_TRUE(gateway->removeKey("X20"));
    ASSERT_TRUE(gateway->removeKey("N39"));
    ASSERT_TRUE(gateway->setValue("G06", "0501,1_05")); // a holiday in no form of ours: listed (once), not shown
    press(fMain->sbLcrLoad);
    const QString settings = QStringLiteral("LCR settings - All parametres\n");
    expectListBox(218, settings + QStringLiteral("Lcr table - Network ID\n"));
    EXPECT_EQ(fMain->edSystemWinter->text(), QStringLiteral("01.11")); // kept, not "."
    ASSERT_EQ(fMain->lbBasicHolidays->count(), 1);
    EXPECT_EQ(fMain->lbBasicHolidays->item(0)->text(), QStringLiteral("01.05"));

    // Only a date a person left half-typed holds the save back, not one the program set.
    fMain->edSystemSummer->setText(QStringLiteral("2_.03"));
    EXPECT_TRUE(fMain->lcrDatesValid());
    typeInto(fMain->edSystemSummer, "2_.03");
    press(fMain->sbLcrSave);
    expectOnlyBox(labelText(204), 47, MB_ICONERROR);
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
    EXPECT_EQ(fMain->edSystemSummer->palette().color(QPalette::Base), QColor(Qt::red));
}

TEST_F(TablesTest, WholeGatewayLoadReadsEachViewOnceAndTheTablesLast)
{
    setRows('R', kMaxLcrRows, 3, lcrValue);
    setRows('A', kMaxAutoRows, 4, autoValue);
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    fMain->tbLoadGateClick();
    expectInfoBox(61);
    const QList<QByteArray> sent = commandsReceived();
    // The LCR page, which runs after the incoming groups page, takes "AT&V" and "AT&V0" from the run's cache.
    const qsizetype incoming = sent.indexOf("AT&V9\r\n");
    ASSERT_GE(incoming, 0);
    EXPECT_LT(sent.lastIndexOf("AT&V\r\n"), incoming);
    EXPECT_LT(sent.lastIndexOf("AT&V0\r\n"), incoming);
    EXPECT_EQ(sent.count("AT&Nall\r\n"), 1);
    EXPECT_EQ(sent.mid(sent.size() - 2), (QList<QByteArray>{"AT&R\r\n", "AT&A\r\n"}));
    EXPECT_EQ(fMain->lvLcr->topLevelItemCount(), 3);
    EXPECT_EQ(fMain->lvAuto->topLevelItemCount(), 4);
    EXPECT_EQ(pageChanged[pcLcr], 1);
    EXPECT_EQ(pageChanged[pcAuto], 1);
}

TEST_F(TablesTest, BothTablesGoToTheGateFileAndAShrunkTableLeavesNoStaleRows)
{
    setRows('R', kMaxLcrRows, 3, lcrValue);
    setRows('A', kMaxAutoRows, 3, autoValue);
    press(fMain->sbLcrLoad);
    press(fMain->sbAutoLoad);
    fMain->tbSaveClick();

    fMain->lvLcr->setCurrentItem(fMain->lvLcr->topLevelItem(2));
    fMain->sbLcrRemoveClick();
    fMain->lvAuto->setCurrentItem(fMain->lvAuto->topLevelItem(0));
    fMain->sbAutoRemoveClick();
    press(fMain->sbLcrSaveFile);
    expectInfoBox(75);
    press(fMain->sbAutoSaveFile);
    EXPECT_EQ(pageChanged[pcAuto], 0);

    QFile file(path(QStringLiteral("sim.ini")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("L1=2,00:00/24:00/w-,,1\n"));
    EXPECT_FALSE(text.contains("\nL2="));
    EXPECT_TRUE(text.contains("A1=+42060" + QByteArray::number(1002) + ",,,R\n"));
    EXPECT_FALSE(text.contains("\nA2="));

    fMain->lvLcr->clear();
    fMain->lvAuto->clear();
    fMain->tbLoadClick();
    EXPECT_EQ(fMain->lvLcr->topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(fMain->lvAuto, 0), (QStringList{"+420601001", "", "1", "Callback"}));
}

TEST_F(TablesTest, LcrDialogBuildsTheRowAndOpensItAgainAsWritten)
{
    GateConfig.networks[1].networkId = QStringLiteral("Voda");
    dialogs().onModal([](QDialog*) {
        fLcr->cbNetwork->setCurrentIndex(1);
        fLcr->edFrom->setText(QStringLiteral("7:00"));
        fLcr->rbAll->setChecked(true);
        for (int box : {0, 1, 2}) {
            fLcr->cbGroups[size_t(box)]->setCurrentIndex(box == 2 ? 4 : box + 1);
            fLcr->cbGroupsChange(box);
        }
        fLcr->seLimit->setValue(12);
        fLcr->sbOk->click();
    });
    press(fMain->sbLcrNew);
    ASSERT_EQ(fMain->lvLcr->topLevelItemCount(), 1);
    EXPECT_EQ(rowTexts(fMain->lvLcr, 0), (QStringList{"2/Voda", "7:00/24:00/w+", "129", "12"}));
    EXPECT_EQ(pageChanged[pcLcr], 1);

    // Modify shows the row as written (the hour padded), and OK without a change writes it back the same.
    fMain->lvLcr->setCurrentItem(fMain->lvLcr->topLevelItem(0));
    dialogs().onModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), labelText(408));
        EXPECT_EQ(fLcr->edFrom->text(), QStringLiteral("07:00"));
        EXPECT_TRUE(fLcr->cbWeekend->isChecked());
        EXPECT_TRUE(fLcr->rbAll->isChecked());
        const int items[] = {1, 2, 4, 0, 0, 0, 0};
        for (int box = 0; box < 7; ++box) {
            EXPECT_EQ(fLcr->cbGroups[size_t(box)]->currentIndex(), items[box]) << box;
            EXPECT_EQ(fLcr->cbGroups[size_t(box)]->isEnabled(), box <= 3) << box;
        }
        // Taking box 2 back to none resets and disables the ones after it: no gap in the groups.
        fLcr->cbGroups[1]->setCurrentIndex(0);
        fLcr->cbGroupsChange(1);
        EXPECT_EQ(fLcr->cbGroups[2]->currentIndex(), 0);
        EXPECT_FALSE(fLcr->cbGroups[2]->isEnabled());
        fLcr->sbOk->click();
    });
    fMain->sbLcrEditClick();
    ASSERT_EQ(fMain->lvLcr->topLevelItemCount(), 1);
    EXPECT_EQ(rowTexts(fMain->lvLcr, 0), (QStringList{"2/Voda", "07:00/24:00/w+", "1", "12"}));

    // A partly typed time is refused and the dialog stays open.
    dialogs().onModal([](QDialog* d) {
        fLcr->edTo->setText(QStringLiteral("1_:00"));
        fLcr->sbOk->click();
        EXPECT_TRUE(d->isVisible());
    });
    press(fMain->sbLcrNew);
    EXPECT_EQ(fMain->lvLcr->topLevelItemCount(), 1);
    expectOnlyBox(labelText(204), 47, MB_ICONERROR);
}

TEST_F(TablesTest, AutoDialogRefusesAnEmptyNumberAndModifyReplacesTheRow)
{
    dialogs().onModal([](QDialog* d) {
        fAuto->edGsm->setText(QStringLiteral("+420777"));
        fAuto->sbOk->click(); // dial service without a number
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(fAuto->edDial->palette().color(QPalette::Base), QColor(Qt::red));
        EXPECT_NE(fAuto->edGsm->palette().color(QPalette::Base), QColor(Qt::red));
        fAuto->rbAutocallback->setChecked(true);
        EXPECT_FALSE(fAuto->edDial->isEnabled());
        EXPECT_TRUE(fAuto->seLimit->isEnabled());
        fAuto->seLimit->setValue(7);
        fAuto->sbOk->click();
    });
    press(fMain->sbAutoNew);
    expectOnlyBox(labelText(403), 47, MB_ICONERROR);
    ASSERT_EQ(fMain->lvAuto->topLevelItemCount(), 1);
    EXPECT_EQ(rowTexts(fMain->lvAuto, 0), (QStringList{"+420777", "", "7", "Callback"}));

    // The number edit takes a service letter only alone.
    dialogs().onModal([](QDialog*) {
        fAuto->rbAutodial->setChecked(true);
        fAuto->edDial->clear();
        QTest::keyClicks(fAuto->edDial, QStringLiteral("R5"));
        EXPECT_EQ(fAuto->edDial->text(), QStringLiteral("R"));
        fAuto->sbOk->click();
    });
    fMain->lvAuto->setCurrentItem(fMain->lvAuto->topLevelItem(0));
    fMain->sbAutoEditClick();
    ASSERT_EQ(fMain->lvAuto->topLevelItemCount(), 1); // replaced, not appended
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    EXPECT_EQ(fMain->autoRowAt(0).letter, QLatin1Char('A'));
    press(fMain->sbAutoSave);
    EXPECT_EQ(commandsReceived().value(0), "AT%A00=+420777,R\r\n"); // goes out as a reject row
}

TEST_F(TablesTest, FullTablesAndHolidayListRefuseMore)
{
    for (int i = 0; i < kMaxAutoRows; ++i)
        fMain->autoPutRow(true, {QStringLiteral("1"), QStringLiteral("2"), QString(), QLatin1Char('A')});
    for (int i = 0; i < kMaxLcrRows; ++i)
        fMain->lcrPutRow(true, QStringLiteral("1/"), QStringLiteral("00:00/24:00"), QString(), QStringLiteral("0"));
    for (int i = 0; i < kMaxHolidays; ++i)
        fMain->lbBasicHolidays->addItem(QStringLiteral("1.1"));
    for (QPushButton* button : {fMain->sbAutoNew, fMain->sbLcrNew}) {
        press(button);
        expectOnlyBox(labelText(77), 47, MB_ICONERROR);
    }
    press(fMain->sbBasicAdd);
    expectOnlyBox(labelText(73), 47, MB_ICONERROR);
    EXPECT_TRUE(dialogs().modals().isEmpty());

    // An answer outside the calendar is refused, and so is one the save would send as another date (no digits
    // after a sign, a digit after a blank); "1.5 " is kept as typed and sent with leading zeros.
    fMain->lbBasicHolidays->clear();
    for (const char* answer : {"32.1", "+1.5", "1.+5", "1.1 5"}) {
        SCOPED_TRACE(answer);
        dialogs().clearRecords();
        dialogs().answerInput(QString::fromLatin1(answer));
        press(fMain->sbBasicAdd);
        expectOnlyBox(labelText(74), 47, MB_ICONERROR);
    }
    dialogs().answerInput(QStringLiteral("1.5 "));
    press(fMain->sbBasicAdd);
    ASSERT_EQ(fMain->lbBasicHolidays->count(), 1);
    EXPECT_EQ(fMain->lbBasicHolidays->item(0)->text(), QStringLiteral("1.5 "));
    EXPECT_EQ(holidayCommands({QStringLiteral("1.5 ")}), QList<QByteArray>{"AT%G06=0501\r\n"});
}

// Pictures of both table pages and both row dialogs, as a person sees them, for people to look at: run under
// a real display (xvfb-run -s "-screen 0 1280x1024x24" with QT_QPA_PLATFORM=xcb), the dialogs opened by the
// page buttons through the program's own modal path, the screen grabbed while each is up. Written on demand
// only (scripts/screenshots.sh): build/screenshots/tables-<language>-<what>.png.
class RealModals : public DialogHandler
{
public:
    RealModals(ScriptedDialogs& boxes, std::function<void(QDialog*)> whileShown)
        : boxes_(boxes), whileShown_(std::move(whileShown)), previous_(setDialogHandler(this))
    {
    }
    ~RealModals() override { setDialogHandler(previous_); }
    int messageBox(const QString& t, const QString& c, unsigned f) override { return boxes_.messageBox(t, c, f); }
    QString openFileName(QWidget* p, const QString& c, const QString& i, const QString& f) override
    {
        return boxes_.openFileName(p, c, i, f);
    }
    QString saveFileName(QWidget* p, const QString& c, const QString& i, const QString& f) override
    {
        return boxes_.saveFileName(p, c, i, f);
    }
    bool inputQuery(const QString& c, const QString& p, QString& v) override { return boxes_.inputQuery(c, p, v); }
    int showModal(QDialog* dialog) override
    {
        QTimer::singleShot(400, dialog, [this, dialog] {
            whileShown_(dialog);
            dialog->reject();
        });
        return dialog->exec();
    }

private:
    ScriptedDialogs& boxes_;
    std::function<void(QDialog*)> whileShown_;
    DialogHandler* previous_;
};

TEST_F(TablesTest, DISABLED_PagesAndDialogsOnTheScreen)
{
    const QString folder = QStringLiteral(MESK_BINARY_DIR "/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const auto& [key, value] : {std::pair{"N19", "T-Net,0"}, {"N29", "Voda,5"}, {"N39", "O3,0"}})
        ASSERT_TRUE(gateway->setValue(key, value));
    setRows('R', kMaxLcrRows, 12, lcrValue);
    setRows('A', kMaxAutoRows, 12, autoValue);
    showMainWindow();
    ASSERT_TRUE(gateway->setValue("X20", "1026,0329"));
    ASSERT_TRUE(gateway->setValue("G06", "0101,1224,1225"));
    press(fMain->sbNetLoad);
    press(fMain->sbLcrLoad);
    press(fMain->sbAutoLoad);
    auto shoot = [&](const QString& name) {
        QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        if (screen.isNull() || QGuiApplication::platformName() == QStringLiteral("offscreen"))
            screen = (QApplication::activeModalWidget() ? QApplication::activeModalWidget() : fMain)->grab();
        EXPECT_TRUE(screen.save(folder + QStringLiteral("/tables-") + name + QStringLiteral(".png")));
    };
    const struct
    {
        const char* name;
        void (TfMain::*click)();
    } languages[] = {{"english", &TfMain::tbEnglishClick}, {"czech", &TfMain::tbCzechClick}};
    for (const auto& language : languages) {
        (fMain->*language.click)();
        const QString prefix = QString::fromLatin1(language.name) + QLatin1Char('-');
        const struct
        {
            int topic;
            QTreeWidget* list;
            QPushButton* modify;
            QDialog* dialog;
            const char* name;
        } pages[] = {{37, fMain->lvLcr, fMain->sbLcrEdit, fLcr, "lcr"},
                     {38, fMain->lvAuto, fMain->sbAutoEdit, fAuto, "auto"}};
        for (const auto& p : pages) {
            SCOPED_TRACE(p.name);
            fMain->selectTopic(p.topic);
            QTest::qWait(300);
            shoot(prefix + QString::fromLatin1(p.name) + QStringLiteral("-page"));
            p.list->setCurrentItem(p.list->topLevelItem(1));
            bool seen = false;
            RealModals modals(dialogs(), [&](QDialog* d) {
                seen = true;
                EXPECT_EQ(d, p.dialog);
                EXPECT_TRUE(d->isModal());
                EXPECT_EQ(QApplication::activeModalWidget(), d);
                EXPECT_TRUE(d->isActiveWindow() || QGuiApplication::platformName() == QStringLiteral("offscreen"));
                shoot(prefix + QString::fromLatin1(p.name) + QStringLiteral("-dialog"));
            });
            p.modify->click();
            EXPECT_TRUE(seen);
        }
    }
}

} // namespace
