#include "PageTestFixture.h"

#include "link/GatewayList.h"
#include "link/Login.h"
#include "pages/ExtPage.h"
#include "pages/GroupPage.h"
#include "pages/SystemPage.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>

namespace {

// The sections of an INI text by name, each with its lines exactly as written (the blank lines between
// sections are the writer's layout, not part of a section).
QMap<QString, QByteArray> sectionsOf(const QByteArray& text)
{
    QMap<QString, QByteArray> sections;
    QString current;
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith('['))
            current = QString::fromUtf8(line.mid(1, line.indexOf(']') - 1));
        if (!line.isEmpty())
            sections[current] += line + '\n';
    }
    return sections;
}

// Every changed flag is clear, the ISDN page's excepted (the file runs never touch that one).
void expectFlagsClearButIsdn(quint8 isdn)
{
    for (int flag = 0; flag < pcCount; ++flag)
        EXPECT_EQ(pageChanged[flag], flag == pcIsdn ? isdn : 0) << flag;
}

const QStringList kExtRows = {QStringLiteral("Anna,anna,pw1,+420602111222,1,0,1"),
                              QStringLiteral("Bob,bob,pw2,+420602333444,0,1,0")};

using GateRunsTest = PageTest;

TEST_F(GateRunsTest, WholeGatewayRunsShareOneViewAndCarryEveryPage)
{
    ASSERT_TRUE(gateway->setValue("S91", "6,21"));
    ASSERT_TRUE(gateway->setValue("G05", "33"));
    ASSERT_TRUE(gateway->setValue("S98", "9999"));
    ASSERT_TRUE(gateway->setValue("X40", "2,G,1,0"));
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    resetPageChanged();

    fMain->tbLoadGateClick();

    // Once for the system page and the pages that read its reply; the port modes page asks for itself.
    EXPECT_EQ(timesReceived("AT&V\r\n"), 2);
    EXPECT_FALSE(viewReplyCache.active);
    EXPECT_TRUE(viewReplyCache.atV.isEmpty());
    EXPECT_TRUE(viewReplyCache.atV0.isEmpty());
    EXPECT_EQ(fMain->cbSystemCDRmode->currentIndex(), 5);
    EXPECT_EQ(fMain->seSystemGate->value(), 21);
    EXPECT_EQ(fMain->seBasicDtmf->value(), 33);
    EXPECT_EQ(fMain->edBasicPin->text(), QStringLiteral("9999"));
    EXPECT_TRUE(fMain->rbUseReject1->isChecked());
    EXPECT_TRUE(fMain->rbRouteBri2->isChecked());
    EXPECT_TRUE(fMain->rbRouteIn2->isChecked());
    expectInfoBox(61);
    for (int flag = 0; flag < pcCount; ++flag)
        EXPECT_EQ(pageChanged[flag], flag == pcIsdn ? 0 : 1) << flag;
    EXPECT_TRUE(fMain->isEnabled());
    EXPECT_FALSE(progressShown);

    // Outside the run every load asks for itself again.
    press(fMain->sbSystemLoad);
    EXPECT_EQ(timesReceived("AT&V\r\n"), 1);

    fMain->seBasicDtmf->setValue(44);
    fMain->rbRouteBri1->setChecked(true);
    gateway->clearLog();
    dialogs().clearRecords();
    fMain->tbSaveGateClick();
    EXPECT_EQ(timesReceived("AT%G05=44\r\n"), 1);
    EXPECT_EQ(timesReceived("AT%X40=2,2,1,0\r\n"), 1);
    EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
    expectInfoBox(66);
}

TEST_F(GateRunsTest, WholeGatewaySaveAfterAFailureInTheFirstPageShowsNoSuccess)
{
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    ASSERT_TRUE(gateway->removeKey("S91")); // the gateway refuses the first command of the first page
    const TSystem before = GateConfig.system;
    resetPageChanged();

    fMain->tbSaveGateClick();

    EXPECT_TRUE(gateway->receivedLines().contains("AT%X22=00:00\r\n")); // the run went on
    const QString line = QStringLiteral("System settings - Saving call data (CDR), Gate ID\n");
    EXPECT_TRUE(LoadErrors.contains(line));
    expectListBox(219, LoadErrors);
    EXPECT_FALSE(anyPageChanged()); // saving to the gateway changes no flag
    EXPECT_EQ(GateConfig.system, before);
    EXPECT_TRUE(fMain->isEnabled());
}

