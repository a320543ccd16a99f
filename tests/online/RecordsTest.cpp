// The record downloads, their load-and-delete runs, the gateway clock, the login account and the buffer state
// against the simulated gateway, over telnet and over its serial pty: the exact bytes the gateway got and what
// the pages show.
#include "online/LiveToolFixture.h"

#include "link/CommLog.h"
#include "online/GatewayClock.h"
#include "online/RecordDownloads.h"
#include "platform/Cp1250.h"
#include "platform/Dialogs.h"
#include "platform/FileAppend.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "support/ChildProcess.h"
#include "support/ScriptedDialogs.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(RecordRules, BlankSqueezePageTextOkLineAndEntryLines)
{
    const QByteArray tail(11, 'x');
    struct Squeeze
    {
        QByteArray in, out;
    };
    const Squeeze squeezes[] = {
        {"a" + QByteArray(10, ' ') + "b" + tail, "a  b" + tail},                        // ten become two
        {"a" + QByteArray(9, ' ') + "b" + tail, "a" + QByteArray(9, ' ') + "b" + tail}, // nine stay
        {"a" + QByteArray(25, ' ') + "b" + tail, "a  b" + tail},
        // Blanks among the last 11 characters stay: the run stops short of them.
        {"0123456789ab" + QByteArray(12, ' ') + "\r\nOK\r\n", "0123456789ab" + QByteArray(7, ' ') + "\r\nOK\r\n"},
    };
    for (const Squeeze& s : squeezes)
        EXPECT_EQ(SqueezeCallBlanks(s.in), s.out) << s.in.constData();

    EXPECT_EQ(RecordPageText("rec1\r\nrec2\r\n<SPACE>\r\n"), "rec1\r\nrec2\r");
    EXPECT_EQ(RecordPageText("<SPACE>\r\n"), "");

    struct Ok
    {
        QByteArray block;
        bool ends;
        QByteArray cut;
    };
    const Ok oks[] = {
        {"a\r\nb\r\nOK\r\n", true, "a\r\nb"},
        {"OK\r\n", true, ""},
        {"status OK\r\n", false, {}}, // an "OK" inside a record is no end
        {"a\r\nOK\r\nmore\r\n", false, {}},
    };
    for (const Ok& o : oks) {
        EXPECT_EQ(EndsInOkLine(o.block), o.ends) << o.block.constData();
        if (o.ends) {
            EXPECT_EQ(CutOkLine(o.block), o.cut);
        }
    }
    EXPECT_EQ(RecordEntryLines("a\r\nb\r"), (QList<QByteArray>{"a", "b"}));
    EXPECT_EQ(RecordEntryLines(""), (QList<QByteArray>{""}));
    EXPECT_EQ(RecordEntryLines("[Total]\r\n"), (QList<QByteArray>{"[Total]"}));
}

TEST(RecordRules, ChooserPresetsOnlyAFinalTxt)
{
    EXPECT_EQ(RecordChooserPreset("/home/a.b/Log File.txt"), "/home/a.b/Log File");
    EXPECT_EQ(RecordChooserPreset("/home/a/Log.TXT"), "/home/a/Log.TXT");
    EXPECT_EQ(RecordChooserPreset("/home/a/Log.csv"), "/home/a/Log.csv");
    EXPECT_EQ(RecordChosenName("/home/a.b/calls"), "/home/a.b/calls.txt");
    EXPECT_EQ(RecordChosenName("/home/a/calls.log"), "/home/a/calls.log");
}

// A record save that cannot be written whole adds nothing and is reported. The file-size limit stands in for a
// full disk; past it SIGXFSZ would end the program unless it is ignored from the start (the test program's main
// starts as the program's does).
TEST(RecordRules, ASaveThatCannotBeWrittenWholeLeavesTheFileAsItWas)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("calls.txt"));
    const QByteArray old = "\r\n[Sim : 1.1.26 10:00:00]\r\n\r\nold record\r\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(old), old.size());
    }
    const int rc = inChild([&] {
        const rlimit limit{1024, 1024};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        const QStringList lines(40, QString(60, QLatin1Char('x')));
        return AppendRecordFile(path, QStringLiteral("Sim"), QStringLiteral("2.1.26 10:00:00"), lines) ? 0 : 1;
    });
    EXPECT_EQ(rc, 1) << "the save fails and says so; the program goes on";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("calls.txt")});
}

// A kill while a block is saved leaves the file with whole blocks only, in a folder that takes the append's note and
// in a read-only one (the note is then kept in the user's state folder). Each child saves a large block and is
// killed once the folder has begun to grow (the write under way), or a little later; what it left is undone before
// the file is next saved into, by FinishInterruptedAppend or by that save. A save that runs to its end then adds
// the block exactly, no note is left anywhere, and the file keeps its permissions.
TEST(RecordRules, AKillWhileABlockIsSavedLeavesWholeBlocksOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Others must reach the folders: the read-only row drops to an unprivileged user, who writes the state folder.
    const QString state = dir.filePath(QStringLiteral("state"));
    ASSERT_TRUE(QDir().mkdir(state));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(state).constData(), 0777), 0);
    const QStringList lines(150000,
                            QStringLiteral("Hovor \u010d. 0123456789 +420123456789 00:01:23 ") + QString(40, 'x'));
    QByteArray block = "\r\n[Sim : 2.1.26 10:00:00]\r\n\r\n";
    for (const QString& line : lines)
        block += encodeCp1250(line) + "\r\n";
    const QByteArray old = "\r\n[Sim : 1.1.26 10:00:00]\r\n\r\nold record\r\n";
    const struct
    {
        int afterMs;
        bool nextSaveFinishes; // else FinishInterruptedAppend
    } kills[] = {{0, false}, {0, true}, {1, false}, {5, true}, {20, false}};
    // Returns 0, or 1: a kill left more than whole blocks, 2: a note or another file was left, 3: the last save did
    // not add its block exactly, 4: the file's permissions changed.
    const auto killedSaves = [&](const QString& folder) {
        const QString path = folder + QStringLiteral("/calls.txt");
        const auto save = [&] {
            return AppendRecordFile(path, QStringLiteral("Sim"), QStringLiteral("2.1.26 10:00:00"), lines);
        };
        const auto folderBytes = [&] {
            qint64 bytes = 0;
            for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
                bytes += f.size();
            return bytes;
        };
        const auto fileBytes = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const auto onlyTheFile = [&] {
            return QDir(folder).entryList(QDir::Files | QDir::Hidden) == QStringList{QStringLiteral("calls.txt")} &&
                   !QDirIterator(state, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories).hasNext();
        };
        QByteArray expected = old;
        for (const auto& kill : kills) {
            const qint64 before = folderBytes();
            std::fflush(nullptr);
            const pid_t child = ::fork();
            if (child == 0)
                _exit(save() ? 0 : 1);
            QElapsedTimer waited;
            waited.start();
            while (folderBytes() == before && waited.elapsed() < 60000) {
            }
            ::usleep(useconds_t(kill.afterMs) * 1000);
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            if (!(kill.nextSaveFinishes ? save() : FinishInterruptedAppend(path)))
                return 1;
            const QByteArray now = fileBytes();
            const int blocks = kill.nextSaveFinishes ? 2 : 1;
            if (now != expected + block.repeated(blocks - 1) && now != expected + block.repeated(blocks)) {
                std::fprintf(stderr, "killed %d ms into the save: %lld bytes\n", kill.afterMs, qint64(now.size()));
                return 1;
            }
            expected = now;
            if (!onlyTheFile())
                return 2;
        }
        struct stat st;
        if (!save() || fileBytes() != expected + block || !onlyTheFile())
            return 3;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & 0777) == 0640 ? 0 : 4;
    };
    constexpr int kCannotArrange = 77;
    for (const bool readOnly : {false, true}) {
        const QString folder = dir.filePath(readOnly ? QStringLiteral("ro") : QStringLiteral("rw"));
        const QByteArray file = QFile::encodeName(folder + QStringLiteral("/calls.txt"));
        ASSERT_TRUE(QDir().mkdir(folder));
        {
            QFile out(QString::fromLocal8Bit(file));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            ASSERT_EQ(out.write(old), old.size());
        }
        ASSERT_EQ(::chmod(file.constData(), 0640), 0);
        const int rc = inChild([&] {
            qputenv("XDG_STATE_HOME", QFile::encodeName(state));
            // The superuser writes anywhere; as an ordinary user the folder's permissions hold.
            if (readOnly && (::chmod(QFile::encodeName(folder).constData(), 0555) != 0 ||
                             (::geteuid() == 0 && (::chown(file.constData(), 65534, 65534) != 0 ||
                                                   ::setgid(65534) != 0 || ::setuid(65534) != 0))))
                return kCannotArrange;
            return killedSaves(folder);
        });
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        EXPECT_EQ(rc, 0) << (readOnly ? "read-only folder" : "writable folder");
    }
}

