// The gate file as a whole: round trips, section masks, tables, damaged and foreign files, error boxes.
#include "config/GateFile.h"
#include "ConfigTestImages.h"
#include "config/GateLayout.h"
#include "link/LinkState.h"
#include "support/ScriptedDialogs.h"
#include "texts/Labels.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The text of each section of a file, header line included.
QMap<QString, QByteArray> sectionsOf(const QByteArray& file)
{
    QMap<QString, QByteArray> out;
    QString current = QStringLiteral("<top>");
    for (const QByteArray& line : file.split('\n')) {
        if (line.startsWith('['))
            current = QString::fromUtf8(line.mid(1, line.indexOf(']') - 1));
        out[current] += line + '\n';
    }
    return out;
}

class GateFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetConfigState();
        ati3Reply.clear();
        ati4Reply.clear();
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const QString& name = QStringLiteral("gate.ini")) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
};

TEST_F(GateFileTest, FullImageSurvivesTheFullMask)
{
    for (int seed : {1, 2}) {
        SCOPED_TRACE(seed);
        const TParametres image = fullImage(seed);
        ati3Reply = "Mesk MY GSM-ISDN gateway,(c) Korvath,\xA9";
        ati4Reply = "SW : B-01.02 /V-02.05.20";
        ASSERT_TRUE(WriteGateFile(image, path(), gsAll));

        const QByteArray ati3 = ati3Reply;
        ati3Reply.clear();
        ati4Reply.clear();
        TParametres back = fullImage(3 - seed);
        GateReadReport report;
        EXPECT_TRUE(readGateSections(back, path(), gsAll, &report));
        EXPECT_TRUE(report.absentKeys.isEmpty()) << report.absentKeys.join(u' ').toStdString();
        EXPECT_TRUE(report.badKeys.isEmpty()) << report.badKeys.join(u' ').toStdString();
        EXPECT_TRUE(back == image);
        EXPECT_EQ(ati3Reply, ati3);
        EXPECT_EQ(ati4Reply, QByteArray("SW : B-01.02 /V-02.05.20"));
        EXPECT_TRUE(dialogs.boxes().isEmpty());
    }
}

// Reading one section changes exactly the members of that section.
TEST_F(GateFileTest, ReadingOneSectionLeavesTheRestOfTheImage)
{
    ASSERT_TRUE(WriteGateFile(fullImage(1), path(), gsAll));
    for (int mask : {1, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 1152, 1 | 2048 | 4096}) {
        SCOPED_TRACE(mask);
        TParametres image = fullImage(2);
        readGateSections(image, path(), mask);
        EXPECT_TRUE(image == mergeMasked(fullImage(2), fullImage(1), mask));
    }
}

// Writing one section leaves every other section of the file, byte for byte.
TEST_F(GateFileTest, WritingOneSectionLeavesTheOtherSections)
{
    const std::pair<int, QStringList> cases[] = {
        {gsSystem, {kSectionSystem}},
        {gsBasic, {kSectionGsm}},
        {gsGroups, {kSectionGsm}},
        {gsOutgoing, {kSectionOutgoing}},
        {gsIncoming, {kSectionIncoming}},
        {gsNetwork, {kSectionNetwork}},
        {gsLcr, {kSectionLcr}},
        {gsAutorouting, {kSectionAutorouting}},
        {gsExtension, {kSectionExtension}},
        {gsHolidays, {kSectionSystem, kSectionLcr}},
        {gsIsdn, {kSectionIsdn}},
        {gsPortModes, {kSectionPortModes}},
    };
    for (const auto& [mask, touched] : cases) {
        SCOPED_TRACE(mask);
        QFile::remove(path());
        ASSERT_TRUE(WriteGateFile(fullImage(1), path(), gsAll));
        const auto before = sectionsOf(readBytes(path()));
        ASSERT_TRUE(WriteGateFile(fullImage(2), path(), mask));
        const auto after = sectionsOf(readBytes(path()));
        ASSERT_EQ(before.keys(), after.keys());
        for (const QString& name : before.keys()) {
            if (touched.contains(name))
                EXPECT_NE(before[name], after[name]) << name.toStdString();
            else
                EXPECT_EQ(before[name], after[name]) << name.toStdString();
        }
        TParametres back;
        readGateSections(back, path(), gsAll);
        EXPECT_TRUE(back == mergeMasked(fullImage(1), fullImage(2), mask));
    }
}

