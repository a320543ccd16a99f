// The shipped languages.ini read as a file: the shape of every line, and the same texts in every language.
// (Which numbers the windows show is checked in tests/ui, by walking the windows.)
#include "texts/LanguageFile.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QString kFile = QStringLiteral(MESK_SOURCE_DIR "/data/languages.ini");
const char* const kLanguages[] = {"0", "1", "2", "3"};

// Section -> key -> the value as the file holds it, and every line the file holds that is no entry.
struct RawFile
{
    QMap<QString, QMap<QString, QString>> sections;
    QStringList faults;
};

RawFile readRaw()
{
    RawFile raw;
    QFile file(kFile);
    if (!file.open(QIODevice::ReadOnly)) {
        raw.faults << QStringLiteral("cannot open ") + kFile;
        return raw;
    }
    static const QRegularExpression section(QStringLiteral("^\\[([^\\]]+)\\]$"));
    static const QRegularExpression entry(QStringLiteral("^(s\\d+|language|labels_count)=(.*)$"));
    QString current;
    int lineNumber = 0;
    for (const QByteArray& bytes : file.readAll().split('\n')) {
        ++lineNumber;
        const QString line = QString::fromUtf8(bytes);
        const QString where = QStringLiteral("line %1: ").arg(lineNumber);
        if (line.contains(QLatin1Char('\r')))
            raw.faults << where + QStringLiteral("a CR inside the line");
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (const auto m = section.match(line); m.hasMatch()) {
            current = m.captured(1);
            if (raw.sections.contains(current))
                raw.faults << where + QStringLiteral("section [%1] a second time").arg(current);
            raw.sections[current];
            continue;
        }
        // A value broken over two lines, a merge leftover or a stray word all end up here.
        const auto m = entry.match(line);
        if (!m.hasMatch()) {
            raw.faults << where + QStringLiteral("not an entry: ") + line.left(60);
            continue;
        }
        QMap<QString, QString>& keys = raw.sections[current];
        if (keys.contains(m.captured(1)))
            raw.faults << where + QStringLiteral("[%1] %2 a second time").arg(current, m.captured(1));
        keys.insert(m.captured(1), m.captured(2));
    }
    return raw;
}

// The conversions of a text: printf's ("%s", "%d", "%%") and the gateway's SMS variables ("%P(", "%M", "%I27").
QStringList conversions(const QString& text)
{
    static const QRegularExpression conversion(QStringLiteral("%(?:%|[-+#0]*\\d*(?:\\.\\d+)?[A-Za-z]\\d*)"));
    QStringList found;
    for (auto m = conversion.globalMatch(text); m.hasNext();)
        found << m.next().captured(0);
    found.sort();
    return found;
}

TEST(ShippedLanguageFile, EveryLineIsAnEntryOnceInItsSection)
{
    const RawFile raw = readRaw();
    EXPECT_TRUE(raw.faults.isEmpty()) << qPrintable(raw.faults.join(u'\n'));
    for (const char* language : kLanguages)
        EXPECT_TRUE(raw.sections.contains(QLatin1String(language))) << language;
}

TEST(ShippedLanguageFile, EveryLanguageHoldsEveryEnglishTextWithTheSameConversionsAndEndingBlanks)
{
    const RawFile raw = readRaw();
    Tlabels english;
    Tlabels names;
    readLanguageFile(kFile, 1, english, names);
    const QMap<QString, QString>& englishKeys = raw.sections.value(QStringLiteral("1"));
    ASSERT_GT(englishKeys.size(), 500);
    for (const char* language : kLanguages) {
        const QMap<QString, QString>& keys = raw.sections.value(QLatin1String(language));
        Tlabels texts;
        readLanguageFile(kFile, QByteArray(language).toInt(), texts, names);
        QStringList faults;
        for (const QString& key : keys.keys())
            if (!englishKeys.contains(key))
                faults << key + QStringLiteral(" has no English text");
        for (auto it = englishKeys.begin(); it != englishKeys.end(); ++it) {
            if (!it.key().startsWith(QLatin1Char('s')))
                continue;
            const int k = it.key().mid(1).toInt();
            const QString text = labelAt(texts, k);
            if (text.trimmed().isEmpty() && !labelAt(english, k).trimmed().isEmpty())
                faults << it.key() + QStringLiteral(" missing");
            else if (conversions(text) != conversions(labelAt(english, k)))
                faults << it.key() + QStringLiteral(" conversions ") + conversions(text).join(u',') +
                              QStringLiteral(" where English has ") + conversions(labelAt(english, k)).join(u',');
            else if (text.endsWith(QLatin1Char(' ')) != labelAt(english, k).endsWith(QLatin1Char(' ')))
                faults << it.key() + QStringLiteral(" ends differently in a blank: \"") + text + u'"';
        }
        EXPECT_TRUE(faults.isEmpty()) << "language " << language << ":\n" << qPrintable(faults.join(u'\n'));
    }
}

