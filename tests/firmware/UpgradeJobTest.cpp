// The serial upgrade job against the simulated gateway's boot loader on a pty, with the prescribed waits
// shortened (bootTiming).
#include "firmware/UpgradeJob.h"
#include "firmware/FirmwareFiles.h"
#include "gatewaysim/Gateway.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

using Reports = std::vector<std::pair<int, int>>;

// The reports of one job, as its thread makes them.
class Recorder
{
public:
    UpgradeCallback callback()
    {
        return [this](int state, int percent) {
            std::lock_guard lock(mutex_);
            reports_.emplace_back(state, percent);
            done_.notify_all();
        };
    }
    bool waitForEnd(int ms = 60000)
    {
        std::unique_lock lock(mutex_);
        return done_.wait_for(lock, std::chrono::milliseconds(ms),
                              [this] { return !reports_.empty() && reports_.back().first == 8; });
    }
    Reports reports() const
    {
        std::lock_guard lock(mutex_);
        return reports_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable done_;
    Reports reports_;
};

// The states in order, a run of state-4 reports counted once.
std::vector<int> states(const Reports& reports)
{
    std::vector<int> out;
    for (const auto& r : reports)
        if (out.empty() || r.first != 4 || out.back() != 4)
            out.push_back(r.first);
    return out;
}

const QByteArray kEof(":00000001FF");
const QList<QByteArray> kThree{":0400000001020304F2", ":04000400A0B0C0D018", ":0200080055AAF7"};

class UpgradeJobTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        bootPortLogPath = dir.filePath("log.txt");
        bootTiming = BootTiming{100, 20};
        cfg.bootVersion = QStringLiteral("02.62");
        cfg.faults.bootAtMode = true;
        cfg.firmwareImagePath = dir.filePath("received.hex");
    }
    void TearDown() override
    {
        bootTiming = BootTiming{};
        bootPortLogPath.clear();
    }
    QString startGateway()
    {
        gateway = std::make_unique<gatewaysim::Gateway>(cfg);
        return gateway->startSerialPty();
    }
    // Runs a serial job to its end; the reports it made.
    Reports run(const QString& file)
    {
        Recorder rec;
        const QString port = startGateway();
        EXPECT_FALSE(port.isEmpty());
        CFWUpgradeThread job;
        EXPECT_TRUE(job.StartUpgrade(port, file, rec.callback()));
        EXPECT_TRUE(rec.waitForEnd());
        job.Join();
        result = job.GetError();
        detail = job.GetErrorDetail();
        return rec.reports();
    }
    QString file(const char* name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(fwtest::writeFile(path, content));
        return path;
    }
    // What the boot loader received after the erase: one entry per record, in order.
    QList<QByteArray> records() const
    {
        QList<QByteArray> out;
        for (const QByteArray& line : gateway->receivedLines())
            if (line.startsWith(':'))
                out.append(line);
        return out;
    }
    bool erased() const
    {
        for (const QByteArray& line : gateway->receivedLines())
            if (line.startsWith("at!K2RM"))
                return true;
        return false;
    }

    QTemporaryDir dir;
    gatewaysim::Config cfg;
    std::unique_ptr<gatewaysim::Gateway> gateway;
    int result = -1;
    QString detail;
};

QByteArray threeAndEof()
{
    return kThree[0] + "\r\n" + kThree[1] + "\r\n" + kThree[2] + "\r\n" + kEof + "\r\n";
}

} // namespace

