#include "PageTestFixture.h"

#include "pages/SystemPage.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

const QString kLineAll = QStringLiteral("System settings - All parametres\n");
const QString kLineCdr = QStringLiteral("System settings - CDR mode\n");
const QString kLineGateId = QStringLiteral("System settings - Gate ID\n");

class SystemPageTest : public PageTest
{
protected:
    void load() { press(fMain->sbSystemLoad); }
    void save() { press(fMain->sbSystemSave); }
};

TEST_F(SystemPageTest, CdrCodesBecomeListPositionsAndGoBackAsCodes)
{
    const struct
    {
        const char* code;
        int position;
        const char* saved; // code 4 has no position of its own: it comes back as 3
    } cases[] = {{"0", 0, "0"}, {"1", 1, "1"}, {"2", 2, "2"}, {"3", 3, "3"},
                 {"4", 3, "3"}, {"5", 4, "5"}, {"6", 5, "6"}, {"7", 6, "7"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(gateway->setValue("S91", QByteArray(c.code) + ",12"));
        load();
        EXPECT_EQ(fMain->cbSystemCDRmode->currentIndex(), c.position);
        EXPECT_EQ(fMain->seSystemGate->value(), 12);
        EXPECT_EQ(GateConfig.system.cdrMode, QByteArray(c.saved).toInt()); // the image holds the code
        expectInfoBox(61);

        save();
        EXPECT_EQ(commandsReceived().value(0), "AT%S91=" + QByteArray(c.saved) + ",12\r\n");
        EXPECT_EQ(gateway->value("S91"), QByteArray(c.saved) + ",12");
        expectInfoBox(66);
    }
}

TEST_F(SystemPageTest, MissingOrUnreadableValuesTakeDefaultsAndAreListed)
{
    const struct
    {
        const char* s91;
        int position;
        int gateId;
        QString lines;
    } cases[] = {
        {"1", 1, 0, kLineGateId},              // a single value
        {"x,y", 0, 0, kLineCdr + kLineGateId}, // two failed items, both listed
        {"9,7", 0, 7, kLineCdr},               // a code the list has no place for
        {",250", 0, 250, kLineCdr},            // an empty value
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.s91);
        fMain->cbSystemCDRmode->setCurrentIndex(2);
        fMain->seSystemGate->setValue(5);
        pageChanged[pcSystem] = 0;
        ASSERT_TRUE(gateway->setValue("S91", c.s91));
        load();
        EXPECT_EQ(fMain->cbSystemCDRmode->currentIndex(), c.position);
        EXPECT_EQ(fMain->seSystemGate->value(), c.gateId);
        EXPECT_EQ(LoadErrors, c.lines);
        expectListBox(218, c.lines);
        EXPECT_EQ(pageChanged[pcSystem], 1); // the page shows what could be read
    }
}

