// The network lists page and its prefix editor through the main window against the simulated gateway.
#include "PageTestFixture.h"

#include "config/GateFile.h"
#include "exchange/NetworkExchange.h"
#include "pages/NetPage.h"
#include "pages/TfNet.h"
#include "ui/TfLoad.h"
#include "ui/UiState.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>

namespace {

QStringList entries(const QListWidget* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->item(i)->text();
    return out;
}

QStringList entries(const std::vector<QString>& list)
{
    return QStringList(list.begin(), list.end());
}

class NetPageTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        networkListingWaitMs = 0;
    }
    QList<QByteArray> setsReceived() const
    {
        QList<QByteArray> sets;
        for (const QByteArray& line : commandsReceived())
            if (line.startsWith("AT%"))
                sets << line;
        return sets;
    }
};

// A listing of several kilobytes is read whole and parsed into all eight lists; the save sends every key back
// as it came.
TEST_F(NetPageTest, RichListsComeBackUnchanged)
{
    ASSERT_TRUE(gateway->setValue("I07", "12/34,5/"));
    ASSERT_TRUE(gateway->setValue("N10", "/,0049/00,+420/"));
    ASSERT_TRUE(gateway->setValue("N11", "0,1,2,3,"));
    ASSERT_TRUE(gateway->setValue("N12", "4,5,6,7/8,"));
    ASSERT_TRUE(gateway->setValue("N13", "9,"));
    for (const char* key : {"N14", "N15", "N16", "N17"})
        ASSERT_TRUE(gateway->setValue(key, ""));
    ASSERT_TRUE(gateway->setValue("N19", "FIRST,7"));
    QByteArray longReplacements;
    for (int i = 0; i < 30; ++i)
        longReplacements += (i ? "," : "") + QByteArray::number(600000 + i) + "/00420" + QByteArray::number(i);
    for (int n = 2; n <= 8; ++n)
        ASSERT_TRUE(gateway->setValue("N" + QByteArray::number(n) + "0", longReplacements));
    ASSERT_TRUE(gateway->setValue("N89", "LAST,20"));
    ASSERT_NO_FATAL_FAILURE(connectGateway());

    press(fMain->sbNetLoad);
    expectInfoBox(61);
    EXPECT_EQ(timesReceived("AT&Nall\r\n"), 1);
    EXPECT_EQ(pageChanged[pcNetwork], 1);
    EXPECT_EQ(entries(GateConfig.briPrefixChanges), (QStringList{"12/34", "5/"}));
    EXPECT_EQ(entries(fMain->lbNetPri), (QStringList{"12/34", "5/"}));
    EXPECT_EQ(entries(fMain->lbNetRep), (QStringList{"/", "0049/00", "+420/"}));
    EXPECT_EQ(entries(fMain->lbNetPref), (QStringList{"0", "1", "2", "3", "4", "5", "6", "7/8", "9"}));
    EXPECT_EQ(fMain->edNetNetid->text(), "FIRST");
    EXPECT_EQ(fMain->seNetDefault->value(), 7);
    EXPECT_EQ(networkWork[7].networkId, "LAST"); // the end of a listing far beyond 1024 bytes
    EXPECT_EQ(networkWork[7].defaultDigits, 20);
    EXPECT_EQ(networkWork[7].replacedPrefixes.size(), 30u);
    EXPECT_EQ(GateConfig.networks, networkWork);
    EXPECT_EQ(GateConfig.networks[1].networkId, "O2");

    press(fMain->sbNetSave);
    expectInfoBox(66);
    const QList<QByteArray> sets = setsReceived();
    ASSERT_EQ(sets.size(), 73);
    EXPECT_EQ(sets.first(), "AT%I07=12/34,5/\r\n");
    EXPECT_EQ(sets.mid(1, 9), (QList<QByteArray>{"AT%N10=/,0049/00,+420/\r\n", "AT%N11=0,1,2,3,\r\n",
                                                  "AT%N12=4,5,6,7/8,\r\n", "AT%N13=9,\r\n", "AT%N14=\r\n",
                                                  "AT%N15=\r\n", "AT%N16=\r\n", "AT%N17=\r\n", "AT%N19=FIRST,7\r\n"}));
    EXPECT_EQ(sets.last(), "AT%N89=LAST,20\r\n");
    EXPECT_EQ(gateway->value("N80"), longReplacements);
    EXPECT_EQ(fLoad->pb1->maximum(), 72);
    EXPECT_EQ(fLoad->pb1->value(), 72);
    EXPECT_TRUE(fMain->isEnabled());
}

