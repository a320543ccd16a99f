// The ISDN page's reply parsing and command building, away from the window.
#include "exchange/IsdnExchange.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kFullReply = "\r\nI00=NT/S\r\nI01=64,1\r\nI03=1,2\r\nI06=1,2,3,4\r\nI08=1,2,3,0\r\nI09=5,20,12\r\n"
                              "I27=123\r\nI50=3,4,100,200\r\nI51=11,,33\r\nI52=BRI %P(1|2) %A(down|up)\r\n"
                              "I60=9:30,15\r\nI61=5,,7\r\nI62=alive %M\r\nOK\r\n";

TEST(IsdnExchange, ViewReplyGivesEveryItem)
{
    QString errors;
    const IsdnViewValues v = parseIsdnView(kFullReply, errors);
    EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors);
    EXPECT_TRUE(v.allRead);
    EXPECT_EQ(v.interfaceMode, "NT/S");
    EXPECT_EQ(v.msn, "123");
    EXPECT_EQ(v.tei, 64);
    EXPECT_EQ(v.portMode, 1);
    EXPECT_EQ(v.progress, (std::array<qint32, 4>{1, 2, 3, 4}));
    EXPECT_EQ(v.statsDay, 5);
    EXPECT_EQ(v.flags, 20);
    EXPECT_EQ(v.setupDigits, 12);
    EXPECT_EQ(v.tones, (std::array<qint32, 3>{1, 2, 3}));
    EXPECT_EQ(v.cdnPlan, 1);
    EXPECT_EQ(v.cgnPlan, 2);
    EXPECT_EQ(v.portMask1, 3);
    EXPECT_EQ(v.portMask2, 4);
    EXPECT_EQ(v.deactivationTimeout, 100);
    EXPECT_EQ(v.activationTimeout, 200);
    EXPECT_EQ(v.stateSmsNumbers, (std::array<QString, 3>{"11", "", "33"}));
    EXPECT_EQ(v.stateSmsText, "BRI %P(1|2) %A(down|up)");
    EXPECT_TRUE(v.aliveListed);
    EXPECT_EQ(v.aliveTime, "09:30");
    EXPECT_EQ(v.aliveDay, 15);
    EXPECT_EQ(v.aliveNumbers, (std::array<QString, 3>{"5", "", "7"}));
    EXPECT_EQ(v.aliveSmsText, "alive %M");
}

// Each broken item adds its own line, in the load's order, and keeps the value the page shows for it.
TEST(IsdnExchange, BrokenItemsAddTheirLines)
{
    const QByteArray reply = "\r\nI00=NT\r\nI01=x,0\r\nI06=1,2\r\nI09=a,b,c\r\nI08=1,9,1,0\r\nI03=1\r\n"
                             "I50=1,2,3\r\nI60=12:00,x\r\nOK\r\n";
    QString errors;
    const IsdnViewValues v = parseIsdnView(reply, errors);
    EXPECT_FALSE(v.allRead);
    EXPECT_EQ(errors, QStringLiteral("ISDN settings - NT interface\n"
                                     "ISDN settings - Progress elements numbers\n"
                                     "ISDN settings - Day of deleting statistics\n"
                                     "ISDN settings - Progress elements numbers\n"
                                     "ISDN settings - Digits count in SETUP\n"
                                     "ISDN settings - Dialtone to NT interface on empty SETUP, ring tone and busy "
                                     "tone\n"
                                     "ISDN settings - CDN, CGN\n"
                                     "ISDN settings - BRI ISDN state monitoring\n"
                                     "ISDN settings - Text of SMS while state of ISDN is changed\n"));
    EXPECT_EQ(v.progress, (std::array<qint32, 4>{}));
    EXPECT_EQ(v.setupDigits, 20);
    EXPECT_EQ(v.tones, (std::array<qint32, 3>{}));
    EXPECT_TRUE(v.aliveListed);
    EXPECT_EQ(v.aliveDay, 0);
    EXPECT_EQ(v.aliveTime, "00:00");
}

TEST(IsdnExchange, DigitsOfG08)
{
    struct Case
    {
        QByteArray reply;
        qint32 min, max, wait;
        QString errors;
    } cases[] = {
        {"G08=2,5,12,4,120\r\nOK\r\n", 5, 12, 4, ""},
        {"G08=2,5\r\nOK\r\n", 5, 9, 3,
         "ISDN settings - Max numbers from VoIP\nISDN settings - Wait for next digit\n"},
        {"OK\r\n", 9, 9, 3,
         "ISDN settings - Min numbers from VoIP\nISDN settings - Max numbers from VoIP\n"
         "ISDN settings - Wait for next digit\n"},
    };
    for (const Case& c : cases) {
        QString errors;
        const IsdnDigitValues d = parseIsdnDigits(c.reply, errors);
        EXPECT_EQ(d.minDigits, c.min) << c.reply.constData();
        EXPECT_EQ(d.maxDigits, c.max) << c.reply.constData();
        EXPECT_EQ(d.nextDigitWait, c.wait) << c.reply.constData();
        EXPECT_EQ(errors, c.errors) << c.reply.constData();
    }
}