TEST_F(GateRunsTest, SystemSaveToFileLeavesEveryOtherSectionByteIdentical)
{
    QByteArray original = readFile(QStringLiteral("defaults/MX.ini"));
    ASSERT_FALSE(original.isEmpty());
    original += "\n[Our own notes]\nkeep=as it is; even this\n";
    original.replace("[System parametres]\n", "[System parametres]\nUnknownKey=stays\n");
    writeFile(QStringLiteral("sim.ini"), original);

    fMain->cbSystemCDRmode->setCurrentIndex(6);
    fMain->seSystemGate->setValue(200);
    fMain->sbSystemSaveFile->click();

    const QMap<QString, QByteArray> before = sectionsOf(original);
    const QMap<QString, QByteArray> after = sectionsOf(readFile(QStringLiteral("sim.ini")));
    EXPECT_EQ(after.keys(), before.keys());
    for (const QString& name : before.keys()) {
        if (name != QLatin1String("System parametres")) {
            EXPECT_EQ(after.value(name), before.value(name)) << qPrintable(name);
        }
    }
    EXPECT_TRUE(after.value(QStringLiteral("System parametres")).contains("S91=7,200\n"));
    EXPECT_TRUE(after.value(QStringLiteral("System parametres")).contains("UnknownKey=stays\n"));
}

TEST_F(GateRunsTest, WholeFileSaveThenLoadReproducesEveryPage)
{
    fMain->cbSystemCDRmode->setCurrentIndex(4);
    fMain->seSystemGate->setValue(99);
    fMain->edSystemReset->setText(QStringLiteral("06:45"));
    fMain->cbSystemReset->setChecked(true);
    fMain->seBasicRelax->setValue(6);
    fMain->cbBasicBusy->setCurrentIndex(5);
    fMain->tbBasicTran2->setValue(6);
    fMain->cbBasicUse->setCurrentIndex(1);
    fMain->edBasicPin->setText(QStringLiteral("4321"));
    fMain->lbBasicCauses->addItem(QStringLiteral("17/21"));
    fMain->rbUseReject1->setChecked(true);
    fMain->rbRouteBri2->setChecked(true);
    fMain->rbRouteIn1->setChecked(true);
    for (int m = 0; m < GroupPage::kModules; ++m) {
        fMain->cbGroupOuts[m]->setCurrentIndex(m % 8);
        fMain->cbGroupIns[m]->setCurrentIndex((m + 1) % 4);
    }
    GateConfig.extensions.rows.assign(kExtRows.begin(), kExtRows.end());
    fMain->extLoadFile();
    pageChanged.fill(1);

    fMain->tbSaveClick();
    expectInfoBox(75);
    EXPECT_FALSE(anyPageChanged());
    const QByteArray saved = readFile(QStringLiteral("sim.ini"));

    fMain->mDefaultClick();
    GateConfig = TParametres();
    ASSERT_EQ(fMain->seSystemGate->value(), 0);
    ASSERT_EQ(fMain->lvExt->topLevelItemCount(), 0);
    dialogs().clearRecords();
    pageChanged.fill(1);
    fMain->tbLoadClick();
    expectInfoBox(78);

    EXPECT_EQ(fMain->cbSystemCDRmode->currentIndex(), 4);
    EXPECT_EQ(fMain->seSystemGate->value(), 99);
    EXPECT_EQ(fMain->edSystemReset->text(), QStringLiteral("06:45"));
    EXPECT_TRUE(fMain->cbSystemReset->isChecked());
    EXPECT_EQ(fMain->seBasicRelax->value(), 6);
    EXPECT_EQ(fMain->cbBasicBusy->currentIndex(), 5);
    EXPECT_EQ(fMain->tbBasicTran2->value(), 6);
    EXPECT_EQ(fMain->cbBasicUse->currentIndex(), 1);
    EXPECT_EQ(fMain->edBasicPin->text(), QStringLiteral("4321"));
    EXPECT_EQ(causeEntries(), QStringList{"17/21"});
    EXPECT_TRUE(fMain->rbUseReject1->isChecked());
    EXPECT_TRUE(fMain->rbRouteBri2->isChecked());
    EXPECT_TRUE(fMain->rbRouteIn1->isChecked());
    for (int m = 0; m < GroupPage::kModules; ++m) {
        EXPECT_EQ(fMain->cbGroupOuts[m]->currentIndex(), m % 8) << m;
        EXPECT_EQ(fMain->cbGroupIns[m]->currentIndex(), (m + 1) % 4) << m;
    }
    ASSERT_EQ(fMain->lvExt->topLevelItemCount(), 2);
    EXPECT_EQ(fMain->lvExt->topLevelItem(1)->text(ExtPage::ecGsm), QStringLiteral("+420602333444"));
    EXPECT_EQ(extRowCount, 2);
    expectFlagsClearButIsdn(1);

    // Saving what was loaded writes the same file: no page loses or alters anything on the way.
    fMain->tbSaveClick();
    EXPECT_EQ(readFile(QStringLiteral("sim.ini")), saved);
}

