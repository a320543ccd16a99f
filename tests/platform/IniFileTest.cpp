// IniFile: lookups, order, value encoding, number parsing and the file encodings it reads.
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class IniFileTest : public ::testing::Test
{
protected:
    QString path(const QString& name = QStringLiteral("test.ini")) const { return dir_.filePath(name); }

    void writeBytes(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini")) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QByteArray readBytes() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, SectionsAndKeysAreFoundWhateverTheirCase)
{
    writeBytes("[Main]\nLanguage=cz\n[Čeština]\nŽluť=2\n");
    IniFile ini(path());
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"MAIN", "language", "cz"}, {"čEšTiNa", "žLUŤ", "2"}, {" Main ", "Language", "cz"}, {"Mai", "Language", ""}};
    for (const auto& [section, key, expected] : cases) {
        EXPECT_EQ(ini.ReadString(QString::fromUtf8(section), QString::fromUtf8(key), ""), QString::fromUtf8(expected))
            << section << "/" << key;
        EXPECT_EQ(ini.ValueExists(QString::fromUtf8(section), QString::fromUtf8(key)), *expected != 0) << section;
    }

    // Writing under another spelling changes the existing key; it does not add a second one.
    ini.WriteString("MAIN", "LANGUAGE", "en");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(readBytes(), "[Main]\nLanguage=en\n\n[Čeština]\nŽluť=2\n");
}

TEST_F(IniFileTest, DamagedLinesAreNamedNotGuessedAtAndAWriteMendsThem)
{
    const struct
    {
        QByteArray text;
        QStringList sections;
        QStringList damaged;
        const char* mended; // what UpdateFile() writes
    } cases[] = {
        // Without "]" the parser would read "ab\nk" as one section name, which no lookup finds.
        {"[ab\nk=1\n[cd]\nm=2\n", {"ab", "cd"}, {"ab"}, "[ab]\nk=1\n\n[cd]\nm=2\n"},
        // A NUL byte would end the parse there and hide every later section.
        {QByteArrayLiteral("[ab]\nk=1\0x\nl=3\n[cd]\nm=2\n"), {"ab", "cd"}, {"ab"}, "[ab]\nl=3\n\n[cd]\nm=2\n"},
        {QByteArrayLiteral("[ab]\nk=1\n[c\0" "d]\nm=2\n"), {"ab", "cd"}, {"cd"}, "[ab]\nk=1\n\n[cd]\nm=2\n"},
        {"[ab]\nk=1\n[\nm=2\n", {"ab"}, {"ab"}, "[ab]\nk=1\nm=2\n"},
        {"[ab]\nk=[1]\n", {"ab"}, {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        writeBytes(c.text);
        IniFile ini(path());
        EXPECT_EQ(ini.ReadSections(), c.sections);
        EXPECT_EQ(ini.damagedSections(), c.damaged);
        EXPECT_EQ(ini.ReadString("cd", "m", ""), c.sections.contains("cd") ? "2" : "");
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(readBytes(), c.mended ? QByteArray(c.mended) : c.text);
    }
}

TEST_F(IniFileTest, FileOrderIsKeptAndNewEntriesGoToTheEnd)
{
    writeBytes("; settings\n[Zeta]\nz=1\na=2\nm=3\n\n[Alpha]\nk=v\n[Mid]\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Zeta", "Alpha", "Mid"}));
    EXPECT_EQ(ini.ReadSection("Zeta"), (QStringList{"z", "a", "m"}));

    ini.WriteString("Zeta", "b", "4");    // new key: end of its section
    ini.WriteString("Zeta", "a", "20");   // existing key keeps its place
    ini.DeleteKey("Zeta", "z");           // deleted...
    ini.WriteString("Zeta", "z", "10");   // ...and written again: now at the end
    ini.WriteString("Beta", "x", "y");    // new section: end of the file
    ini.EraseSection("Alpha");            // gone with its keys
    ini.WriteString("Alpha", "k2", "v2"); // back as a new section, after Beta
    ini.DeleteKey("Mid", "nothing");      // no such key: no change, the empty section stays
    ASSERT_TRUE(ini.UpdateFile());

    IniFile again(path());
    EXPECT_EQ(again.ReadSections(), (QStringList{"Zeta", "Mid", "Beta", "Alpha"}));
    EXPECT_EQ(again.ReadSection("Zeta"), (QStringList{"a", "m", "b", "z"}));
    EXPECT_EQ(again.ReadString("Zeta", "a", ""), "20");
    EXPECT_EQ(again.ReadSection("Alpha"), QStringList{"k2"});
    EXPECT_TRUE(readBytes().startsWith("; settings\n")) << "the comment at the top is kept";
}

TEST_F(IniFileTest, AwkwardValuesSurviveAWriteAndARead)
{
    const QStringList values{
        "a=b=c", "x;y # not a comment", "   leading blanks", "trailing blanks   ", "\"quoted\"", "\"",
        "",      "Zażółć gęślą jaźń",   "[not a section]"};
    {
        IniFile ini(path());
        for (int i = 0; i < values.size(); ++i)
            ini.WriteString("Values", QStringLiteral("v%1").arg(i), values[i]);
        ini.WriteString("Values", "broken", "one\r\ntwo\n[Evil]\rk=v"); // a line break must not break the file
        ASSERT_TRUE(ini.UpdateFile()) << ini.lastError().toStdString();
    }
    const QByteArray text = readBytes();
    for (const char* line : {"\nv0=a=b=c\n", "\nv2=\"   leading blanks\"\n", "\nv4=\"\"quoted\"\"\n"})
        EXPECT_TRUE(text.contains(line)) << line << " not in:\n" << text.constData();
    IniFile ini(path());
    EXPECT_EQ(ini.ReadSections(), QStringList{"Values"});
    EXPECT_EQ(ini.ReadSection("Values").size(), values.size() + 1);
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(ini.ReadString("Values", QStringLiteral("v%1").arg(i), "default"), values[i]) << i;
    EXPECT_EQ(ini.ReadString("Values", "broken", ""), "one two [Evil] k=v");
}

