// The GSM basic and port modes pages' reply parsing and command building, away from the window.
#include "exchange/BasicExchange.h"
#include "exchange/PortModesExchange.h"

#include <gtest/gtest.h>

namespace {

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

// The gateway's cause transfer list is taken as the page's dialog gives it: nine entries of 1 to 3 digits on
// each side (a cause outside the dialog's 1..127 too). Any other entry is left out and the item listed once.
TEST(BasicExchange, CauseEntriesNoDialogGivesAreLeftOut)
{
    QString errors;
    const BasicView0 v = parseBasicView0("G101=0/200,1234/1,1/,a/1,16,1/2/3,,2/2,3/3,4/4,5/5,6/6,7/7,8/8,999/9,"
                                         "10/10\r\nOK\r\n",
                                         kSizes, errors);
    EXPECT_EQ(v.causes, QStringList({"0/200", "2/2", "3/3", "4/4", "5/5", "6/6", "7/7", "8/8", "999/9"}));
    EXPECT_EQ(errors.count(kBasicLineTransfer), 1) << qPrintable(errors);
}

} // namespace