TEST_F(GateFileTest, UnknownKeysAndSectionsSurviveAWrite)
{
    writeBytes(path(), "; written by hand\n[Mine]\nanswer=42\n\n[System parametres]\nZ99=keep me\nS91=1,2\n"
                       "[Lcr table]\nLimit=5\nLx=7\n");
    ASSERT_TRUE(WriteGateFile(fullImage(1), path(), gsAll));
    const QByteArray text = readBytes(path());
    EXPECT_TRUE(text.contains("[Mine]\nanswer=42\n"));
    EXPECT_TRUE(text.contains("Z99=keep me\n"));
    EXPECT_TRUE(text.contains("Limit=5\n")); // starts like a row key but is none
    EXPECT_TRUE(text.contains("Lx=7\n"));
    EXPECT_TRUE(text.contains("; written by hand"));
}

TEST_F(GateFileTest, TableThatShrankLeavesNoStaleRows)
{
    TParametres image = fullImage(1); // 64 LCR rows, 96 autorouting rows, 32 extension rows, 24 holidays
    ASSERT_TRUE(WriteGateFile(image, path(), gsAll));
    image.lcr.rows.resize(3);
    image.autorouting.rows.clear();
    image.extensions.rows.resize(1);
    image.lcr.holidays.resize(2);
    ASSERT_TRUE(WriteGateFile(image, path(), gsLcr | gsAutorouting | gsExtension | gsHolidays));

    const auto sections = sectionsOf(readBytes(path()));
    EXPECT_FALSE(sections[kSectionLcr].contains("\nL3="));
    EXPECT_FALSE(sections[kSectionLcr].contains("\nL63="));
    EXPECT_FALSE(sections[kSectionAutorouting].contains("\nA0="));
    EXPECT_FALSE(sections[kSectionExtension].contains("\nM1="));
    TParametres back;
    EXPECT_TRUE(readGateSections(back, path(), gsAll));
    EXPECT_TRUE(back == image);
}

TEST_F(GateFileTest, RowsBeyondTheRegistersAndEmptyRowsAreNotWritten)
{
    TParametres image;
    for (int i = 0; i < kMaxLcrRows + 5; ++i)
        image.lcr.rows.push_back(i == 1 ? QString() : QStringLiteral("1,00:00/24:00,%1,0").arg(i));
    ASSERT_TRUE(WriteGateFile(image, path(), gsLcr));
    TParametres back;
    EXPECT_TRUE(readGateSections(back, path(), gsLcr));
    ASSERT_EQ(back.lcr.rows.size(), size_t(kMaxLcrRows));
    EXPECT_EQ(back.lcr.rows[0], image.lcr.rows[0]);
    EXPECT_EQ(back.lcr.rows[1], image.lcr.rows[2]);
    EXPECT_EQ(back.lcr.rows.back(), image.lcr.rows[size_t(kMaxLcrRows)]);
}