TEST_F(GateRunsTest, ExtensionSwitchesSurviveInAnyLanguage)
{
    fMain->tbCzechClick(); // other words for on, off, registered
    labelTexts[404] = QStringLiteral("Zapnuto");
    labelTexts[405] = QStringLiteral("Vypnuto");
    labelTexts[453] = QStringLiteral("Registrováno");
    labelTexts[454] = QStringLiteral("Neregistrováno");
    GateConfig.extensions.rows.assign(kExtRows.begin(), kExtRows.end());
    fMain->extLoadFile();
    EXPECT_EQ(fMain->lvExt->topLevelItem(0)->text(ExtPage::ecRegistered), QStringLiteral("Registrováno"));
    EXPECT_EQ(fMain->lvExt->topLevelItem(1)->text(ExtPage::ecSms), QStringLiteral("Zapnuto"));

    fMain->tbEnglishClick(); // the label pass leaves the rows alone
    GateConfig.extensions.rows.clear();
    fMain->extSaveFile();
    EXPECT_EQ(GateConfig.extensions.rows, std::vector<QString>(kExtRows.begin(), kExtRows.end()));
}

TEST_F(GateRunsTest, AFailedWholeFileRunKeepsThePagesAndTheirFlags)
{
    fMain->seSystemGate->setValue(42);
    pageChanged[pcSystem] = 1;
    fMain->tbLoadClick(); // there is no gate file yet
    expectOnlyBox(labelText(436), 47, MB_ICONERROR);
    EXPECT_EQ(fMain->seSystemGate->value(), 42);
    EXPECT_EQ(pageChanged[pcSystem], 1);

    CurrentGateway.File = path(QStringLiteral("no/such/folder/sim.ini"));
    dialogs().clearRecords();
    fMain->tbSaveClick();
    expectOnlyBox(labelText(60), 47, MB_ICONERROR);
    EXPECT_EQ(pageChanged[pcSystem], 1);
}