TEST(IsdnExchange, Commands)
{
    TIsdn i;
    i.interfaceMode = "TE/T";
    i.msn = "555";
    i.tei = 7;
    i.portMode = 1;
    i.statsDay = 3;
    i.flags = 20;
    i.setupDigits = 11;
    i.dialTone = 1;
    i.ringTone = 2;
    i.busyTone = 4;
    i.setupAckProgress = 1;
    i.callProceedingProgress = 2;
    i.progressProgress = 3;
    i.alertingProgress = 8;
    i.cdnPlan = 127;
    i.cgnPlan = 0;
    i.minDigits = 4;
    i.maxDigits = 12;
    i.nextDigitWait = 5;
    i.portMask1 = 0;
    i.portMask2 = 7;
    i.deactivationTimeout = 65535;
    i.activationTimeout = 1;
    i.stateSmsText = QStringLiteral("Stav žluť");
    i.stateSmsNumbers = {"1", "", "+3"};
    i.aliveTime = "08:05";
    i.aliveDay = 31;
    i.aliveSmsText = "hi";

    EXPECT_EQ(isdnMsnCommand(i, true).line, "AT%I27=555\r\n");
    EXPECT_EQ(isdnMsnCommand(i, false).line, "AT%I27=\r\n");
    i.interfaceMode = "TE/E";
    EXPECT_EQ(isdnMsnCommand(i, false).line, "AT%I27=555\r\n");
    EXPECT_EQ(isdnModeCommand(i), "AT%I00=TE/E\r\n");

    QList<QByteArray> lines;
    for (const IsdnCommand& c : isdnPortCommands(i))
        lines << c.line;
    EXPECT_EQ(lines, (QList<QByteArray>{"AT%I01=7,1\r\n", "AT%I09=3,20,11\r\n", "AT%I08=1,2,4,0\r\n",
                                        "AT%I06=1,2,3,8\r\n", "AT%I03=127,0\r\n"}));
    EXPECT_EQ(isdnDigitsCommand(i, 2, 120).line, "AT%G08=2,4,12,5,120\r\n");
    lines.clear();
    for (const IsdnCommand& c : isdnMonitoringCommands(i))
        lines << c.line;
    EXPECT_EQ(lines, (QList<QByteArray>{"AT%I50=0,7,65535,1\r\n", "AT%I52=Stav \x9e" "lu\x9d\r\n", "AT%I51=1,,+3\r\n"}));
    EXPECT_EQ(isdnAliveCommand(i).line, "AT%I60=08:05,31\r\n");
    EXPECT_EQ(isdnAliveTextCommand(i).line, "AT%I62=hi\r\n");
}

// Empty alive numbers between two others keep their places; only trailing ones are left out.
TEST(IsdnExchange, AliveNumbersKeepTheirPlaces)
{
    struct Case
    {
        std::array<QString, 3> numbers;
        QByteArray line;
    } cases[] = {
        {{"1", "2", "3"}, "AT%I61=1,2,3\r\n"}, {{"1", "", "3"}, "AT%I61=1,,3\r\n"}, {{"", "", "3"}, "AT%I61=,,3\r\n"},
        {{"1", "", ""}, "AT%I61=1\r\n"},       {{"", "2", ""}, "AT%I61=,2\r\n"},    {{"", "", ""}, "AT%I61=\r\n"},
    };
    for (const Case& c : cases) {
        TIsdn i;
        i.aliveNumbers = c.numbers;
        EXPECT_EQ(isdnAliveNumbersCommand(i).line, c.line);
    }
}

TEST(IsdnExchange, AliveValuesCompareInOneForm)
{
    EXPECT_EQ(normalisedAliveValue("9:30,15"), normalisedAliveValue("09:30,15"));
    EXPECT_EQ(normalisedAliveValue("09:30,05"), "09:30,5");
    EXPECT_NE(normalisedAliveValue("09:30,15"), normalisedAliveValue("09:31,15"));
    EXPECT_NE(normalisedAliveValue("09:30,15"), normalisedAliveValue("09:30,0"));
}

} // namespace