TEST_F(NetPageTest, SaveActualSendsTheShownListOnly)
{
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    press(fMain->sbNetLoad);
    fMain->tcNet->setCurrentIndex(4);
    EXPECT_EQ(fMain->edNetNetid->text(), "INTL");
    press(fMain->sbNetSaveActual);
    expectInfoBox(66);
    EXPECT_EQ(setsReceived(),
              (QList<QByteArray>{"AT%N50=/\r\n", "AT%N51=0043,0049,0036,0048,\r\n", "AT%N52=0044,0033,0039,0034,\r\n",
                                 "AT%N53=0041,0031,0032,0045,\r\n", "AT%N54=0046,0047,00358,00386,\r\n",
                                 "AT%N55=00385,00421,001,007,\r\n", "AT%N56=0061,0064,0081,0086,\r\n",
                                 "AT%N57=0090,0091,0020,0027,\r\n", "AT%N59=INTL,0\r\n"}));
    EXPECT_EQ(fLoad->pb1->maximum(), 9);
    EXPECT_EQ(fLoad->pb1->value(), 9);

    // The whole-gateway save that follows counts its bar in per cent again, to the end.
    fMain->tbSaveGateClick();
    EXPECT_EQ(fLoad->pb1->maximum(), 100);
    EXPECT_EQ(fLoad->pb1->value(), 100);
}

// During a whole-gateway load the listing stays for the LCR page's load, whole.
TEST_F(NetPageTest, WholeGatewayLoadKeepsTheListing)
{
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    viewReplyCache.active = true;
    EXPECT_TRUE(fMain->networkLoad());
    EXPECT_GT(viewReplyCache.atNall.size(), 1150); // beyond the 1024 bytes of one read
    EXPECT_TRUE(viewReplyCache.atNall.contains("N89=EU,0\r\nOK\r\n"));
    EXPECT_EQ(networkIdsFromListing(viewReplyCache.atNall)[0], "TMOB");
}

// A listing without its "OK", and a list the keys cannot carry.
TEST_F(NetPageTest, FailuresAndLimits)
{
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    networkWork[0].networkId = "KEEP";
    setFaults([](gatewaysim::Faults& f) { f.noOk = true; });
    press(fMain->sbNetLoad);
    EXPECT_TRUE(LoadErrors.endsWith("Network list - All parametres\n")) << qPrintable(LoadErrors);
    EXPECT_EQ(networkWork[0].networkId, "KEEP");
    setFaults([](gatewaysim::Faults& f) { f.noOk = false; });

    networkWork[2].prefixes.clear();
    networkWork[2].networkId = "X3";
    networkWork[2].defaultDigits = 4;
    for (int i = 0; i < 29; ++i) // more than a gate file or Default may bring
        networkWork[2].prefixes.push_back(QString::number(100 + i));
    fMain->tcNet->setCurrentIndex(2);
    press(fMain->sbNetSaveActual);
    expectListBox(219, QStringLiteral("Network list - Table of prefixes\n"));
    EXPECT_EQ(setsReceived(), (QList<QByteArray>{"AT%N30=/\r\n", "AT%N39=X3,4\r\n"}));
    EXPECT_EQ(gateway->value("N31"), "608,770,771,772,"); // the gateway keeps its list
}

// The prefix editor: what each list takes, with and without the language's captions (the dialog is told its
// target and mode, it does not read them from its captions).
TEST_F(NetPageTest, PrefixEditorRules)
{
    const struct
    {
        const char* name;
        int target;  // 1 replaced prefixes, 2 prefixes, 3 BRI 1 -> BRI 2
        bool edit;   // Edit (the first entry selected) or Add
        QStringList before;
        QString first, second;
        bool okAtStart;
        QStringList after;
    } cases[] = {
        {"replaced add", 1, false, {"/"}, "0049", "", false, {"0049/", "/"}},
        {"replaced add twice", 1, false, {"0049/", "/"}, "0049", "", false, {"0049/", "/"}},
        {"replaced edit into a duplicate", 1, true, {"1/2", "3/4"}, "3", "4", true, {"3/4", "3/4"}},
        {"prefix add", 2, false, {"7"}, "12", "", false, {"7", "12"}},
        {"prefix add twice", 2, false, {"7", "12"}, "12", "", false, {"7", "12"}},
        {"prefix add with a second part", 2, false, {"12"}, "12", "5", false, {"12", "12/5"}},
        {"prefix edit into a duplicate", 2, true, {"1", "2"}, "2", "", true, {"1", "2"}},
        {"prefix edit", 2, true, {"1", "2"}, "9", "", true, {"9", "2"}},
        {"bri add", 3, false, {"1/"}, "2", "3", false, {"1/", "2/3"}},
        {"bri edit", 3, true, {"1/", "2/3"}, "8", "", true, {"8/", "2/3"}},
    };
    for (bool emptyTexts : {false, true}) {
        if (emptyTexts)
            fMain->setLabels(Tlabels(982));
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (emptyTexts ? " (empty texts)" : ""));
            std::vector<QString>& list = c.target == 3 ? GateConfig.briPrefixChanges
                                         : c.target == 1 ? networkWork[0].replacedPrefixes
                                                         : networkWork[0].prefixes;
            list.assign(c.before.begin(), c.before.end());
            fMain->tcNetChange();
            QListWidget* box = c.target == 1 ? fMain->lbNetRep : c.target == 2 ? fMain->lbNetPref : fMain->lbNetPri;
            box->setCurrentRow(0);
            pageChanged[pcNetwork] = 0;
            bool okAtStart = false;
            bool okAfterSecondOnly = true;
            dialogs().onModal([&](QDialog*) {
                okAtStart = fNet->sbOk->isEnabled();
                fNet->ed1->clear();
                fNet->ed2->clear();
                fNet->ed2->setText(c.second.isEmpty() ? QStringLiteral("1") : c.second);
                // Only the replacement lists take their second field alone.
                okAfterSecondOnly = fNet->sbOk->isEnabled();
                fNet->ed2->setText(c.second);
                fNet->ed1->setText(c.first);
                fNet->sbOk->click();
            });
            QPushButton* opener = c.target == 1   ? (c.edit ? fMain->sbNetRepEdit : fMain->sbNetRepAdd)
                                  : c.target == 2 ? (c.edit ? fMain->sbNetPrefEdit : fMain->sbNetPrefAdd)
                                                  : (c.edit ? fMain->sbNetPriEdit : fMain->sbNetPriAdd);
            opener->click();
            EXPECT_EQ(okAtStart, c.okAtStart);
            if (!c.edit) {
                EXPECT_EQ(okAfterSecondOnly, c.target == 1);
            }
            EXPECT_EQ(entries(box), c.after);
            EXPECT_EQ(entries(list), c.after);
            EXPECT_EQ(pageChanged[pcNetwork], 1);
        }
    }

    // The keys carry 28 prefixes: a 29th is refused with a box.
    networkWork[0].prefixes.clear();
    for (int i = 0; i < kMaxNetworkPrefixes; ++i)
        networkWork[0].prefixes.push_back(QString::number(i));
    fMain->tcNetChange();
    dialogs().clearRecords();
    dialogs().onModal([](QDialog*) {
        fNet->ed1->setText("99");
        fNet->sbOk->click();
    });
    fMain->sbNetPrefAdd->click();
    expectOnlyBox(labelText(76), 47, MB_ICONERROR);
    EXPECT_EQ(networkWork[0].prefixes.size(), size_t(kMaxNetworkPrefixes));
}