TEST_F(GateRunsTest, DamagedGateFilesShowTheirFailureOnlyAndAreNeverReadAsDefaults)
{
    fMain->seSystemGate->setValue(99);
    fMain->edBasicPin->setText(QStringLiteral("4321"));
    fMain->tbSaveClick();
    const QByteArray good = readFile(QStringLiteral("sim.ini"));
    ASSERT_TRUE(good.contains("[Gsm parametres]\n") && good.contains("[System parametres]\n"));
    QByteArray binary(64 * 1024, '\0');
    quint32 seed = 12345;
    for (char& c : binary)
        c = char((seed = seed * 1103515245u + 12345u) >> 24);
    QByteArray nul = good;
    nul.insert(nul.indexOf("[System parametres]\n") + 20, QByteArray("S9\0", 3));

    const struct
    {
        const char* name;
        QByteArray bytes;
        const char* failedSection; // nullptr: refused as no gate file
    } cases[] = {
        {"header without ]", QByteArray(good).replace("[Gsm parametres]", "[Gsm parametres"), "Gsm parametres"},
        {"NUL byte", nul, "System parametres"},
        {"cut in half", good.left(good.size() / 2), nullptr},
        {"empty", QByteArray(), nullptr},
        {"64 KiB of binary bytes", binary, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(QStringLiteral("sim.ini"), c.bytes);
        fMain->seSystemGate->setValue(42);
        fMain->edBasicPin->setText(QStringLiteral("1111"));
        pageChanged.fill(1);
        dialogs().clearRecords();
        fMain->tbLoadClick();
        const QStringList shown = dialogs().boxTexts();
        EXPECT_FALSE(shown.contains(labelText(78))) << "no \"loaded\" after a failed read";
        EXPECT_EQ(readFile(QStringLiteral("sim.ini")), c.bytes) << "a read writes nothing";
        if (QByteArray(c.name) == "cut in half") {
            // The last line is cut: its section fails; the sections before it were read.
            ASSERT_FALSE(shown.isEmpty());
            EXPECT_TRUE(shown.first().startsWith(labelText(62)));
            EXPECT_EQ(fMain->seSystemGate->value(), 99);
            continue;
        }
        if (!c.failedSection) {
            expectOnlyBox(labelText(983) + QLatin1Char('\n') + CurrentGateway.File, 47, MB_ICONERROR);
            EXPECT_EQ(fMain->seSystemGate->value(), 42) << "the pages are as they were";
            EXPECT_EQ(fMain->edBasicPin->text(), QStringLiteral("1111"));
            EXPECT_TRUE(std::all_of(pageChanged.begin(), pageChanged.end(), [](quint8 f) { return f == 1; }));
            continue;
        }
        expectOnlyBox(labelText(62) + QLatin1Char('\n') + CurrentGateway.File + QStringLiteral(" [") +
                          QLatin1String(c.failedSection) + QLatin1Char(']'),
                      47, MB_ICONERROR);
        EXPECT_EQ(fMain->edBasicPin->text(), QStringLiteral("4321")) << "the keys of a damaged section still read";
        // A save writes whole lines only: every line a section header or a key.
        fMain->tbSaveClick();
        for (const QByteArray& line : readFile(QStringLiteral("sim.ini")).split('\n'))
            EXPECT_TRUE(line.isEmpty() || (line.startsWith('[') && line.endsWith(']')) ||
                        (line.contains('=') && !line.startsWith('[') && !line.contains('\0')))
                << line.toStdString();
    }
}

TEST_F(GateRunsTest, SaveAsWritesTheChosenFileWithoutTheExtensionPage)
{
    GateConfig.extensions.rows = {QStringLiteral("Image,,,,0,0,0")};
    fMain->extLoadFile();
    GateConfig.extensions.rows = {QStringLiteral("Kept,,,,1,1,1")}; // what the image holds is written
    fMain->seSystemGate->setValue(3);
    pageChanged[pcSystem] = 1;
    pageChanged[pcExtension] = 1;
    dialogs().answerSaveFile(path(QStringLiteral("copy")));

    fMain->mSaveAsClick();

    const QByteArray copy = readFile(QStringLiteral("copy.ini"));
    EXPECT_TRUE(copy.contains("S91=0,3"));
    EXPECT_TRUE(copy.contains("M0=Kept,,,,1,1,1"));
    EXPECT_EQ(pageChanged[pcSystem], 0);
    EXPECT_EQ(pageChanged[pcExtension], 1);
    EXPECT_TRUE(readFile(QStringLiteral("gtws.ini")).contains(path(QStringLiteral("copy.ini")).toUtf8()));
    ASSERT_FALSE(dialogs().boxes().isEmpty());
    EXPECT_EQ(dialogs().boxes().last().text, labelText(75));
}

// The list never names the unnamed gateway (its file is always unnamed.ini): Save As only writes a copy, and
// the next start and every later save still use unnamed.ini.
TEST_F(GateRunsTest, SaveAsOnTheUnnamedGatewayWritesTheChosenFileOnly)
{
    CurrentGateway = UnnamedGatewayEntry();
    writeFile(QStringLiteral("gtws.ini"), "[sim]\nHost=127.0.0.1\nFile=sim.ini\n");
    fMain->seSystemGate->setValue(4);
    dialogs().answerSaveFile(path(QStringLiteral("copy")));

    fMain->mSaveAsClick();

    EXPECT_TRUE(readFile(QStringLiteral("copy.ini")).contains("S91=0,4"));
    EXPECT_EQ(readFile(QStringLiteral("gtws.ini")), "[sim]\nHost=127.0.0.1\nFile=sim.ini\n");
    EXPECT_EQ(CurrentGateway.File, unnamedGateFile());
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(75)});
    fMain->seSystemGate->setValue(5);
    fMain->tbSaveClick();
    EXPECT_TRUE(readFile(QStringLiteral("unnamed.ini")).contains("S91=0,5"));
    EXPECT_TRUE(readFile(QStringLiteral("copy.ini")).contains("S91=0,4"));
}

