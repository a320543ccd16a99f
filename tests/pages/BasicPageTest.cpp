// The GSM basic page against the simulated gateway: loads, saves, the shared "G08", the two "G09" forms, the
// cause list, validation, the gate file and the whole-gateway runs.
#include "PageTestFixture.h"

#include "config/GateFile.h"
#include "gatewaysim/Fixture.h"
#include "ui/UiState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

namespace {

const QString kLineRelax = QStringLiteral("Basic settings - Relax delay\n");
const QString kLineCauses = QStringLiteral("Basic settings - Release causes to ISDN\n");
const QString kLineG09 =
    QStringLiteral("Basic settings - SIM card number, dial tone, ring tone,busy tone, BUSY status to GSM\n");

// Track-bar position of each volume code: codes alternate around the middle, up first.
const int kFivePositions[] = {2, 3, 1, 4, 0};
const int kSevenPositions[] = {3, 4, 2, 5, 1, 6, 0};

QStringList causes()
{
    QStringList entries;
    for (int i = 0; i < fMain->lbBasicCauses->count(); ++i)
        entries << fMain->lbBasicCauses->item(i)->text();
    return entries;
}

class BasicPageTest : public PageTest
{
protected:
    void load()
    {
        dialogs().clearRecords();
        fMain->sbBasicLoad->click();
    }
    void save()
    {
        gateway->clearLog();
        dialogs().clearRecords();
        fMain->sbBasicSave->click();
    }
    // The set commands the gateway received, in order.
    QList<QByteArray> sets() const
    {
        QList<QByteArray> lines;
        for (const QByteArray& line : gateway->receivedLines())
            if (line.startsWith("AT%"))
                lines << line;
        return lines;
    }
    QLineEdit* dtmfEdit() const { return fMain->seBasicDtmf->findChild<QLineEdit*>(); }
};

TEST_F(BasicPageTest, EveryVolumeCodeOfEveryModuleTypeComesBackUnchanged)
{
    // Four runs put every code of each bar kind on one of the module's two bars.
    for (int run = 0; run < 4; ++run) {
        SCOPED_TRACE(run);
        const int siemens[2] = {run, (run + 4) % 5};
        const int wavecom[2] = {run, run + 3};
        const int sierra[2] = {(run + 4) % 5, run};
        const QByteArray g02 = "2," + QByteArray::number(siemens[0]) + ',' + QByteArray::number(siemens[1]);
        const QByteArray g04 = "1," + QByteArray::number(wavecom[0]) + ',' + QByteArray::number(wavecom[1]);
        const QByteArray g103 = "0," + QByteArray::number(sierra[0]) + ',' + QByteArray::number(sierra[1]) + ",2,0";
        ASSERT_TRUE(gateway->setValue("G02", g02));
        ASSERT_TRUE(gateway->setValue("G04", g04));
        ASSERT_TRUE(gateway->setValue("G103", g103));
        load();
        expectOnlyBox(labelText(61), 54, MB_ICONINFORMATION);
        EXPECT_EQ(fMain->tbBasicTran->value(), kFivePositions[siemens[0]]);
        EXPECT_EQ(fMain->tbBasicRec->value(), kFivePositions[siemens[1]]);
        EXPECT_EQ(fMain->tbBasicTran2->value(), kSevenPositions[wavecom[0]]);
        EXPECT_EQ(fMain->tbBasicRec2->value(), kSevenPositions[wavecom[1]]);
        EXPECT_EQ(fMain->tbBasicTran4->value(), kFivePositions[sierra[0]]);
        EXPECT_EQ(fMain->tbBasicRec4->value(), kFivePositions[sierra[1]]);
        // The image holds positions, not codes.
        EXPECT_EQ(GateConfig.basic.wavecomReceive, kSevenPositions[wavecom[1]]);

        ASSERT_TRUE(gateway->setValue("G02", "2,0,0"));
        ASSERT_TRUE(gateway->setValue("G04", "0,0,0"));
        ASSERT_TRUE(gateway->setValue("G103", "0,0,0,2,0"));
        save();
        expectOnlyBox(labelText(66), 54, MB_ICONINFORMATION);
        EXPECT_EQ(gateway->value("G02"), g02);
        EXPECT_EQ(gateway->value("G04"), g04);
        EXPECT_EQ(gateway->value("G103"), g103);
    }
}

TEST_F(BasicPageTest, LoadedValuesFillTheControlsAndTheImage)
{
    ASSERT_TRUE(gateway->setValue("G08", "3,9,9,3,45"));
    ASSERT_TRUE(gateway->setValue("G09", "21,2,1,255,4"));
    ASSERT_TRUE(gateway->setValue("G02", "2,3,4"));
    ASSERT_TRUE(gateway->setValue("G04", "2,0,0"));
    ASSERT_TRUE(gateway->setValue("G103", "0,1,2,14,2"));
    ASSERT_TRUE(gateway->setValue("G05", "25"));
    ASSERT_TRUE(gateway->setValue("G101", "1/16,17/17"));
    ASSERT_TRUE(gateway->setValue("S98", "12ab"));
    ASSERT_TRUE(gateway->setValue("S90", "2"));
    ASSERT_TRUE(gateway->setValue("I05", "1,2,3,4"));
    load();
    expectOnlyBox(labelText(61), 54, MB_ICONINFORMATION);
    TfMain* m = fMain;
    EXPECT_EQ(m->seBasicRelax->value(), 3);
    EXPECT_EQ(m->seBasicTimeoutRing->value(), 45);
    EXPECT_EQ(m->cbBasicSim->currentIndex(), 1);    // SCID
    EXPECT_FALSE(m->cbBasicSiemens->isChecked());   // bit 2 clear
    EXPECT_TRUE(m->cbBasicDisable->isChecked());    // bit 4
    EXPECT_EQ(m->cbBasicRecSms->currentIndex(), 1); // bit 16
    EXPECT_EQ(m->cbBasicDial->currentIndex(), 2);   // Czech
    EXPECT_EQ(m->cbBasicRing->currentIndex(), 1);   // European
    EXPECT_EQ(m->cbBasicBusy->currentIndex(), 5);   // Disabled
    EXPECT_TRUE(m->cbBasicActivateBusy->isChecked());
    EXPECT_EQ(m->tbBasicTran->value(), 4); // +5
    EXPECT_EQ(m->tbBasicRec->value(), 0);  // -5
    EXPECT_EQ(m->cbBasicVoice->currentIndex(), 2);
    EXPECT_EQ(m->tbBasicTran4->value(), 3);         // one step up
    EXPECT_EQ(m->tbBasicRec4->value(), 1);          // one step down
    EXPECT_EQ(m->cbBasicUse->currentIndex(), 2);    // only 3G
    EXPECT_EQ(m->cbBasicSearch->currentIndex(), 2); // 3G, then GSM
    EXPECT_EQ(m->seBasicDtmf->value(), 25);
    EXPECT_EQ(causes(), (QStringList{"1/16", "17/17"}));
    EXPECT_EQ(m->edBasicPin->text(), QStringLiteral("12ab"));
    EXPECT_EQ(m->cbBasicSelection->currentIndex(), 2);
    EXPECT_EQ(m->seBasicLack->value(), 1);
    EXPECT_EQ(m->seBasicModule->value(), 4);
    EXPECT_EQ(pageChanged[pcBasic], 1);

    const TBasic& b = GateConfig.basic;
    EXPECT_EQ(b.simFlags, 21);
    EXPECT_EQ(b.busyTone, 255);
    EXPECT_EQ(b.busyStatus, 4);
    EXPECT_EQ(b.networks, 14);
    EXPECT_EQ(b.causes, (std::vector<QString>{"1/16", "17/17"}));
    EXPECT_EQ(b.pin, QStringLiteral("12ab"));
    EXPECT_EQ(b.causeNoModuleReady, 4);

    // Saving sends the same values back; the three-value "G09" first, then all five.
    save();
    expectOnlyBox(labelText(66), 54, MB_ICONINFORMATION);
    const QList<QByteArray> expected = {"AT%G08=3,9,9,3,45\r\n",  "AT%G09=21,2,1\r\n", "AT%G09=21,2,1,255,4\r\n",
                                        "AT%G02=2,3,4\r\n",       "AT%G04=2,0,0\r\n",  "AT%G05=25\r\n",
                                        "AT%G103=0,1,2,14,2\r\n", "AT%S98=12ab\r\n",   "AT%S90=2\r\n",
                                        "AT%G101=1/16,17/17\r\n", "AT%I05=1,2,3,4\r\n"};
    EXPECT_EQ(sets(), expected);
    EXPECT_EQ(gateway->receivedLines().value(0), "AT&V0\r\n") << "G08 is read again before it is sent";
}

TEST_F(BasicPageTest, MissingAndUnreadableValuesTakeTheirDefaults)
{
    const struct
    {
        const char* key;
        const char* value; // nullptr: the gateway does not know the key
        QString lines;
        std::function<void()> check;
    } cases[] = {
        {"G08", "3,9,9,3", QString(), [] { EXPECT_EQ(fMain->seBasicTimeoutRing->value(), 120); }},
        {"G08", nullptr, kLineRelax, [] { EXPECT_EQ(fMain->seBasicRelax->value(), 2); }},
        {"I05", "7,8,9", kLineCauses,
         [] {
             EXPECT_EQ(fMain->seBasicLack->value(), 102);
             EXPECT_EQ(fMain->seBasicRestricted->value(), 21);
             EXPECT_EQ(fMain->seBasicSelected->value(), 41);
             EXPECT_EQ(fMain->seBasicModule->value(), 42);
         }},
        {"I05", nullptr, kLineCauses, [] { EXPECT_EQ(fMain->seBasicLack->value(), 102); }},
        // A tone the list does not have is as unreadable as a missing one.
        {"G09", "0,7,1,9,0", QStringLiteral("Basic settings - Dial tone\n"),
         [] {
             EXPECT_EQ(fMain->cbBasicDial->currentIndex(), 0);
             EXPECT_EQ(fMain->cbBasicBusy->currentIndex(), 0);
         }},
        // A code outside the bar leaves the bar; a missing one is listed as well.
        {"G02", "2,9", QStringLiteral("Basic settings - Siemens reception volume\n"),
         [] {
             EXPECT_EQ(fMain->tbBasicTran->value(), 1);
             EXPECT_EQ(fMain->tbBasicRec->value(), 1);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + (c.value ? c.value : "(none)"));
        ASSERT_NO_FATAL_FAILURE(startGateway(gatewaysim::Config()));
        if (c.value)
            ASSERT_TRUE(gateway->setValue(c.key, c.value));
        else
            ASSERT_TRUE(gateway->removeKey(c.key));
        fMain->seBasicLack->setValue(5);
        fMain->seBasicRelax->setValue(7);
        fMain->tbBasicTran->setValue(1);
        fMain->tbBasicRec->setValue(1);
        load();
        EXPECT_EQ(LoadErrors, c.lines);
        c.check();
    }
}

TEST_F(BasicPageTest, TheIsdnPagesPartOfG08GoesBackAsTheGatewayHoldsIt)
{
    ASSERT_TRUE(gateway->setValue("G08", "3,5,7,2,45"));
    load();
    fMain->seBasicRelax->setValue(4);
    fMain->seBasicTimeoutRing->setValue(30);
    // Meanwhile the ISDN page has saved other values for its three fields.
    ASSERT_TRUE(gateway->setValue("G08", "3,6,8,1,45"));
    save();
    EXPECT_EQ(timesReceived("AT%G08=4,6,8,1,30\r\n"), 1);
    EXPECT_EQ(gateway->value("G08"), "4,6,8,1,30");
    EXPECT_TRUE(LoadErrors.isEmpty());

    // When the gateway's values cannot be read, no "G08" at all is sent: no made-up ISDN values.
    for (const char* unreadable : {"4,6", "4,x,8,1,30"}) {
        ASSERT_TRUE(gateway->setValue("G08", unreadable));
        save();
        EXPECT_TRUE(sets().size() > 5) << "the other items are still sent";
        for (const QByteArray& line : sets())
            EXPECT_FALSE(line.startsWith("AT%G08")) << line.constData();
        EXPECT_EQ(LoadErrors, kLineRelax);
        EXPECT_EQ(gateway->value("G08"), unreadable);
        expectOnlyBox(labelText(219) + QLatin1Char('\n') + kLineRelax, 45, MB_ICONWARNING);
    }

    // A gateway that refuses everything: the re-read fails, no "G08" goes out, every item is listed.
    setFaults([](gatewaysim::Faults& f) { f.errorToAll = true; });
    save();
    EXPECT_FALSE(gateway->receivedBytes().contains("AT%G08"));
    EXPECT_TRUE(LoadErrors.startsWith(kLineRelax));
    EXPECT_EQ(LoadErrors.count(kLineG09), 1);
}

TEST_F(BasicPageTest, OldFirmwareTakesTheThreeValueG09Only)
{
    // Old firmware knows G09 with three values and answers ERROR to the five-value form.
    QString fixture = gatewaysim::Fixture::builtInText();
    const QString shape = QStringLiteral("shape = [0-9]{1,2},[0-4],[0-4](,([0-5]|255),[04])?\nvalue = 0,1,1,1,0");
    ASSERT_TRUE(fixture.contains(shape));
    fixture.replace(shape, QStringLiteral("shape = [0-9]{1,2},[0-4],[0-4]\nvalue = 16,3,4"));
    gatewaysim::Config config;
    config.fixtureText = fixture;
    ASSERT_NO_FATAL_FAILURE(startGateway(config));

    fMain->cbBasicBusy->setCurrentIndex(3);
    fMain->cbBasicActivateBusy->setChecked(true);
    load();
    EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
    EXPECT_EQ(fMain->cbBasicRecSms->currentIndex(), 1);
    EXPECT_EQ(fMain->cbBasicDial->currentIndex(), 3);
    EXPECT_EQ(fMain->cbBasicRing->currentIndex(), 4);
    EXPECT_EQ(fMain->cbBasicBusy->currentIndex(), 0) << "a missing busy tone reads as the first item";
    EXPECT_FALSE(fMain->cbBasicActivateBusy->isChecked());

    fMain->cbBasicDial->setCurrentIndex(1);
    fMain->cbBasicSim->setCurrentIndex(1);
    save();
    EXPECT_EQ(timesReceived("AT%G09=17,1,4\r\n"), 1);
    EXPECT_EQ(timesReceived("AT%G09=17,1,4,0,0\r\n"), 1);
    EXPECT_EQ(gateway->value("G09"), "17,1,4");
    EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
    expectOnlyBox(labelText(66), 54, MB_ICONINFORMATION);

    // A gateway that takes neither form has failed the item.
    ASSERT_TRUE(gateway->removeKey("G09"));
    save();
    EXPECT_EQ(LoadErrors, kLineG09);
}

TEST_F(BasicPageTest, NineCauseTransfersGoToTheGatewayAndTheGateFile)
{
    ASSERT_TRUE(gateway->setValue("G101", ""));
    load();
    EXPECT_TRUE(causes().isEmpty());
    for (int i = 1; i <= 9; ++i)
        fMain->lbBasicCauses->addItem(QStringLiteral("%1/%2").arg(i).arg(100 + i));
    ASSERT_EQ(causes().size(), 9);
    const QByteArray joined = "1/101,2/102,3/103,4/104,5/105,6/106,7/107,8/108,9/109";
    save();
    EXPECT_EQ(timesReceived("AT%G101=" + joined + "\r\n"), 1);
    EXPECT_EQ(gateway->value("G101"), joined);

    dialogs().clearRecords();
    fMain->sbBasicSaveFile->click();
    expectOnlyBox(labelText(75), 54, MB_ICONINFORMATION);
    TParametres image;
    ASSERT_TRUE(readGateSections(image, CurrentGateway.File, gsBasic));
    EXPECT_EQ(image.basic.causes.size(), 9u) << "the ninth entry is not lost on the way to the file";

    // Back from the gateway and from the file, all nine.
    fMain->sbBasicCauseRemoveAll->click();
    load();
    EXPECT_EQ(causes().size(), 9);
    fMain->sbBasicCauseRemoveAll->click();
    fMain->tbLoadParams();
    EXPECT_EQ(causes().size(), 9);

    // An empty list sends nothing after "=".
    fMain->sbBasicCauseRemoveAll->click();
    save();
    EXPECT_EQ(timesReceived("AT%G101=\r\n"), 1);
    EXPECT_EQ(gateway->value("G101"), "");
}

TEST_F(BasicPageTest, AnEmptyDtmfDelayIsRefusedBeforeAnyByteIsSent)
{
    dtmfEdit()->setText(QString());
    pageChanged[pcBasic] = 1;
    save();
    expectOnlyBox(labelText(204), 47, MB_ICONERROR);
    EXPECT_EQ(gateway->connectionCount(), 0) << "no connection is even tried";
    EXPECT_TRUE(gateway->receivedBytes().isEmpty());
    EXPECT_EQ(fMain->seBasicDtmf->palette().color(QPalette::Base), QColor(Qt::red));

    // The file is not written either.
    dialogs().clearRecords();
    fMain->sbBasicSaveFile->click();
    expectOnlyBox(labelText(204), 47, MB_ICONERROR);
    EXPECT_FALSE(QFile::exists(CurrentGateway.File));
    EXPECT_EQ(pageChanged[pcBasic], 1);

    // The whole-gateway save refuses it as well, naming the page.
    dialogs().clearRecords();
    fMain->tbSaveGateClick();
    ASSERT_FALSE(dialogs().boxes().isEmpty());
    EXPECT_EQ(dialogs().boxes().last().text, labelText(204) + QStringLiteral(" (") + labelText(32) + ")");
    EXPECT_FALSE(gateway->receivedBytes().contains("AT%"));

    // Typing clears the mark.
    dtmfEdit()->setText(QStringLiteral("5"));
    EXPECT_NE(fMain->seBasicDtmf->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_TRUE(fMain->basicValid());
}

TEST_F(BasicPageTest, TheGateFileAndTheDefaultsFillThePage)
{
    fMain->seBasicRelax->setValue(6);
    fMain->cbBasicBusy->setCurrentIndex(5);
    fMain->tbBasicTran2->setValue(6);
    fMain->cbBasicUse->setCurrentIndex(1);
    fMain->edBasicPin->setText(QStringLiteral("4321"));
    fMain->lbBasicCauses->addItem(QStringLiteral("17/21"));
    fMain->sbBasicSaveFile->click();
    expectOnlyBox(labelText(75), 54, MB_ICONINFORMATION);
    EXPECT_EQ(pageChanged[pcBasic], 0);

    // Defaults: the factory values of defaults.ini.
    fMain->sbBasicDefault->click();
    EXPECT_EQ(pageChanged[pcBasic], 1);
    EXPECT_EQ(fMain->seBasicRelax->value(), GateConfig.basic.relaxDelay);
    EXPECT_NE(fMain->edBasicPin->text(), QStringLiteral("4321"));

    // The gate file brings the saved page back.
    fMain->tbLoadParams();
    EXPECT_EQ(fMain->seBasicRelax->value(), 6);
    EXPECT_EQ(fMain->cbBasicBusy->currentIndex(), 5);
    EXPECT_EQ(fMain->tbBasicTran2->value(), 6);
    EXPECT_EQ(fMain->cbBasicUse->currentIndex(), 1);
    EXPECT_EQ(fMain->edBasicPin->text(), QStringLiteral("4321"));
    EXPECT_EQ(causes(), QStringList{"17/21"});
}

TEST_F(BasicPageTest, TheWholeGatewayRunsLoadAndSaveThePage)
{
    ASSERT_TRUE(gateway->setValue("G05", "33"));
    ASSERT_TRUE(gateway->setValue("S98", "9999"));
    fMain->tbLoadGateClick();
    EXPECT_EQ(fMain->seBasicDtmf->value(), 33);
    EXPECT_EQ(fMain->edBasicPin->text(), QStringLiteral("9999"));
    // The PIN and the module selection came from the system page's "AT&V" reply; the port modes page asks
    // for its own.
    EXPECT_EQ(timesReceived("AT&V\r\n"), 2);
    EXPECT_TRUE(viewReplyCache.atV0.isEmpty()) << "the cache is emptied at the end of the run";
    EXPECT_EQ(pageChanged[pcBasic], 1);

    fMain->seBasicDtmf->setValue(44);
    gateway->clearLog();
    fMain->tbSaveGateClick();
    EXPECT_EQ(timesReceived("AT%G05=44\r\n"), 1);
    EXPECT_EQ(gateway->value("G05"), "44");
}

TEST_F(BasicPageTest, ALanguageSwitchLaysOutThePinLabelAndKeepsEveryChoice)
{
    TfMain* m = fMain;
    EXPECT_EQ(m->lbBasicPin->geometry().top(), 16);
    EXPECT_EQ(m->lbBasicPin->height(), 30);
    const std::pair<QComboBox*, int> choices[] = {{m->cbBasicVoice, 2},  {m->cbBasicRecSms, 1},    {m->cbBasicDial, 3},
                                                  {m->cbBasicRing, 4},   {m->cbBasicBusy, 5},      {m->cbBasicUse, 1},
                                                  {m->cbBasicSearch, 2}, {m->cbBasicSelection, 1}, {m->cbBasicSim, 1}};
    for (const auto& [box, index] : choices)
        box->setCurrentIndex(index);
    resetPageChanged();

    m->tbCzechClick();
    EXPECT_EQ(m->lbBasicPin->geometry().top(), 22);
    EXPECT_EQ(m->lbBasicPin->height(), 13);
    for (const auto& [box, index] : choices)
        EXPECT_EQ(box->currentIndex(), index) << qPrintable(box->objectName());
    EXPECT_EQ(m->cbBasicSim->itemText(0), QStringLiteral("IMSI"));
    EXPECT_EQ(m->cbBasicSim->itemText(1), QStringLiteral("SCID"));
    EXPECT_EQ(m->cbBasicBusy->count(), 6);
    // Texts without an English text of their own keep what the window shows; the selection label has none.
    EXPECT_EQ(m->lbBasicUse->text(), QStringLiteral("Use networks :"));
    EXPECT_EQ(m->gbBasic4->title(), QStringLiteral("Sierra wireless modules settings :"));
    EXPECT_TRUE(m->lbBasicSelection->text().isEmpty());

    m->tbEnglishClick();
    EXPECT_EQ(m->lbBasicPin->geometry().top(), 16);
    EXPECT_EQ(m->lbBasicPin->height(), 30);
    EXPECT_EQ(m->cbBasicBusy->itemText(5), QStringLiteral("Disabled"));
    EXPECT_EQ(m->lbBasicBusy->text(), QStringLiteral("Busy tone :"));
    EXPECT_EQ(pageChanged[pcBasic], 0) << "the label pass runs no handler of the page";
}

TEST_F(BasicPageTest, ThePinEditDropsTypedSignsButKeepsTheEditingAndFocusKeys)
{
    TfMain* m = fMain;
    QLineEdit* pin = m->edBasicPin;
    // The X keyboard gives Tab and Delete characters of their own ("\t", "\x7f"); the keys are sent the way
    // it delivers them.
    auto press = [pin](int key, const QString& text) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(pin, &event);
    };
    pin->setText(QStringLiteral("12"));
    pin->setCursorPosition(2);
    press(Qt::Key_A, QStringLiteral("a"));
    press(Qt::Key_Minus, QStringLiteral("-"));
    press(Qt::Key_Space, QStringLiteral(" "));
    press(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(pin->text(), QStringLiteral("12a"));

    pin->setCursorPosition(0);
    press(Qt::Key_Delete, QStringLiteral("\x7f"));
    EXPECT_EQ(pin->text(), QStringLiteral("2a"));

    m->show();
    m->pBasic->show();
    QApplication::setActiveWindow(m);
    ASSERT_TRUE(QTest::qWaitForWindowActive(m));
    pin->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), pin);
    press(Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_NE(QApplication::focusWidget(), pin);
    EXPECT_EQ(pin->text(), QStringLiteral("2a"));
}

} // namespace
