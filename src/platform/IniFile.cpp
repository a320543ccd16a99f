#include "platform/IniFile.h"

#include "platform/Cp1250.h"
#include "platform/FileSizeSignal.h"

#include <QChar>
#include <QFileInfo>
#include <QtDebug>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The Debian header keeps the template bodies behind SI_IMPLEMENTATION; we instantiate our own variant.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

// How the file and the memory image relate:
//  - The text is parsed by SimpleIni into an ordered store (sections and keys keep their load order, new ones go
//    to the end). Section and key names compare by Unicode case folding, as the old platform compared them.
//  - The store holds values exactly as they stand in the file (UTF-8, enclosing quotes included); ReadString
//    removes one pair of enclosing double quotes and WriteString adds them when the value needs them.
//  - Every change is also kept in a list. Before a read and before writing, the file's identity (inode, size,
//    modification time) is checked; when somebody else replaced the file meanwhile, it is read again and our
//    changes are applied on top. So two IniFile objects on the same file never undo each other's writes, just as
//    two writers through the old profile functions did not.
//  - UpdateFile() writes the whole text into a temporary file beside the target, syncs it and renames it over the
//    target; any failure leaves the target as it was.

namespace {

// ---- names -------------------------------------------------------------------------------------------------

char32_t nextCodePoint(const unsigned char*& p)
{
    const unsigned c = *p++;
    if (c < 0xC0)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    char32_t cp = c & (0x3F >> extra);
    for (; extra > 0 && (*p & 0xC0) == 0x80; --extra)
        cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

char32_t folded(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(c);
}

struct FoldedLess
{
    bool operator()(const char* a, const char* b) const
    {
        auto pa = reinterpret_cast<const unsigned char*>(a);
        auto pb = reinterpret_cast<const unsigned char*>(b);
        while (*pa && *pb) {
            const char32_t ca = folded(nextCodePoint(pa));
            const char32_t cb = folded(nextCodePoint(pb));
            if (ca != cb)
                return ca < cb;
        }
        return *pa == 0 && *pb != 0;
    }
};

using Store = CSimpleIniTempl<char, FoldedLess, SI_ConvertA<char>>;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString withoutLineBreaks(QString s)
{
    // A line break would end the line in the file and turn the rest into a new key or section.
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

// Names are stored the way the parser would read them back: without surrounding blanks.
QByteArray nameBytes(const QString& name)
{
    QString s = withoutLineBreaks(name);
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b).toUtf8();
}

// ---- values ------------------------------------------------------------------------------------------------

QByteArray encodeValue(const QString& value)
{
    const QString s = withoutLineBreaks(value);
    const bool quoted =
        !s.isEmpty() && (isBlank(s.front()) || isBlank(s.back()) ||
                         (s.size() >= 2 && s.front() == QLatin1Char('"') && s.back() == QLatin1Char('"')));
    return quoted ? '"' + s.toUtf8() + '"' : s.toUtf8();
}

QString decodeValue(const char* raw)
{
    QByteArray b(raw);
    if (b.size() >= 2 && b.front() == '"' && b.back() == '"')
        b = b.mid(1, b.size() - 2);
    return QString::fromUtf8(b);
}

std::optional<int> parseInteger(QString s)
{
    s = s.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (s.mid(i, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) {
        base = 16;
        i += 2;
    } else if (i < s.size() && s[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    if (i >= s.size())
        return std::nullopt;
    // Hex may use all 32 bits ("$FFFFFFFF" is -1); decimal must fit a signed 32-bit integer.
    const quint64 limit = base == 16 ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
    quint64 v = 0;
    for (; i < s.size(); ++i) {
        const int d = s[i].isDigit() && s[i].unicode() < 0x80 ? s[i].unicode() - '0'
                      : base == 16 && s[i].toLower() >= QLatin1Char('a') && s[i].toLower() <= QLatin1Char('f')
                          ? s[i].toLower().unicode() - 'a' + 10
                          : -1;
        if (d < 0)
            return std::nullopt;
        v = v * base + d;
        if (v > limit)
            return std::nullopt;
    }
    const qint64 signedValue =
        base == 16 ? static_cast<qint64>(static_cast<qint32>(static_cast<quint32>(v))) : static_cast<qint64>(v);
    return static_cast<int>(negative ? -signedValue : signedValue);
}

// ---- file text ---------------------------------------------------------------------------------------------

bool isValidUtf8(const QByteArray& bytes)
{
    auto p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto end = p + bytes.size();
    while (p < end) {
        const unsigned c = *p++;
        if (c < 0x80)
            continue;
        int extra;
        char32_t cp, min;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (end - p < extra)
            return false;
        for (int k = 0; k < extra; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[k] & 0x3F);
        }
        p += extra;
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
    }
    return true;
}


QByteArray fileTextAsUtf8(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return isValidUtf8(bytes) ? bytes : decodeCp1250(bytes).toUtf8();
}

// Takes the damaged lines out of the text before the parser sees it: the parser would read a section line
// without "]" together with the next line as one section name, and a NUL byte would end its reading of the
// whole file. touched receives the sections such lines belong to.
QByteArray withoutDamagedLines(const QByteArray& text, QStringList& touched)
{
    touched.clear();
    if (!text.contains('\0') && !text.contains('['))
        return text;
    auto touch = [&touched](const QByteArray& name) {
        const QString s = QString::fromUtf8(name);
        if (!touched.contains(s, Qt::CaseInsensitive))
            touched << s;
    };
    QByteArray out;
    out.reserve(text.size());
    QByteArray current; // the section the lines belong to
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype end = text.indexOf('\n', from);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        QByteArray line = text.mid(from, end - from);
        const QByteArray eol = text.mid(end, next - end);
        from = next;
        const bool hasNul = line.contains('\0');
        line.replace(QByteArray(1, '\0'), QByteArray());
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.indexOf(']');
            const QByteArray name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
            if (close >= 0 && !hasNul) {
                current = name;
                out += line + eol;
                continue;
            }
            if (name.isEmpty()) {
                touch(current);
                out += eol;
                continue;
            }
            current = name;
            touch(current);
            out += '[' + name + ']' + eol;
            continue;
        }
        if (hasNul) {
            touch(current);
            out += eol;
            continue;
        }
        out += line + eol;
    }
    return out;
}

// ---- the file on disk --------------------------------------------------------------------------------------

struct Stamp
{
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};

    static Stamp of(const struct stat& st) { return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }
    bool operator==(const Stamp& o) const
    {
        return exists == o.exists && (!exists || (dev == o.dev && ino == o.ino && size == o.size &&
                                                  mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec));
    }
};

Stamp currentStamp(const QByteArray& path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 ? Stamp::of(st) : Stamp{};
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult readWholeFile(const QByteArray& path, QByteArray& out, Stamp& stamp)
{
    out.clear();
    stamp = Stamp{};
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadResult::Failed;
    }
    stamp = Stamp::of(st);
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return ReadResult::Failed;
        }
        if (n == 0)
            break;
        out.append(buf, n);
    }
    ::close(fd);
    return ReadResult::Ok;
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // a full disk or a file size limit ends here (EFBIG, ENOSPC, EDQUOT)
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The temporary files of a save that was killed before its rename stay behind; the next save of the same file
// removes those whose writer no longer runs. Names: ".<file>.tmp-<pid>-<n>".
void removeStaleTemporaries(const QByteArray& dir, const QByteArray& fileName)
{
    const QByteArray prefix = '.' + fileName + ".tmp-";
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return;
    std::vector<QByteArray> stale;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (!name.startsWith(prefix))
            continue;
        const QByteArray rest = name.mid(prefix.size());
        const qsizetype dash = rest.indexOf('-');
        bool ok = false;
        const qint64 pid = rest.left(dash).toLongLong(&ok);
        if (!ok || dash < 0 || pid <= 0 || pid == ::getpid())
            continue;
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            stale.push_back(dir + '/' + name);
    }
    ::closedir(d);
    for (const QByteArray& f : stale)
        ::unlink(f.constData());
}

