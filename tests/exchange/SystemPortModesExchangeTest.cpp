// The system, GSM basic and port modes pages' reply parsing and command building, away from the window.
#include "exchange/BasicExchange.h"
#include "exchange/PortModesExchange.h"
#include "exchange/SystemExchange.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemExchange, ViewReplyReadsCdrGateIdAndResetTimeWithTheirFailureLines)
{
    struct Case
    {
        QByteArray reply;
        qint32 cdrMode;
        qint32 gateId;
        QString reset;
        QString errors;
    } cases[] = {
        {"S91=6,21\r\nX22=7:30\r\nOK\r\n", 6, 21, "07:30", ""},
        {"S91=4,0\r\nX22=23:05\r\nOK\r\n", 4, 0, "23:05", ""}, // code 4 is shown as position 3
        {"S91=9,x\r\nOK\r\n", 0, 0, "00:00", kSystemLineCdr + kSystemLineGateId},
        {"S91=5\r\nOK\r\n", 5, 0, "00:00", kSystemLineGateId},
        {"OK\r\n", 0, 0, "00:00", kSystemLineCdr + kSystemLineGateId},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.constData());
        QString errors = QStringLiteral("earlier\n");
        const TSystem s = parseSystemView(c.reply, errors);
        EXPECT_EQ(s.cdrMode, c.cdrMode);
        EXPECT_EQ(s.gateId, c.gateId);
        EXPECT_EQ(s.resetTime, c.reset);
        EXPECT_EQ(errors, QStringLiteral("earlier\n") + c.errors);
    }
}

TEST(SystemExchange, CdrPositionsSkipCodeFourBothWays)
{
    const int codes[] = {0, 1, 2, 3, 5, 6, 7};
    for (int position = 0; position < 7; ++position) {
        EXPECT_EQ(cdrPositionToCode(position), codes[position]);
        EXPECT_EQ(cdrCodeToPosition(codes[position]), position);
    }
    EXPECT_EQ(cdrCodeToPosition(4), 3);
    EXPECT_EQ(cdrCodeToPosition(-1), -1);
    EXPECT_EQ(cdrCodeToPosition(8), -1);
}

TEST(SystemExchange, CommandsCarryTheRecordAsTheGatewayWritesIt)
{
    TSystem s;
    s.cdrMode = 7;
    s.gateId = 200;
    s.resetTime = QStringLiteral("06:45");
    EXPECT_EQ(systemCdrCommand(s), "AT%S91=7,200\r\n");
    EXPECT_EQ(systemResetCommand(s), "AT%X22=06:45\r\n");
}

TEST(PortModesExchange, MissingValuesReadAsRejectAndOthersComeAsSent)
{
    EXPECT_EQ(parsePortModesView("X40=2,G,1,0\r\nOK\r\n"), (PortModeChars{'2', 'G', '1'}));
    EXPECT_EQ(parsePortModesView("X40=Q,,\r\nOK\r\n"), (PortModeChars{'Q', '0', '0'}));
    EXPECT_EQ(parsePortModesView("OK\r\n"), (PortModeChars{'0', '0', '0'}));
}

TEST(PortModesExchange, TheModelDecidesWhatMayBeRoutedToTheFirstPort)
{
    const PortModeChars modes{'1', '2', '1'};
    EXPECT_EQ(portModesCommand(modes, 0), "AT%X40=1,2,1,0\r\n");
    EXPECT_EQ(portModesCommand(modes, 1), "AT%X40=0,0,0,0\r\n");
    EXPECT_EQ(portModesCommand({'2', 'A', 'B'}, 1), "AT%X40=2,0,B,0\r\n");
    EXPECT_EQ(portModesCommand(modes, 2), "AT%X40=1,0,1,0\r\n"); // no BRI 1, but the routes stay
}

const BasicListSizes kSizes{5, 5, 6, 2, 3, 4};

TEST(BasicExchange, ViewReplyGivesPositionsAndLeavesUnsaidVolumesAlone)
{
    QString errors;
    const BasicView0 v = parseBasicView0(
        "G08=3,9,9,3,60\r\nG09=21,2,9,255,4\r\nG02=2,x\r\nG04=1,99,0\r\nG103=0,4,0,13,2\r\nG05=33\r\n"
        "G101=17/21,,34/34\r\nOK\r\n",
        kSizes, errors);
    EXPECT_EQ(errors, kBasicLineRing + kBasicLineSiemensTran + kBasicLineSiemensRec);
    EXPECT_EQ(v.relaxDelay, 3);
    EXPECT_EQ(v.ringTimeout, 60);
    EXPECT_EQ(v.simFlags, 21);
    EXPECT_EQ(v.dialTone, 2);
    EXPECT_EQ(v.ringTone, 0);  // 9 is beyond the list
    EXPECT_EQ(v.busyTone, 5);  // 255: the list's last position, "disabled"
    EXPECT_TRUE(v.busyStatus);
    EXPECT_FALSE(v.siemensTransmit);
    EXPECT_EQ(v.echoCancelling, 1);
    EXPECT_FALSE(v.wavecomTransmit); // a code no position has
    EXPECT_EQ(v.networksPosition, 1);
    EXPECT_EQ(v.searchPriority, 2);
    EXPECT_EQ(v.dtmfDelay, 33);
    EXPECT_EQ(v.causes, QStringList({"17/21", "34/34"}));

    errors.clear();
    EXPECT_EQ(parseBasicCauses("I05=1,2,3\r\nOK\r\n", errors), (std::array<qint32, 4>{102, 21, 41, 42}));
    EXPECT_EQ(errors, kBasicLineCauses);
}

TEST(BasicExchange, SaveCommandsCarryTheRecord)
{
    TBasic b;
    b.relaxDelay = 4;
    b.ringTimeout = 90;
    b.simFlags = 5;
    b.dialTone = 1;
    b.ringTone = 2;
    b.busyTone = 255;
    b.busyStatus = 4;
    b.pin = QStringLiteral("1234");
    b.causes = {QStringLiteral("17/21"), QStringLiteral("34/34")};
    b.networks = 14;
    EXPECT_EQ(basicRelaxCommand(b, {7, 8, 9}), "AT%G08=4,7,8,9,90\r\n");
    EXPECT_EQ(basicTonesShortCommand(b), "AT%G09=5,1,2\r\n");
    EXPECT_EQ(basicTonesCommand(b), "AT%G09=5,1,2,255,4\r\n");
    EXPECT_EQ(basicSierraCommand(b), "AT%G103=0,0,0,14,0\r\n");
    EXPECT_EQ(basicPinCommand(b), "AT%S98=1234\r\n");
    EXPECT_EQ(basicTransferCommand(b), "AT%G101=17/21,34/34\r\n");
    EXPECT_EQ(basicCausesCommand(b), "AT%I05=102,21,41,42\r\n");
}

} // namespace
