#include "firmware/BootLinkPort.h"
#include "firmware/FirmwareFiles.h"
#include "firmware/UpgradeJob.h"
#include "platform/TelnetClient.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

class LinkPortTest : public ::testing::Test
{
protected:
    // A line is given up after 200 ms. The port log goes into the test's own folder, not beside the program.
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        bootTiming = BootTiming{100, 10};
        bootPortLogPath = dir.filePath(QStringLiteral("log.txt"));
    }
    void TearDown() override
    {
        bootTiming = BootTiming{};
        bootPortLogPath.clear();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(LinkPortTest, LinesAsTheLinkDeliversThem)
{
    CTcp port;
    QByteArray line;
    std::thread unit([&port] {
        port.OnDataAvailable("Boot: Re");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        port.OnDataAvailable("ady\r\nO");
        port.OnDataAvailable(QByteArray("\0K\r\n", 4));
    });
    EXPECT_TRUE(port.ReadLine(line, 510));
    EXPECT_EQ(line, "Boot: Ready\r") << "one line from two pieces, its CR kept";
    EXPECT_TRUE(port.ReadLine(line, 510));
    EXPECT_EQ(line, "OK\r") << "a NUL is never stored";
    unit.join();
    EXPECT_FALSE(port.ReadLine(line, 510)) << "nothing comes";
    EXPECT_EQ(port.lastError(), 0) << "a line given up over the link sets no error";
    EXPECT_EQ(port.received(), QByteArray("Boot: Ready\r\nO\0K\r\n", 18)) << "the buffer only grows";

    port.OnDataAvailable(QByteArray(511, 'x') + "\n");
    EXPECT_FALSE(port.ReadLine(line, 510));
    EXPECT_EQ(port.lastError(), 7);
}

TEST_F(LinkPortTest, AStepsLimitEndsLinesThatKeepComing)
{
    // A boot loader that never says what the step waits for but never falls quiet either.
    CTcp port;
    std::atomic<bool> reading{true};
    std::thread unit([&] {
        for (int i = 0; i < 2000 && reading; ++i) {
            port.OnDataAvailable("In-Flash: busy\r\n");
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    port.limitReads(300);
    QByteArray line;
    int lines = 0;
    while (port.ReadLine(line, 510) && !line.startsWith("Boot: Ready"))
        ++lines;
    const bool stillComing = reading.exchange(false);
    unit.join();
    EXPECT_TRUE(stillComing) << "the read ended by its limit, not by the unit's silence";
    EXPECT_GT(lines, 0);
    port.clearReadLimit();
    port.OnDataAvailable("Boot: Ready\r\n");
    EXPECT_TRUE(port.ReadLine(line, 510)) << "the next step reads again";
}

TEST_F(LinkPortTest, AClosedLinkFailsWritesAtOnceAndTheRunEnds)
{
    TelnetClient link; // never connected
    CTcp port;
    port.Open(&link, PortBoot);
    EXPECT_FALSE(port.WriteLine(":00000001FF"));
    EXPECT_EQ(port.lastError(), 6);

    const QString file = dir.filePath("fw.hex");
    ASSERT_TRUE(fwtest::writeFile(file, ":0100000000FF\r\n:00000001FF\r\n"));
    std::vector<int> states;
    CFWUpgradeTcpThread job;
    ASSERT_TRUE(job.StartUpgrade(
        &link, file, [&states](int state, int) { states.push_back(state); }, PortBoot));
    job.Join();
    EXPECT_EQ(job.GetError(), 7);
    EXPECT_EQ(states, (std::vector<int>{0, 2, 4, 5, 7, 8}));
}

TEST_F(LinkPortTest, TheLinkIsHandedOverOnTheStartingThread)
{
    // The client lives on this thread: the job takes its data handler over in the start, not later on its own
    // thread, so what the link delivers once the start has returned is the port's.
    TelnetClient link;
    QByteArray window;
    link.setDataHandler([&window](const QByteArray& text) { window += text; });
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    CFWUpgradeTcpThread job;
    ASSERT_TRUE(job.StartUpgrade(
        &link, dir.filePath(QStringLiteral("missing.hex")),
        [&](int state, int) {
            std::unique_lock lock(m);
            if (state == 0)
                cv.wait(lock, [&] { return release; });
        },
        PortBoot));
    link.dataHandler()("[ BOOT ]\r\n"); // the job waits in its first report meanwhile
    {
        std::lock_guard lock(m);
        release = true;
    }
    cv.notify_all();
    job.Join();
    EXPECT_EQ(job.linkPort().received(), "[ BOOT ]\r\n");
    EXPECT_TRUE(window.isEmpty());
    EXPECT_EQ(job.GetError(), 2);
}
