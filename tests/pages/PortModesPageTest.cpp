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
    void load() { press(fMain->sbPortModesLoad); }
    void save() { press(fMain->sbPortModesSave); }
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
        expectInfoBox(61);
    }
}

TEST_F(PortModesPageTest, SaveSendsGsmBri1Bri2AndAZeroAndAFailedRunChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    choose(fMain->rbUseRoute1, fMain->rbUseRoute2, fMain->rbRouteIn2);
    save();
    EXPECT_EQ(timesReceived("AT%X40=2,A,B,0\r\n"), 1);
    EXPECT_EQ(gateway->value("X40"), "2,A,B,0");
    expectInfoBox(66);

    setFaults([](gatewaysim::Faults& f) { f.errorToAll = true; });
    save();
    EXPECT_EQ(LoadErrors, kLine);
    load();
    EXPECT_EQ(LoadErrors, kLine);
    EXPECT_EQ(chosen(), (QStringList{"rbUseRoute1", "rbUseRoute2", "rbRouteIn2"}))
        << "a refused view says nothing about the gateway's modes";
    expectListBox(218, kLine);

    // A reply that holds no "X40" at all means reject.
    setFaults([](gatewaysim::Faults& f) { f.errorToAll = false; });
    ASSERT_TRUE(gateway->removeKey("X40"));
    load();
    EXPECT_EQ(chosen(), (QStringList{"rbRejectBri1", "rbRejectBri2", "rbRejectAll"}));
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

TEST_F(PortModesPageTest, TheDefaultsRejectAndAnUnknownFileCharacterLeavesItsGroup)
{
    choose(fMain->rbUseReject1, fMain->rbRouteBri2, fMain->rbRouteIn1);
    fMain->portModesSaveFile();
    EXPECT_EQ(GateConfig.portModeChars, (std::array<char, 3>{'1', 'G', '1'}));

    fMain->sbPortModesDefault->click();
    EXPECT_EQ(chosen(), (QStringList{"rbRejectBri1", "rbRejectBri2", "rbRejectAll"}));

    choose(fMain->rbUseReject1, fMain->rbRouteBri2, fMain->rbRouteIn1);
    GateConfig.portModeChars = {'x', '2', 'y'};
    fMain->portModesLoadFile();
    EXPECT_EQ(chosen(), (QStringList{"rbRouteBri1", "rbRouteBri2", "rbRouteIn1"}));
}

TEST_F(PortModesPageTest, EveryRadioMarksThePageChangedButTheLabelPassAndShowingThePageDoNot)
{
    // Every radio, the GSM ones too: a GSM routing change must not be lost at the close.
    for (QRadioButton* rb : {fMain->rbRejectBri1, fMain->rbRouteBri1, fMain->rbUseReject1, fMain->rbUseRoute1,
                             fMain->rbRejectBri2, fMain->rbRouteBri2, fMain->rbUseReject2, fMain->rbUseRoute2,
                             fMain->rbRejectAll, fMain->rbRouteIn1, fMain->rbRouteIn2}) {
        // Another radio of the group first, so that the click turns this one on.
        for (QRadioButton* other : rb->parentWidget()->findChildren<QRadioButton*>())
            if (other != rb) {
                other->setChecked(true);
                break;
            }
        resetPageChanged();
        rb->click();
        EXPECT_TRUE(rb->isChecked());
        EXPECT_EQ(pageChanged[pcPortModes], 1) << qPrintable(rb->objectName());
    }
    // The label pass and showing the topic run the chosen radios' handlers again for their hints; the flag
    // stays as it was.
    choose(fMain->rbUseReject1, fMain->rbRouteBri2, fMain->rbRouteIn2);
    for (quint8 before : {0, 1}) {
        resetPageChanged();
        pageChanged[pcPortModes] = before;
        fMain->lbPortModes3->clear();
        fMain->tbEnglishClick();
        fMain->selectTopic(30);
        fMain->lbPortModes1->clear();
        fMain->lbPortModes3->clear();
        fMain->selectTopic(834);
        EXPECT_TRUE(fMain->pPortModes->isVisibleTo(fMain));
        EXPECT_EQ(fMain->lbPortModes1->text(), labelText(860)) << "the hints are written when the page shows";
        EXPECT_EQ(fMain->lbPortModes3->text(),
                  QStringLiteral("Every incoming GSM call is routed to the ISDN BRI 2 interface."));
        EXPECT_EQ(pageChanged[pcPortModes], before);
        EXPECT_EQ(pageChanged[pcBasic], 0);
    }
}

TEST_F(PortModesPageTest, TheHintsFollowTheChoiceTheModelAndTheLanguage)
{
    choose(fMain->rbRejectBri1, fMain->rbUseReject2, fMain->rbRouteIn1);
    EXPECT_EQ(fMain->lbPortModes1->text(), labelText(858));
    EXPECT_EQ(colourOf(fMain->lbPortModes1), QColor(Qt::red));
    EXPECT_EQ(fMain->lbPortModes2->text(), labelText(860));
    EXPECT_EQ(colourOf(fMain->lbPortModes2), QColor(Qt::blue));
    EXPECT_EQ(fMain->lbPortModes3->text(),
              QStringLiteral("Every incoming GSM call is routed to the ISDN BRI 1 interface."));
    fMain->rbRouteIn2->setChecked(true);
    EXPECT_EQ(fMain->lbPortModes3->text(),
              QStringLiteral("Every incoming GSM call is routed to the ISDN BRI 2 interface."));

    gatewayModel = 1;
    fMain->setModelLayout(1);
    fMain->tbEnglishClick();
    EXPECT_EQ(fMain->lbPortModes2->text(), labelText(888));
    EXPECT_EQ(fMain->lbPortModes3->text(), labelText(887));

    gatewayModel = 0;
    fMain->setModelLayout(0);
    const QString english858 = fMain->lbPortModes1->text();
    fMain->tbCzechClick();
    EXPECT_EQ(fMain->lbPortModes1->text(), labelText(858));
    EXPECT_NE(fMain->lbPortModes1->text(), english858);
    EXPECT_EQ(colourOf(fMain->lbPortModes1), QColor(Qt::red));
    EXPECT_EQ(colourOf(fMain->lbPortModes3), QColor(Qt::blue));
    EXPECT_EQ(chosen(), (QStringList{"rbRejectBri1", "rbUseReject2", "rbRouteIn2"}));
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
    EXPECT_EQ(chosen(), (QStringList{"rbRejectBri1", "rbRejectBri2", "rbRejectAll"}))
        << "the choices that name the missing port move to reject";
    EXPECT_EQ(m->rbRouteIn2->text(), QStringLiteral("Route incoming calls to ISDN BRI interface"));
    EXPECT_EQ(m->gbPortModes2->title(), QStringLiteral("ISDN BRI port"));

    m->setModelLayout(2); // not a model: nothing changes
    EXPECT_EQ(m->gbPortModes2->y(), 8);

    m->setModelLayout(0);
    for (QWidget* w : std::initializer_list<QWidget*>{m->gbPortModes1, m->rbRouteBri2, m->rbUseRoute2, m->rbRouteIn1})
        EXPECT_TRUE(w->isVisibleTo(page)) << qPrintable(w->objectName());
    EXPECT_EQ(m->gbPortModes2->y(), 144);
    EXPECT_EQ(m->gbPortModes3->y(), 280);
    EXPECT_EQ(m->gbPortModes1->title(), QStringLiteral("ISDN BRI 1 port ( NT interface )"));
    EXPECT_EQ(m->rbRouteIn2->text(), QStringLiteral("Route incoming calls to ISDN BRI 2 interface"));
}

} // namespace