// A block that fits is saved where the whole file could not be written anew: on a nearly full disk (a 2 MB file
// system holding a 1.3 MB file) and in a read-only folder holding a writable file.
TEST(RecordRules, ABlockThatFitsIsSavedOnANearlyFullDiskAndInAReadOnlyFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Others must reach the folders: the read-only row drops to an unprivileged user.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString disk = dir.filePath(QStringLiteral("disk")), readOnly = dir.filePath(QStringLiteral("ro"));
    const QString state = dir.filePath(QStringLiteral("state")); // the user's, where the folder takes no note
    ASSERT_TRUE(QDir().mkdir(disk) && QDir().mkdir(readOnly) && QDir().mkdir(state));
    ASSERT_EQ(::chmod(QFile::encodeName(state).constData(), 0777), 0);
    const QByteArray old(1300 * 1024, 'o');
    const QStringList lines(600, QString(58, QLatin1Char('r'))); // a 36 KB block
    QByteArray block = "\r\n[Sim : 2.1.26 10:00:00]\r\n\r\n";
    for (const QString& line : lines)
        block += encodeCp1250(line) + "\r\n";
    const auto put = [&](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(old) == old.size() &&
               ::chmod(QFile::encodeName(path).constData(), 0666) == 0;
    };
    const auto saved = [&](const QString& path) {
        if (!AppendRecordFile(path, QStringLiteral("Sim"), QStringLiteral("2.1.26 10:00:00"), lines))
            return 1;
        QFile file(path);
        return file.open(QIODevice::ReadOnly) && file.readAll() == old + block ? 0 : 2;
    };
    constexpr int kCannotArrange = 77;
    const int onNearlyFullDisk = inChild([&] {
        // A file system of its own, seen by this child only.
        const QByteArray at = QFile::encodeName(disk);
        if ((::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", at.constData(), "tmpfs", 0, "size=2m") != 0 || !put(disk + QStringLiteral("/calls.txt")))
            return kCannotArrange;
        return saved(disk + QStringLiteral("/calls.txt"));
    });
    const int inReadOnlyFolder = inChild([&] {
        const QString path = readOnly + QStringLiteral("/calls.txt");
        qputenv("XDG_STATE_HOME", QFile::encodeName(state));
        // The superuser writes anywhere; as an ordinary user the folder's permissions hold.
        if (!put(path) || ::chmod(QFile::encodeName(readOnly).constData(), 0555) != 0 ||
            (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)))
            return kCannotArrange;
        return saved(path);
    });
    ::chmod(QFile::encodeName(readOnly).constData(), 0755);
    EXPECT_EQ(inReadOnlyFolder, 0) << "1: refused, 2: the file is not the old one with the block";
    if (onNearlyFullDisk == kCannotArrange)
        GTEST_SKIP() << "cannot mount a small file system here";
    EXPECT_EQ(onNearlyFullDisk, 0);
}

// A save into a 100 MB file takes memory for its block only: the file's content is neither read nor rewritten.
TEST(RecordRules, ASaveIntoALargeFileTakesNoMemoryForTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("calls.txt"));
    constexpr qint64 kFileSize = qint64(100) << 20;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(kFileSize)); // sparse: no room taken on disk
    }
    const QStringList lines(20, QStringLiteral("record"));
    const int rc = inChild([&] {
        // A new process's peak of memory held starts at what it holds.
        const auto peakKb = [] {
            rusage usage{};
            return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0L;
        };
        const long before = peakKb();
        if (!AppendRecordFile(path, QStringLiteral("Sim"), QStringLiteral("2.1.26 10:00:00"), lines))
            return 1;
        return peakKb() - before < 16 * 1024 ? 0 : 2;
    });
    EXPECT_EQ(rc, 0) << "1: refused, 2: the save took memory for the file";
    EXPECT_EQ(QFileInfo(path).size(), kFileSize + QByteArray("\r\n[Sim : 2.1.26 10:00:00]\r\n\r\n").size() + 20 * 8);
}

