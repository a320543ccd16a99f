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

    QByteArray readBytes(const QString& name = QStringLiteral("test.ini")) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, SectionsAndKeysAreFoundWhateverTheirCase)
{
    writeBytes("[Main]\nLanguage=cz\n[Čeština]\nKlíč=1\nŽluť=2\n");
    IniFile ini(path());
    struct Case
    {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] =
        {
            {"Main", "Language", "cz"},   {"MAIN", "language", "cz"}, {"main", "LANGUAGE", "cz"},
            {"ČEŠTINA", "KLÍČ", "1"},     {"čeština", "klíč", "1"},   {"čEšTiNa", "žLUŤ", "2"},
            {" Main ", "Language", "cz"}, // names are trimmed like the parser trims them
        };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1/%2").arg(QString::fromUtf8(c.section), QString::fromUtf8(c.key)).toStdString());
        EXPECT_EQ(ini.ReadString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QStringLiteral("none")),
                  QString::fromUtf8(c.expected));
        EXPECT_TRUE(ini.ValueExists(QString::fromUtf8(c.section), QString::fromUtf8(c.key)));
        EXPECT_TRUE(ini.SectionExists(QString::fromUtf8(c.section)));
    }
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("Main"), QStringLiteral("Lang")));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Mai")));

    // Writing under another spelling changes the existing key; it does not add a second one.
    ini.WriteString(QStringLiteral("MAIN"), QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("main")), QStringList{QStringLiteral("Language")});
    ASSERT_TRUE(ini.UpdateFile());
    const QByteArray text = readBytes();
    EXPECT_EQ(text.count("anguage"), 1) << text.constData();
    EXPECT_EQ(IniFile(path()).ReadString(QStringLiteral("main"), QStringLiteral("language"), QString()),
              QStringLiteral("en"));
}

TEST_F(IniFileTest, FileOrderIsKeptAndNewEntriesGoToTheEnd)
{
    writeBytes("; settings\n[Zeta]\nz=1\na=2\nm=3\n\n[Alpha]\nk=v\n[Mid]\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Zeta", "Alpha", "Mid"}));
    EXPECT_EQ(ini.ReadSection("Zeta"), (QStringList{"z", "a", "m"}));
    EXPECT_TRUE(ini.ReadSection("Mid").isEmpty());
    EXPECT_TRUE(ini.SectionExists("Mid"));

    ini.WriteString("Zeta", "b", "4");    // new key: end of its section
    ini.WriteString("Zeta", "a", "20");   // existing key keeps its place
    ini.DeleteKey("Zeta", "z");           // deleted...
    ini.WriteString("Zeta", "z", "10");   // ...and written again: now at the end
    ini.WriteString("Beta", "x", "y");    // new section: end of the file
    ini.EraseSection("Alpha");            // gone with its keys
    ini.WriteString("Alpha", "k2", "v2"); // back as a new section, after Beta
    ini.DeleteKey("Mid", "nothing");      // no such key: no change, the empty section stays

    const QStringList sections{"Zeta", "Mid", "Beta", "Alpha"};
    const QStringList zetaKeys{"a", "m", "b", "z"};
    EXPECT_EQ(ini.ReadSections(), sections);
    EXPECT_EQ(ini.ReadSection("Zeta"), zetaKeys);
    EXPECT_EQ(ini.ReadSection("Alpha"), QStringList{"k2"});
    ASSERT_TRUE(ini.UpdateFile());

    IniFile again(path());
    EXPECT_EQ(again.ReadSections(), sections);
    EXPECT_EQ(again.ReadSection("Zeta"), zetaKeys);
    EXPECT_EQ(again.ReadString("Zeta", "a", ""), "20");
    EXPECT_EQ(again.ReadString("Zeta", "z", ""), "10");
    EXPECT_FALSE(again.ValueExists("Alpha", "k"));
    EXPECT_TRUE(readBytes().startsWith("; settings\n")) << "the comment at the top is kept";
}

