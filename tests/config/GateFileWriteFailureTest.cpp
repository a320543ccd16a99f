// A write that cannot be completed must leave the old file whole and say so. The limits are set in a child
// process so that they cannot spill over into the other tests.
#include "ConfigTestImages.h"
#include "config/GateFile.h"

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

// The exit code of fn run in a child process; -1 when the child died of a signal.
int inChild(const std::function<int()>& fn)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
        _exit(fn());
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -2;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
        signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG instead of ending the process
        return WriteGateFile(fullImage(2), path, gsAll) ? 0 : 1;
    });
    EXPECT_EQ(rc, 1);
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

TEST_F(GateFileWriteFailure, FolderThatDoesNotExist)
{
    EXPECT_FALSE(WriteGateFile(fullImage(2), dir.filePath(QStringLiteral("no/such/gate.ini")), gsAll));
    expectOldFileAlone();
}

} // namespace