TEST(ClockRules, CommandsReadBackAndAccountChecks)
{
    // 5 December 2026 is a Saturday.
    const ClockFields pc = PcClockFields(QDateTime(QDate(2026, 12, 5), QTime(9, 5, 7)));
    EXPECT_EQ(pc.date, "05.12.2026");
    EXPECT_EQ(pc.time, "09:05:07");
    EXPECT_EQ(ClockSetCommand(pc.date, pc.dayIndex, pc.time), "AT%S99=05.12.2026.6/09:05:07\r\n");
    // A digit place not typed is never sent as "0".
    EXPECT_TRUE(ClockSetCommand("05.12.____", 6, "09:05:07").isEmpty());
    EXPECT_TRUE(ClockSetCommand("05.12.2026", 6, "09:_5:07").isEmpty());
    EXPECT_EQ(ClockSetCommand("05.01.26", 2, "09:05:07"), "AT%S99=05.01.26.3/09:05:07\r\n");
    for (const QString& bad : {QStringLiteral("05.12.2026x"), QStringLiteral("05.12.20261"), QStringLiteral("5/12/26"),
                               QStringLiteral("05.12.2026.0000000000000000000")})
        EXPECT_TRUE(ClockSetCommand(bad, 0, "09:05:07").isEmpty()) << qPrintable(bad);
    EXPECT_TRUE(ClockSetCommand("05.12.2026", 0, "09:05:07:01").isEmpty());
    EXPECT_TRUE(ClockSetCommand("05.12.2026", 7, "09:05:07").isEmpty());

    ClockFields read;
    ASSERT_TRUE(ParseClockReply("\r\nS91=0,0\r\nS99=5.1.26.3/9:5:7\r\nOK\r\n", read));
    EXPECT_EQ(read.date, "05.01.26");
    EXPECT_EQ(read.time, "09:05:07");
    EXPECT_EQ(read.dayIndex, 2);
    EXPECT_FALSE(ParseClockReply("\r\nS91=0,0\r\nOK\r\n", read));
    EXPECT_FALSE(ParseClockReply("\r\nS99=5.1.26.x/9:5:7\r\nOK\r\n", read));

    // The time is taken as it converts: blanks after "=" and missing seconds are read, a time of day that
    // does not exist leaves the fields to the PC clock.
    // A weekday that converts but names no day (outside 1..7) is read as no day (-1).
    const struct
    {
        const char* value;
        const char* time; // nullptr: not read
        int day = 3;
    } clocks[] = {{" 5.3.26.4/7:08:09", "07:08:09"},     {"5.3.26.4/7:08", "07:08:00"},
                  {"5.3.26.4/ 23:59:59 ", "23:59:59"},   {"5.3.26.4/25:61:99", nullptr},
                  {"5.3.26.4/23:60:00", nullptr},        {"5.3.26.4/7", nullptr},
                  {"5.3.26.8/7:08:09", "07:08:09", -1},  {"5.3.26.0/7:08:09", "07:08:09", -1},
                  {"5.3.26.-2/7:08:09", "07:08:09", -1}, {"5.3.26/7:08:09", nullptr}};
    for (const auto& c : clocks) {
        ClockFields fields;
        const bool taken = ParseClockReply("\r\nS91=0,0\r\nS99=" + QByteArray(c.value) + "\r\nOK\r\n", fields);
        EXPECT_EQ(taken, c.time != nullptr) << c.value;
        if (taken && c.time) {
            EXPECT_EQ(fields.time, QLatin1String(c.time)) << c.value;
            EXPECT_EQ(fields.date, QStringLiteral("05.03.26")) << c.value;
            EXPECT_EQ(fields.dayIndex, c.day) << c.value;
        }
    }

    struct Account
    {
        const char *user, *pass, *again;
        int failure;
    };
    const Account accounts[] = {
        {"", "", "", 64},
        {"ab", "", "x", 65},
        {"ab", "cd", "", 65},
        {"a", "cdefg", "cdefg", 892},
        {"abc", "c", "c", 892},
        {"abc", "cdefg", "cdefh", 893},
        {"abcdefg", "1234567", "1234567", 0},
    };
    for (const Account& a : accounts)
        EXPECT_EQ(LoginAccountCheck(a.user, a.pass, a.again), a.failure) << a.user << '/' << a.pass;
    EXPECT_EQ(LoginAccountCommand("abcdefg", "1234567"), "AT%X80=abcdefg/1234567\r\n");
    EXPECT_EQ(LoginAccountCommand("abcdefg", "1234567").size(), 24);
    // The echo of a password holding "OK" is no "OK" line.
    EXPECT_FALSE(ReplyHasOkLine("AT%X80=usr/OKAY12\r\n\r\nERROR\r\n"));
    EXPECT_TRUE(ReplyHasOkLine("AT%X80=usr/OKAY12\r\n\r\nOK\r\n"));
}

// Notes for each box whether the progress window stood when it came.
class ProgressAtBoxes : public ScriptedDialogs
{
public:
    QList<bool> shown;
    int messageBox(const QString& text, const QString& caption, unsigned flags) override
    {
        shown << progressShown.load();
        return ScriptedDialogs::messageBox(text, caption, flags);
    }
};

class RecordsTest : public LiveToolTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        LiveToolTest::SetUp();
        recordWaits = RecordWaits{};
        recordWaits.logTcpPauseMs = 0; // the bytes are the test's, not the pause
        recordWaits.callPauseMs = 0;
    }
    void TearDown() override
    {
        recordWaits = RecordWaits{};
        LiveToolTest::TearDown();
    }
    void start(bool serial, gatewaysim::Config cfg = {})
    {
        if (serial)
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
        else
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        gateway->clearLog();
        dialogs().clearRecords();
    }
    static QStringList lines(QPlainTextEdit* memo) { return memo->toPlainText().split('\n'); }
    QStringList boxes() { return dialogs().boxTexts(); }
    // What the program sent: the LF that the telnet link adds after each CR set aside.
    QByteArray sent() const
    {
        QByteArray bytes = received();
        return GetParam() ? bytes : bytes.replace("\r\n", "\r");
    }
    int blanksReceived() const { return int(gateway->receivedLines().count(" ")); }
};

TEST_P(RecordsTest, LogOfThreePagesAnswersEachPageOnceAndKeepsEveryRecord)
{
    gatewaysim::Config cfg;
    cfg.pageSize = 20; // a header and 45 records: three pages
    ASSERT_NO_FATAL_FAILURE(start(GetParam(), cfg));
    fMain->sbLogLoadClick();
    EXPECT_EQ(boxes(), QStringList{labelText(61)});
    EXPECT_EQ(blanksReceived(), 2);
    EXPECT_TRUE(sent().startsWith("\r\nAT&L\r")) << sent().constData();
    const QStringList shown = lines(fMain->mLog);
    ASSERT_EQ(shown.size(), 46) << qPrintable(shown.join('|'));
    EXPECT_EQ(shown.first(), "   date     time     event");
    EXPECT_EQ(shown[20], "05.12.26 09:10:20  GSM1  registered") << "the first record of the second page";
    EXPECT_EQ(shown[44], "05.12.26 09:10:44  GSM1  registration OK") << "an OK inside a record is kept";
    EXPECT_EQ(shown[45], "05.12.26 09:10:45  GSM2  registered") << "nothing lost after it";
}

TEST_P(RecordsTest, TheLogsOpeningEmptyLineOwesNothingSoAtLFollowsAtTheLinksReplyBound)
{
    ASSERT_NO_FATAL_FAILURE(start(GetParam()));
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> emptyAt{-1}, logAt{-1};
    QObject context;
    QObject::connect(
        gateway.get(), &gatewaysim::Gateway::lineLogged, &context,
        [&](int, const QByteArray& raw) {
            if (raw.startsWith("AT&L"))
                logAt.store(clock.elapsed());
            else if (emptyAt < 0)
                emptyAt.store(clock.elapsed());
        },
        Qt::DirectConnection);
    fMain->sbLogLoadClick();
    EXPECT_EQ(boxes(), QStringList{labelText(61)});
    ASSERT_GE(emptyAt.load(), 0);
    ASSERT_GE(logAt.load(), 0);
    // The empty line is answered by nothing: AT&L goes out once its read has waited the link's own bound, not a
    // second later for an owed reply that never comes.
    EXPECT_LT(logAt - emptyAt, CommandFirstByteMs() + 500);
}