// A damaged file: what can be read is read, each bad key takes its default, the sections report it.
TEST_F(GateFileTest, GapsAndBadValuesReadTheRest)
{
    writeBytes(path(), "[System parametres]\nS91=abc,5\nX22=07:30\nX20=01.04\n"
                       "[Gsm parametres]\nG08=4,60\nG09=1,2\nG05=7\nI05=1,2,3,4,5\n"
                       "[Incoming groups]\nG91=2,4,5,12,7,,\nG191=3,,\nG99=5,2\n"
                       "[Lcr table]\nL0=a\nL1=b\nL3=d\nL07=odd\nL70=far\nL5=\n"
                       "[ISDN port modes]\nX40=1,GG,B\n"
                       "[Autorouting table]\nA0=+420,1,,A\nA2=\nA4=+421,,5,C\n");
    TParametres image = fullImage(2);
    GateReadReport report;
    EXPECT_FALSE(readGateSections(image, path(), gsAll, &report));

    const TParametres defaults;
    EXPECT_EQ(image.system.cdrMode, defaults.system.cdrMode); // S91 unreadable: both values default
    EXPECT_EQ(image.system.gateId, defaults.system.gateId);
    EXPECT_EQ(image.system.resetTime, QStringLiteral("07:30"));
    EXPECT_EQ(image.system.winterDate, defaults.system.winterDate); // X20 lacks its second value
    EXPECT_EQ(image.basic.relaxDelay, 4);
    EXPECT_EQ(image.basic.ringTimeout, 60);
    EXPECT_EQ(image.basic.simFlags, defaults.basic.simFlags); // G09 short
    EXPECT_EQ(image.basic.dtmfDelay, 7);
    EXPECT_EQ(image.basic.causeNoModuleReady, 4); // a value more than we know is left alone
    EXPECT_EQ(image.incoming[0].mode, 2);
    EXPECT_EQ(image.incoming[0].cdnSeparator, QChar()); // "3,," has an empty separator field
    EXPECT_EQ(image.incoming[1].clipKeepHours, defaults.incoming[1].clipKeepHours); // G99 "5,2": too short
    EXPECT_EQ(image.lcr.rows, (std::vector<QString>{"a", "b", "d"}));
    EXPECT_EQ(image.portModeChars, defaults.portModeChars);
    EXPECT_EQ(image.autorouting.rows, (std::vector<QString>{"+420,1,,A", "+421,,5,C"}));
    EXPECT_TRUE(image.isdn == defaults.isdn); // section absent: every key its default
    EXPECT_TRUE(image.extensions.rows.empty());

    const QStringList expectedBad = {"System parametres/S91", "System parametres/X20", "Gsm parametres/G09",
                                     "Incoming groups/G99",   "Lcr table/L07",         "Lcr table/L70",
                                     "Lcr table/L5",          "Autorouting table/A2",  "ISDN port modes/X40"};
    for (const QString& key : expectedBad)
        EXPECT_TRUE(report.badKeys.contains(key)) << key.toStdString();
    EXPECT_EQ(report.badKeys.size(), expectedBad.size()) << report.badKeys.join(u' ').toStdString();
    EXPECT_TRUE(report.absentKeys.contains(QStringLiteral("ISDN parametres/I00")));
    EXPECT_FALSE(report.absentKeys.contains(QStringLiteral("System parametres/X22")));
    EXPECT_EQ(report.failedSections, (QStringList{kSectionSystem, kSectionGsm, kSectionIncoming, kSectionAutorouting,
                                                  kSectionLcr, kSectionPortModes}));
}

// A row value longer than its edit or row dialog lets a person type (and the gateway's field holds) is
// damaged: reported with its key and not loaded. The longest values the dialogs allow load; the extension
// rows, which nothing edits or sends, are read as they stand.
TEST_F(GateFileTest, ARowValueLongerThanItsDialogAllowsIsDamaged)
{
    const QByteArray d200(200, '5');
    const QByteArray clip47(47, '1');
    const QByteArray number14(14, '2');
    const QByteArray part10(10, '3');
    const QByteArray part11(11, '4');
    const QByteArray window = "00:00/24:00/w+";
    writeBytes(path(), "[Network list]\nI07=" + part10 + "/" + part10 + "," + part11 + "/\nN10=" + d200 +
                           "/\nN11=" + d200 + ",\nN12=" + part10 + "/" + part10 + ",\nN20=" + part10 + "/" +
                           part10 + ",/" + part11 + "\n[Autorouting table]\nA0=" + d200 + ",1,,A\nA1=+420," + d200 +
                           ",,A\nA2=" + clip47 + "," + number14 + ",,A\nA3=+1,,100,C\nA4=+2,,99,C\n"
                           "[Extension table]\nM0=" + d200 + ",u,p," + d200 + ",1,0,1\n"
                           "[Lcr table]\nL0=1," + window + "," + d200 + ",5\nL1=8," + window + ",1239123,99\nL2=12," +
                           window + ",1,0\nL3=1," + window + "/w+,1,0\n");
    TParametres image;
    GateReadReport report;
    EXPECT_FALSE(readGateSections(image, path(), gsAll, &report));

    const QStringList bad = {"Network list/I07",      "Network list/N10",      "Network list/N11",
                             "Network list/N20",      "Autorouting table/A0",  "Autorouting table/A1",
                             "Autorouting table/A3",  "Lcr table/L0",          "Lcr table/L2",
                             "Lcr table/L3"};
    EXPECT_EQ(report.badKeys, bad) << report.badKeys.join(u' ').toStdString();
    const TParametres defaults;
    EXPECT_EQ(image.briPrefixChanges, defaults.briPrefixChanges);
    EXPECT_EQ(image.networks[0].replacedPrefixes, defaults.networks[0].replacedPrefixes);
    EXPECT_EQ(image.networks[0].prefixes, (std::vector<QString>{part10 + "/" + part10}));
    EXPECT_EQ(image.networks[1].replacedPrefixes, defaults.networks[1].replacedPrefixes);
    EXPECT_EQ(image.autorouting.rows, (std::vector<QString>{clip47 + "," + number14 + ",,A", "+2,,99,C"}));
    EXPECT_EQ(image.lcr.rows, (std::vector<QString>{"8," + window + ",1239123,99"}));
    EXPECT_EQ(image.extensions.rows, (std::vector<QString>{d200 + ",u,p," + d200 + ",1,0,1"}));
}