TEST_F(GateRunsTest, AfterSaveAsEverySaveGoesToTheNewFileUnlessTheListCouldNotNameIt)
{
    const struct
    {
        const char* name;
        bool listWritable;
    } cases[] = {{"gtws.ini written", true}, {"gtws.ini not written", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CurrentGateway.File = path(QStringLiteral("sim.ini"));
        removeFile(QStringLiteral("sim.ini"));
        removeFile(QStringLiteral("copy.ini"));
        QDir(path(QStringLiteral("gtws.ini"))).removeRecursively();
        removeFile(QStringLiteral("gtws.ini"));
        if (!c.listWritable) {
            ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("gtws.ini")))); // a folder in the list's place
        }
        dialogs().clearRecords();
        dialogs().answerSaveFile(path(QStringLiteral("copy")));
        fMain->mSaveAsClick();
        EXPECT_EQ(dialogs().boxTexts().contains(labelText(414)), !c.listWritable);
        const QString gateFile = c.listWritable ? QStringLiteral("copy.ini") : QStringLiteral("sim.ini");
        EXPECT_EQ(CurrentGateway.File, path(gateFile));

        // The tool bar's save, a page's Save to file and the load all use the gateway's file.
        removeFile(QStringLiteral("copy.ini"));
        fMain->seSystemGate->setValue(7);
        fMain->tbSaveClick();
        EXPECT_TRUE(readFile(gateFile).contains("S91=0,7")) << qPrintable(gateFile);
        fMain->seSystemGate->setValue(8);
        fMain->sbSystemSaveFile->click();
        EXPECT_TRUE(readFile(gateFile).contains("S91=0,8"));
        fMain->seSystemGate->setValue(1);
        fMain->tbLoadClick();
        EXPECT_EQ(fMain->seSystemGate->value(), 8);
        if (c.listWritable) {
            EXPECT_FALSE(QFile::exists(path(QStringLiteral("sim.ini"))));
        }
    }
    QDir(path(QStringLiteral("gtws.ini"))).removeRecursively();
}

TEST_F(GateRunsTest, APartlyTypedTimeOrDateReachesNoGateFile)
{
    fMain->cbSystemReset->setChecked(true);
    fMain->cbInAliveActivate->setChecked(true);
    const struct
    {
        QLineEdit* edit;
        const char* partial;
        const char* whole;
        QPushButton* saveFile;
        int topic;
    } fields[] = {
        {fMain->edSystemReset, "1_:__", "01:30", fMain->sbSystemSaveFile, 30},
        {fMain->edOutFrom1, "1_:30", "08:00", fMain->sbOutSaveFile, 34},
        {fMain->edSystemWinter, "1_.__", "25.10", fMain->sbLcrSaveFile, 37},
        {fMain->edInAliveTime, "1_:__", "09:30", fMain->sbIsdnSaveFile, 584},
    };
    const QString copy = path(QStringLiteral("copy.ini"));
    for (const auto& f : fields) {
        SCOPED_TRACE(qPrintable(f.edit->objectName()));
        typeInto(f.edit, f.partial);
        const QString refused = labelText(204) + QStringLiteral(" (") + labelText(f.topic) + QLatin1Char(')');
        const struct
        {
            const char* name;
            QString box;
            std::function<void()> run;
        } runs[] = {
            {"the page's Save to file", labelText(204), [&] { f.saveFile->click(); }},
            {"Save", refused, [] { fMain->tbSaveClick(); }},
            {"Save As", refused,
             [&] {
                 dialogs().answerSaveFile(copy);
                 fMain->mSaveAsClick();
             }},
            {"Yes on close", refused,
             [this] {
                 pageChanged[pcSystem] = 1;
                 dialogs().answerBox(IDYES);
                 EXPECT_FALSE(fMain->FormClose()) << "the window stays open";
             }},
        };
        for (const auto& r : runs) {
            SCOPED_TRACE(r.name);
            dialogs().clearRecords();
            r.run();
            ASSERT_FALSE(dialogs().boxes().isEmpty());
            EXPECT_EQ(dialogs().boxes().last().text, r.box);
            EXPECT_EQ(dialogs().boxes().last().caption, labelText(47));
            EXPECT_FALSE(QFile::exists(CurrentGateway.File));
            EXPECT_FALSE(QFile::exists(copy));
        }
        EXPECT_EQ(f.edit->palette().color(QPalette::Base), QColor(Qt::red));
        // Typed to its end, the field no longer holds the file back.
        f.edit->setText(QLatin1String(f.whole));
        dialogs().clearRecords();
        fMain->tbSaveClick();
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(75)});
        removeFile(QStringLiteral("sim.ini"));
    }
}