TEST_P(RecordsTest, CallDataSqueezesBlanksAndAnEmptyLastPageEndsWithACr)
{
    gatewaysim::Config cfg;
    cfg.pageSize = 2; // a header and three records, then the empty page
    ASSERT_NO_FATAL_FAILURE(start(GetParam(), cfg));
    fMain->sbCallLoadClick();
    EXPECT_EQ(boxes(), QStringList{labelText(61)});
    EXPECT_EQ(blanksReceived(), 2) << "two full pages; the empty page is not answered";
    EXPECT_EQ(sent(), "AT&C\r  \r") << "the empty page gets one CR";
    const QStringList shown = lines(fMain->mCall);
    ASSERT_GE(shown.size(), 4) << qPrintable(shown.join('|'));
    EXPECT_EQ(shown[0], "   date     time     type  cause   from/to groups  conn. durat.  aoc-info  gid");
    EXPECT_EQ(shown[1], "05.12.26 09:00:01 out   16  777123456  1  00:00:05  00:01:10  0  1") << "ten blanks: two";
    EXPECT_EQ(shown[2], "05.12.26 09:10:02 in    16" + QString(9, ' ') + "777654321  2  00:00:03  00:00:40  0  1");
}

TEST_P(RecordsTest, CallLoadAndDeleteAcknowledgesEachPieceAndKeepsErrorRecords)
{
    ASSERT_NO_FATAL_FAILURE(start(GetParam()));
    fMain->sbCallLoadDeleteClick();
    EXPECT_EQ(boxes(), QStringList{labelText(61)});
    EXPECT_EQ(sent(), "AT&CR\r###\r\n") << "a # per piece, the last # brings the lone #";
    const QStringList shown = lines(fMain->mCall);
    ASSERT_EQ(shown.size(), 5) << qPrintable(shown.join('|'));
    EXPECT_EQ(shown[1], QString(78, '-'));
    EXPECT_TRUE(shown[2].startsWith("05.12.26 09:00:01 out   16" + QString(10, ' '))) << "no echo, no squeeze";
    EXPECT_TRUE(shown[4].contains("ERROR")) << "a record holding ERROR is shown, not deleted unseen";

    // The records are gone: a second run shows the header and the rule only.
    gateway->clearLog();
    dialogs().clearRecords();
    fMain->sbCallLoadDeleteClick();
    EXPECT_EQ(lines(fMain->mCall).size(), 2);
    EXPECT_EQ(boxes(), QStringList{labelText(61)});
}

// Records in Windows-1250 as the gateway keeps them: letters above 0x7F, a no-break space (0xA0) and a byte the
// code page leaves unassigned (0x81).
QList<QByteArray> eightBitRecords()
{
    return {
        encodeCp1250(QStringLiteral("05.12.26 09:00:01 out   16  777123456  1  00:00:05  Příliš žluťoučký kůň")),
        "05.12.26 09:10:02 in    16  777654321  2  00:00:03\xA0\x81" + encodeCp1250(QStringLiteral("Łódź")),
        encodeCp1250(QStringLiteral("05.12.26 09:20:03 out   17  777000111  1  00:00:00  Győr ERROR")),
    };
}

// The gateway's line pauses within a record (every 10 bytes, 120 ms apart: a piece often comes just as a read
// takes the text): a "#" goes out only for a record that has come whole, the run ends only after the last
// record, and the memo and the file hold each record's bytes.
TEST_P(RecordsTest, CallLoadAndDeleteInPiecesAcknowledgesWholeRecordsAndKeepsTheirBytes)
{
    gatewaysim::Config cfg;
    cfg.callRecords = eightBitRecords();
    cfg.faults.chunkSize = 10;
    cfg.faults.chunkDelayMs = 120;
    ASSERT_NO_FATAL_FAILURE(start(GetParam(), cfg));
    fMain->sbCallLoadDeleteClick();
    EXPECT_EQ(boxes(), QStringList{labelText(61)});
    EXPECT_EQ(sent(), "AT&CR\r###\r\n") << "one # per record";
    QStringList shown;
    for (QTextBlock b = fMain->mCall->document()->begin(); b.isValid(); b = b.next())
        shown.append(b.text());
    ASSERT_EQ(shown.size(), 5) << qPrintable(shown.join('|'));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(shown[i + 2], decodeCp1250(cfg.callRecords[i])) << i;

    const QString path = programFile(QStringLiteral("calls.txt"));
    fMain->edCallFile->setText(path);
    fMain->sbCallSaveClick();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    const QByteArray records = cfg.callRecords.join("\r\n") + "\r\n";
    EXPECT_TRUE(saved.endsWith("-\r\n" + records)) << saved.toHex(' ').constData();
}