TEST_F(UpgradeJobTest, ABatchAndItsVerdictThenTheEndRecordAlone)
{
    // A blank line and a comment before the records are dropped, not refused.
    const Reports rec = run(file("three.hex", "\r\n; three records\r\n" + threeAndEof()));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(states(rec), (std::vector<int>{0, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(records(), kThree + QList<QByteArray>({":00000005FB", kEof}));
    EXPECT_TRUE(fwtest::readFile(bootPortLogPath).contains("Port mode: BOOT...\r\n"));
}

TEST_F(UpgradeJobTest, VerdictsOtherThanTakenRepeatWhatTheyConcern)
{
    const QByteArray ctrl(":00000005FB");
    const QList<QByteArray> batch = kThree + QList<QByteArray>{ctrl};
    const struct
    {
        int repeat;
        int refuse;
        QList<QByteArray> expected;
        int result;
        std::vector<int> states;
    } cases[] = {
        // 'R' on the control record: only the control record goes again.
        {1, 0, kThree + QList<QByteArray>{ctrl, ctrl, kEof}, 0, {0, 2, 3, 4, 5, 6, 7, 8}},
        // A fourth 'R' fails the try: the whole batch goes again.
        {4,
         0,
         kThree + QList<QByteArray>{ctrl, ctrl, ctrl, ctrl} + batch + QList<QByteArray>{kEof},
         0,
         {0, 2, 3, 4, 5, 6, 7, 8}},
        // Five refused tries end the upload.
        {0, 5, batch + batch + batch + batch + batch, 7, {0, 2, 3, 4, 5, 7, 8}},
    };
    for (const auto& c : cases) {
        cfg.faults.bootRepeat = c.repeat;
        cfg.faults.bootRefuse = c.refuse;
        const Reports reports = run(file("three.hex", threeAndEof()));
        EXPECT_EQ(result, c.result) << c.repeat << "/" << c.refuse;
        EXPECT_EQ(states(reports), c.states) << c.repeat << "/" << c.refuse;
        EXPECT_EQ(records(), c.expected) << c.repeat << "/" << c.refuse;
        gateway.reset();
    }
}

TEST_F(UpgradeJobTest, FilesFromCommonToolsArriveWhole)
{
    const QString bin = dir.filePath("image.bin");
    const QString fromObjcopy = dir.filePath("objcopy.hex");
    ASSERT_TRUE(fwtest::objcopyHex(bin, fromObjcopy, 70000, true)) << "beyond 64 KiB, CR LF line ends";
    const QString fromSrecCat = dir.filePath("srec_cat.hex");
    ASSERT_TRUE(fwtest::run("srec_cat", {bin, "-binary", "-offset", "0x20000", "-o", fromSrecCat, "-intel",
                                         "-execution-start-address=0x20000"}))
        << "32-byte records, an extended linear address and a start address (type 05, count 4)";
    for (const QString& source : {fromObjcopy, fromSrecCat}) {
        QFile::remove(cfg.firmwareImagePath);
        run(source);
        EXPECT_EQ(result, 0) << source.toStdString();
        QString detail;
        EXPECT_TRUE(fwtest::sameImage(source, cfg.firmwareImagePath, &detail))
            << source.toStdString() << ": " << detail.toStdString();
        gateway.reset();
    }
}

TEST_F(UpgradeJobTest, ABadFileIsRefusedBeforeTheEraseWithItsLine)
{
    // A real image, cut at a line boundary before its end-of-file record.
    ASSERT_TRUE(fwtest::objcopyHex(dir.filePath("image.bin"), dir.filePath("whole.hex"), 4096, true));
    const QByteArray whole = fwtest::readFile(dir.filePath("whole.hex"));
    const QByteArray cut = whole.left(whole.indexOf(":00000001FF"));
    const int cutLines = int(cut.count('\n'));
    const QByteArray good(":0100000000FF\n");
    const QByteArray longRecord = ":FF000000" + QByteArray(510, 'A') + "00";
    const struct
    {
        const char* name;
        QByteArray content;
        int line;
    } cases[] = {
        {"empty.hex", "", 0},
        {"checksum.hex", good + ":0100000000FE\n" + kEof, 2},
        {"digits.hex", good + ":01000000ZZ00\n" + kEof, 2},
        {"long.hex", good + longRecord + "\n" + kEof, 2},
        {"cut.hex", cut, cutLines},
        {"after-end.hex", kThree[0] + "\n" + kEof + "\n" + kThree[1] + "\n", 3},
        {"indented.hex", kThree[0] + "\n  " + kThree[1] + "\n" + kEof + "\n", 2},
        {"bom.hex", "\xEF\xBB\xBF" + kThree[0] + "\n" + kEof + "\n", 1},
        {"comment.hex", good + QByteArray(509, '#') + ":0400000001020304\n" + kEof + "\n", 2},
    };
    for (const auto& c : cases) {
        const Reports reports = run(file(c.name, c.content));
        EXPECT_EQ(result, 2) << c.name;
        EXPECT_EQ(states(reports), (std::vector<int>{0, 2, 7, 8})) << c.name;
        EXPECT_FALSE(erased()) << c.name;
        EXPECT_TRUE(records().isEmpty()) << c.name;
        const QString named = c.line > 0 ? QStringLiteral("%1:%2: ").arg(c.name).arg(c.line) : QStringLiteral("%1: ").arg(c.name);
        EXPECT_TRUE(detail.contains(named)) << c.name << ": " << detail.toStdString();
        gateway.reset();
    }
}

TEST_F(UpgradeJobTest, TheProbesDecideWhetherToErase)
{
    // Another maker's boot loader: the AT probe fails, so does the BOOT probe; nothing is erased.
    cfg.faults.bootForeignBanner = true;
    Reports reports = run(file("three.hex", threeAndEof()));
    EXPECT_EQ(result, 6);
    EXPECT_EQ(states(reports), (std::vector<int>{0, 1, 7, 8}));
    EXPECT_FALSE(erased());
    gateway.reset();

    // A unit already in its boot loader is found by the BOOT probe and is not erased again.
    cfg.faults = gatewaysim::Faults{};
    cfg.faults.bootMode = true;
    reports = run(file("three.hex", threeAndEof()));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(states(reports), (std::vector<int>{0, 1, 2, 4, 5, 6, 7, 8}));
    EXPECT_FALSE(erased());
    EXPECT_EQ(records(), QList<QByteArray>{":00000012EE"} + kThree + QList<QByteArray>({":00000005FB", kEof}));
}

TEST_F(UpgradeJobTest, PercentagesRiseOnceEach)
{
    QByteArray content;
    for (int i = 0; i < 249; ++i)
        content += ":0100000000FF\n";
    const Reports reports = run(file("lines.hex", content + kEof + "\n"));
    ASSERT_EQ(result, 0);
    std::vector<int> percents;
    for (const auto& r : reports)
        if (r.first == 4)
            percents.push_back(r.second);
    ASSERT_GE(percents.size(), 2u);
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    for (size_t i = 1; i < percents.size(); ++i)
        EXPECT_GT(percents[i], percents[i - 1]) << "a percent is reported once, when it changes";
}

TEST_F(UpgradeJobTest, StartsThatAreRefusedReportNothing)
{
    const QString three = file("three.hex", threeAndEof());
    for (const QString& name : {QStringLiteral("COM0"), QStringLiteral("COM33"), QStringLiteral("LPT1"), QString()}) {
        CFWUpgradeThread job;
        bool called = false;
        EXPECT_FALSE(job.StartUpgrade(name, three, [&called](int, int) { called = true; })) << name.toStdString();
        EXPECT_EQ(job.GetError(), 1);
        EXPECT_FALSE(called);
    }
    CFWUpgradeThread numbered;
    EXPECT_FALSE(numbered.StartUpgrade(33, three, nullptr));
    EXPECT_EQ(numbered.GetError(), 1);

    // A second start while the first runs: result 3, and the first goes on to its end.
    Recorder rec;
    CFWUpgradeThread job;
    ASSERT_TRUE(job.StartUpgrade(startGateway(), three, rec.callback()));
    EXPECT_FALSE(job.StartUpgrade(QStringLiteral("COM1"), three, rec.callback()));
    EXPECT_EQ(job.GetError(), 3);
    ASSERT_TRUE(rec.waitForEnd());
    job.Join();
    EXPECT_EQ(job.GetError(), 0);
    EXPECT_EQ(states(rec.reports()), (std::vector<int>{0, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(UpgradeJobTest, AnUnrulyMonitorOrASilentLoader)
{
    const struct
    {
        void (*fault)(gatewaysim::Faults&);
        int result;
        bool erased;
        const char* why;
    } cases[] = {
        {[](gatewaysim::Faults& f) { f.bootUnsolicited = true; }, 0, true, "a line inside the echo is read past"},
        {[](gatewaysim::Faults& f) { f.bootWrongEcho = true; }, 6, false, "a wrong echo fails the AT probe"},
        {[](gatewaysim::Faults& f) { f.bootSilent = true; }, 7, true, "no verdict: five tries, then the end"},
    };
    for (const auto& c : cases) {
        cfg.faults = gatewaysim::Faults{};
        cfg.faults.bootAtMode = true;
        c.fault(cfg.faults);
        run(file("three.hex", threeAndEof()));
        EXPECT_EQ(result, c.result) << c.why;
        EXPECT_EQ(erased(), c.erased) << c.why;
        if (cfg.faults.bootUnsolicited)
            EXPECT_TRUE(fwtest::readFile(bootPortLogPath).contains("<*RING\r\n>")) << c.why;
        gateway.reset();
    }
}

// Stop or erase is decided once, right before the erase command's first byte: a stop up to then leaves the unit
// as it was (however the command's echo read ends), one after it never makes the job write the erase again.
TEST_F(UpgradeJobTest, AStopAroundTheEraseWritesItAtMostOnce)
{
    const struct
    {
        int moment;
        int erases;
    } cases[] = {{3, 0}, {MomentBeforeErase, 0}, {MomentAfterErase, 1}};
    const QString three = file("three.hex", threeAndEof());
    for (const auto& c : cases) {
        Recorder rec;
        CFWUpgradeThread job;
        bool held = false;
        upgradeMomentHook = [&](int moment) {
            if (moment == c.moment && !held) {
                held = true;
                job.Stop();
            }
        };
        ASSERT_TRUE(job.StartUpgrade(startGateway(), three, rec.callback()));
        ASSERT_TRUE(rec.waitForEnd());
        job.Join();
        upgradeMomentHook = nullptr;
        EXPECT_TRUE(held) << c.moment;
        if (c.erases == 0) { // as a stop before state 3: the file closed, the port closed, the end
            EXPECT_EQ(job.GetError(), 5) << c.moment;
            EXPECT_EQ(states(rec.reports()), (std::vector<int>{0, 2, 3, 5, 7, 8})) << c.moment;
        }
        const QList<QByteArray> lines = gateway->receivedLines();
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const QByteArray& l) { return l.contains("K2RM"); }),
                  c.erases)
            << c.moment;
        EXPECT_TRUE(records().isEmpty()) << c.moment;
        gateway.reset();
    }
}
