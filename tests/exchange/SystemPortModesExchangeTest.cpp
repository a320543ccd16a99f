// The system and port modes pages' reply parsing and command building, away from the window.
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

} // namespace
