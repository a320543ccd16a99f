// The GSM group pages' reply parsing and command building, away from the window.
#include "exchange/GroupsExchange.h"

#include <gtest/gtest.h>

namespace {

QByteArray reply(const QByteArray& lines)
{
    return "\r\n" + lines + "OK\r\n";
}

TEST(GroupsExchange, OutgoingSeparatorAndWindowsReadAsTheySaveBack)
{
    const struct
    {
        QByteArray g9;
        QByteArray g5;
        QChar separator;
        bool second;
        QString window2;
        QByteArray sentG9;
        QByteArray sentG5;
    } cases[] = {
        {"2,0,1,0,6,3,#", "8:00/9:00", u'#', false, kWindowAllDay, "AT%G19=2,0,1,0,6,3,#\r\n",
         "AT%G15=8:00/9:00,00:00/00:00\r\n"},
        {"2,0,3,0,6,3", "1:00/2:00,3:00/4:00/w-", QChar(), true, QStringLiteral("3:00/4:00/w-"),
         "AT%G19=2,0,1,0,6,3,\r\n", "AT%G15=1:00/2:00,3:00/4:00/w-\r\n"}, // six values: no separator
        {"2,0,1,0,6,3,", "1:00/2:00,00:00/00:00", QChar(), false, kWindowAllDay, "AT%G19=2,0,1,0,6,3,\r\n",
         "AT%G15=1:00/2:00,00:00/00:00\r\n"}, // an empty seventh value; a second window not in use
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.g9.constData());
        TOutgoing r;
        QString errors;
        readOutgoingGroup(reply("G11=,0,0,0,1,1,1,0\r\nG19=" + c.g9 + "\r\nG15=" + c.g5 + "\r\n"), 1, r, errors);
        EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors);
        EXPECT_EQ(r.clipSeparator, c.separator);
        EXPECT_EQ(r.sim.secondInterval, c.second);
        EXPECT_EQ(r.sim.window2, c.window2);
        EXPECT_EQ(outgoingMessagesCommand(1, r), c.sentG9);
        EXPECT_EQ(outgoingTimeCommand(1, r), c.sentG5);
    }
}

TEST(GroupsExchange, OutgoingValuesFailOneByOneAndAreListedOnce)
{
    TOutgoing r;
    r.sim.text = QStringLiteral("kept");
    QString errors;
    readOutgoingGroup(reply("G21=net,x,5\r\nG29=\r\n"), 2, r, errors);
    readOutgoingGroup(reply("G21=net,x,5\r\nG29=\r\n"), 2, r, errors);
    EXPECT_EQ(r.roamingNetwork, QStringLiteral("net"));
    EXPECT_EQ(r.clir, 0);
    EXPECT_EQ(r.maxMinutes, 5);
    EXPECT_EQ(r.delayAlerting, 1);
    EXPECT_EQ(r.sim.window1, QStringLiteral("0:00/0:00"));
    EXPECT_EQ(r.sim.text, QStringLiteral("kept")) << "what the page only carries stays";
    EXPECT_EQ(errors.count(QStringLiteral("Outgoing groups - CLIR\n")), 1);
    EXPECT_EQ(errors.count(QLatin1Char('\n')), 12); // 6 of G21, 5 of G29 and the window; none twice
}

TEST(GroupsExchange, WindowsTimesAndListRoom)
{
    EXPECT_EQ(parseOutgoingWindow(QStringLiteral("7:30/9:00/w-")),
              (OutgoingWindow{QStringLiteral("07:30"), QStringLiteral("09:00"), OutgoingWindow::NoWeekend}));
    EXPECT_EQ(parseOutgoingWindow(QStringLiteral("12:00")), (OutgoingWindow{QString(), QStringLiteral("12:00")}));
    for (const char* complete : {"00:00", "7:30", "24:00"})
        EXPECT_TRUE(isCompleteTime(QString::fromLatin1(complete))) << complete;
    for (const char* partial : {"1_:00", "__:__", "", "12:3", "12.30"})
        EXPECT_FALSE(isCompleteTime(QString::fromLatin1(partial))) << partial;

    const std::pair<int, int> rooms[] = {{0, 31}, {1, 29}, {20, 10}, {28, 2}};
    for (const auto& [length, room] : rooms)
        EXPECT_EQ(clipConversionRoom(length), room) << length;
    EXPECT_FALSE(clipConversionRoom(29).has_value());
}

TEST(GroupsExchange, IncomingLoopCalledNumbersAndConversions)
{
    std::array<TIncoming, 2> r;
    QString errors;
    readIncomingGroups(reply("G91=1,2,3,4,5,6,7\r\nG92=1,2,3,4,5,6,7\r\nG95=,123,,456\r\nG96=\r\nG99=5\r\n"
                             "G191=3,\r\nG192=x,#\r\nG198=1/2,,3/4\r\n"),
                       r, errors);
    EXPECT_EQ(r[0].calledNumbers, (std::vector<QString>{QStringLiteral("123"), QStringLiteral("456")}));
    EXPECT_EQ(r[0].voiceLoop, 3);
    EXPECT_TRUE(r[0].cdnSeparator.isNull());
    EXPECT_EQ(r[1].voiceLoop, 0) << "an unreadable looping value takes the separator with it";
    EXPECT_TRUE(r[1].cdnSeparator.isNull());
    EXPECT_EQ(errors, QStringLiteral("Incoming groups - Looping of voice mess, CDN recognition in clip\n"));
    EXPECT_EQ(clipConversionEntries(r[1].clipConversions), (QStringList{QStringLiteral("1/2"), QStringLiteral("3/4")}));
    EXPECT_EQ(incomingLoopCommand(0, r[0]), "AT%G191=3,\r\n");
    EXPECT_EQ(incomingRoutingCommand(r[0].clipKeepHours, incomingRoutingBits(false, false, true, true)),
              "AT%G99=5,12\r\n");
    r[0].calledNumbers.assign(1, QString(kMaxCalledList, u'1'));
    EXPECT_TRUE(incomingCalledCommand(0, r[0]).has_value());
    r[0].calledNumbers.push_back(QString());
    EXPECT_FALSE(incomingCalledCommand(0, r[0]).has_value()) << "the joining comma makes it one too many";
}

// A CLIP conversion list longer than the page's dialog builds (31 characters) is damaged: not taken.
TEST(GroupsExchange, ConversionsLongerThanTheDialogBuildsAreNotTaken)
{
    std::array<TIncoming, 2> r;
    QString errors;
    readIncomingGroups(reply("G91=1,2,3,4,5,6,7\r\nG92=1,2,3,4,5,6,7\r\nG99=5,0\r\nG191=3,\r\nG192=3,\r\nG198=" +
                             QByteArray(29, '1') + "/22\r\n"),
                       r, errors);
    EXPECT_TRUE(r[0].clipConversions.isEmpty() && r[1].clipConversions.isEmpty());
    EXPECT_EQ(errors, kInLineConversions);
}

} // namespace