TEST_F(IniFileTest, AwkwardValuesSurviveAWriteAndARead)
{
    const QStringList values{
        "a=b=c",
        "x;y # not a comment",
        "   three leading blanks",
        "trailing blanks   ",
        "\tleading tab",
        "\"quoted\"",
        "\"",
        "\"\"",
        "\" half",
        "",
        " ",
        "Příliš žluťoučký kůň úpěl ďábelské ódy",
        "Árvíztűrő tükörfúrógép",
        "Zażółć gęślą jaźń",
        "[not a section]",
        "<<<END",
        "100 % ; 50 %",
        "C:\\Program Files\\x",
    };
    {
        IniFile ini(path());
        for (int i = 0; i < values.size(); ++i)
            ini.WriteString("Values", QStringLiteral("v%1").arg(i), values[i]);
        for (int i = 0; i < values.size(); ++i)
            EXPECT_EQ(ini.ReadString("Values", QStringLiteral("v%1").arg(i), "default"), values[i]) << i;
        ASSERT_TRUE(ini.UpdateFile()) << ini.lastError().toStdString();
    }
    IniFile ini(path());
    EXPECT_EQ(ini.ReadSection("Values").size(), values.size());
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(ini.ReadString("Values", QStringLiteral("v%1").arg(i), "default"), values[i]) << i;
}

TEST_F(IniFileTest, LineBreaksInAValueCannotBreakTheFile)
{
    {
        IniFile ini(path());
        ini.WriteString("S", "text", "one\r\ntwo\n[Evil]\rk=v");
        ini.WriteString("S", "after", "ok");
        ASSERT_TRUE(ini.UpdateFile());
    }
    IniFile ini(path());
    EXPECT_EQ(ini.ReadSections(), QStringList{"S"});
    EXPECT_EQ(ini.ReadString("S", "text", ""), "one two [Evil] k=v");
    EXPECT_EQ(ini.ReadString("S", "after", ""), "ok");
}

TEST_F(IniFileTest, OnePairOfEnclosingQuotesIsRemovedOnRead)
{
    writeBytes("[Q]\n"
               "padded=\"  x  \"\n"
               "inner=\"a\" b\"\n"
               "single='s'\n"
               "lone=\"\n"
               "double=\"\"v\"\"\n"
               "open=\"abc\n"
               "spaced =   plain value   \n");
    IniFile ini(path());
    const std::pair<const char*, const char*> cases[] = {
        {"padded", "  x  "}, {"inner", "a\" b"}, {"single", "'s'"},         {"lone", "\""},
        {"double", "\"v\""}, {"open", "\"abc"},  {"spaced", "plain value"},
    };
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(ini.ReadString("Q", key, "default"), QString::fromUtf8(expected)) << key;
}

TEST_F(IniFileTest, NumbersAndFlags)
{
    writeBytes("[N]\n"
               "dec=12\nneg=-7\nplus=+5\nhex=0x1F\nhex2=$ff\nallbits=0XFFFFFFFF\nmax=2147483647\nmin=-2147483648\n"
               "over=2147483648\nunder=-2147483649\nhexover=0x100000000\ntail=12abc\nempty=\nword=abc\n"
               "prefixonly=0x\ndollar=$\nsign=-\nquoted=\" 42 \"\nneghex=-$10\n"
               "f1=1.5\nf2=2,25\nf3=-1e3\nf4=x1\n");
    IniFile ini(path());
    const std::pair<const char*, int> ints[] = {
        {"dec", 12},     {"neg", -7},         {"plus", 5},      {"hex", 31},     {"hex2", 255},
        {"allbits", -1}, {"max", 2147483647}, {"min", INT_MIN}, {"over", 99},    {"under", 99},
        {"hexover", 99}, {"tail", 99},        {"empty", 99},    {"word", 99},    {"prefixonly", 99},
        {"dollar", 99},  {"sign", 99},        {"quoted", 42},   {"neghex", -16}, {"missing", 99},
    };
    for (const auto& [key, expected] : ints)
        EXPECT_EQ(ini.ReadInteger("N", key, 99), expected) << key;

    const std::tuple<const char*, bool, bool> bools[] = {
        {"dec", false, true}, {"neg", false, true},    {"empty", true, true},     {"empty", false, false},
        {"word", true, true}, {"missing", true, true}, {"missing", false, false},
    };
    for (const auto& [key, def, expected] : bools)
        EXPECT_EQ(ini.ReadBool("N", key, def), expected) << key << " default " << def;

    const std::pair<const char*, double> floats[] = {
        {"f1", 1.5}, {"f2", 2.25}, {"f3", -1000.0}, {"f4", 7.0}, {"missing", 7.0}, {"dec", 12.0},
    };
    for (const auto& [key, expected] : floats)
        EXPECT_DOUBLE_EQ(ini.ReadFloat("N", key, 7.0), expected) << key;

    ini.WriteBool("W", "yes", true);
    ini.WriteBool("W", "no", false);
    ini.WriteInteger("W", "int", -123);
    ini.WriteFloat("W", "float", 0.1);
    EXPECT_EQ(ini.ReadString("W", "yes", ""), "1");
    EXPECT_EQ(ini.ReadString("W", "no", ""), "0");
    EXPECT_EQ(ini.ReadString("W", "int", ""), "-123");
    EXPECT_EQ(ini.ReadString("W", "float", ""), "0.1");
    EXPECT_TRUE(ini.ReadBool("W", "yes", false));
    EXPECT_FALSE(ini.ReadBool("W", "no", true));
}