// Replaces the file at path by data, or leaves it untouched. On success stamp describes the new file.
bool replaceFile(const QByteArray& path, const char* data, size_t size, Stamp& stamp)
{
    IgnoreFileSizeSignal(); // main() has done so already; a user of this class without it gets it here
    // Writing through a symbolic link replaces the file it points to, not the link.
    QByteArray target = path;
    struct stat old;
    if (::lstat(path.constData(), &old) == 0 && S_ISLNK(old.st_mode)) {
        char* real = ::realpath(path.constData(), nullptr);
        if (!real)
            return false;
        target = real;
        std::free(real);
    }
    const bool hadOld = ::stat(target.constData(), &old) == 0;
    const QFileInfo info(QString::fromLocal8Bit(target));
    const QByteArray dir = QFile::encodeName(info.absolutePath());

    removeStaleTemporaries(dir, QFile::encodeName(info.fileName()));
    static std::atomic<unsigned> counter{0};
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir + "/." + QFile::encodeName(info.fileName()) + ".tmp-" + QByteArray::number(::getpid()) + '-' +
               QByteArray::number(counter.fetch_add(1));
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = true;
    if (hadOld) {
        // Keep the old file's permissions and, where we may, its owner.
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        if (ok && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
            (void)::fchown(fd, old.st_uid, old.st_gid);
    }
    ok = ok && writeAll(fd, data, size) && ::fsync(fd) == 0;
    struct stat st;
    if (ok && ::fstat(fd, &st) == 0)
        stamp = Stamp::of(st);
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    // Make the rename itself durable. Some file systems refuse fsync on a directory; the file is in place anyway.
    const int dfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

struct Change
{
    enum Kind { Set, DeleteKey, EraseSection } kind;
    QByteArray section, key, value;
};

void apply(Store& store, const Change& c)
{
    switch (c.kind) {
    case Change::Set: {
        // An existing key keeps the spelling it has in the file. (Copied: replacing the value frees the old name.)
        QByteArray key = c.key;
        if (const Store::TKeyVal* keys = store.GetSection(c.section.constData())) {
            const auto it = keys->find(Store::Entry(c.key.constData()));
            if (it != keys->end())
                key = it->first.pItem;
        }
        store.SetValue(c.section.constData(), key.constData(), c.value.constData(), nullptr, true);
        break;
    }
    case Change::DeleteKey:
        store.Delete(c.section.constData(), c.key.constData(), false);
        break;
    case Change::EraseSection:
        store.Delete(c.section.constData(), nullptr);
        break;
    }
}

std::unique_ptr<Store> newStore()
{
    auto store = std::make_unique<Store>(true, true, false); // UTF-8, duplicate keys kept as read, no multi-line
    store->SetSpaces(false);
    return store;
}

} // namespace

struct IniFile::Impl
{
    QString fileName;
    QByteArray path;
    std::unique_ptr<Store> store = newStore();
    Stamp stamp;
    bool readFailed = false;
    QStringList damaged;
    std::vector<Change> changes;
    QString lastError;

    void load()
    {
        QByteArray bytes;
        const ReadResult r = readWholeFile(path, bytes, stamp);
        readFailed = r == ReadResult::Failed;
        if (readFailed)
            stamp = currentStamp(path);
        store = newStore();
        damaged.clear();
        if (r == ReadResult::Ok) {
            const QByteArray text = withoutDamagedLines(fileTextAsUtf8(bytes), damaged);
            store->LoadData(text.constData(), static_cast<size_t>(text.size()));
        }
        for (const Change& c : changes)
            apply(*store, c);
    }

    // Picks up a file that somebody replaced since we read it.
    void refresh()
    {
        if (!(currentStamp(path) == stamp))
            load();
    }

    void change(Change c)
    {
        apply(*store, c);
        changes.push_back(std::move(c));
    }
};

IniFile::IniFile(const QString& fileName) : d(std::make_unique<Impl>())
{
    d->fileName = fileName;
    d->path = QFile::encodeName(fileName);
    d->load();
}

IniFile::~IniFile()
{
    // After a reported failure the caller has been told; writing later behind its back could change a file
    // the caller believes untouched.
    if (isDirty() && d->lastError.isEmpty() && !UpdateFile())
        qWarning("%s", qPrintable(d->lastError));
}

QString IniFile::FileName() const
{
    return d->fileName;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    d->refresh();
    const char* raw = d->store->GetValue(nameBytes(section).constData(), nameBytes(key).constData(), nullptr);
    return raw ? decodeValue(raw) : def;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    return parseInteger(ReadString(section, key, QString())).value_or(def);
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(const QString& section, const QString& key, double def) const
{
    QString s = ReadString(section, key, QString()).trimmed();
    // Files written under a Central European locale use a decimal comma.
    if (!s.contains(QLatin1Char('.')))
        s.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok ? v : def;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    d->refresh();
    Change c{Change::Set, nameBytes(section), nameBytes(key), encodeValue(value)};
    if (c.key.isEmpty())
        return; // a line "=value" is no key; the parser would drop it
    bool hasMultiple = false;
    const char* current = d->store->GetValue(c.section.constData(), c.key.constData(), nullptr, &hasMultiple);
    if (current && !hasMultiple && c.value == current)
        return;
    d->change(std::move(c));
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::WriteFloat(const QString& section, const QString& key, double value)
{
    WriteString(section, key, QString::number(value, 'g', 15));
}

bool IniFile::SectionExists(const QString& section) const
{
    d->refresh();
    return d->store->GetSection(nameBytes(section).constData()) != nullptr;
}

bool IniFile::ValueExists(const QString& section, const QString& key) const
{
    d->refresh();
    return d->store->GetValue(nameBytes(section).constData(), nameBytes(key).constData(), nullptr) != nullptr;
}

QStringList IniFile::ReadSections() const
{
    d->refresh();
    Store::TNamesDepend names;
    d->store->GetAllSections(names);
    names.sort(Store::Entry::LoadOrder());
    QStringList out;
    for (const Store::Entry& e : names) {
        if (*e.pItem) // keys above the first section belong to no section
            out << QString::fromUtf8(e.pItem);
    }
    return out;
}

QStringList IniFile::ReadSection(const QString& section) const
{
    d->refresh();
    Store::TNamesDepend names;
    d->store->GetAllKeys(nameBytes(section).constData(), names);
    names.sort(Store::Entry::LoadOrder());
    QStringList out;
    for (const Store::Entry& e : names)
        out << QString::fromUtf8(e.pItem);
    return out;
}

QStringList IniFile::damagedSections() const
{
    d->refresh();
    return d->damaged;
}

void IniFile::EraseSection(const QString& section)
{
    d->refresh();
    Change c{Change::EraseSection, nameBytes(section), {}, {}};
    if (d->store->GetSection(c.section.constData()))
        d->change(std::move(c));
}

void IniFile::DeleteKey(const QString& section, const QString& key)
{
    d->refresh();
    Change c{Change::DeleteKey, nameBytes(section), nameBytes(key), {}};
    if (d->store->GetValue(c.section.constData(), c.key.constData(), nullptr))
        d->change(std::move(c));
}

bool IniFile::UpdateFile()
{
    // Nothing to write unless something changed, or the file has damaged lines that a write mends.
    d->refresh();
    if (d->changes.empty() && d->damaged.isEmpty())
        return true;
    std::string text;
    bool ok = !d->readFailed && d->store->Save(text, false) >= 0;
    // SimpleIni puts two blank lines between sections; one is what people expect.
    for (size_t at = text.find("\n\n\n"); at != std::string::npos; at = text.find("\n\n\n", at))
        text.erase(at, 1);
    Stamp written;
    ok = ok && replaceFile(d->path, text.data(), text.size(), written);
    if (!ok) {
        d->lastError = QStringLiteral("Unable to write to %1").arg(d->fileName);
        return false;
    }
    d->stamp = written;
    d->changes.clear();
    d->lastError.clear();
    return true;
}

bool IniFile::isDirty() const
{
    return !d->changes.empty();
}

QString IniFile::lastError() const
{
    return d->lastError;
}

bool ReplaceFileWhole(const QString& path, const QByteArray& data)
{
    Stamp written;
    return replaceFile(QFile::encodeName(path), data.constData(), size_t(data.size()), written);
}