// The replaced prefixes keep their "/" entry; the network ID reaches the image at once (the LCR dialog reads
// it there); a comma never gets into an ID.
TEST_F(NetPageTest, ListButtonsAndTheNetworkId)
{
    networkWork[0].replacedPrefixes = {"/"};
    fMain->tcNetChange();
    fMain->lbNetRep->setCurrentRow(0);
    fMain->sbNetRepRemove->click();
    EXPECT_EQ(entries(fMain->lbNetRep), QStringList{"/"});
    networkWork[0].replacedPrefixes = {"1/2"};
    fMain->tcNetChange();
    fMain->lbNetRep->setCurrentRow(0);
    fMain->sbNetRepRemove->click();
    EXPECT_EQ(entries(networkWork[0].replacedPrefixes), QStringList{"/"});
    networkWork[0].replacedPrefixes = {"1/2", "3/4"};
    fMain->tcNetChange();
    fMain->sbNetRepRemoveAll->click();
    EXPECT_EQ(entries(fMain->lbNetRep), QStringList{"/"});
    EXPECT_EQ(entries(networkWork[0].replacedPrefixes), QStringList{"/"});

    fMain->tcNet->setCurrentIndex(3);
    fMain->edNetNetid->setText("NEW");
    EXPECT_EQ(GateConfig.networks[3].networkId, "NEW");
    EXPECT_EQ(networkWork[3].networkId, "NEW");
    fMain->edNetNetid->clear();
    fMain->edNetNetid->insert("A,B");
    EXPECT_EQ(fMain->edNetNetid->text(), "");

    fMain->setModelLayout(1);
    EXPECT_FALSE(fMain->gbNet3->isVisibleTo(fMain->pNet));
    fMain->setModelLayout(0);
    EXPECT_TRUE(fMain->gbNet3->isVisibleTo(fMain->pNet));
}

// Both sections reach the gate file and come back, "I07" with the network lists.
TEST_F(NetPageTest, GateFileRoundTrip)
{
    for (int i = 0; i < 8; ++i) {
        networkWork[size_t(i)].networkId = QStringLiteral("N%1").arg(i);
        networkWork[size_t(i)].defaultDigits = i;
        networkWork[size_t(i)].prefixes = {QString::number(i), QStringLiteral("%1/5").arg(i)};
        networkWork[size_t(i)].replacedPrefixes = {"/", QStringLiteral("%1/").arg(i)};
    }
    GateConfig.briPrefixChanges = {"1/2"};
    const auto lists = networkWork;
    press(fMain->sbNetSaveFile);
    expectInfoBox(75);
    GateConfig = TParametres();
    ASSERT_TRUE(ReadGateFile(GateConfig, CurrentGateway.File, gsNetwork));
    EXPECT_EQ(GateConfig.networks, lists);
    EXPECT_EQ(entries(GateConfig.briPrefixChanges), QStringList{"1/2"});
}

} // namespace