// A run that fails sends no further "#" and says so: the gateway refusing the command after its echo, the link
// going after the first record was deleted.
TEST_P(RecordsTest, CallLoadAndDeleteFailuresShowTheFailureAndDeleteNoMore)
{
    struct Case
    {
        const char* name;
        bool echo;
        QList<QByteArray> errorOn;
        int dropAfterDeletes;
        QByteArray sent;
        int shown;
    };
    const Case cases[] = {
        {"ERROR after the echo", true, {"AT&CR"}, 0, "AT&CR\r\r\n", 2},
        {"link gone after one delete", false, {}, 1, "AT&CR\r#", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A serial line stays when the gateway drops its session: it starts over at its login, silent.
        if (GetParam() && c.dropAfterDeletes)
            continue;
        gatewaysim::Config cfg;
        cfg.echo = c.echo;
        cfg.faults.errorOn = c.errorOn;
        cfg.faults.dropAfterDeletes = c.dropAfterDeletes;
        ASSERT_NO_FATAL_FAILURE(start(GetParam(), cfg));
        fMain->sbCallLoadDeleteClick();
        EXPECT_EQ(boxes(), QStringList{labelText(56)});
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(lines(fMain->mCall).size(), c.shown) << qPrintable(fMain->mCall->toPlainText());
        TearDown();
        SetUp();
    }
}

// The gateway pauses after its echo for longer than one read. Within the idle limit the records still come
// and are deleted; past it the run ends as one without records, and no "#" deletes any.
TEST_P(RecordsTest, CallLoadAndDeleteWaitsForTheFirstRecordAfterTheEcho)
{
    struct Case
    {
        const char* name;
        int idleSeconds;
        int pauseMs;
        QByteArray sent;
        int shown;
    };
    const Case cases[] = {
        {"pause within the idle limit", 5, 2500, "AT&CR\r##\r\n", 4},
        {"pause past the idle limit", 1, 6000, "AT&CR\r\r\n", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gatewaysim::Config cfg;
        cfg.callRecords = {"05.12.26 09:00:01 out", "05.12.26 09:10:02 in"};
        ASSERT_NO_FATAL_FAILURE(start(GetParam(), cfg));
        recordWaits.idleSeconds = c.idleSeconds;
        gatewaysim::Faults f;
        f.replyDelayMs = c.pauseMs; // between the echo and the first record
        gateway->setFaults(f);
        fMain->sbCallLoadDeleteClick();
        EXPECT_EQ(boxes(), QStringList{labelText(61)});
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(lines(fMain->mCall).size(), c.shown) << qPrintable(fMain->mCall->toPlainText());

        TearDown();
        SetUp();
    }
}

// A page that takes longer than the idle limit to come in whole is no silence.
TEST_P(RecordsTest, CallDataOnASlowLineEndsInTime)
{
    gatewaysim::Config cfg;
    cfg.pageSize = 20; // the header and three records in one page of about 320 bytes: over 3 s to come
    cfg.faults.chunkSize = 20;
    cfg.faults.chunkDelayMs = 200;
    ASSERT_NO_FATAL_FAILURE(start(GetParam(), cfg));
    recordWaits.idleSeconds = 1;
    fMain->sbCallLoadClick();
    EXPECT_EQ(boxes(), QStringList{labelText(61)});
    const QStringList shown = lines(fMain->mCall);
    ASSERT_EQ(shown.size(), 5) << qPrintable(shown.join('|'));
    EXPECT_EQ(shown[4], "OK");
}

TEST_P(RecordsTest, StatisticsLoadAndDeleteSendsTheFiveResetsInOrder)
{
    ASSERT_NO_FATAL_FAILURE(start(GetParam()));
    fMain->sbStatLoadDeleteClick();
    EXPECT_EQ(boxes(), QStringList{labelText(61)});
    QByteArray resets;
    for (const char* r : kStatisticsResets)
        resets += r;
    EXPECT_EQ(sent(), "AT&T\rAT&TMOD\r" + resets);
    const QString shown = fMain->mStatistic->toPlainText();
    EXPECT_TRUE(shown.startsWith("[" + labelText(489) + "]\n\nnetwork")) << shown.toUtf8().toHex(' ').constData();
    EXPECT_TRUE(shown.contains("status     OK\n[" + labelText(490) + "]\n\nmodule")) << qPrintable(shown);
    EXPECT_TRUE(shown.contains("GSM        " + QString("%1").arg(152, 7))) << "the counters as they were";

    gateway->clearLog();
    dialogs().clearRecords();
    fMain->sbStatLoadClick();
    EXPECT_TRUE(fMain->mStatistic->toPlainText().contains("GSM        " + QString("%1").arg(0, 7)));
}

TEST_P(RecordsTest, StatisticsResetsStopAtTheFirstOneAnsweredError)
{
    for (int refused : {1, 4}) {
        SCOPED_TRACE(refused);
        ASSERT_NO_FATAL_FAILURE(start(GetParam()));
        gatewaysim::Faults f;
        f.errorOn = {QByteArray(kStatisticsResets[refused]).chopped(2)};
        gateway->setFaults(f);
        fMain->sbStatLoadDeleteClick();
        EXPECT_EQ(boxes(), QStringList{labelText(56)});
        QByteArray resets;
        for (int i = 0; i <= refused; ++i)
            resets += kStatisticsResets[i];
        EXPECT_EQ(sent(), "AT&T\rAT&TMOD\r" + resets) << "nothing after the refused reset";
        TearDown();
        SetUp();
    }
}

// On a slow serial line a reset's "\r\nOK\r\n" comes in two reads; the reset is still confirmed and the next
// one sent. The resets are run alone: the statistics in pieces that small would take half a minute.
TEST_F(RecordsTest, StatisticsResetsReadTheirRepliesAcrossReads)
{
    ASSERT_NO_FATAL_FAILURE(start(true));
    gatewaysim::Faults f;
    f.chunkSize = 4;
    f.chunkDelayMs = 350;
    gateway->setFaults(f);
    const RecordOutcome outcome = RunStatisticsResets();
    EXPECT_EQ(outcome.text, 61);
    EXPECT_FALSE(outcome.error);
    EXPECT_EQ(gateway->receivedLines().size(), 5) << received().constData();
}

TEST_P(RecordsTest, NoResetAfterASectionThatRanIntoTheIdleLimit)
{
    ASSERT_NO_FATAL_FAILURE(start(GetParam()));
    gatewaysim::Faults f;
    f.noOk = true;
    gateway->setFaults(f);
    recordWaits.idleSeconds = 0;
    fMain->sbStatLoadDeleteClick();
    EXPECT_EQ(boxes(), QStringList{labelText(62)});
    EXPECT_EQ(sent(), "AT&T\rAT&TMOD\r") << "no reset was sent";
}

TEST_P(RecordsTest, SavingTwiceAppendsTwoHeadersWithCrLfLines)
{
    ASSERT_NO_FATAL_FAILURE(start(GetParam()));
    const QString path = programFile(QStringLiteral("calls.txt"));
    fMain->edCallFile->setText(path);
    fMain->sbCallSaveClick();
    EXPECT_FALSE(QFile::exists(path)) << "an empty memo touches no file";
    fMain->mCall->setPlainText(QStringLiteral("one\ntwo"));
    fMain->sbCallSaveClick();
    fMain->sbCallSaveClick();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    static const QRegularExpression shape(
        QStringLiteral("^(\\r\\n\\[Sim : [^\\r\\n\\]]+\\]\\r\\n\\r\\none\\r\\ntwo\\r\\n){2}$"));
    EXPECT_TRUE(shape.match(QString::fromLatin1(bytes)).hasMatch()) << bytes.toHex(' ').constData();
    EXPECT_EQ(boxes(), (QStringList{labelText(75), labelText(75)}));
}

TEST_P(RecordsTest, TheClockReadsBackAndSavesAsItShows)
{
    ASSERT_NO_FATAL_FAILURE(start(GetParam()));
    // A long view: the S99 line far beyond 256 bytes.
    ASSERT_TRUE(gateway->setValue("S98", "abc"));
    ASSERT_TRUE(gateway->setValue("S99", "5.1.26.3/9:5:7"));
    fMain->selectTopic(18);
    fMain->cbSynDateTime->setChecked(false);
    EXPECT_TRUE(fMain->eDate->isEnabled());
    EXPECT_EQ(fMain->eDate->text(), "05.01.26");
    EXPECT_EQ(fMain->eTime->text(), "09:05:07");
    EXPECT_EQ(fMain->cbDay->currentIndex(), 2);
    gateway->clearLog();
    fMain->sbDateTimeSaveClick();
    EXPECT_EQ(sent(), "AT%S99=05.01.26.3/09:05:07\r\n");
    EXPECT_EQ(gateway->value("S99"), "05.01.26.3/09:05:07");
    EXPECT_EQ(boxes().last(), labelText(66));
    IniFile settings(programFile(QStringLiteral("settings.ini")));
    EXPECT_EQ(settings.ReadString("main", "SynchronizeTimeWithPc", ""), "0");
}

// A weekday outside 1..7 that converts: the date and time as the gateway sent them and no day, so Save refuses
// it (text 56) as any clock without a day. A half-typed date or time is refused (text 204) with its field marked
// until it is whole again; nothing goes out for either.
TEST_P(RecordsTest, TheClockSendsNoDayItLacksAndNoHalfTypedField)
{
    ASSERT_NO_FATAL_FAILURE(start(GetParam()));
    fMain->selectTopic(18);
    for (const QByteArray weekday : {"8", "0"}) {
        ASSERT_TRUE(gateway->setValue("S99", "5.1.26." + weekday + "/9:5:7"));
        fMain->cbSynDateTime->setChecked(true);
        fMain->cbSynDateTime->setChecked(false);
        EXPECT_EQ(fMain->eDate->text(), "05.01.26") << weekday.constData();
        EXPECT_EQ(fMain->eTime->text(), "09:05:07") << weekday.constData();
        EXPECT_EQ(fMain->cbDay->currentIndex(), -1) << weekday.constData();
        gateway->clearLog();
        dialogs().clearRecords();
        fMain->sbDateTimeSaveClick();
        EXPECT_EQ(boxes(), QStringList{labelText(56)}) << weekday.constData();
        EXPECT_EQ(sent(), "") << weekday.constData();
    }

    auto marked = [](const QLineEdit* edit) { return edit->palette().color(QPalette::Base) == QColor(Qt::red); };
    fMain->cbDay->setCurrentIndex(5);
    const struct
    {
        const char *date, *time;
        bool dateHalf, timeHalf;
    } halves[] = {{"05.12.2026", "09:_5:07", false, true},
                  {"05.12.2026", "12:34:0_", false, true},
                  {"05.12.____", "12:34:00", true, false},
                  {"0_.12.2026", "__:__:__", true, true}};
    for (const auto& h : halves) {
        fMain->eDate->setText(QString::fromLatin1(h.date));
        fMain->eTime->setText(QString::fromLatin1(h.time));
        gateway->clearLog();
        dialogs().clearRecords();
        fMain->sbDateTimeSaveClick();
        EXPECT_EQ(boxes(), QStringList{labelText(204)}) << h.date << ' ' << h.time;
        EXPECT_EQ(sent(), "") << h.date << ' ' << h.time;
        EXPECT_EQ(marked(fMain->eDate), h.dateHalf) << h.date;
        EXPECT_EQ(marked(fMain->eTime), h.timeHalf) << h.time;
    }
    fMain->eDate->setText(QStringLiteral("05.12.2026"));
    EXPECT_FALSE(marked(fMain->eDate)) << "whole again";
    EXPECT_TRUE(marked(fMain->eTime));
    fMain->eTime->setText(QStringLiteral("09:05:07"));
    EXPECT_FALSE(marked(fMain->eTime));
    fMain->sbDateTimeSaveClick();
    EXPECT_EQ(sent(), "AT%S99=05.12.2026.6/09:05:07\r\n");
    EXPECT_EQ(boxes().last(), labelText(66));
}

// The failure box of the clock's read comes while the progress window stands; the window closes after it.
TEST_P(RecordsTest, AFailedClockReadShowsItsBoxBeforeTheProgressWindowCloses)
{
    ASSERT_NO_FATAL_FAILURE(start(GetParam()));
    gatewaysim::Faults f;
    f.errorOn = {"AT&V"};
    gateway->setFaults(f);
    ProgressAtBoxes answers;
    fMain->selectTopic(18);
    fMain->cbSynDateTime->setChecked(false);
    EXPECT_EQ(answers.boxTexts(), QStringList{labelText(56)});
    EXPECT_EQ(answers.shown, QList<bool>{true});
    EXPECT_FALSE(progressShown.load());
}

TEST_P(RecordsTest, BufferTopicShowsTheFiveValuesOrTheErrorBox)
{
    ASSERT_NO_FATAL_FAILURE(start(GetParam()));
    fMain->selectTopic(494);
    EXPECT_EQ(sent(), "at\r\nAT!Q\r\n");
    EXPECT_EQ(fMain->lbBuffer1->text(), "48211");
    EXPECT_EQ(fMain->lbBuffer2->text(), "37 ms");
    EXPECT_EQ(fMain->lbBuffer5->text(), "3");
    EXPECT_TRUE(boxes().isEmpty());

    fMain->selectTopic(505);
    gatewaysim::Faults f;
    f.noOk = true;
    gateway->setFaults(f);
    fMain->selectTopic(494);
    EXPECT_EQ(boxes(), QStringList{labelText(56)});
}

INSTANTIATE_TEST_SUITE_P(Links, RecordsTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Serial" : "Telnet"; });

// A paged download and the delete handshake over the modem line, where every read has its fixed wait.
TEST_F(LiveToolTest, RecordsDownloadOverTheModemLine)
{
    recordWaits = RecordWaits{};
    gatewaysim::Config cfg;
    cfg.pageSize = 20;
    ASSERT_NO_FATAL_FAILURE(startListedModemGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    gateway->clearLog();
    dialogs().clearRecords();

    fMain->sbLogLoadClick();
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(61)});
    EXPECT_EQ(gateway->receivedLines().count(" "), 2);
    const QStringList log = fMain->mLog->toPlainText().split('\n');
    ASSERT_EQ(log.size(), 46) << qPrintable(log.join('|'));
    EXPECT_EQ(log[45], "05.12.26 09:10:45  GSM2  registered");

    dialogs().clearRecords();
    fMain->sbCallLoadDeleteClick();
    EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(61)});
    EXPECT_EQ(fMain->mCall->toPlainText().split('\n').size(), 5);
    EXPECT_TRUE(received().endsWith("###\r\n")) << received().constData();
}