TEST(ShippedLanguageFile, TextsWithAKnownRoleHaveItInEveryLanguage)
{
    // The formatted texts: exactly the one conversion their place substitutes (none in 887: shown as it is).
    const struct
    {
        int k;
        const char* only;
    } formats[] = {{53, "%s"},  {551, "%s"}, {552, "%s"}, {921, "%s"}, {746, "%d"},   {747, "%d"},
                   {838, "%d"}, {839, "%d"}, {862, "%d"}, {965, "%d"}, {887, nullptr}};
    // Places that show one of two texts by a state: the two must read differently.
    const std::pair<int, int> distinct[] = {{152, 153}, {365, 482}, {407, 408}};
    // The topics of the tree and the alphabetical list: each must be there and tell itself from the others.
    const int topics[] = {17,  18, 19, 20, 21,  22,  23, 24, 25, 26, 235, 494, 505, 543, 548, 685,
                          704, 28, 29, 30, 584, 834, 32, 34, 35, 36, 37,  38,  40,  41,  42};
    static const QRegularExpression cause(QStringLiteral("^#=(\\d+);([^;]{1,99})$"));
    static const QRegularExpression causeHeader(QStringLiteral("^#=([^;]{1,99})$"));

    Tlabels english;
    Tlabels names;
    readLanguageFile(kFile, 1, english, names);
    for (const char* language : kLanguages) {
        Tlabels t;
        readLanguageFile(kFile, QByteArray(language).toInt(), t, names);
        QStringList faults;
        for (const auto& f : formats) {
            // Entries of windows still to come are checked once they are in the file.
            if (labelAt(t, f.k).isEmpty() && labelAt(english, f.k).isEmpty())
                continue;
            const QStringList expected = f.only ? QStringList{QLatin1String(f.only)} : QStringList{};
            if (conversions(labelAt(t, f.k)) != expected)
                faults << QStringLiteral("%1: conversions %2").arg(f.k).arg(conversions(labelAt(t, f.k)).join(u','));
        }
        for (const auto& [a, b] : distinct)
            if (!labelAt(t, a).isEmpty() && labelAt(t, a) == labelAt(t, b))
                faults << QStringLiteral("%1 and %2 read the same").arg(a).arg(b);
        QSet<QString> topicTexts;
        for (int k : topics) {
            if (labelAt(t, k).trimmed().isEmpty())
                faults << QStringLiteral("topic %1 missing").arg(k);
            else if (topicTexts.contains(labelAt(t, k)))
                faults << QStringLiteral("topic %1 reads like another topic").arg(k);
            topicTexts.insert(labelAt(t, k));
        }
        if (!causeHeader.match(labelAt(t, 794)).hasMatch())
            faults << QStringLiteral("794 not \"#=<header>\": ") + labelAt(t, 794);
        for (int k = 795; k <= 825; ++k) {
            const auto row = cause.match(labelAt(t, k));
            const auto englishRow = cause.match(labelAt(english, k));
            if (!row.hasMatch())
                faults << QStringLiteral("%1 not \"#=<number>;<meaning>\": ").arg(k) + labelAt(t, k);
            else if (row.captured(1) != englishRow.captured(1))
                faults << QStringLiteral("%1 names cause %2 where English names %3")
                              .arg(k)
                              .arg(row.captured(1), englishRow.captured(1));
        }
        EXPECT_TRUE(faults.isEmpty()) << "language " << language << ":\n" << qPrintable(faults.join(u'\n'));
    }
}

// The numbers the program's sources read from the table, as a literal or as a named constant of the same file
// ("labelText(56)", "labelOr(t, 902, ...)", "labelText(kCaptionError)" with "constexpr int kCaptionError = 47;").
// Numbers computed at run time ("kResultText + r") are left to the tests of their windows.
QMap<int, QString> numbersReadBySources()
{
    static const QRegularExpression constant(QStringLiteral("constexpr\\s+int\\s+(k\\w+)\\s*=\\s*(\\d+)\\s*;"));
    static const QRegularExpression read(
        QStringLiteral("\\b(?:labelText\\(\\s*|label(?:Or|At)\\(\\s*\\w+\\s*,\\s*)(\\d+|k\\w+)\\s*[,)]"));
    QMap<int, QString> found;
    QDirIterator files(QStringLiteral(MESK_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        QMap<QString, int> constants;
        for (auto m = constant.globalMatch(text); m.hasNext();) {
            const auto c = m.next();
            constants.insert(c.captured(1), c.captured(2).toInt());
        }
        for (auto m = read.globalMatch(text); m.hasNext();) {
            const QString number = m.next().captured(1);
            bool literal = false;
            const int k = number.toInt(&literal);
            if (literal)
                found.insert(k, files.fileName());
            else if (constants.contains(number))
                found.insert(constants.value(number), files.fileName());
        }
    }
    return found;
}

TEST(ShippedLanguageFile, EveryTextTheSourcesReadByNumberIsThereInEveryLanguage)
{
    const QMap<int, QString> numbers = numbersReadBySources();
    ASSERT_GT(numbers.size(), 300) << "the sources are found and read";
    for (const char* language : kLanguages) {
        Tlabels t;
        Tlabels names;
        readLanguageFile(kFile, QByteArray(language).toInt(), t, names);
        QStringList missing;
        for (auto it = numbers.begin(); it != numbers.end(); ++it)
            if (labelAt(t, it.key()).trimmed().isEmpty())
                missing << QStringLiteral("%1 (%2)").arg(it.key()).arg(it.value());
        EXPECT_TRUE(missing.isEmpty()) << "language " << language << ": " << qPrintable(missing.join(u' '));
    }
}

} // namespace