// The value a key (or, for a table's row key, its table) has in the image, in the file's form.
QString heldValue(const TParametres& p, const char* section, const char* key)
{
    for (const GateKey& k : gateKeys())
        if (QLatin1String(k.section) == QLatin1String(section) && k.name == QLatin1String(key))
            return k.encode(p);
    for (const GateTable& t : gateTables())
        if (QLatin1String(t.section) == QLatin1String(section))
            return QStringList(t.constRows(p).begin(), t.constRows(p).end()).join(u'\n');
    return {};
}

// A cause transfer list, CLIP conversion list or winter/summer date that no dialog or date edit gives is
// damaged: reported with its key, its default taken. The range of a cause is the dialog's check alone. So is a
// value that its page holds in another form and would send as another value: a holiday whose day and month
// the save does not read as they stand, a code or bit set the page's lists and boxes have no place for, an LCR
// network with "/", an autorouting row of no service.
TEST_F(GateFileTest, ValuesNoDialogGivesAreDamaged)
{
    auto causes = [](const TParametres& p) {
        return QStringList(p.basic.causes.begin(), p.basic.causes.end()).join(u',');
    };
    auto clips = [](const TParametres& p) { return p.incoming[1].clipConversions; };
    auto dates = [](const TParametres& p) { return p.system.winterDate + u',' + p.system.summerDate; };
    const QString nine = QStringLiteral("1/16,17/17,0/200,999/1,1/2,3/4,5/6,7/8,9/10");
    const struct
    {
        const char* section;
        const char* key;
        QString value;
        bool damaged;
        std::function<QString(const TParametres&)> held;
    } cases[] = {
        {kSectionGsm, "G101", nine, false, causes},
        {kSectionGsm, "G101", nine + ",11/12", true, causes},
        {kSectionGsm, "G101", "1/16,1234/1", true, causes},
        {kSectionGsm, "G101", "1/", true, causes},
        {kSectionGsm, "G101", "a/1", true, causes},
        {kSectionIncoming, "G198", QString(15, u'1') + "/" + QString(15, u'2'), false, clips},
        {kSectionIncoming, "G198", QString(16, u'1') + "/" + QString(15, u'2'), true, clips},
        {kSectionSystem, "X20", "00.00,99.99", false, dates},
        {kSectionSystem, "X20", "1_.05,31.12", true, dates},
        {kSectionSystem, "X20", "1.05,31.12", true, dates},
        {kSectionSystem, "X20", "01.05,31.1a", true, dates},
        {kSectionLcr, "G06", "001.005, 1. 5,01.05.2024", false, nullptr}, // sent as 0501 each
        {kSectionLcr, "G06", "1.1 ,1 .1", false, nullptr},                // sent as 0101 each
        {kSectionLcr, "G06", "2. ,01.05", true, nullptr},
        {kSectionLcr, "G07", "01.05, .5", true, nullptr},
        {kSectionLcr, "G06", "1.1 5", true, nullptr},
        {kSectionLcr, "G06", "1 5.5", true, nullptr},
        {kSectionLcr, "G06", "01.05,1_.05", true, nullptr},
        {kSectionLcr, "G06", "ab.cd", true, nullptr},
        {kSectionLcr, "G06", "+1.5", true, nullptr},
        {kSectionLcr, "G07", "1.+5", true, nullptr},
        {kSectionLcr, "G06", "123.5", true, nullptr},
        {kSectionSystem, "S91", "4,0", true, nullptr},
        {kSectionGsm, "G02", "5,2", true, nullptr},
        {kSectionGsm, "G04", "3,7,0", true, nullptr},
        {kSectionGsm, "G103", "2,2,3,0", true, nullptr},
        {kSectionGsm, "G09", "8,0,0,0,0", true, nullptr},
        {kSectionGsm, "G09", "0,0,0,5,0", true, nullptr},
        {kSectionGsm, "G09", "0,0,0,0,1", true, nullptr},
        {kSectionIsdn, "I00", "TE", true, nullptr},
        {kSectionIsdn, "I01", "5,1", false, nullptr}, // a file the ISDN page writes itself
        {kSectionIsdn, "I09", "1,8,0", true, nullptr},
        {kSectionIsdn, "I50", "0,0,0,8", true, nullptr},
        {kSectionPortModes, "X40", "0,1,0", true, nullptr},
        {kSectionLcr, "L0", "/,08:00/17:00,1,0", true, nullptr},
        {kSectionAutorouting, "A0", "+420,,,X", true, nullptr},
    };
    const TParametres defaults;
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1=%2").arg(QLatin1String(c.key), c.value).toStdString());
        writeBytes(path(), QByteArray("[") + c.section + "]\n" + c.key + "=" + c.value.toLatin1() + "\n");
        TParametres image = fullImage(1);
        GateReadReport report;
        readGateSections(image, path(), gsAll, &report);
        const QStringList bad =
            c.damaged ? QStringList{QLatin1String(c.section) + u'/' + QLatin1String(c.key)} : QStringList();
        EXPECT_EQ(report.badKeys.join(u' ').toStdString(), bad.join(u' ').toStdString());
        const auto held = c.held ? c.held : [&c](const TParametres& p) { return heldValue(p, c.section, c.key); };
        EXPECT_EQ(held(image).toStdString(), (c.damaged ? held(defaults) : c.value).toStdString());
    }
}

