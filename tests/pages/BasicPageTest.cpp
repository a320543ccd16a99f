#include "PageTestFixture.h"

#include "gatewaysim/Fixture.h"
#include "ui/UiState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

namespace {

const QString kLineRelax = QStringLiteral("Basic settings - Relax delay\n");
const QString kLineCauses = QStringLiteral("Basic settings - Release causes to ISDN\n");
const QString kLineG09 =
    QStringLiteral("Basic settings - SIM card number, dial tone, ring tone,busy tone, BUSY status to GSM\n");

class BasicPageTest : public PageTest
{
protected:
    void load() { press(fMain->sbBasicLoad); }
    void save() { press(fMain->sbBasicSave); }
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
    // Bar positions by code: the codes alternate around the middle, up first.
    const struct
    {
        const char* key;
        const char* head;
        const char* tail;
        QSlider* transmit;
        QSlider* receive;
        std::vector<int> positions;
    } modules[] = {
        {"G02", "2,", "", fMain->tbBasicTran, fMain->tbBasicRec, {2, 3, 1, 4, 0}},
        {"G04", "1,", "", fMain->tbBasicTran2, fMain->tbBasicRec2, {3, 4, 2, 5, 1, 6, 0}},
        {"G103", "0,", ",2,0", fMain->tbBasicTran4, fMain->tbBasicRec4, {2, 3, 1, 4, 0}},
    };
    // Four runs put every code of each bar kind on one of the module's two bars.
    for (int run = 0; run < 4; ++run) {
        SCOPED_TRACE(run);
        auto codes = [run](const auto& m) {
            const int count = int(m.positions.size());
            return std::pair{run, (run + count - 4) % count};
        };
        auto value = [&codes](const auto& m) {
            const auto [tran, rec] = codes(m);
            return m.head + QByteArray::number(tran) + ',' + QByteArray::number(rec) + m.tail;
        };
        for (const auto& m : modules)
            ASSERT_TRUE(gateway->setValue(m.key, value(m)));
        load();
        expectInfoBox(61);
        for (const auto& m : modules) {
            const auto [tran, rec] = codes(m);
            EXPECT_EQ(m.transmit->value(), m.positions[tran]) << m.key;
            EXPECT_EQ(m.receive->value(), m.positions[rec]) << m.key;
        }
        EXPECT_EQ(GateConfig.basic.wavecomReceive, modules[1].positions[codes(modules[1]).second])
            << "the image holds positions, not codes";

        for (const auto& m : modules)
            ASSERT_TRUE(gateway->setValue(m.key, m.head + QByteArray("0,0") + m.tail));
        save();
        expectInfoBox(66);
        for (const auto& m : modules)
            EXPECT_EQ(gateway->value(m.key), value(m));
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
    expectInfoBox(61);
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
    EXPECT_EQ(causeEntries(), (QStringList{"1/16", "17/17"}));
    EXPECT_EQ(m->edBasicPin->text(), QStringLiteral("12ab"));
    EXPECT_EQ(m->cbBasicSelection->currentIndex(), 2);
    EXPECT_EQ(m->seBasicLack->value(), 1);
    EXPECT_EQ(m->seBasicModule->value(), 4);
    EXPECT_EQ(pageChanged[pcBasic], 1);

    // The three-value "G09" goes first, for old firmware.
    save();
    expectInfoBox(66);
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
        const QByteArray kept = gateway->value(c.key);
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
        if (c.value)
            ASSERT_TRUE(gateway->setValue(c.key, kept));
        else
            ASSERT_NO_FATAL_FAILURE(startGateway(gatewaysim::Config())); // a removed key cannot come back
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

    // Values the gateway gives that cannot be read: the ISDN page's defaults go with this page's values.
    for (const char* unreadable : {"3,9,9", "", "3,x,9,3,60"}) {
        SCOPED_TRACE(unreadable);
        ASSERT_TRUE(gateway->setValue("G08", unreadable));
        save();
        EXPECT_EQ(timesReceived("AT%G08=4,9,9,3,30\r\n"), 1);
        EXPECT_EQ(gateway->value("G08"), "4,9,9,3,30");
        EXPECT_TRUE(LoadErrors.isEmpty()) << qPrintable(LoadErrors);
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
    expectInfoBox(66);

    // A gateway that takes neither form has failed the item.
    ASSERT_TRUE(gateway->removeKey("G09"));
    save();
    EXPECT_EQ(LoadErrors, kLineG09);
}

TEST_F(BasicPageTest, NineCauseTransfersGoToTheGatewayAndTheGateFile)
{
    ASSERT_TRUE(gateway->setValue("G101", ""));
    load();
    EXPECT_TRUE(causeEntries().isEmpty());
    for (int i = 1; i <= 9; ++i)
        fMain->lbBasicCauses->addItem(QStringLiteral("%1/%2").arg(i).arg(100 + i));
    ASSERT_EQ(causeEntries().size(), 9);
    const QByteArray joined = "1/101,2/102,3/103,4/104,5/105,6/106,7/107,8/108,9/109";
    save();
    EXPECT_EQ(timesReceived("AT%G101=" + joined + "\r\n"), 1);
    EXPECT_EQ(gateway->value("G101"), joined);

    press(fMain->sbBasicSaveFile);
    expectInfoBox(75);

    fMain->sbBasicCauseRemoveAll->click();
    load();
    EXPECT_EQ(causeEntries().size(), 9);
    fMain->sbBasicCauseRemoveAll->click();
    fMain->tbLoadParams();
    EXPECT_EQ(causeEntries().size(), 9);

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

    dtmfEdit()->setText(QStringLiteral("5"));
    EXPECT_NE(fMain->seBasicDtmf->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_TRUE(fMain->basicValid());
}

TEST_F(BasicPageTest, ALanguageSwitchLaysOutThePinLabelAndKeepsEveryChoice)
{
    TfMain* m = fMain;
    const int twoLines =
        std::max(30, m->lbBasicPin->fontMetrics().lineSpacing() + m->lbBasicPin->fontMetrics().height());
    EXPECT_EQ(m->lbBasicPin->geometry().top(), 16);
    EXPECT_EQ(m->lbBasicPin->height(), twoLines);
    const std::pair<QComboBox*, int> choices[] = {{m->cbBasicVoice, 2},  {m->cbBasicRecSms, 1},    {m->cbBasicDial, 3},
                                                  {m->cbBasicRing, 4},   {m->cbBasicBusy, 5},      {m->cbBasicUse, 1},
                                                  {m->cbBasicSearch, 2}, {m->cbBasicSelection, 1}, {m->cbBasicSim, 1}};
    for (const auto& [box, index] : choices)
        box->setCurrentIndex(index);
    resetPageChanged();

    m->tbCzechClick();
    // One line: 13 pixels, or the font's line where that is taller (the caption must not be clipped).
    EXPECT_EQ(m->lbBasicPin->geometry().top(), 22);
    EXPECT_EQ(m->lbBasicPin->height(), std::max(13, m->lbBasicPin->fontMetrics().height()));
    for (const auto& [box, index] : choices)
        EXPECT_EQ(box->currentIndex(), index) << qPrintable(box->objectName());
    EXPECT_EQ(m->cbBasicBusy->count(), 6);

    m->tbEnglishClick();
    EXPECT_EQ(m->lbBasicPin->geometry().top(), 16);
    EXPECT_EQ(m->lbBasicPin->height(), twoLines);
    EXPECT_EQ(m->cbBasicBusy->itemText(5), QStringLiteral("Disabled"));
    EXPECT_EQ(pageChanged[pcBasic], 0) << "the label pass runs no handler of the page";
}

TEST_F(BasicPageTest, ThePinEditDropsTypedSignsButKeepsTheEditingAndFocusKeys)
{
    TfMain* m = fMain;
    QLineEdit* pin = m->edBasicPin;
    // Sent as the X keyboard delivers them: Tab and Delete carry characters of their own.
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
