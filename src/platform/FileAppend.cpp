#include "platform/FileAppend.h"

#include "platform/FileSizeSignal.h"
#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Names
{
    QByteArray file, note, dir;
};

// The note lies beside the file a symbolic link points to, so that every name of the file finds the same note.
Names namesOf(const QString& path)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    const QFileInfo info(real.isEmpty() ? path : real);
    const QByteArray dir = QFile::encodeName(info.absolutePath());
    return {QFile::encodeName(info.filePath()), dir + "/." + QFile::encodeName(info.fileName()) + ".append", dir};
}

// The note's text: the file's device and inode, its length before the block and with it.
struct Note
{
    qint64 dev = 0, ino = 0, before = 0, after = 0;

    QByteArray text() const
    {
        return QByteArray::number(dev) + ' ' + QByteArray::number(ino) + ' ' + QByteArray::number(before) + ' ' +
               QByteArray::number(after) + '\n';
    }
    // A note cut short was killed while it was written, before any byte of its block: it holds nothing to undo.
    static bool parse(const QByteArray& text, Note& note)
    {
        const QList<QByteArray> f = text.trimmed().split(' ');
        bool ok[4] = {};
        if (!text.endsWith('\n') || f.size() != 4)
            return false;
        note = {f[0].toLongLong(&ok[0]), f[1].toLongLong(&ok[1]), f[2].toLongLong(&ok[2]), f[3].toLongLong(&ok[3])};
        return ok[0] && ok[1] && ok[2] && ok[3];
    }
};

bool writeAllAt(int fd, const char* data, size_t size, off_t at)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // a full disk or the file-size limit (ENOSPC, EDQUOT, EFBIG)
        data += n;
        size -= size_t(n);
        at += n;
    }
    return true;
}

// Some file systems refuse fsync on a folder; what was done in it stands anyway.
void syncFolder(const QByteArray& dir)
{
    const int dfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
}

// Carries out a note left beside the file open (and locked) as fd: a file that still is the one noted and has
// grown past its noted length, but not past the block's end, is cut back to that length. Then the note goes.
bool finishNote(int fd, const Names& names)
{
    const int nfd = ::open(names.note.constData(), O_RDONLY | O_CLOEXEC);
    if (nfd < 0)
        return errno == ENOENT;
    char buf[128];
    const ssize_t n = ::read(nfd, buf, sizeof buf);
    ::close(nfd);
    if (n < 0)
        return false;
    Note note;
    struct stat st;
    if (Note::parse(QByteArray(buf, n), note) && fd >= 0 && ::fstat(fd, &st) == 0 && qint64(st.st_dev) == note.dev &&
        qint64(st.st_ino) == note.ino && st.st_size > note.before && st.st_size <= note.after) {
        if (::ftruncate(fd, off_t(note.before)) != 0 || ::fsync(fd) != 0)
            return false;
    }
    // A note that stayed would cut a later block that was saved whole.
    if (::unlink(names.note.constData()) != 0 && errno != ENOENT)
        return false;
    syncFolder(names.dir);
    return true;
}

} // namespace

bool FinishInterruptedAppend(const QString& path)
{
    const Names names = namesOf(path);
    const int fd = ::open(names.file.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT)
        return ::access(names.note.constData(), F_OK) != 0 && errno == ENOENT;
    if (fd >= 0)
        (void)::flock(fd, LOCK_EX); // another program's append to the file ends first
    const bool ok = finishNote(fd, names);
    if (fd >= 0)
        ::close(fd);
    return ok;
}

bool AppendFileWhole(const QString& path, const QByteArray& block)
{
    IgnoreFileSizeSignal(); // main() has done so already; a user of this function without it gets it here
    const Names names = namesOf(path);
    const int fd = ::open(names.file.constData(), O_WRONLY | O_CLOEXEC);
    // A note whose file is gone goes first: a new file under the name could get the old one's inode number.
    if (fd < 0)
        return errno == ENOENT && finishNote(-1, names) && ReplaceFileWhole(path, block);
    // Two programs appending to one file take turns; a killed one's lock goes with it.
    (void)::flock(fd, LOCK_EX);
    struct stat st;
    if (!finishNote(fd, names) || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const Note note{qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size), qint64(st.st_size) + block.size()};
    const QByteArray noteText = note.text();
    const int nfd = ::open(names.note.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    bool noted = nfd >= 0;
    if (noted) {
        noted = writeAllAt(nfd, noteText.constData(), size_t(noteText.size()), 0) && ::fsync(nfd) == 0;
        ::close(nfd);
        if (noted)
            syncFolder(names.dir);
        else
            ::unlink(names.note.constData());
    }
    bool ok = writeAllAt(fd, block.constData(), size_t(block.size()), st.st_size) && ::fsync(fd) == 0;
    if (!ok && ::ftruncate(fd, st.st_size) == 0 && ::fsync(fd) == 0 && noted)
        ::unlink(names.note.constData());
    else if (ok && noted)
        ok = ::unlink(names.note.constData()) == 0;
    if (noted)
        syncFolder(names.dir);
    ::close(fd);
    return ok;
}