TEST_F(IniFileTest, ReadsCrLfLinesAndSkipsTheUtf8Bom)
{
    writeBytes("\xEF\xBB\xBF[Sec]\r\nKey=Value\r\nQuoted=\"  x  \"\r\nEmpty=\r\n\r\n[Other]\r\nk=1\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Sec", "Other"}));
    EXPECT_EQ(ini.ReadString("Sec", "Key", ""), "Value");
    EXPECT_EQ(ini.ReadString("Sec", "Quoted", ""), "  x  ");
    EXPECT_EQ(ini.ReadString("Sec", "Empty", "default"), "");
    ini.WriteString("Other", "k", "2");
    ASSERT_TRUE(ini.UpdateFile());
    const QByteArray text = readBytes();
    EXPECT_FALSE(text.startsWith("\xEF\xBB\xBF")) << "written files carry no BOM";
    EXPECT_FALSE(text.contains('\r'));
    EXPECT_EQ(IniFile(path()).ReadString("Sec", "Key", ""), "Value");
}

TEST_F(IniFileTest, AFileThatIsNotUtf8IsReadAsWindows1250AndWrittenAsUtf8)
{
    // "Název=Příliš žluťoučký kůň" and a Polish section name, in Windows-1250.
    writeBytes("[Jazyk]\r\nN\xE1zev=P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2\r\n"
               "[\xA3\xF3\x9F]\r\nZa\xBF\xF3\xB3\xE6=g\xEA\x9Cl\xB9 ja\x9F\xF1\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.ReadString("jazyk", "název", ""), QStringLiteral("Příliš žluťoučký kůň"));
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Jazyk", "Łóź"}));
    EXPECT_EQ(ini.ReadString("łÓŹ", "ZAŻÓŁĆ", ""), QStringLiteral("gęślą jaźń"));

    ini.WriteString("Jazyk", "Kód", "cz");
    ASSERT_TRUE(ini.UpdateFile());
    const QByteArray text = readBytes();
    EXPECT_TRUE(text.contains("Název=Příliš žluťoučký kůň")) << text.constData();
    EXPECT_EQ(IniFile(path()).ReadString("Łóź", "Zażółć", ""), QStringLiteral("gęślą jaźń"));
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsCreatedOnlyWhenSomethingChanged)
{
    {
        IniFile ini(path());
        EXPECT_TRUE(ini.ReadSections().isEmpty());
        EXPECT_EQ(ini.ReadString("a", "b", "def"), "def");
        EXPECT_FALSE(ini.isDirty());
        EXPECT_TRUE(ini.UpdateFile());
        ini.EraseSection("a"); // nothing to erase: no change
        EXPECT_FALSE(ini.isDirty());
    }
    EXPECT_FALSE(QFile::exists(path()));
    {
        IniFile ini(path());
        ini.WriteString("a", "b", "c");
        EXPECT_TRUE(ini.isDirty());
        // the destructor writes
    }
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
    second.WriteString("T", "new", "x");
    ASSERT_TRUE(second.UpdateFile());

    EXPECT_EQ(first.ReadString("S", "b", ""), "20") << "reads see the file as it is now";
    first.WriteString("S", "a", "10");
    ASSERT_TRUE(first.UpdateFile());

    IniFile result(path());
    EXPECT_EQ(result.ReadString("S", "a", ""), "10");
    EXPECT_EQ(result.ReadString("S", "b", ""), "20");
    EXPECT_EQ(result.ReadString("T", "new", ""), "x");
}

TEST_F(IniFileTest, WritingKeepsTheFilesPermissions)
{
    writeBytes("[S]\na=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0640), 0);
    IniFile ini(path());
    ini.WriteString("S", "a", "2");
    ASSERT_TRUE(ini.UpdateFile());
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(IniFileTest, WritingThroughASymbolicLinkReplacesTheTarget)
{
    writeBytes("[S]\na=1\n", "real.ini");
    ASSERT_TRUE(QFile::link(path("real.ini"), path("link.ini")));
    IniFile ini(path("link.ini"));
    ini.WriteString("S", "a", "2");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_TRUE(QFileInfo(path("link.ini")).isSymLink());
    EXPECT_EQ(IniFile(path("real.ini")).ReadString("S", "a", ""), "2");
}

} // namespace