TEST_F(GateRunsTest, AGroupsAssignmentIndexPastItsListGoesBackToTheFileAsItCame)
{
    fMain->tbSaveClick();
    QByteArray file = readFile(QStringLiteral("sim.ini"));
    const QByteArray zeros = "=0" + QByteArray(",0").repeated(31) + "\n";
    ASSERT_TRUE(file.contains("G90" + zeros) && file.contains("G00" + zeros)) << file.constData();
    file.replace("G90" + zeros, "G90=9,3" + QByteArray(",0").repeated(30) + "\n");
    file.replace("G00" + zeros, "G00=8,-2,7" + QByteArray(",0").repeated(29) + "\n");
    writeFile(QStringLiteral("sim.ini"), file);

    fMain->tbLoadClick();
    EXPECT_EQ(fMain->cbGroupIns[0]->currentIndex(), -1);
    EXPECT_EQ(fMain->cbGroupIns[1]->currentIndex(), 3);
    fMain->tbSaveClick();
    const QByteArray saved = readFile(QStringLiteral("sim.ini"));
    EXPECT_TRUE(saved.contains("G90=9,3,0,")) << saved.constData();
    EXPECT_TRUE(saved.contains("G00=8,-2,7,0,"));
}

TEST_F(GateRunsTest, ChosenProfileFillsThePages)
{
    writeFile(QStringLiteral("defaults/defaultProfiles.ini"),
              "[MX]\nCaption=Mesk X: two BRI ports (BRI 1 NT, BRI 2 TE), GSM groups 1 and 2, a long caption\n"
              "File=MX.ini\n[T]\nCaption=Test profile\nFile=T.ini\n");
    writeFile(QStringLiteral("defaults/T.ini"),
              "[Gate]\nATI3=Mesk MY GSM-ISDN gateway,(c) Korvath\n"
              "[System parametres]\nS91=6,42\nX22=05:15\n"
              "[Gsm parametres]\nG00=7,6,5,4,3,2,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n"
              "[Extension table]\nM0=Anna,anna,pw1,+420602111222,1,0,1\n");
    dialogs().onModal([](QDialog* dialog) {
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("ListBox1"));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(1)->text(), QStringLiteral("Test profile"));
        EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0)) << "no caption is cut off";
        pickProfile(1)(dialog);
    });
    pageChanged.fill(1);

    EXPECT_TRUE(fMain->newConfiguration());
    EXPECT_EQ(fMain->cbSystemCDRmode->currentIndex(), 5);
    EXPECT_EQ(fMain->seSystemGate->value(), 42);
    EXPECT_EQ(fMain->edSystemReset->text(), QStringLiteral("05:15"));
    EXPECT_EQ(fMain->cbGroupOuts[0]->currentIndex(), 7);
    EXPECT_EQ(fMain->lvExt->topLevelItemCount(), 1);
    expectFlagsClearButIsdn(1);

    fMain->seSystemGate->setValue(1);
    EXPECT_FALSE(fMain->newConfiguration()); // the dialog is closed without OK
    EXPECT_EQ(fMain->seSystemGate->value(), 1);
}

TEST_F(GateRunsTest, AProfileTakesTheModelItNamesAndKeepsTheOneInForceWhenItNamesNone)
{
    writeFile(QStringLiteral("defaults/defaultProfiles.ini"), "[T]\nCaption=Test profile\nFile=T.ini\n");
    std::vector<int> layouts;
    fMain->addModelLayoutStep([&layouts](int model) { layouts.push_back(model); });

    const struct
    {
        const char* ati3;
        int modelBefore;
        int modelAfter;
    } cases[] = {{"MY GSM-ISDN gateway", 0, 1}, {"MX GSM-ISDN gateway", 1, 0}, {"GSM-ISDN gateway", 1, 1},
                 {"", 0, 0},  {"Mesk,MY GSM-ISDN", 0, 1},   {"MX,MY", 0, 1}, {"XMYZ", 0, 1}};
    for (const auto& c : cases) {
        writeFile(QStringLiteral("defaults/T.ini"), QByteArray("[Gate]\nATI3=") + c.ati3 + "\n");
        gatewayModel = c.modelBefore;
        layouts.clear();
        dialogs().onModal(pickProfile(0));
        EXPECT_TRUE(fMain->newConfiguration()) << c.ati3;
        EXPECT_EQ(gatewayModel, c.modelAfter) << c.ati3;
        EXPECT_EQ(layouts, std::vector<int>{c.modelAfter}) << c.ati3;
    }
}

