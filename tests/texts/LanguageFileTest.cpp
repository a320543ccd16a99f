// Reading the language file: table size from "labels_count", texts by key, the language names.
#include "texts/LanguageFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

class LanguageFileTest : public ::testing::Test
{
protected:
    QString write(const QByteArray& content)
    {
        const QString name = dir.filePath(QStringLiteral("languages.ini"));
        QFile file(name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return name;
    }
    QTemporaryDir dir;
    Tlabels texts{QStringLiteral("stale")};
    Tlabels names{QStringLiteral("stale")};
};

TEST_F(LanguageFileTest, TableSizeFollowsLabelsCountWithNineHundredAsTheLeast)
{
    // Above the bound the table holds the bound's texts and the reader says so (2147483647 used to throw
    // std::bad_alloc at start-up).
    const std::pair<const char*, size_t> cases[] = {{"", 900},
                                                    {"labels_count=many\n", 900},
                                                    {"labels_count=250\n", 900},
                                                    {"labels_count=1200\n", 1200},
                                                    {"labels_count=4000\n", 4000},
                                                    {"labels_count=4001\n", 4000},
                                                    {"labels_count=2147483647\n", 4000}};
    for (const auto& [mainSection, size] : cases) {
        const bool within = readLanguageFile(
            write(QByteArray("[main]\n") + mainSection + "[1]\ns1199=last\ns899=edge\n"), 1, texts, names);
        ASSERT_EQ(texts.size(), size) << mainSection;
        EXPECT_EQ(within, size < 4000 || QByteArray(mainSection) == "labels_count=4000\n") << mainSection;
        EXPECT_EQ(texts[899], QStringLiteral("edge")) << mainSection;
        EXPECT_EQ(labelAt(texts, 1199), size >= 1200 ? QStringLiteral("last") : QString()) << mainSection;
    }
    EXPECT_TRUE(labelAt(texts, -1).isEmpty());
}

TEST_F(LanguageFileTest, TextsComeFromTheLanguagesSectionAndMissingKeysAreEmpty)
{
    const QString file = write("[main]\nlabels_count=982\n[0]\nlanguage=Čeština\ns5=pět\n"
                               "[1]\nlanguage=English\ns5=five\ns7=seven\ns0=zero\n");
    readLanguageFile(file, 1, texts, names);
    ASSERT_EQ(texts.size(), 982u);
    EXPECT_EQ(texts[0], QStringLiteral("zero"));
    EXPECT_EQ(texts[5], QStringLiteral("five"));
    EXPECT_TRUE(texts[6].isEmpty());
    EXPECT_EQ(texts[7], QStringLiteral("seven"));

    readLanguageFile(file, 0, texts, names);
    EXPECT_EQ(texts[5], QStringLiteral("pět"));
    EXPECT_TRUE(texts[7].isEmpty()) << "texts of the language read before must not stay";
    EXPECT_EQ(texts.size(), 982u) << "a second load replaces the table, it does not append";

    readLanguageFile(file, 7, texts, names); // a language without a section
    EXPECT_EQ(std::count(texts.begin(), texts.end(), QString()), 982);
    EXPECT_EQ(names.size(), 2u);
}

TEST_F(LanguageFileTest, LanguageNamesStopAtTheFirstSectionWithoutOne)
{
    readLanguageFile(write("[0]\nlanguage=\n[1]\nlanguage=English\n[2]\ns1=x\n[3]\nlanguage=Polski\n"), 1, texts,
                     names);
    EXPECT_EQ(names, (Tlabels{QString(), QStringLiteral("English")})) << "an empty name is a name";

    readLanguageFile(dir.filePath(QStringLiteral("none.ini")), 1, texts, names);
    EXPECT_EQ(texts.size(), 900u);
    EXPECT_TRUE(texts[0].isEmpty());
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none.ini")))) << "reading must not create the file";
}

TEST(ShippedLanguageFile, HoldsEveryTextNumberAndTheFourLanguagesInTheirOwnNames)
{
    Tlabels texts;
    Tlabels names;
    readLanguageFile(QStringLiteral(MESK_SOURCE_DIR "/data/languages.ini"), 1, texts, names);
    EXPECT_GE(texts.size(), 982u);
    EXPECT_EQ(names, (Tlabels{QStringLiteral("Čeština"), QStringLiteral("English"), QStringLiteral("Magyar"),
                              QStringLiteral("Polski")}));
    EXPECT_EQ(texts[418], QStringLiteral("Mesk config program"));
}

} // namespace
