#include "platform/FileAppend.h"

#include "platform/FileSizeSignal.h"
#include "platform/IniFile.h"

#include <QCryptographicHash>
#include <QDir>
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
    // Where the file's folder takes no note: the user's own note for the file, named by the file's path.
    QByteArray userNote, userDir;
};

// The user's state folder (XDG_STATE_HOME): kept across runs of the program, never shown among the user's files.
QByteArray userNotesDir()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QFile::encodeName(state + QStringLiteral("/mesk-config/append-notes"));
}

// The note lies beside the file a symbolic link points to, so that every name of the file finds the same note.
Names namesOf(const QString& path)
{
    QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty()) {
        // A file not there yet: its folder's real path, so that the user's note is named as the file's will be.
        const QFileInfo given(path);
        const QString dir = QFileInfo(given.absolutePath()).canonicalFilePath();
        real = dir.isEmpty() ? given.absoluteFilePath() : dir + QLatin1Char('/') + given.fileName();
    }
    const QFileInfo info(real);
    const QByteArray dir = QFile::encodeName(info.absolutePath());
    const QByteArray file = QFile::encodeName(info.absoluteFilePath());
    const QByteArray userDir = userNotesDir();
    const QByteArray key = QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex();
    return {file, dir + "/." + QFile::encodeName(info.fileName()) + ".append", dir, userDir + '/' + key + ".append",
            userDir};
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

// Whether a note that could not be opened is none. A user's folder that cannot be looked into (HOME left at another
// user's) never took a note from this user.
bool noneThere(int error, bool userFolder)
{
    return error == ENOENT || (userFolder && (error == EACCES || error == ENOTDIR));
}

// Carries out a note left for the file open (and locked) as fd: a file that still is the one noted and has grown
// past its noted length, but not past the block's end, is cut back to that length. Then the note goes.
bool finishNote(int fd, const QByteArray& noteName, const QByteArray& dir, bool userFolder)
{
    const int nfd = ::open(noteName.constData(), O_RDONLY | O_CLOEXEC);
    if (nfd < 0)
        return noneThere(errno, userFolder);
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
    if (::unlink(noteName.constData()) != 0 && errno != ENOENT)
        return false;
    syncFolder(dir);
    return true;
}

// The note beside the file and the user's own: the folder may have taken notes at one time and not at another.
bool finishNotes(int fd, const Names& names)
{
    const bool beside = finishNote(fd, names.note, names.dir, false);
    return finishNote(fd, names.userNote, names.userDir, true) && beside;
}

// A note that cannot be made whole leaves nothing behind.
bool makeNote(const QByteArray& noteName, const QByteArray& dir, const QByteArray& text, mode_t mode)
{
    const int nfd = ::open(noteName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (nfd < 0)
        return false;
    const bool ok = writeAllAt(nfd, text.constData(), size_t(text.size()), 0) && ::fsync(nfd) == 0;
    ::close(nfd);
    if (ok)
        syncFolder(dir);
    else
        ::unlink(noteName.constData());
    return ok;
}

bool noNote(const QByteArray& noteName, bool userFolder)
{
    return ::access(noteName.constData(), F_OK) != 0 && noneThere(errno, userFolder);
}

} // namespace

bool FinishInterruptedAppend(const QString& path)
{
    const Names names = namesOf(path);
    const int fd = ::open(names.file.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT)
        return noNote(names.note, false) && noNote(names.userNote, true);
    if (fd >= 0)
        (void)::flock(fd, LOCK_EX); // another program's append to the file ends first
    const bool ok = finishNotes(fd, names);
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
        return errno == ENOENT && finishNotes(-1, names) && ReplaceFileWhole(path, block);
    // Two programs appending to one file take turns; a killed one's lock goes with it.
    (void)::flock(fd, LOCK_EX);
    struct stat st;
    if (!finishNotes(fd, names) || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const Note note{qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size), qint64(st.st_size) + block.size()};
    // A folder that takes no note (read-only, the file itself writable) has the note kept in the user's folder.
    const QByteArray* noteName = &names.note;
    const QByteArray* noteDir = &names.dir;
    bool noted = makeNote(names.note, names.dir, note.text(), 0644);
    if (!noted) {
        noteName = &names.userNote;
        noteDir = &names.userDir;
        noted = QDir().mkpath(QFile::decodeName(names.userDir)) &&
                makeNote(names.userNote, names.userDir, note.text(), 0600);
    }
    bool ok = writeAllAt(fd, block.constData(), size_t(block.size()), st.st_size) && ::fsync(fd) == 0;
    if (!ok && ::ftruncate(fd, st.st_size) == 0 && ::fsync(fd) == 0 && noted)
        ::unlink(noteName->constData());
    else if (ok && noted)
        ok = ::unlink(noteName->constData()) == 0;
    if (noted)
        syncFolder(*noteDir);
    ::close(fd);
    return ok;
}