// On a slow line the closing "OK" line comes split over two reads, its last piece as short as one character:
// each download still ends at it, on every link, with every line shown once. Serial and telnet get a piece every
// 350 ms; the modem line's replies each wait 1.5 s first, so their pieces come further apart to fall into reads of
// their own. The call data record's length, or for the LOG and the statistics (whose text is the gateway's) the
// piece size, puts the wanted part of "OK\r\n" into the last piece; the LOG's page markers stay whole. Each call
// data row has a gateway of its own with its record; a LOG or statistics row goes on with the link of the row
// before when it is the same.
TEST_F(LiveToolTest, DownloadsEndAtAnOkLineSplitOverReads)
{
    enum Link { Telnet, Serial, Modem };
    enum Download { Calls, Log, Statistics };
    struct Case
    {
        const char* name;
        Download download;
        Link link;
        int pieceSize, pauseMs;
        int lastPiece;    // call data: bytes of "OK\r\n" in the last piece
        int lines;        // of the memo
        const char* last; // its last line
    };
    const char* const lastRecord = "05.12.26 09:10:45  GSM2  registered";
    const char* const lastModule = "GSM4            34    104      0";
    const Case cases[] = {{"call data, serial, K CR LF", Calls, Serial, 16, 350, 3, 3, "OK"},
                          {"call data, telnet, K CR LF", Calls, Telnet, 16, 350, 3, 3, "OK"},
                          {"LOG, telnet, LF", Log, Telnet, 230, 350, 0, 46, lastRecord},
                          {"call data, serial, LF", Calls, Serial, 16, 350, 1, 3, "OK"},
                          {"LOG, serial, K CR LF", Log, Serial, 228, 350, 0, 46, lastRecord},
                          {"statistics, serial, total section, LF", Statistics, Serial, 124, 350, 0, 13, lastModule},
                          {"statistics, serial, modules, K CR LF", Statistics, Serial, 35, 350, 0, 13, lastModule},
                          {"call data, modem, LF", Calls, Modem, 64, 2000, 1, 3, "OK"},
                          {"LOG, modem, LF", Log, Modem, 230, 350, 0, 46, lastRecord},
                          {"statistics, modem, modules, LF", Statistics, Modem, 177, 2000, 0, 13, lastModule}};
    const Case* previous = nullptr;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.download == Calls || !previous || previous->link != c.link) {
            if (previous) {
                TearDown();
                SetUp();
            }
            // The call data reply: CR LF, the header line and its CR LF, the record and its CR LF, "OK\r\n".
            QByteArray record = "05.12.26 09:00:01 out   16  777123456  1  00:00:05  00:01:10  0  1";
            while ((2 + 80 + record.size() + 2 + 4) % c.pieceSize != c.lastPiece)
                record.chop(1);
            gatewaysim::Config cfg;
            cfg.pageSize = 20;
            cfg.callRecords = {record};
            if (c.link == Telnet)
                ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
            else if (c.link == Serial)
                ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
            else
                ASSERT_NO_FATAL_FAILURE(startListedModemGateway(cfg));
            ASSERT_NO_FATAL_FAILURE(connectNow());
        }
        previous = &c;
        recordWaits = RecordWaits{};
        recordWaits.callPauseMs = 0;
        recordWaits.logTcpPauseMs = 0;
        gatewaysim::Faults f;
        f.chunkSize = c.pieceSize;
        f.chunkDelayMs = c.pauseMs;
        gateway->setFaults(f);
        dialogs().clearRecords();
        QPlainTextEdit* memo = c.download == Calls ? fMain->mCall : c.download == Log ? fMain->mLog : fMain->mStatistic;
        if (c.download == Calls)
            fMain->sbCallLoadClick();
        else if (c.download == Log)
            fMain->sbLogLoadClick();
        else
            fMain->sbStatLoadClick();
        EXPECT_EQ(dialogs().boxTexts(), QStringList{labelText(61)}) << qPrintable(dialogs().boxTexts().join('|'));
        const QStringList shown = memo->toPlainText().split('\n');
        EXPECT_EQ(shown.size(), c.lines) << qPrintable(shown.join('|'));
        EXPECT_EQ(shown.last(), QString::fromLatin1(c.last));
    }
    recordWaits = RecordWaits{};
}

