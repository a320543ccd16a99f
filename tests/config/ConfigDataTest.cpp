// The files that ship beside the program (defaults and profiles) and the conversions the image relies on.
#include "ConfigTestImages.h"
#include "config/ConfigConversions.h"
#include "config/DefaultProfiles.h"
#include "config/GateFile.h"
#include "link/LinkState.h"
#include "platform/ProgramDir.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kData = QStringLiteral(MESK_SOURCE_DIR "/data");
// Every section but the gateway's identification: what the page defaults cover.
constexpr int kAllPages = gsAll & ~2;

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The shipped files are in the writer's own form and hold every key: reading and writing them back changes no
// byte.
TEST(ConfigData, DefaultsAreInTheWritersForm)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto& [file, mask] : {std::pair{QStringLiteral("defaults.ini"), kAllPages},
                                     std::pair{QStringLiteral("defaults/MX.ini"), int(gsAll)},
                                     std::pair{QStringLiteral("defaults/MY.ini"), int(gsAll)}}) {
        SCOPED_TRACE(file.toStdString());
        const QString copy = dir.filePath(QStringLiteral("copy.ini"));
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(kData + QLatin1Char('/') + file, copy));
        TParametres image;
        ASSERT_TRUE(readGateSections(image, copy, mask));
        ASSERT_TRUE(WriteGateFile(image, copy, mask));
        EXPECT_EQ(readBytes(copy), readBytes(kData + QLatin1Char('/') + file));
    }
}

TEST(ConfigData, ProfilesAreFactoryGatewaysOfBothModels)
{
    TParametres defaults = fullImage(1);
    ASSERT_TRUE(readGateSections(defaults, kData + QStringLiteral("/defaults.ini"), kAllPages));
    // Tables and lists of a factory-new gateway are empty; the replaced-prefix tables hold the page's "/".
    EXPECT_TRUE(defaults.lcr.rows.empty());
    EXPECT_TRUE(defaults.autorouting.rows.empty());
    EXPECT_EQ(defaults.networks[7].replacedPrefixes, std::vector<QString>{QStringLiteral("/")});

    const QString list = kData + QStringLiteral("/defaults/defaultProfiles.ini");
    const std::vector<DefaultProfile> profiles = ReadDefaultProfiles(list);
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles[0].name, QStringLiteral("MX"));
    EXPECT_EQ(profiles[1].name, QStringLiteral("MY"));
    for (const DefaultProfile& profile : profiles) {
        SCOPED_TRACE(profile.name.toStdString());
        EXPECT_FALSE(profile.caption.isEmpty());
        TParametres image = fullImage(2);
        GateReadReport report;
        ati3Reply.clear();
        EXPECT_TRUE(readGateSections(image, defaultProfileGateFile(profile, list), gsAll, &report));
        EXPECT_TRUE(report.absentKeys.isEmpty()) << report.absentKeys.join(u' ').toStdString();
        EXPECT_TRUE(image == defaults);
        // What the program decides the model by after loading a profile.
        EXPECT_EQ(ati3Reply.contains(" MY"), profile.name == QStringLiteral("MY"));
        EXPECT_EQ(ati3Reply.contains("MX"), profile.name == QStringLiteral("MX"));
    }
}

TEST(ConfigData, TheProfileListSkipsSectionsWithoutFileAndItsFilesStayInItsFolder)
{
    setProgramDir(QStringLiteral(MESK_BINARY_DIR)); // the build puts the shipped files beside the program
    EXPECT_TRUE(QFileInfo::exists(defaultsIniPath()));
    EXPECT_EQ(ReadDefaultProfiles().size(), 2u);
    setProgramDir(QString());

    const DefaultProfile evil{QStringLiteral("X"), QStringLiteral("X"), QStringLiteral("../../etc/passwd")};
    EXPECT_EQ(defaultProfileGateFile(evil, QStringLiteral("/opt/p/defaults/defaultProfiles.ini")),
              QStringLiteral("/opt/p/defaults/passwd"));

    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("defaultProfiles.ini"));
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[A]\nCaption=First\nFile=a.ini\n[B]\nCaption=No file\n[C]\nFile=c.ini\n");
    f.close();
    const std::vector<DefaultProfile> profiles = ReadDefaultProfiles(list);
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles[0].caption, QStringLiteral("First"));
    EXPECT_EQ(profiles[1].caption, QStringLiteral("C")); // no caption: the section name
    EXPECT_TRUE(ReadDefaultProfiles(dir.filePath(QStringLiteral("none.ini"))).empty());
}

// Every code of both bars goes through the basic page's load and save (BasicPageTest); here the edges.
TEST(ConfigConversions, VolumeCodesOutsideTheBarAndDayMonthDates)
{
    for (int positions : {5, 7}) {
        EXPECT_EQ(volumeCodeToPosition(positions, positions), -1);
        EXPECT_EQ(volumeCodeToPosition(-1, positions), -1);
        EXPECT_EQ(volumePositionToCode(positions, positions), -1);
    }
    const std::vector<std::pair<QString, QString>> toDigits = {
        {"01.05", "0501"}, {"1.5", "0501"}, {"31.12", "1231"}, {" 1. 5", "0501"}, {"00.00", "0000"},
        {"", "0000"},      {"abc", "0000"}, {"7", "0007"},     {"123.4", "0499"},
    };
    for (const auto& [in, out] : toDigits)
        EXPECT_EQ(dayMonthToDigits(in), out) << in.toStdString();
    EXPECT_EQ(digitsToDayMonth(QStringLiteral("0501")), QStringLiteral("01.05"));
    EXPECT_EQ(digitsToDayMonth(QStringLiteral("1231")), QStringLiteral("31.12"));
    EXPECT_EQ(digitsToDayMonth(QStringLiteral("105")), QString());
    // A date goes to the gateway and back unchanged.
    EXPECT_EQ(digitsToDayMonth(dayMonthToDigits(QStringLiteral("24.12"))), QStringLiteral("24.12"));
}

} // namespace
