// The serial port's read time-outs across the topics: the terminal reads with 1 ms ones, every other topic
// with the program's normal ones, which the dispatcher puts back.
#include "link/LinkOpen.h"
#include "link/LinkState.h"
#include "platform/ComPort.h"
#include "support/MainWindowFixture.h"
#include "support/PtyPair.h"
#include "ui/TfMain.h"

#include <QTreeWidgetItem>
#include <memory>

namespace {

constexpr CommTimeouts kTerminalWithWrites{1, 1, 1, 5, 250};
constexpr CommTimeouts kNormalWithWrites{70, 70, 160, 5, 250};

bool sameTimeouts(const CommTimeouts& a, const CommTimeouts& b)
{
    return a.readInterval == b.readInterval && a.readTotalMultiplier == b.readTotalMultiplier &&
           a.readTotalConstant == b.readTotalConstant && a.writeTotalMultiplier == b.writeTotalMultiplier &&
           a.writeTotalConstant == b.writeTotalConstant;
}

class PortTimeoutsTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        pair = std::make_unique<PtyPair>();
        ASSERT_TRUE(pair->isReady()) << qPrintable(pair->errorString());
        port = std::make_shared<ComPort>();
        ASSERT_TRUE(port->open(pair->pathA()));
        ASSERT_TRUE(port->setTimeouts(kTerminalWithWrites));
    }
    void TearDown() override
    {
        CurrentConnection.Handle.reset();
        port.reset();
        pair.reset();
        MainWindowFixture::TearDown();
    }

    std::unique_ptr<PtyPair> pair;
    std::shared_ptr<ComPort> port;
};

TEST_F(PortTimeoutsTest, TheNormalReadTimeoutsComeBackAndTheWriteTimeoutsStay)
{
    ConnectionRecord conn;
    EXPECT_FALSE(SetPortTimeouts(&conn)) << "no port: nothing to set";
    EXPECT_FALSE(SetPortTimeouts(nullptr));

    conn.Handle = port;
    EXPECT_TRUE(SetPortTimeouts(&conn));
    EXPECT_TRUE(sameTimeouts(port->timeouts(), kNormalWithWrites));

    port->close();
    port->setTimeouts(kTerminalWithWrites);
    EXPECT_FALSE(SetPortTimeouts(&conn)) << "a closed port has no time-outs to read";
}

TEST_F(PortTimeoutsTest, EveryTopicButTheTerminalReadsWithTheNormalTimeouts)
{
    startUp();
    CurrentConnection.LinkType = LinkSerial;
    CurrentConnection.Handle = port;

    fMain->showTopic(fMain->topicNodeOf(21));
    EXPECT_TRUE(sameTimeouts(port->timeouts(), kTerminalWithWrites)) << "the terminal keeps its own time-outs";

    for (const int topic : {30, 24, 28}) { // a configuration page, an online page, a group node
        ASSERT_TRUE(port->setTimeouts(kTerminalWithWrites));
        fMain->showTopic(fMain->topicNodeOf(topic));
        EXPECT_TRUE(sameTimeouts(port->timeouts(), kNormalWithWrites)) << topic;
    }
}

} // namespace
