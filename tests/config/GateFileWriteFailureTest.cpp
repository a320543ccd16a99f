// A write that cannot be completed must leave the old file whole and say so. The limits are set in a child
// process so that they cannot spill over into the other tests.
#include "ConfigTestImages.h"
#include "config/GateFile.h"
#include "support/ChildProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class GateFileWriteFailure : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Others must be able to reach the folder: the read-only case drops to an unprivileged user.
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        path = dir.filePath(QStringLiteral("gate.ini"));
        ASSERT_TRUE(WriteGateFile(fullImage(1), path, gsAll));
        old = readBytes(path);
        ASSERT_GT(old.size(), 2048);
    }
    void TearDown() override { chmod(QFile::encodeName(dir.path()).constData(), 0755); }

    void expectOldFileAlone()
    {
        EXPECT_EQ(readBytes(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  QStringList{QStringLiteral("gate.ini")});
    }

    QTemporaryDir dir;
    QString path;
    QByteArray old;
};

TEST_F(GateFileWriteFailure, FileSizeLimit)
{
    const int rc = inChild([this] {
        const rlimit limit{1024, 1024};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        // Left at its default, SIGXFSZ would end the program here (rc -1) with the edits unsaved.
        return WriteGateFile(fullImage(2), path, gsAll) ? 0 : 1;
    });
    EXPECT_EQ(rc, 1) << "the write fails and is reported; the program goes on";
    expectOldFileAlone();
}

TEST_F(GateFileWriteFailure, ReadOnlyFolder)
{
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    const int rc = inChild([this] {
        // The superuser writes anywhere; as an ordinary user the folder's permissions hold.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 3;
        return WriteGateFile(fullImage(2), path, gsSystem) ? 0 : 1;
    });
    EXPECT_EQ(rc, 1);
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
    expectOldFileAlone();
}

TEST_F(GateFileWriteFailure, TemporaryFilesOfKilledSavesGoWithTheNextSave)
{
    // A save killed before its rename leaves ".gate.ini.tmp-<pid>-<n>"; one whose writer still runs (here:
    // this process's parent) may be in the middle of its save and stays, and so do other files' temporaries.
    const pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    ASSERT_GT(dead, 0);
    ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
    const QString stale[] = {QStringLiteral(".gate.ini.tmp-%1-0").arg(dead), QStringLiteral(".gate.ini.tmp-%1-7").arg(dead)};
    const QString kept[] = {QStringLiteral(".gate.ini.tmp-%1-0").arg(getppid()),
                            QStringLiteral(".other.ini.tmp-%1-0").arg(dead)};
    for (const QString& name : stale)
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    for (const QString& name : kept)
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteGateFile(fullImage(2), path, gsAll));
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    left.sort();
    QStringList expected = {QStringLiteral("gate.ini"), kept[0], kept[1]};
    expected.sort();
    EXPECT_EQ(left, expected);
}

TEST_F(GateFileWriteFailure, FolderThatDoesNotExist)
{
    EXPECT_FALSE(WriteGateFile(fullImage(2), dir.filePath(QStringLiteral("no/such/gate.ini")), gsAll));
    expectOldFileAlone();
}

} // namespace