// On a slow serial line a marker comes split over two reads: a LOG page's ("<SPAC" and "E>\r\n"), the call data's
// header ("\r\n   " and "date ..." in pieces of 5), or a page marker comes apart from its page's text (the call data's
// first page in pieces of 79: the marker alone in the last). Each page is answered once, the header's line is the
// memo's first and the download goes on to its end.
TEST_F(RecordsTest, DownloadsFindTheirMarkersSplitOverReads)
{
    struct Case
    {
        const char* name;
        bool log;
        int pageSize, pieceSize;
        QList<QByteArray> records; // the call data's, when not the gateway's own
        int blanks, lines;
    };
    const Case cases[] = {{"LOG page marker", true, 20, 246, {}, 2, 46},
                          {"call data page marker", false, 2, 79, {}, 2, 5},
                          {"call data header", false, 20, 5, {"05.12.26 09:00:01 out"}, 0, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gatewaysim::Config cfg;
        cfg.pageSize = c.pageSize;
        cfg.callRecords = c.records;
        ASSERT_NO_FATAL_FAILURE(start(true, cfg));
        gatewaysim::Faults f;
        f.chunkSize = c.pieceSize;
        f.chunkDelayMs = 350;
        gateway->setFaults(f);
        c.log ? fMain->sbLogLoadClick() : fMain->sbCallLoadClick();
        EXPECT_EQ(boxes(), QStringList{labelText(61)});
        EXPECT_EQ(blanksReceived(), c.blanks);
        const QStringList shown = lines(c.log ? fMain->mLog : fMain->mCall);
        EXPECT_EQ(shown.size(), c.lines) << qPrintable(shown.join('|'));
        EXPECT_TRUE(shown.first().startsWith("   date")) << qPrintable(shown.first());
        TearDown();
        SetUp();
    }
}

// A slow serial line cuts the gateway's text anywhere: a line pauses after its first one or two characters (a
// header split by a short piece, a lone "05" of a record, the "<S" of a page marker), or fixed pieces end a page
// just before its marker's line end or between that CR and LF. Each download, with the program's own pauses,
// answers every page once and shows the lines it shows when every page comes in one read.
TEST_F(RecordsTest, DownloadsShowTheSameLinesWhereverTheLineCutsTheText)
{
    enum Download { Calls, Log, Statistics };
    struct Case
    {
        const char* name;
        Download download;
        int headBytes, headLines; // the fault "line head"
        int pieceSize, pauseMs;
    };
    // Call data in pages of two: the last page is an empty one.
    const QList<QByteArray> records{"05.12.26 09:00:01 out   16  777123456  1  00:00:05",
                                    "05.12.26 09:10:02 in    16  777654321  2  00:00:03",
                                    "05.12.26 09:20:03 out   17  777000111  1  00:00:00"};
    // The first call data page up to and with its marker: CR LF, the header line, the first record.
    const int callPageToMarker = 2 + int(qstrlen(kCallColumnHeader)) + 2 + int(records[0].size()) + 2 + 7;
    const Case cases[] = {
        // The call data download pauses 200 ms before each read, which waits 230 ms for a byte: pieces 500 ms
        // apart each come in a read of their own.
        {"call data, each line pausing after two characters", Calls, 2, 0, 0, 500},
        {"call data, a page cut before its marker's line end", Calls, 0, 0, callPageToMarker, 500},
        {"LOG, the header split after one character", Log, 1, 2, 0, 350},
        // The LOG's first page has 742 bytes: pieces of 370 end after its marker, of 247 after the marker's CR.
        {"LOG, a page cut before its marker's line end", Log, 0, 0, 370, 250},
        {"LOG, a page cut within its marker's line end", Log, 0, 0, 247, 250},
        {"statistics, both headers split after two characters", Statistics, 2, 2, 0, 350},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The call data rows share a gateway with pages of two, the others one with pages of 20.
        if (&c == cases || (c.download == Calls) != ((&c - 1)->download == Calls)) {
            if (&c != cases) {
                TearDown();
                SetUp();
            }
            gatewaysim::Config cfg;
            cfg.pageSize = c.download == Calls ? 2 : 20;
            cfg.callRecords = records;
            ASSERT_NO_FATAL_FAILURE(start(true, cfg));
        }
        recordWaits = RecordWaits{};
        QPlainTextEdit* memo = c.download == Calls ? fMain->mCall : c.download == Log ? fMain->mLog : fMain->mStatistic;
        auto download = [&] {
            gateway->clearLog();
            dialogs().clearRecords();
            c.download == Calls ? fMain->sbCallLoadClick()
            : c.download == Log ? fMain->sbLogLoadClick()
                                : fMain->sbStatLoadClick();
            EXPECT_EQ(boxes(), QStringList{labelText(61)});
            return memo->toPlainText();
        };
        const QString whole = download();
        const int answers = blanksReceived();
        gatewaysim::Faults f;
        f.lineHeadBytes = c.headBytes;
        f.lineHeadLines = c.headLines;
        f.lineHeadPauseMs = c.pauseMs;
        f.chunkSize = c.pieceSize;
        f.chunkDelayMs = c.pauseMs;
        gateway->setFaults(f);
        EXPECT_EQ(download(), whole);
        EXPECT_EQ(blanksReceived(), answers);
        gateway->setFaults({});
    }
}

// A run that breaks off (a reset answered ERROR, the gateway refusing "AT&CR") says so while the progress window
// stands, which closes once the box has been answered; a run that comes to its end shows its closing message
// after the window has closed.
TEST_F(RecordsTest, ABrokenOffRunSaysSoOverTheProgressWindow)
{
    struct Case
    {
        const char* name;
        QByteArray refused;
        void (RecordsPage::*click)();
        int text;
        bool overProgress;
    };
    const Case cases[] = {
        {"statistics reset answered ERROR", QByteArray(kStatisticsResets[0]).chopped(2),
         &RecordsPage::sbStatLoadDeleteClick, 56, true},
        {"call data load and delete refused", "AT&CR", &RecordsPage::sbCallLoadDeleteClick, 56, true},
        {"LOG to its end", {}, &RecordsPage::sbLogLoadClick, 61, false},
    };
    ASSERT_NO_FATAL_FAILURE(start(true));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gatewaysim::Faults f;
        if (!c.refused.isEmpty())
            f.errorOn = {c.refused};
        gateway->setFaults(f);
        ProgressAtBoxes answers;
        (fMain->*c.click)();
        EXPECT_EQ(answers.boxTexts(), QStringList{labelText(c.text)});
        EXPECT_EQ(answers.shown, QList<bool>{c.overProgress});
        EXPECT_FALSE(progressShown.load());
    }
}