TEST_F(GateFileTest, FailedSectionsShowTheirBoxAndClearTheFlag)
{
    labelTexts.assign(900, QString());
    labelTexts[47] = QStringLiteral("Error");
    labelTexts[62] = QStringLiteral("Read error");
    writeBytes(path(), "[System parametres]\nS91=x\n[Autorouting table]\nA0=\n[ISDN port modes]\nX40=1,0,0\n");

    TParametres image;
    EXPECT_TRUE(ReadGateFile(image, path(), gsPortModes)); // a good section alone
    EXPECT_TRUE(dialogs.boxes().isEmpty());

    EXPECT_FALSE(ReadGateFile(image, path(), gsAutorouting)); // fails without a box
    EXPECT_TRUE(dialogs.boxes().isEmpty());
    EXPECT_FALSE(gateReadSuccess);

    gateReadSuccess = true;
    EXPECT_FALSE(ReadGateFile(image, path(), gsAll));
    ASSERT_EQ(dialogs.boxes().size(), 1);
    EXPECT_EQ(dialogs.boxes()[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(dialogs.boxes()[0].flags, unsigned(MB_ICONERROR));
    EXPECT_TRUE(dialogs.boxes()[0].text.startsWith(QStringLiteral("Read error\n")));
    EXPECT_TRUE(dialogs.boxes()[0].text.contains(kSectionSystem));

    // The reader never sets the flag back: a good file read afterwards still reports the earlier failure.
    EXPECT_FALSE(ReadGateFile(image, path(), gsPortModes));
    EXPECT_EQ(image.portModeChars, (std::array<char, 3>{{'1', '0', '0'}}));
    labelTexts.clear();
}

TEST_F(GateFileTest, MissingFileGivesDefaultsAndOneBox)
{
    TParametres image = fullImage(1);
    GateReadReport report;
    EXPECT_FALSE(readGateSections(image, path(QStringLiteral("none.ini")), gsSystem | gsLcr, &report));
    EXPECT_TRUE(report.fileMissing);
    EXPECT_TRUE(image == mergeMasked(fullImage(1), TParametres{}, gsSystem | gsLcr));

    EXPECT_FALSE(ReadGateFile(image, path(QStringLiteral("none.ini")), gsAll));
    EXPECT_EQ(dialogs.boxes().size(), 1);
    EXPECT_FALSE(gateReadSuccess);
}

// The identification replies belong to the whole file: only the full mask reads or writes them.
TEST_F(GateFileTest, GateSectionOnlyWithTheFullMask)
{
    ati3Reply = "Mesk MX GSM-ISDN gateway";
    ASSERT_TRUE(WriteGateFile(fullImage(1), path(), gsAll & ~gsPortModes));
    EXPECT_FALSE(readBytes(path()).contains("[Gate]"));
    ASSERT_TRUE(WriteGateFile(fullImage(1), path(), gsAll));
    EXPECT_TRUE(readBytes(path()).contains("[Gate]\nATI3=Mesk MX GSM-ISDN gateway\n"));

    ati3Reply = "other";
    TParametres image;
    readGateSections(image, path(), gsAll & ~gsPortModes);
    EXPECT_EQ(ati3Reply, QByteArray("other"));
    readGateSections(image, path(), gsAll);
    EXPECT_EQ(ati3Reply, QByteArray("Mesk MX GSM-ISDN gateway"));

    // A file without the section takes "no reply", not the reply of the gateway connected now.
    writeBytes(path(QStringLiteral("b.ini")), "[System parametres]\nS91=1,1\n");
    readGateSections(image, path(QStringLiteral("b.ini")), gsAll);
    EXPECT_TRUE(ati3Reply.isEmpty());
}

// A file saved by a Windows editor: CR LF line ends and Windows-1250 text.
TEST_F(GateFileTest, WindowsEditorFilesRead)
{
    writeBytes(path(), "[Outgoing groups]\r\nS85=P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2\r\n"
                       "G11=230,1,2,3,4,5,6,7\r\n[Incoming groups]\r\n"
                       "G91=1,2,3,4,5,\xC1rv\xEDzt\xFBr\xF5,Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1\r\n");
    TParametres image;
    GateReadReport report;
    readGateSections(image, path(), gsOutgoing | gsIncoming, &report);
    EXPECT_TRUE(report.badKeys.isEmpty());
    EXPECT_EQ(image.outgoing[1].smsText, kCzech);
    EXPECT_EQ(image.outgoing[0].roamingNetwork, QStringLiteral("230"));
    EXPECT_EQ(image.outgoing[0].pseudoTariff, 7);
    EXPECT_EQ(image.incoming[0].disaPrefix, QStringLiteral("Árvíztűrő"));
    EXPECT_EQ(image.incoming[0].clip, kPolish);
}

// Values as somebody may type them into the file by hand.
TEST_F(GateFileTest, HandWrittenValues)
{
    writeBytes(path(),
               "[ISDN parametres]\nI62=C:\\dir\\n x\nI52=a\\,b, c\n[Gsm parametres]\nG05= 12 \nG101=1/16,,17/17,\n"
               "[Network list]\nN10=\nN11=1,2,3,4,\nN12=5\nN17=\nN19=Net\\,1, 7\n");
    TParametres image;
    GateReadReport report;
    EXPECT_TRUE(readGateSections(image, path(), gsIsdn | gsBasic | gsNetwork, &report))
        << report.badKeys.join(u' ').toStdString();
    EXPECT_EQ(image.isdn.aliveSmsText, QStringLiteral("C:\\dir\n x")); // "\d" is no escape of ours
    EXPECT_EQ(image.isdn.stateSmsText, QStringLiteral("a,b, c"));
    EXPECT_EQ(image.basic.dtmfDelay, 12);
    EXPECT_EQ(image.basic.causes, (std::vector<QString>{"1/16", "17/17"}));
    EXPECT_TRUE(image.networks[0].replacedPrefixes.empty());
    EXPECT_EQ(image.networks[0].prefixes, (std::vector<QString>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(image.networks[0].networkId, QStringLiteral("Net,1"));
    EXPECT_EQ(image.networks[0].defaultDigits, 7);
}

} // namespace
