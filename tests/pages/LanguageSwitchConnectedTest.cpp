// A change of language while a gateway is connected: the link stays, the gateway is asked who it is again,
// and the texts that depend on the model follow what it answers, in the new language.
#include "PageTestFixture.h"

#include "platform/IniFile.h"
#include "texts/LabelRule.h"
#include "texts/LanguageFile.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>

namespace {

using LanguageSwitchConnectedTest = PageTest;

TEST_F(LanguageSwitchConnectedTest, TheModelAskedAgainInTheStatusStepRulesTheLaterSteps)
{
    connectGateway();
    ASSERT_EQ(gatewayModel, 0);
    fMain->cbIsdnDial->setCurrentIndex(3);
    fMain->cbTracType->setCurrentIndex(0);
    // A model the pages were laid out for earlier; the gateway (two ports) now says otherwise.
    gatewayModel = 1;
    fMain->setModelLayout(1);
    ASSERT_EQ(fMain->gbIsdn2->title(), QStringLiteral("ISDN BRI port settings"));

    fMain->tbHungaryClick();

    EXPECT_TRUE(CurrentConnection.Connected);
    const QList<QByteArray> sent = commandsReceived();
    EXPECT_TRUE(sent.contains("ATI4\r\n") && sent.contains("ATI3\r\n")) << sent.size();
    EXPECT_EQ(gatewayModel, 0);
    ASSERT_FALSE(labelText(743).isEmpty());
    EXPECT_EQ(fMain->gbIsdn2->title(), labelText(743)) << "the ISDN step saw the model of the status step";
    EXPECT_EQ(fMain->lbIsdnBri2->text(), labelText(935) + QStringLiteral("2 (TE)"));
    EXPECT_EQ(fMain->cbIsdnTEmode->count(), 4);
    EXPECT_EQ(fMain->cbIsdnDial->currentIndex(), 3);
    EXPECT_EQ(fMain->cbIsdnDial->itemText(3), labelText(301));
    EXPECT_EQ(fMain->cbTracType->currentIndex(), 0);
    EXPECT_EQ(fMain->rbTracIpTcpTelnet->text(), labelText(149));
    EXPECT_TRUE(fMain->sbMainPanel0->text().contains(labelText(213))) << qPrintable(fMain->sbMainPanel0->text());
    EXPECT_TRUE(dialogs().boxes().isEmpty()) << qPrintable(dialogs().boxTexts().join(u'|'));
}

TEST_F(LanguageSwitchConnectedTest, WithoutAConnectionTheSwitchSendsNothing)
{
    fMain->tbPolishClick();
    EXPECT_TRUE(gateway->receivedLines().isEmpty());
    EXPECT_EQ(fMain->sbMainPanel0->text(), QStringLiteral("sim : ") + labelText(214));
}

TEST_F(LanguageSwitchConnectedTest, ASecondSwitchWhileTheFirstWaitsForTheGatewayIsRefused)
{
    connectGateway();
    setFaults([](gatewaysim::Faults& f) { f.replyDelayMs = 300; });
    bool polishTried = false;
    QTimer::singleShot(100, fMain, [&polishTried] {
        polishTried = true;
        fMain->tbPolishClick();
    });
    fMain->tbHungaryClick();
    ASSERT_TRUE(polishTried) << "the second click came while the first switch waited";
    EXPECT_TRUE(fMain->languageButtonDown(2));
    EXPECT_FALSE(fMain->languageButtonDown(3));
    EXPECT_TRUE(fMain->mHungary->isChecked());
    EXPECT_FALSE(fMain->mPolish->isChecked());
    Tlabels hungarian;
    Tlabels names;
    readLanguageFile(path(QStringLiteral("languages.ini")), 2, hungarian, names);
    EXPECT_EQ(fMain->mFile->title(), labelAt(hungarian, 9));
    EXPECT_EQ(labelText(9), labelAt(hungarian, 9));
    const IniFile settings(path(QStringLiteral("settings.ini")));
    EXPECT_EQ(settings.ReadInteger(QStringLiteral("main"), QStringLiteral("language"), -1), 2)
        << "the language stored is the one shown";
}

} // namespace