TEST_F(IniFileTest, OnePairOfEnclosingQuotesIsRemovedOnRead)
{
    writeBytes("[Q]\npadded=\"  x  \"\ninner=\"a\" b\"\nsingle='s'\nlone=\"\nopen=\"abc\nspaced =   plain value   \n");
    IniFile ini(path());
    const std::pair<const char*, const char*> cases[] = {
        {"padded", "  x  "}, {"inner", "a\" b"}, {"lone", "\""}, {"spaced", "plain value"}};
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(ini.ReadString("Q", key, "default"), QString::fromUtf8(expected)) << key;
}

TEST_F(IniFileTest, NumbersAndFlags)
{
    writeBytes("[N]\ndec=12\nneg=-7\nhex=0x1F\nhex2=$ff\nallbits=0XFFFFFFFF\nmin=-2147483648\nover=2147483648\n"
               "hexover=0x100000000\ntail=12abc\nempty=\nprefixonly=0x\nquoted=\" 42 \"\nneghex=-$10\n"
               "f1=1.5\nf2=2,25\nf3=-1e3\nf4=x1\n");
    IniFile ini(path());
    const std::pair<const char*, int> ints[] = {{"neg", -7},      {"hex", 31},    {"hex2", 255}, {"allbits", -1},
                                                {"min", INT_MIN}, {"over", 99},   {"tail", 99},  {"quoted", 42},
                                                {"neghex", -16},  {"missing", 99}};
    for (const auto& [key, expected] : ints)
        EXPECT_EQ(ini.ReadInteger("N", key, 99), expected) << key;

    EXPECT_TRUE(ini.ReadBool("N", "neg", false));
    EXPECT_TRUE(ini.ReadBool("N", "tail", true)) << "unreadable: the default";
    EXPECT_FALSE(ini.ReadBool("N", "empty", false));

    const std::pair<const char*, double> floats[] = {{"f1", 1.5}, {"f2", 2.25}, {"f3", -1000.0}, {"f4", 7.0}};
    for (const auto& [key, expected] : floats)
        EXPECT_DOUBLE_EQ(ini.ReadFloat("N", key, 7.0), expected) << key;

    ini.WriteFloat("W", "float", 0.1);
    EXPECT_EQ(ini.ReadString("W", "float", ""), "0.1");
}

TEST_F(IniFileTest, ReadsWindows1250AndABomAndWritesPlainUtf8)
{
    // "Název=Příliš žluťoučký kůň" and a Polish section name, in Windows-1250, with CR LF line ends.
    writeBytes("[Jazyk]\r\nN\xE1zev=P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2\r\n"
               "[\xA3\xF3\x9F]\r\nZa\xBF\xF3\xB3\xE6=g\xEA\x9Cl\xB9 ja\x9F\xF1\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString("jazyk", "název", ""), QStringLiteral("Příliš žluťoučký kůň"));
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Jazyk", "Łóź"}));
    EXPECT_EQ(ini.ReadString("łÓŹ", "ZAŻÓŁĆ", ""), QStringLiteral("gęślą jaźń"));
    ini.WriteString("Jazyk", "Kód", "cz");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(readBytes(), "[Jazyk]\nNázev=Příliš žluťoučký kůň\nKód=cz\n\n[Łóź]\nZażółć=gęślą jaźń\n");

    writeBytes("\xEF\xBB\xBF[Sec]\r\nKey=Value\r\n"); // as Windows editors save UTF-8
    EXPECT_EQ(IniFile(path()).ReadString("sec", "key", ""), "Value");
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsCreatedOnlyWhenSomethingChanged)
{
    {
        IniFile ini(path());
        EXPECT_EQ(ini.ReadString("a", "b", "def"), "def");
        EXPECT_TRUE(ini.UpdateFile());
        ini.EraseSection("a"); // nothing to erase: no change
        EXPECT_FALSE(ini.isDirty());
    }
    EXPECT_FALSE(QFile::exists(path()));
    IniFile(path()).WriteString("a", "b", "c"); // the destructor writes
    EXPECT_EQ(IniFile(path()).ReadString("a", "b", ""), "c");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.ini"});
}

TEST_F(IniFileTest, TwoObjectsOnOneFileDoNotUndoEachOthersWrites)
{
    writeBytes("[S]\na=1\nb=2\n");
    IniFile first(path());
    IniFile second(path());
    EXPECT_EQ(first.ReadString("S", "a", ""), "1");
    second.WriteString("S", "b", "20");
    ASSERT_TRUE(second.UpdateFile());
    EXPECT_EQ(first.ReadString("S", "b", ""), "20") << "reads see the file as it is now";
    first.WriteString("S", "a", "10");
    ASSERT_TRUE(first.UpdateFile());
    EXPECT_EQ(readBytes(), "[S]\na=10\nb=20\n");
}

TEST_F(IniFileTest, ReplacingTheFileKeepsItsPermissionsAndASymbolicLink)
{
    writeBytes("[S]\na=1\n", "real.ini");
    ASSERT_EQ(::chmod(QFile::encodeName(path("real.ini")).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(path("real.ini"), path("link.ini")));
    IniFile ini(path("link.ini"));
    ini.WriteString("S", "a", "2");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_TRUE(QFileInfo(path("link.ini")).isSymLink());
    EXPECT_EQ(IniFile(path("real.ini")).ReadString("S", "a", ""), "2");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path("real.ini")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

} // namespace
