#include "support/PtyPair.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

PtyPair::PtyPair(int startTimeoutMs)
{
    if (!dir_.isValid()) {
        error_ = QStringLiteral("Cannot create a temporary folder: %1").arg(dir_.errorString());
        return;
    }
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        error_ = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    log_ = pipeFds[0];

    const QByteArray a = "pty,raw,echo=0,link=" + QFile::encodeName(pathA());
    const QByteArray b = "pty,raw,echo=0,link=" + QFile::encodeName(pathB());
    char* argv[] = {const_cast<char*>("socat"),       const_cast<char*>("-d"),          const_cast<char*>("-d"),
                    const_cast<char*>(a.constData()), const_cast<char*>(b.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    const int rc = ::posix_spawnp(&pid_, "socat", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        pid_ = -1;
        error_ = QStringLiteral("Cannot start socat: %1").arg(QString::fromLocal8Bit(std::strerror(rc)));
        return;
    }

    // socat reports "starting data transfer loop" once both ptys are set up and their links made.
    QByteArray log;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(startTimeoutMs);
    while (!log.contains("starting data transfer loop")) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{log_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) <= 0) {
            error_ = QStringLiteral("socat did not set up the ptys in time: %1").arg(QString::fromLocal8Bit(log));
            unplug();
            return;
        }
        char buf[512];
        const ssize_t n = ::read(log_, buf, sizeof buf);
        if (n <= 0) {
            error_ = QStringLiteral("socat ended: %1").arg(QString::fromLocal8Bit(log));
            unplug();
            return;
        }
        log.append(buf, n);
    }
    if (!QFileInfo::exists(pathA()) || !QFileInfo::exists(pathB())) {
        error_ = QStringLiteral("socat made no links: %1").arg(QString::fromLocal8Bit(log));
        unplug();
        return;
    }
    // Later messages (a handful at most) stay in the pipe unread; it is closed when socat has ended.
    ready_ = true;
}

PtyPair::~PtyPair()
{
    unplug();
}

QString PtyPair::pathA() const
{
    return dir_.filePath(QStringLiteral("a"));
}

QString PtyPair::pathB() const
{
    return dir_.filePath(QStringLiteral("b"));
}

bool PtyPair::isRunning() const
{
    std::lock_guard lock(mutex_);
    return pid_ > 0;
}

void PtyPair::unplug()
{
    std::lock_guard lock(mutex_);
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
    if (log_ >= 0) {
        ::close(log_);
        log_ = -1;
    }
}