// Each place that tells the model from an identification follows its own rule: the gate file's text the
// model after a blank (its line ends are kept as ","), the live reply any "MY" (the simulated gateway names
// itself in its login prompt too, so only "MX" and "MY" log in).
TEST_F(GateRunsTest, TheModelTestOfEachPlace)
{
    const std::pair<const char*, int> fileCases[] = {
        {"Mesk MY GSM-ISDN gateway,(c) Korvath", 1}, {",MY GSM-ISDN gateway", 0}, {"Mesk,MY", 0},
        {"Mesk MX GSM-ISDN gateway", 0},             {"MY", 0},                   {"x MYZ", 1}};
    for (const auto& [ati3, model] : fileCases) {
        writeFile(QStringLiteral("sim.ini"), QByteArray("[Gate]\nATI3=") + ati3 + "\n[System parametres]\n");
        gatewayModel = 1 - model;
        fMain->tbLoadParams();
        EXPECT_EQ(gatewayModel, model) << ati3;
    }

    const std::pair<const char*, int> liveCases[] = {{"MX", 0}, {"MY", 1}};
    for (const auto& [name, model] : liveCases) {
        gatewaysim::Config config;
        config.model = QString::fromLatin1(name);
        ASSERT_NO_FATAL_FAILURE(startGateway(config));
        ASSERT_NO_FATAL_FAILURE(connectGateway());
        gatewayModel = 0;
        EXPECT_EQ(QueryGatewayModel(), model) << name;
        EXPECT_EQ(gatewayModel, model) << name;
    }
}

TEST_F(GateRunsTest, DefaultSettingsEmptyTheExtensionListAndGoBackToTwoPorts)
{
    std::vector<int> layouts;
    fMain->addModelLayoutStep([&layouts](int model) { layouts.push_back(model); });
    for (int model : {0, 1, 2, -1, 1})
        fMain->setModelLayout(model);
    EXPECT_EQ(layouts, (std::vector<int>{0, 1, 1})) << "the steps run for the two models only";

    GateConfig.extensions.rows.assign(kExtRows.begin(), kExtRows.end());
    fMain->extLoadFile();
    gatewayModel = 1;
    fMain->seSystemGate->setValue(9);
    layouts.clear();

    fMain->mDefaultClick();

    EXPECT_EQ(gatewayModel, 0);
    EXPECT_EQ(layouts, std::vector<int>{0});
    EXPECT_EQ(fMain->lvExt->topLevelItemCount(), 0);
    EXPECT_EQ(fMain->seSystemGate->value(), 0);
    EXPECT_EQ(pageChanged[pcSystem], 1);
}

class StartUpProfileTest : public MainWindowFixture
{
};

TEST_F(StartUpProfileTest, AProfileChosenForTheUnnamedGatewayFillsThePagesAndItsFile)
{
    copyData(QStringLiteral("defaults"));
    writeFile(QStringLiteral("defaults/defaultProfiles.ini"), "[T]\nCaption=Test profile\nFile=T.ini\n");
    writeFile(QStringLiteral("defaults/T.ini"), "[Gate]\nATI3=Mesk MX GSM-ISDN gateway,(c) Korvath\n"
                                                "[System parametres]\nS91=2,17\nX22=03:30\n");
    writeSettings("language=1\n");
    dialogs().onModal(pickProfile(0));

    ASSERT_NO_FATAL_FAILURE(startUp());

    EXPECT_EQ(fMain->cbSystemCDRmode->currentIndex(), 2);
    EXPECT_EQ(fMain->seSystemGate->value(), 17);
    EXPECT_EQ(fMain->edSystemReset->text(), QStringLiteral("03:30"));
    EXPECT_TRUE(readFile(QStringLiteral("unnamed.ini")).contains("S91=2,17"));
    expectFlagsClearButIsdn(0);
}
} // namespace
