// IniFile against the disk: what it writes is plain INI that another reader takes as it is; a file it cannot
// read is never overwritten; the Windows-1250 table agrees with Python's codec.
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <linux/capability.h>
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
        QFile f(file_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(original_), original_.size());
    }

    QByteArray fileBytes() const
    {
        QFile f(file_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    // In a child: reads the file, changes it and tries to write it.
    int tryWrite() const
    {
        auto* ini = new IniFile(file_); // never destroyed: the child leaves by _exit
        ini->WriteString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("2"));
        if (ini->UpdateFile())
            return kWritten;
        return ini->lastError() == QStringLiteral("Unable to write to %1").arg(file_) ? kFailedAsExpected : 5;
    }

    QTemporaryDir dir_;
    QString file_ = dir_.filePath(QStringLiteral("settings.ini"));
    QByteArray original_ = "; kept as it is\n[S]\na=1\nb=Příliš\n";
};

TEST_F(IniFileDiskTest, AFileThatCannotBeReadIsNotOverwritten)
{
    // Writing it would replace keys we never saw with only the ones we set. (A full disk or a read-only folder
    // is tried through the gate file writer.)
    const QByteArray path = QFile::encodeName(file_);
    ASSERT_EQ(::chmod(path.constData(), 0200), 0);
    const int code = inChild([&] {
        dropPermissionOverride();
        return ::open(path.constData(), O_RDONLY) >= 0 ? kCannotArrange : tryWrite();
    });
    ::chmod(path.constData(), 0644);
    if (code == kCannotArrange)
        GTEST_SKIP() << "cannot make a file unreadable here";
    EXPECT_EQ(code, kFailedAsExpected);
    EXPECT_EQ(fileBytes(), original_);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("settings.ini")});
}

TEST_F(IniFileDiskTest, WhatItWritesReadsTheSameWithPythonsIniReader)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 not found";
    // Values with the characters a naive writer would escape, split or quote (no edge blanks: those are quoted
    // on purpose, as the Windows profile functions read them).
    const QList<std::array<QString, 3>> entries = {
        {QStringLiteral("Gate"), QStringLiteral("ATI3"), QStringLiteral("Mesk MX GSM-ISDN gateway,(c) x")},
        {QStringLiteral("System parametres"), QStringLiteral("S91"), QStringLiteral("3,1200")},
        {QStringLiteral("System parametres"), QStringLiteral("Text"), QStringLiteral("a=b;c # d")},
        {QStringLiteral("Jazyk"), QStringLiteral("s1"), QStringLiteral("Příliš žluťoučký kůň, árvíztűrő, zażółć")},
        {QStringLiteral("Jazyk"), QStringLiteral("Empty"), QString()},
    };
    {
        IniFile ini(file_);
        ini.EraseSection(QStringLiteral("S"));
        for (const auto& [section, key, value] : entries)
            ini.WriteString(section, key, value);
        ASSERT_TRUE(ini.UpdateFile()) << qPrintable(ini.lastError());
    }
    QProcess py;
    py.start(python, {QStringLiteral("-c"),
                      QStringLiteral("import configparser, sys\n"
                                     "c = configparser.RawConfigParser(strict=True)\n"
                                     "c.optionxform = str\n"
                                     "c.read(sys.argv[1], encoding='utf-8')\n"
                                     "for s in c.sections():\n"
                                     "    for k, v in c.items(s):\n"
                                     "        sys.stdout.buffer.write(('%s\\t%s\\t%s\\n' % (s, k, v)).encode())\n"),
                      file_});
    ASSERT_TRUE(py.waitForFinished(30000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    QStringList expected;
    for (const auto& [section, key, value] : entries)
        expected << section + QLatin1Char('\t') + key + QLatin1Char('\t') + value;
    QStringList got = QString::fromUtf8(py.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(got, expected);
}

TEST_F(IniFileDiskTest, Windows1250BytesDecodeAsPythonsCodecDecodesThem)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 not found";
    QByteArray high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high.append(static_cast<char>(b));
    original_ = "[t]\nall=<" + high + ">\n";
    SetUp();
    // Bytes the code page leaves unassigned stand for the control character of the same number.
    QProcess py;
    py.start(python, {QStringLiteral("-c"),
                      QStringLiteral("import sys; sys.stdout.buffer.write(''.join(bytes([b]).decode('cp1250', "
                                     "errors='ignore') or chr(b) for b in range(0x80, 0x100)).encode('utf-8'))")});
    ASSERT_TRUE(py.waitForFinished(30000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    const QString expected = QString::fromUtf8(py.readAllStandardOutput());
    ASSERT_EQ(expected.size(), 128);
    EXPECT_EQ(IniFile(file_).ReadString(QStringLiteral("t"), QStringLiteral("all"), QString()),
              QLatin1Char('<') + expected + QLatin1Char('>'));
}

} // namespace
