#pragma once
// INI files the way the program has always used them: sections and keys are found without regard to case,
// the file's own order is kept, and nothing is escaped or split. Changes stay in memory until UpdateFile()
// (or the destructor) writes the whole file atomically, so a failed write never leaves a half file behind.
// Like the profile functions it stands in for, it sees the file as it is now: when another writer replaced the
// file since it was read, the next read or write reads it again and re-applies this object's pending changes.
// Values: one pair of enclosing double quotes is removed on reading; a value with blanks at either end (or
// enclosed in quotes itself) is written in quotes. Line breaks in a value are written as blanks.
// A file that exists but cannot be read is never overwritten (UpdateFile() fails).
// Damaged lines (a section line without its "]", a line holding a NUL byte) are not guessed at: a section line
// without "]" opens the section it names, ending at the line's end; any other line with a NUL byte is dropped.
// damagedSections() names the sections such lines touched, so a reader can fail them; a later write writes the
// file without the damaged lines.
#include <QString>
#include <QStringList>
#include <memory>

class IniFile
{
public:
    explicit IniFile(const QString& fileName);
    ~IniFile(); // writes pending changes; a failure here is only logged (use UpdateFile() to see it)
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    QString FileName() const;

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    double ReadFloat(const QString& section, const QString& key, double def) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    void WriteFloat(const QString& section, const QString& key, double value);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QStringList ReadSections() const;                      // in file order
    QStringList ReadSection(const QString& section) const; // the keys of a section, in file order
    // The sections that damaged lines of the file touched, in file order, each once ("" for lines above the
    // first section).
    QStringList damagedSections() const;
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& key);

    // Writes the file when anything changed or the file has damaged lines. Returns false and sets lastError() ("Unable to write to <file>")
    // when the file could not be written; the file on disk is then exactly as it was before.
    bool UpdateFile();
    bool isDirty() const;
    QString lastError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Makes data the whole content of the file at path, or leaves the file untouched: the text goes into a temporary
// file beside it, is synced and renamed over it (a symbolic link's target is replaced; the old file's permissions
// and, where allowed, owner are kept). A kill at any moment leaves the old file or the new one. False on failure.
bool ReplaceFileWhole(const QString& path, const QByteArray& data);
