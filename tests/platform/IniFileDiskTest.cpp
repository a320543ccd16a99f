// IniFile against the disk: failed writes leave the old file alone, and what we write is plain INI that
// another reader (Python's configparser) reads the same way.
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kCannotArrange = 77; // the child could not make the situation the test needs
constexpr int kFailedAsExpected = 0;
constexpr int kWritten = 10;

// Runs body in a forked child and returns its exit code. The child leaves by _exit, so nothing of the
// parent's state is torn down twice.
int inChild(const std::function<int()>& body)
{
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Root passes permission checks by capability; without these two it obeys the permission bits like anybody.
void dropPermissionOverride()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return;
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        data[cap / 32].effective &= ~(1u << (cap % 32));
    (void)::syscall(SYS_capset, &header, data);
}

class IniFileDiskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        file_ = dir_.filePath(QStringLiteral("settings.ini"));
        original_ = "; kept as it is\n[S]\na=1\nb=Příliš\n";
        QFile f(file_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(original_), original_.size());
    }

    QByteArray fileBytes() const
    {
        QFile f(file_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    QStringList dirEntries() const
    {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // In a child: reads the file, changes it and tries to write it.
    int tryWrite(int keys) const
    {
        auto* ini = new IniFile(file_); // never destroyed: the child leaves by _exit
        for (int i = 0; i < keys; ++i)
            ini->WriteString(QStringLiteral("Big"), QStringLiteral("k%1").arg(i), QString(100, QLatin1Char('x')));
        ini->WriteString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("2"));
        if (ini->UpdateFile())
            return kWritten;
        return ini->lastError() == QStringLiteral("Unable to write to %1").arg(file_) ? kFailedAsExpected : 5;
    }

    QTemporaryDir dir_;
    QString file_;
    QByteArray original_;
};

TEST_F(IniFileDiskTest, AWriteIntoAReadOnlyFolderFailsAndKeepsTheOldFile)
{
    const QByteArray dir = QFile::encodeName(dir_.path());
    ASSERT_EQ(::chmod(dir.constData(), 0555), 0);
    const int code = inChild([&] {
        dropPermissionOverride();
        const int probe = ::open((dir + "/probe").constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (probe >= 0)
            return kCannotArrange;
        if (IniFile(file_).ReadString(QStringLiteral("S"), QStringLiteral("a"), QString()) != QStringLiteral("1"))
            return 3; // the failure must come from the write, not from an unreadable file
        return tryWrite(1);
    });
    ::chmod(dir.constData(), 0755);
    if (code == kCannotArrange)
        GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_EQ(code, kFailedAsExpected);
    EXPECT_EQ(fileBytes(), original_);
    EXPECT_EQ(dirEntries(), QStringList{QStringLiteral("settings.ini")});
}

TEST_F(IniFileDiskTest, AFileSizeLimitIsNoticedAndKeepsTheOldFile)
{
    struct Case
    {
        rlim_t limit;
        int keys;
        bool fits;
    } cases[] = {
        {4096, 200, false},   // about 22 KB against 4 KB: the write runs into the limit
        {4096, 0, true},      // the same limit with a small file: proves the limit is the cause above
        {1 << 20, 200, true}, // a roomy limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.limit << ", keys " << c.keys);
        SetUp();
        const int code = inChild([&] {
            std::signal(SIGXFSZ, SIG_IGN); // otherwise the limit kills instead of failing the write
            const rlimit lim{c.limit, c.limit};
            if (::setrlimit(RLIMIT_FSIZE, &lim) != 0)
                return kCannotArrange;
            return tryWrite(c.keys);
        });
        EXPECT_EQ(code, c.fits ? kWritten : kFailedAsExpected);
        if (!c.fits)
            EXPECT_EQ(fileBytes(), original_);
        else
            EXPECT_NE(fileBytes(), original_);
        EXPECT_EQ(dirEntries(), QStringList{QStringLiteral("settings.ini")}) << "no temporary file is left behind";
    }
}

TEST_F(IniFileDiskTest, AFileThatCannotBeReadIsNotOverwritten)
{
    // Writing it would replace keys we never saw with only the ones we set.
    const QByteArray path = QFile::encodeName(file_);
    ASSERT_EQ(::chmod(path.constData(), 0200), 0);
    const int code = inChild([&] {
        dropPermissionOverride();
        const int probe = ::open(path.constData(), O_RDONLY);
        if (probe >= 0)
            return kCannotArrange;
        return tryWrite(0);
    });
    ::chmod(path.constData(), 0644);
    if (code == kCannotArrange)
        GTEST_SKIP() << "cannot make a file unreadable here";
    EXPECT_EQ(code, kFailedAsExpected);
    EXPECT_EQ(fileBytes(), original_);
}

TEST_F(IniFileDiskTest, PythonsConfigParserReadsWhatWeWrite)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 not found";

    struct Entry
    {
        QString section, key, value;
    };
    const QList<Entry> entries{
        {"Main", "Language", "cz"},
        {"Main", "LastGateway", "Brno; sklad = 2"},
        {"Main", "Empty", ""},
        {"Gateways", "G1", "192.168.1.10,23,admin,heslo#1"},
        {"Gateways", "g2", "COM1,9600,\"quoted\""},
        {"Gateways", "Path", "C:\\Program Files\\Mesk\\gate.ini"},
        {"Čeština", "Název", "Příliš žluťoučký kůň úpěl ďábelské ódy"},
        {"Magyar", "Szöveg", "Árvíztűrő tükörfúrógép"},
        {"Polski", "Tekst", "Zażółć gęślą jaźń"},
        {"Main", "Percent", "100% % %(name)s"},
        {"Main", "Padded", "  kept by quotes  "},
        {"Gateways", "Brackets", "[x] = [y]"},
    };
    {
        IniFile ini(file_);
        for (const Entry& e : entries)
            ini.WriteString(e.section, e.key, e.value);
        ASSERT_TRUE(ini.UpdateFile()) << ini.lastError().toStdString();
    }

    const char* script = R"(
import configparser, json, sys
p = configparser.RawConfigParser()
p.optionxform = str
with open(sys.argv[1], encoding='utf-8') as f:
    p.read_file(f)
json.dump([[s, [[k, v] for k, v in p.items(s)]] for s in p.sections()], sys.stdout, ensure_ascii=False)
)";
    QProcess py;
    py.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), file_});
    ASSERT_TRUE(py.waitForFinished(30000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    const QJsonArray sections = QJsonDocument::fromJson(py.readAllStandardOutput()).array();

    IniFile ini(file_);
    const QStringList ours = ini.ReadSections();
    ASSERT_EQ(sections.size(), ours.size());
    int compared = 0;
    for (qsizetype i = 0; i < ours.size(); ++i) {
        const QJsonArray section = sections[i].toArray();
        ASSERT_EQ(section[0].toString(), ours[i]);
        const QJsonArray keys = section[1].toArray();
        const QStringList ourKeys = ini.ReadSection(ours[i]);
        ASSERT_EQ(keys.size(), ourKeys.size()) << ours[i].toStdString();
        for (qsizetype k = 0; k < ourKeys.size(); ++k) {
            const QJsonArray kv = keys[k].toArray();
            EXPECT_EQ(kv[0].toString(), ourKeys[k]);
            const QString value = ini.ReadString(ours[i], ourKeys[k], QString());
            // Blanks at either end and enclosing quotes are written inside quotes, which only we remove.
            const bool encoded = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace() ||
                                                      (value.startsWith('"') && value.endsWith('"')));
            if (!encoded) {
                EXPECT_EQ(kv[1].toString(), value) << ourKeys[k].toStdString();
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, entries.size() - 1 + 2) << "all but the padded value, and the two keys the file had";
}

TEST_F(IniFileDiskTest, Windows1250BytesDecodeAsPythonsCodecDecodesThem)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 not found";
    QByteArray high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high.append(static_cast<char>(b));
    {
        QFile f(file_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[t]\nall=<" + high + ">\n");
    }
    // Bytes the code page leaves unassigned stand for the control character of the same number.
    const char* script = R"(
import sys
out = ''.join(bytes([b]).decode('cp1250', errors='ignore') or chr(b) for b in range(0x80, 0x100))
sys.stdout.buffer.write(out.encode('utf-8'))
)";
    QProcess py;
    py.start(python, {QStringLiteral("-c"), QString::fromUtf8(script)});
    ASSERT_TRUE(py.waitForFinished(30000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    const QString expected = QString::fromUtf8(py.readAllStandardOutput());
    ASSERT_EQ(expected.size(), 128);
    const QString ours = IniFile(file_).ReadString(QStringLiteral("t"), QStringLiteral("all"), QString());
    ASSERT_EQ(ours.size(), 130);
    for (int i = 0; i < 128; ++i)
        EXPECT_EQ(ours[i + 1].unicode(), expected[i].unicode()) << "byte 0x" << std::hex << (0x80 + i);
}

} // namespace
