// The network lists' reply parsing and command building, away from the window.
#include "exchange/NetworkExchange.h"

#include <gtest/gtest.h>

namespace {

QList<QByteArray> lines(const QList<NetworkCommand>& commands)
{
    QList<QByteArray> out;
    for (const NetworkCommand& c : commands)
        out << c.line;
    return out;
}

TEST(NetworkExchange, BriPrefixChangesSkipEmptyValues)
{
    QString errors;
    EXPECT_EQ(parseBriPrefixChanges("\r\nI07=1/2,,3/\r\nOK\r\n", errors), (std::vector<QString>{"1/2", "3/"}));
    EXPECT_TRUE(parseBriPrefixChanges("\r\nOK\r\n", errors).empty());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(briPrefixCommand({}).line, "AT%I07=\r\n");
    EXPECT_EQ(briPrefixCommand({"1/2", "3/"}).line, "AT%I07=1/2,3/\r\n");
}

TEST(NetworkExchange, ListingFillsEveryList)
{
    QByteArray reply = "\r\nN10=12/34,,5/\r\nN11=0,1,2,3,\r\nN12=4,5/6,\r\nN19=ABC,7\r\n"
                       "N20=\r\nN29=,0\r\nN39=XY\r\n";
    for (int n = 4; n <= 8; ++n)
        reply += "N" + QByteArray::number(n) + "9=ID" + QByteArray::number(n) + ",20\r\n";
    reply += "OK\r\n";
    std::array<TNetwork, 8> records;
    records[2].networkId = "OLD";
    records[2].defaultDigits = 5;
    records[3].prefixes = {"9"};
    QString errors = "Network list - Default number of digits\n";
    EXPECT_FALSE(parseNetworkLists(reply, records, errors));
    EXPECT_EQ(errors, "Network list - Default number of digits\n"); // once, however many lists miss it

    EXPECT_EQ(records[0].replacedPrefixes, (std::vector<QString>{"12/34", "", "5/"}));
    EXPECT_EQ(records[0].prefixes, (std::vector<QString>{"0", "1", "2", "3", "4", "5/6"}));
    EXPECT_EQ(records[0].networkId, "ABC");
    EXPECT_EQ(records[0].defaultDigits, 7);
    EXPECT_EQ(records[1].replacedPrefixes, (std::vector<QString>{""}));
    EXPECT_EQ(records[2].networkId, "XY"); // the ID is taken without its digits ...
    EXPECT_EQ(records[2].defaultDigits, 0); // ... which become 0
    EXPECT_TRUE(records[3].prefixes.empty());
    EXPECT_EQ(records[7].networkId, "ID8");
    EXPECT_EQ(records[7].defaultDigits, 20);
    EXPECT_EQ(networkIdsFromListing(reply)[0], "ABC");
    EXPECT_EQ(networkIdsFromListing(reply)[1], "");

    QString fresh;
    std::array<TNetwork, 8> again;
    EXPECT_FALSE(parseNetworkLists("\r\nOK\r\n", again, fresh));
    EXPECT_EQ(fresh, "Network list - Default number of digits\n");
}

// The gateway's fields hold ten characters on each side of an entry's "/", as the entry dialog does: a longer
// entry is damaged, left out with its table's line, so the load never takes what the gate file refuses.
TEST(NetworkExchange, AnEntryLongerThanTheGatewaysFieldsIsLeftOut)
{
    const QString ten(10, QLatin1Char('1'));
    const QString eleven(11, QLatin1Char('2'));
    QString errors;
    const QString i07 = ten + "/" + ten + "," + eleven + "/,/" + eleven;
    EXPECT_EQ(parseBriPrefixChanges("\r\nI07=" + i07.toLatin1() + "\r\nOK\r\n", errors),
              (std::vector<QString>{ten + "/" + ten}));
    EXPECT_EQ(errors, netlines::kBri);

    QString reply = "\r\nN10=" + eleven + "/,/" + ten + "\r\nN11=" + ten + "," + eleven + ",\r\nN12=" + ten + "/" +
                    eleven + ",\r\n";
    for (int n = 1; n <= 8; ++n)
        reply += "N" + QString::number(n) + "9=ID,5\r\n";
    std::array<TNetwork, 8> records;
    errors.clear();
    EXPECT_FALSE(parseNetworkLists((reply + "OK\r\n").toLatin1(), records, errors));
    EXPECT_EQ(records[0].replacedPrefixes, (std::vector<QString>{"/" + ten}));
    EXPECT_EQ(records[0].prefixes, (std::vector<QString>{ten}));
    EXPECT_EQ(errors, netlines::kPrefixes + netlines::kReplaced);
}

TEST(NetworkExchange, OneListsCommands)
{
    TNetwork list;
    list.replacedPrefixes = {"12/34", "5/"};
    list.prefixes = {"0", "1", "2", "3", "4", "5", "6", "7", "8/9"};
    list.networkId = "ABC";
    list.defaultDigits = 7;
    EXPECT_EQ(lines(networkListCommands(list, 2)),
              (QList<QByteArray>{"AT%N20=12/34,5/\r\n", "AT%N21=0,1,2,3,\r\n", "AT%N22=4,5,6,7,\r\n",
                                 "AT%N23=8/9,\r\n", "AT%N24=\r\n", "AT%N25=\r\n", "AT%N26=\r\n", "AT%N27=\r\n",
                                 "AT%N29=ABC,7\r\n"}));
}

// 28 prefixes fill the seven keys; one more cannot be sent, and is not sent in part either.
TEST(NetworkExchange, PrefixesBeyondTheKeysAreRefused)
{
    TNetwork list;
    for (int i = 0; i < kMaxNetworkPrefixes; ++i)
        list.prefixes.push_back(QString::number(100 + i));
    QList<NetworkCommand> commands = networkListCommands(list, 1);
    EXPECT_EQ(commands.at(7).line, "AT%N17=124,125,126,127,\r\n");
    list.prefixes.push_back("999");
    commands = networkListCommands(list, 1);
    ASSERT_EQ(commands.size(), 9);
    for (int k = 1; k <= 7; ++k) {
        EXPECT_TRUE(commands.at(k).line.isEmpty());
        EXPECT_EQ(commands.at(k).itemLine, "Network list - Table of prefixes\n");
    }
    EXPECT_EQ(commands.at(8).line, "AT%N19=,0\r\n");
}

} // namespace