TEST_F(SystemPageTest, TheResetIsOnExactlyWhenItsTimeIsNotMidnight)
{
    const struct
    {
        const char* x22;
        const char* shown;
        bool on;
    } loads[] = {
        {"7:30", "07:30", true}, {"00:00", "00:00", false}, {"23:59", "23:59", true}, {"0:00", "00:00", false}};
    for (const auto& c : loads) {
        SCOPED_TRACE(c.x22);
        ASSERT_TRUE(gateway->setValue("X22", c.x22));
        load();
        EXPECT_EQ(fMain->edSystemReset->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(fMain->cbSystemReset->isChecked(), c.on);
        EXPECT_EQ(fMain->edSystemReset->isEnabled(), c.on);
        EXPECT_EQ(fMain->lbSystemReset->isEnabled(), c.on);
        EXPECT_EQ(GateConfig.system.resetTime, QString::fromLatin1(c.shown));
    }

    const struct
    {
        bool on;
        const char* edit;
        const char* sent;
    } saves[] = {
        {false, "06:00", "AT%X22=00:00\r\n"}, {true, "06:00", "AT%X22=06:00\r\n"}, {true, "00:00", "AT%X22=00:00\r\n"}};
    for (const auto& c : saves) {
        SCOPED_TRACE(c.sent);
        fMain->cbSystemReset->setChecked(c.on);
        fMain->edSystemReset->setText(QString::fromLatin1(c.edit));
        save();
        const QList<QByteArray> lines = commandsReceived();
        ASSERT_EQ(lines.size(), 2) << "the connection is open already";
        EXPECT_EQ(lines.at(1), QByteArray(c.sent));
        EXPECT_EQ(GateConfig.system.resetTime, QString::fromLatin1(c.sent).mid(7, 5));
    }
    // The reset saved as "00:00" while the box was checked reads back as off.
    load();
    EXPECT_FALSE(fMain->cbSystemReset->isChecked());
}

TEST_F(SystemPageTest, APartlyTypedResetTimeIsMarkedAndNeitherSentNorStored)
{
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    fMain->edSystemReset->setText(QStringLiteral("06:15"));
    fMain->sbSystemSaveFile->click();
    const QByteArray file = readFile(QStringLiteral("sim.ini"));
    GateConfig.system.resetTime = QStringLiteral("06:15");
    const QByteArray x22 = gateway->value("X22");
    const struct
    {
        const char* typed;
        bool whole;
    } cases[] = {{"__:__", false}, {"0_:30", false}, {"07:3_", false}, {"7:3", false},  {"25:00", false},
                 {"24:01", false}, {"12:60", false}, {"24:00", true},  {"23:59", true}, {"07:30", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        typeInto(fMain->edSystemReset, c.typed);
        fMain->cbSystemReset->setChecked(true);
        for (QAbstractButton* run : std::initializer_list<QAbstractButton*>{fMain->sbSystemSave, fMain->sbSystemSaveFile}) {
            press(run);
            if (c.whole) {
                EXPECT_EQ(fMain->edSystemReset->palette().color(QPalette::Base), QPalette().color(QPalette::Base));
                continue;
            }
            expectOnlyBox(labelText(204), 47, MB_ICONERROR);
            EXPECT_TRUE(gateway->receivedLines().isEmpty()) << "nothing was sent";
            EXPECT_EQ(readFile(QStringLiteral("sim.ini")), file) << "nothing was written";
            EXPECT_EQ(fMain->edSystemReset->palette().color(QPalette::Base), QColor(Qt::red));
            EXPECT_FALSE(fMain->edSystemReset->toolTip().isEmpty());
        }
        // The whole-gateway and whole-file saves stop the same way; a copy made without asking keeps the
        // image's time.
        if (!c.whole) {
            dialogs().clearRecords();
            fMain->tbSaveGateClick();
            fMain->tbSaveClick();
            EXPECT_EQ(dialogs().boxes().size(), 2);
            EXPECT_EQ(gateway->value("X22"), x22);
            fMain->systemSaveFile();
            EXPECT_EQ(GateConfig.system.resetTime, QStringLiteral("06:15"));
        }
    }
    EXPECT_EQ(gateway->value("X22"), "07:30");
}

TEST_F(SystemPageTest, FailedRunsListTheirLinesAndChangeNothing)
{
    ASSERT_TRUE(gateway->setValue("S91", "5,12"));
    ASSERT_TRUE(gateway->setValue("X22", "07:30"));
    load();
    const TSystem before = GateConfig.system;
    ASSERT_TRUE(gateway->setValue("S91", "1,99"));
    ASSERT_TRUE(gateway->setValue("X22", "00:00"));
    setFaults([](gatewaysim::Faults& f) { f.noOk = true; });

    load();
    EXPECT_EQ(fMain->cbSystemCDRmode->currentIndex(), 4);
    EXPECT_EQ(fMain->seSystemGate->value(), 12);
    EXPECT_EQ(fMain->edSystemReset->text(), QStringLiteral("07:30"));
    EXPECT_TRUE(fMain->cbSystemReset->isChecked());
    EXPECT_EQ(GateConfig.system, before);
    EXPECT_EQ(LoadErrors, kLineAll);
    expectListBox(218, kLineAll);

    setFaults([](gatewaysim::Faults& f) {
        f.noOk = false;
        f.errorToAll = true;
    });
    save();
    EXPECT_EQ(commandsReceived().size(), 2) << "the second command goes out although the first was refused";
    const QString lines = QStringLiteral("System settings - Saving call data (CDR), Gate ID\n"
                                         "System settings - System reset\n");
    EXPECT_EQ(LoadErrors, lines);
    expectListBox(219, lines);
}

TEST_F(SystemPageTest, DefaultTakesTheSystemSectionOfTheDefaultsFile)
{
    writeFile(QStringLiteral("defaults.ini"), "[System parametres]\nS91=6,33\nX22=04:05\n"
                                              "[Gsm parametres]\nG90=1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"
                                              "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1\n");
    pageChanged[pcSystem] = 0;
    fMain->sbSystemDefault->click();
    EXPECT_EQ(fMain->cbSystemCDRmode->currentIndex(), 5);
    EXPECT_EQ(fMain->seSystemGate->value(), 33);
    EXPECT_EQ(fMain->edSystemReset->text(), QStringLiteral("04:05"));
    EXPECT_TRUE(fMain->cbSystemReset->isChecked());
    EXPECT_EQ(GateConfig.groupsAssignment.incoming[0], 0); // only the system section is read
    EXPECT_EQ(pageChanged[pcSystem], 1);
    EXPECT_TRUE(dialogs().boxes().isEmpty());
    EXPECT_EQ(gateway->connectionCount(), 0);
}

TEST_F(SystemPageTest, LabelPassKeepsTheChosenModeAndTheListLength)
{
    fMain->cbSystemCDRmode->setCurrentIndex(4);
    Tlabels t(982);
    t[259] = QStringLiteral("Všechny odchozí");
    fMain->setLabelsSystem(t);
    fMain->setLabelsSystem(t);
    EXPECT_EQ(fMain->cbSystemCDRmode->count(), 7);
    EXPECT_EQ(fMain->cbSystemCDRmode->currentIndex(), 4);
    EXPECT_EQ(fMain->cbSystemCDRmode->currentText(), QStringLiteral("Všechny odchozí"));
    EXPECT_EQ(fMain->cbSystemCDRmode->itemText(6), QStringLiteral("All"));
    EXPECT_EQ(fMain->gbSystem1->title(), QStringLiteral("IP settings :")); // the place's own fallback
    EXPECT_EQ(fMain->Label11->text(), QStringLiteral("(0=off)"));          // 902 lies past a short table
}

} // namespace