class LoginAccountTest : public RecordsTest
{
};

TEST_F(LoginAccountTest, OnTheSerialLinkAnEchoedOkInThePasswordIsNoSuccess)
{
    gatewaysim::Config cfg;
    cfg.echo = true; // the gateway's own echo of the command line
    ASSERT_NO_FATAL_FAILURE(start(true, cfg));
    fMain->eLoginUser->setText("usr");
    fMain->eLoginPass->setText("OKAY12");
    fMain->eLoginPassVer->setText("OKAY12");
    fMain->sbLoginSaveClick();
    EXPECT_EQ(boxes(), QStringList{labelText(66)});
    EXPECT_EQ(received(), "AT%X80=usr/OKAY12\r\n");

    gatewaysim::Faults f;
    f.errorToAll = true;
    gateway->setFaults(f);
    gateway->clearLog();
    dialogs().clearRecords();
    fMain->sbLoginSaveClick();
    EXPECT_EQ(boxes(), QStringList{labelText(56)});
    EXPECT_EQ(fMain->eLoginPass->text(), "OKAY12") << "the fields stay";

    // The fields take letters and digits only, seven at most.
    fMain->eLoginUser->clear();
    QTest::keyClicks(fMain->eLoginUser, QStringLiteral("a-b c#defghij"));
    EXPECT_EQ(fMain->eLoginUser->text(), "abcdefg");
}

TEST_F(LoginAccountTest, NeitherTheAccountNorItsReplyReachTheCommunicationLog)
{
    ASSERT_NO_FATAL_FAILURE(startGateway({}));
    const QString pty = gateway->startSerialPty();
    ASSERT_FALSE(pty.isEmpty());
    listSim({});
    startProgram("commtype=1\ngateway=Sim\nSaveLog=1\nComport=" + pty.toLocal8Bit() + "\n");
    ASSERT_NO_FATAL_FAILURE(connectNow());
    const QString log = commLogPath();
    ASSERT_FALSE(log.isEmpty());
    fMain->eLoginUser->setText("usr");
    fMain->eLoginPass->setText("Secret7");
    fMain->eLoginPassVer->setText("Secret7");
    fMain->sbLoginSaveClick();
    dialogs().answerBox(IDYES);
    fMain->sbLoginDisableClick();
    EXPECT_EQ(boxes(), (QStringList{labelText(66), labelText(791), labelText(66)}));
    EXPECT_TRUE(received().contains("AT%X80=usr/Secret7\r\n"));
    EXPECT_TRUE(received().contains("AT%X80=/\r"));

    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray logged = file.readAll();
    EXPECT_TRUE(logged.contains("AT&M0")) << "the connection's own commands are logged";
    for (const char* secret : {"Secret7", "X80", "usr/"})
        EXPECT_FALSE(logged.contains(secret)) << secret;
}

TEST_F(LoginAccountTest, OnTelnetBothButtonsSay63AndSendNothing)
{
    ASSERT_NO_FATAL_FAILURE(start(false));
    fMain->selectTopic(17);
    EXPECT_FALSE(fMain->sbLoginSave->isEnabled());
    EXPECT_TRUE(fMain->sbLoginDisable->isEnabled());
    fMain->sbLoginSaveClick();
    dialogs().answerBox(IDYES);
    fMain->sbLoginDisableClick();
    EXPECT_EQ(boxes(), (QStringList{labelText(63), labelText(791), labelText(63)}));
    EXPECT_TRUE(received().isEmpty());
}

TEST_F(LoginAccountTest, OnAModemLineBothButtonsTalkOnTheCallsPort)
{
    gatewaysim::Config cfg;
    cfg.modemGuardMs = 500;
    ASSERT_NO_FATAL_FAILURE(startListedModemGateway(cfg));
    ASSERT_NO_FATAL_FAILURE(connectNow());
    fMain->selectTopic(17);
    EXPECT_TRUE(fMain->sbLoginSave->isEnabled());
    fMain->eLoginUser->setText("usr");
    fMain->eLoginPass->setText("Secret7");
    fMain->eLoginPassVer->setText("Secret7");
    gateway->clearLog();
    fMain->sbLoginSaveClick();
    dialogs().answerBox(IDYES);
    fMain->sbLoginDisableClick();
    EXPECT_EQ(boxes(), (QStringList{labelText(66), labelText(791), labelText(66)}));
    EXPECT_EQ(gateway->receivedLines(), (QList<QByteArray>{"AT%X80=usr/Secret7\r\n", "AT%X80=/\r"}));
}

} // namespace
