// The ISDN port modes page: the characters of "X40" both ways, the one-port gateway, the hint labels and the
// changed flag.
#include "PageTestFixture.h"

#include "config/GateFile.h"
#include "ui/UiState.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kLine = QStringLiteral("ISDN port modes\n");

// The chosen radio of each group, by name: BRI 1, BRI 2, GSM.
QStringList chosen()
{
    QStringList names;
    for (QGroupBox* group : {fMain->gbPortModes1, fMain->gbPortModes2, fMain->gbPortModes3}) {
        QString name;
        for (QRadioButton* rb : group->findChildren<QRadioButton*>())
            if (rb->isChecked())
                name = rb->objectName();
        names << name;
    }
    return names;
}

QColor colourOf(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

class PortModesPageTest : public PageTest
{
protected:
    void load()
    {
        dialogs().clearRecords();
        fMain->sbPortModesLoad->click();
    }
    void save()
    {
        gateway->clearLog();
        dialogs().clearRecords();
        fMain->sbPortModesSave->click();
    }
    void choose(QRadioButton* bri1, QRadioButton* bri2, QRadioButton* gsm)
    {
        for (QRadioButton* rb : {bri1, bri2, gsm})
            rb->setChecked(true);
    }
};

TEST_F(PortModesPageTest, TheCharactersOfX40SelectTheRadios)
{
    const struct
    {
        const char* x40;
        QStringList radios;
    } cases[] = {
        {"1,G,B,0", {"rbUseReject1", "rbUseRoute2", "rbRouteIn1"}},
        {"2,A,1,0", {"rbUseRoute1", "rbRouteBri2", "rbRouteIn2"}},
        {"0,2,G,0", {"rbRouteBri1", "rbUseReject2", "rbRejectAll"}},
        {"0,0,0,0", {"rbRejectBri1", "rbRejectBri2", "rbRejectAll"}},
        // An unknown character leaves its group as it was (the previous case's reject radios); a missing or
        // empty value means reject.
        {"2,Z,", {"rbRejectBri1", "rbRejectBri2", "rbRouteIn2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x40);
        ASSERT_TRUE(gateway->setValue("X40", c.x40));
        load();
        EXPECT_EQ(chosen(), c.radios);
        EXPECT_TRUE(LoadErrors.isEmpty());
        expectOnlyBox(labelText(61), 54, MB_ICONINFORMATION);
    }
}

TEST_F(PortModesPageTest, AReplyWithoutX40MeansRejectButAFailedReadChangesNothing)
{
    choose(fMain->rbUseRoute1, fMain->rbUseReject2, fMain->rbRouteIn2);
    ASSERT_TRUE(gateway->removeKey("X40"));
    load();
    EXPECT_EQ(chosen(), (QStringList{"rbRejectBri1", "rbRejectBri2", "rbRejectAll"}));

    choose(fMain->rbUseRoute1, fMain->rbUseReject2, fMain->rbRouteIn2);
    setFaults([](gatewaysim::Faults& f) { f.errorToAll = true; });
    load();
    EXPECT_EQ(LoadErrors, kLine);
    EXPECT_EQ(chosen(), (QStringList{"rbUseRoute1", "rbUseReject2", "rbRouteIn2"}))
        << "a refused view says nothing about the gateway's modes";
    expectOnlyBox(labelText(218) + QLatin1Char('\n') + kLine, 45, MB_ICONWARNING);
}

TEST_F(PortModesPageTest, SaveSendsGsmBri1Bri2AndAZero)
{
    choose(fMain->rbUseRoute1, fMain->rbUseRoute2, fMain->rbRouteIn2);
    save();
    EXPECT_EQ(timesReceived("AT%X40=2,A,B,0\r\n"), 1);
    EXPECT_EQ(gateway->value("X40"), "2,A,B,0");
    expectOnlyBox(labelText(66), 54, MB_ICONINFORMATION);

    setFaults([](gatewaysim::Faults& f) { f.errorToAll = true; });
    save();
    EXPECT_EQ(LoadErrors, kLine);
    EXPECT_EQ(chosen(), (QStringList{"rbUseRoute1", "rbUseRoute2", "rbRouteIn2"}));
}

TEST_F(PortModesPageTest, AOnePortGatewayGetsNoRoutesToBri1)
{
    gatewaysim::Config config;
    config.model = QStringLiteral("MY");
    ASSERT_NO_FATAL_FAILURE(startGateway(config));
    ASSERT_TRUE(gateway->setValue("X40", "1,A,B,0"));
    load();
    EXPECT_EQ(gatewayModel, 1);
    EXPECT_EQ(chosen(), (QStringList{"rbUseRoute1", "rbUseRoute2", "rbRouteIn1"}));

    save();
    // GSM "1" routes to the missing port and goes as "0"; BRI 1 is always "0"; "B" goes as it is.
    EXPECT_EQ(timesReceived("AT%X40=0,0,B,0\r\n"), 1);
    fMain->portModesSaveFile();
    EXPECT_EQ(GateConfig.portModeChars, (std::array<char, 3>{'1', '0', 'B'})) << "the image keeps the choice";

    choose(fMain->rbRouteBri1, fMain->rbRouteBri2, fMain->rbRejectAll);
    save();
    EXPECT_EQ(timesReceived("AT%X40=0,0,0,0\r\n"), 1);
}

TEST_F(PortModesPageTest, TheImageAndTheGateFileKeepTheChoice)
{
    choose(fMain->rbUseReject1, fMain->rbRouteBri2, fMain->rbRouteIn1);
    fMain->sbPortModesSaveFile->click();
    expectOnlyBox(labelText(75), 54, MB_ICONINFORMATION);
    EXPECT_EQ(pageChanged[pcPortModes], 0);
    EXPECT_EQ(GateConfig.portModeChars, (std::array<char, 3>{'1', 'G', '1'}));

    fMain->sbPortModesDefault->click(); // the factory setting: reject everywhere
    EXPECT_EQ(chosen(), (QStringList{"rbRejectBri1", "rbRejectBri2", "rbRejectAll"}));
    EXPECT_EQ(pageChanged[pcPortModes], 1);

    fMain->tbLoadParams();
    EXPECT_EQ(chosen(), (QStringList{"rbUseReject1", "rbRouteBri2", "rbRouteIn1"}));

    // A character outside a group's set leaves that group alone in this direction too.
    GateConfig.portModeChars = {'x', '2', 'y'};
    fMain->portModesLoadFile();
    EXPECT_EQ(chosen(), (QStringList{"rbRouteBri1", "rbRouteBri2", "rbRouteIn1"}));
}

TEST_F(PortModesPageTest, TheBriRadiosMarkThePageChangedAndTheGsmRadiosDoNot)
{
    resetPageChanged();
    fMain->rbRouteIn2->setChecked(true);
    fMain->rbRouteIn1->setChecked(true);
    fMain->rbRejectAll->setChecked(true);
    EXPECT_EQ(pageChanged[pcPortModes], 0);
    for (QRadioButton* rb : {fMain->rbUseRoute1, fMain->rbUseReject2}) {
        resetPageChanged();
        rb->setChecked(true);
        EXPECT_EQ(pageChanged[pcPortModes], 1) << qPrintable(rb->objectName());
    }
    // A language switch runs the chosen radios' handlers again for their hints, but changes nothing on the
    // page: the flag stays as it was, clear or set.
    resetPageChanged();
    fMain->tbEnglishClick();
    EXPECT_EQ(pageChanged[pcPortModes], 0);
    pageChanged[pcPortModes] = 1;
    fMain->tbEnglishClick();
    EXPECT_EQ(pageChanged[pcPortModes], 1);
    EXPECT_EQ(pageChanged[pcBasic], 0);
}

TEST_F(PortModesPageTest, TheHintsFollowTheChoiceTheModelAndTheLanguage)
{
    choose(fMain->rbRejectBri1, fMain->rbUseReject2, fMain->rbRouteIn2);
    EXPECT_EQ(fMain->lbPortModes1->text(), labelText(858));
    EXPECT_EQ(colourOf(fMain->lbPortModes1), QColor(Qt::red));
    EXPECT_EQ(fMain->lbPortModes2->text(), labelText(860));
    EXPECT_EQ(colourOf(fMain->lbPortModes2), QColor(Qt::blue));
    EXPECT_EQ(fMain->lbPortModes3->text(),
              QStringLiteral("Every incoming GSM call is routed to the ISDN BRI 2 interface."));
    fMain->rbRouteIn1->setChecked(true);
    EXPECT_EQ(fMain->lbPortModes3->text(),
              QStringLiteral("Every incoming GSM call is routed to the ISDN BRI 1 interface."));
    fMain->rbRouteIn2->setChecked(true);

    // The one-port texts.
    gatewayModel = 1;
    fMain->setModelLayout(1);
    fMain->tbEnglishClick();
    EXPECT_EQ(fMain->lbPortModes2->text(), labelText(888));
    EXPECT_EQ(fMain->lbPortModes3->text(), labelText(887));
    EXPECT_EQ(fMain->rbRouteIn2->text(), QStringLiteral("Route incoming calls to ISDN BRI interface"));
    EXPECT_EQ(fMain->gbPortModes2->title(), QStringLiteral("ISDN BRI port"));

    // Another language brings its own hints and keeps the colours; the choice stays.
    gatewayModel = 0;
    fMain->setModelLayout(0);
    const QString english858 = fMain->lbPortModes1->text();
    fMain->tbCzechClick();
    EXPECT_EQ(fMain->lbPortModes1->text(), labelText(858));
    EXPECT_NE(fMain->lbPortModes1->text(), english858);
    EXPECT_EQ(fMain->lbPortModes2->text(), labelText(860));
    EXPECT_EQ(colourOf(fMain->lbPortModes1), QColor(Qt::red));
    EXPECT_EQ(colourOf(fMain->lbPortModes3), QColor(Qt::blue));
    EXPECT_EQ(chosen(), (QStringList{"rbRejectBri1", "rbUseReject2", "rbRouteIn2"}));
    fMain->tbEnglishClick();
    EXPECT_EQ(fMain->lbPortModes2->text(), labelText(860));
    EXPECT_FALSE(labelText(860).isEmpty());
}

TEST_F(PortModesPageTest, TheOnePortGsmHintIsShownAsItStandsTheTwoPortOneAsAFormat)
{
    labelTexts[862] = QStringLiteral("100%% of the calls go to BRI %d");
    labelTexts[887] = QStringLiteral("100%% of the calls go to BRI");
    gatewayModel = 1;
    fMain->rbRouteIn2->setChecked(true);
    fMain->rbRouteIn2Click();
    EXPECT_EQ(fMain->lbPortModes3->text(), QStringLiteral("100%% of the calls go to BRI"));
    gatewayModel = 0;
    fMain->rbRouteIn2Click();
    EXPECT_EQ(fMain->lbPortModes3->text(), QStringLiteral("100% of the calls go to BRI 2"));
}

TEST_F(PortModesPageTest, TheLayoutOfAOnePortGatewayHidesTheSecondPortAndComesBack)
{
    TfMain* m = fMain;
    QWidget* page = m->pPortModes;
    m->rbRouteIn1->setChecked(true);
    m->rbUseRoute2->setChecked(true);
    m->setModelLayout(1);
    for (QWidget* w : std::initializer_list<QWidget*>{m->gbPortModes1, m->rbRouteBri2, m->rbUseRoute2, m->rbRouteIn1})
        EXPECT_FALSE(w->isVisibleTo(page)) << qPrintable(w->objectName());
    EXPECT_EQ(m->gbPortModes2->y(), 8);
    EXPECT_EQ(m->gbPortModes3->y(), 144);
    EXPECT_EQ(m->rbUseReject2->y(), 48);
    EXPECT_EQ(m->rbRouteIn2->y(), 48);
    EXPECT_EQ(m->sbPortModesSaveFile->y(), 280);
    EXPECT_EQ(chosen(), (QStringList{"rbRejectBri1", "rbRejectBri2", "rbRejectAll"}))
        << "the choices that name the missing port move to reject";

    m->setModelLayout(2); // not a model: nothing changes
    EXPECT_EQ(m->gbPortModes2->y(), 8);

    m->setModelLayout(0);
    for (QWidget* w : std::initializer_list<QWidget*>{m->gbPortModes1, m->rbRouteBri2, m->rbUseRoute2, m->rbRouteIn1})
        EXPECT_TRUE(w->isVisibleTo(page)) << qPrintable(w->objectName());
    EXPECT_EQ(m->gbPortModes2->y(), 144);
    EXPECT_EQ(m->gbPortModes3->y(), 280);
    EXPECT_EQ(m->rbUseReject2->y(), 72);
    EXPECT_EQ(m->rbRouteIn2->y(), 72);
    EXPECT_EQ(m->sbPortModesSave->y(), 417);
    EXPECT_EQ(m->gbPortModes1->title(), QStringLiteral("ISDN BRI 1 port ( NT interface )"));
    EXPECT_EQ(m->rbRouteIn2->text(), QStringLiteral("Route incoming calls to ISDN BRI 2 interface"));
}

TEST_F(PortModesPageTest, TheWholeGatewayRunsCarryX40)
{
    ASSERT_TRUE(gateway->setValue("X40", "2,G,1,0"));
    fMain->tbLoadGateClick();
    EXPECT_EQ(chosen(), (QStringList{"rbUseReject1", "rbRouteBri2", "rbRouteIn2"}));
    fMain->rbRouteBri1->setChecked(true);
    fMain->tbSaveGateClick();
    EXPECT_EQ(gateway->value("X40"), "2,2,1,0");
}

} // namespace
