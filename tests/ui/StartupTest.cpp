// The program's start: the windows, the settings read at the first activation, the language, and the
// start-up's end when the language file is missing.
#include "support/MainWindowFixture.h"

#include "link/ExchangeState.h"
#include "link/LinkState.h"
#include "link/ui/TfCommSettings.h"
#include "platform/IniFile.h"
#include "texts/LanguageFile.h"
#include "ui/Forms.h"
#include "ui/InputHold.h"
#include "ui/StartupSettings.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

using StartupTest = MainWindowFixture;

QList<bool> languageButtons()
{
    return {fMain->languageButtonDown(0), fMain->languageButtonDown(1), fMain->languageButtonDown(2),
            fMain->languageButtonDown(3)};
}

QList<bool> languageItems()
{
    return {fMain->mCzech->isChecked(), fMain->mEnglish->isChecked(), fMain->mHungary->isChecked(),
            fMain->mPolish->isChecked()};
}

// What the start-up made of the settings: link type, Append (record, box), SaveLog (record, box), the LAN, TAPI and
// ISDN time-outs, the clock synchronisation, ISDN modem number and name, modem speed, number and name, serial
// port, and the time-out the communication settings show.
QStringList settingsTaken()
{
    const ConnectionRecord& c = CurrentConnection;
    const auto n = [](qint64 v) { return QString::number(v); };
    return QStringList() << n(c.LinkType) << n(c.Append) << n(fCommSettings->cbAppendLog->isChecked()) << n(c.SaveLog)
                         << n(fCommSettings->cbSaveLog->isChecked()) << n(c.LanTimeout) << n(c.TapiTimeout)
                         << n(c.IsdnTimeout) << n(fMain->cbSynDateTime->isChecked()) << n(c.IsdnModem)
                         << c.IsdnModemName << n(c.ModemBaudRate) << n(c.TapiModem) << c.ModemName << c.ComPortName
                         << fCommSettings->eTimeResponse->text();
}

TEST_F(StartupTest, EveryWindowExistsOnceAsATopLevelWindowNamedAfterItsClass)
{
    createWindows();
    const QStringList classes = {"TfMain",    "TfCommSettings", "TfSpeedConnect",   "TfGatewayList", "TfNewGateway",
                                 "TwReset",   "TfExt",          "TfAuto",           "TfLcr",         "TfNet",
                                 "TfParam",   "TfLoad",         "TfFirm",           "TfHelp",        "TfCause",
                                 "TfDialing", "TfDialog",       "TfAddNumber",      "TfLogin",       "TfQuestionMark",
                                 "TfDefault", "TfInsertIp",     "TinCallPrefixForm"};
    for (const QString& name : classes) {
        QList<QWidget*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name)
                found << w;
        ASSERT_EQ(found.size(), 1) << qPrintable(name);
        EXPECT_EQ(QString::fromLatin1(found[0]->metaObject()->className()), name);
        EXPECT_EQ(found[0]->parentWidget(), nullptr) << qPrintable(name);
    }
}

TEST_F(StartupTest, WithoutSettingsFileEveryDefaultIsTakenAndTheTextsAreEnglish)
{
    CurrentConnection.ComPortName = QStringLiteral("COM9");
    startUp();
    EXPECT_TRUE(dialogs().boxes().isEmpty());
    // A serial link shows no time-out.
    EXPECT_EQ(settingsTaken(),
              (QStringList{"1", "1", "1", "1", "1", "5000", "60", "20", "1", "-1", "", "9600", "0", "", "", ""}));

    EXPECT_EQ(languageButtons(), (QList<bool>{false, true, false, false}));
    EXPECT_EQ(languageItems(), (QList<bool>{false, true, false, false}));
    EXPECT_EQ(fMain->topicNode(19)->text(0), QStringLiteral("System parametres"));
    EXPECT_EQ(fMain->mFile->title(), QStringLiteral("File"));
    EXPECT_EQ(fMain->windowTitle(), QStringLiteral("Mesk config program"));
    EXPECT_FALSE(firstActivation);
    EXPECT_FALSE(terminateRequested);
    EXPECT_EQ(CurrentGateway.Name, QStringLiteral("unnamed"));
    EXPECT_EQ(CurrentGateway.Port, 1001);
}

TEST_F(StartupTest, EverySettingGoesToItsPlace)
{
    writeSettings("commtype=2\ngateway=Office\nAppend=0\nSaveLog=0\nLanTimeout=7000\nTapiTimeout=61\n"
                  "IsdnTimeout=21\nSynchronizeTimeWithPc=0\nisdnModem=3\nisdnModemName=Isdn A\n"
                  "modemBaudRate=19200\nmodem=2\nmodemName=Hayes B\nComport=/dev/ttyUSB1\nlanguage=1\n");
    startUp();
    EXPECT_EQ(settingsTaken(), (QStringList{"2", "0", "0", "0", "0", "7000", "61", "21", "0", "3", "Isdn A", "19200",
                                            "2", "Hayes B", "/dev/ttyUSB1", "7000"}));

    const IniFile ini(path(QStringLiteral("settings.ini")));
    EXPECT_EQ(readStartupSettings(ini).gateway, QStringLiteral("Office"));
}

TEST_F(StartupTest, TheTimeOutShownFollowsTheLinkType)
{
    const struct
    {
        const char* commType;
        const char* shown;
    } cases[] = {{"2", "5000"}, {"3", "60"}, {"0", "20"}, {"1", ""}, {"4", ""}};
    for (const auto& c : cases) {
        writeSettings(QByteArray("commtype=") + c.commType + "\n");
        startUp();
        EXPECT_EQ(fCommSettings->eTimeResponse->text(), QString::fromLatin1(c.shown)) << c.commType;
        TearDown();
        SetUp();
    }
}

TEST_F(StartupTest, AnEmptyGatewayNameMeansTheUnnamedGateway)
{
    writeSettings("gateway=\n");
    const IniFile ini(path(QStringLiteral("settings.ini")));
    EXPECT_EQ(readStartupSettings(ini).gateway, QStringLiteral("unnamed"));
}

TEST_F(StartupTest, ALanguageOutsideTheFourMarksNothingAndShowsTheBuiltInTexts)
{
    writeSettings("language=7\n");
    startUp();
    EXPECT_EQ(languageButtons(), (QList<bool>{false, false, false, false}));
    EXPECT_EQ(languageItems(), (QList<bool>{false, false, false, false}));
    ASSERT_GE(labelTexts.size(), 982u);
    for (const QString& t : labelTexts)
        ASSERT_TRUE(t.isEmpty());
    EXPECT_EQ(fMain->mGatewayControl->title(), QStringLiteral("Gateway control"));
    EXPECT_EQ(fMain->topicNode(8)->text(0), QStringLiteral("Statistics"));
}

TEST_F(StartupTest, AMissingLanguageFileIsReportedAndEndsTheProgram)
{
    removeFile(QStringLiteral("languages.ini"));
    startUp();
    ASSERT_EQ(dialogs().boxes().size(), 1);
    const auto& box = dialogs().boxes().first();
    EXPECT_EQ(box.text, QStringLiteral("Language file not found, program will be closed.\n"
                                       "Soubor s jazykovým nastavením nebyl nalezen, program bude ukončen."));
    EXPECT_EQ(box.caption, QStringLiteral("Error"));
    EXPECT_EQ(box.flags, 0x10u);
    EXPECT_TRUE(terminateRequested);
    // The rest of the start-up still ran: the built-in texts are up.
    EXPECT_EQ(fMain->topicNode(0)->text(0), QStringLiteral("Online configuration"));
    EXPECT_FALSE(firstActivation);
}

TEST_F(StartupTest, AnOversizedLabelsCountIsCutToTheBoundAndSaidOnce)
{
    // 2147483647 used to end the program with std::bad_alloc before any window showed.
    QByteArray file = readFile(QStringLiteral("languages.ini"));
    const qsizetype at = file.indexOf("labels_count=");
    ASSERT_GE(at, 0);
    file = file.left(at) + "labels_count=2147483647" + file.mid(file.indexOf('\n', at));
    writeFile(QStringLiteral("languages.ini"), file);
    startUp();
    EXPECT_EQ(labelTexts.size(), size_t(kMaxLabelsCount));
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_TRUE(dialogs().boxes().first().text.contains(QString::number(kMaxLabelsCount)));
    EXPECT_EQ(dialogs().boxes().first().flags, unsigned(MB_ICONWARNING));
    fMain->tbCzechClick();
    EXPECT_EQ(dialogs().boxes().size(), 1) << "said once";
    EXPECT_EQ(fMain->topicNode(0)->text(0), QStringLiteral("Online konfigurace"));
}

TEST_F(StartupTest, TheStartUpRunsOnceAndKeepsThePortModesFlag)
{
    createWindows();
    pageChanged.fill(1);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(fMain, &activate);
    EXPECT_FALSE(firstActivation);
    for (int flag = 0; flag < pcCount; ++flag)
        EXPECT_EQ(pageChanged[flag], flag == pcPortModes ? 1 : 0) << flag;

    // A later activation (a dialog closing) neither reads the settings again nor touches the flags.
    writeSettings("commtype=3\n");
    pageChanged[pcLcr] = 1;
    QApplication::sendEvent(fMain, &activate);
    EXPECT_EQ(CurrentConnection.LinkType, 1);
    EXPECT_EQ(pageChanged[pcLcr], 1);
}

TEST_F(StartupTest, TheProgramStartsInItsEventLoopAndEndsWhenItsMainWindowCloses)
{
    createWindows();
    quitOnTerminate = true;
    QApplication::setQuitOnLastWindowClosed(false);
    fMain->show();
    QTimer::singleShot(0, fMain, [] { fMain->FormActivate(); });
    QTimer::singleShot(20, fMain, [] {
        fMain->mAboutClick(); // a window still open must not keep the program alive
        fMain->close();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(firstActivation);
    EXPECT_FALSE(fMain->isVisible());
    QApplication::setQuitOnLastWindowClosed(true);
}

// Qt keeps the first window-system handler and says nothing of a later one: a hold that could not take the
// window system's events says so, and leaves the main window's hold as it was.
TEST_F(StartupTest, AHoldThatCannotTakeTheWindowSystemsEventsSaysSo)
{
    createWindows();
    QMainWindow other;
    EXPECT_FALSE(installInputHold(&other, nullptr));
    EXPECT_EQ(dialogs().boxes().size(), 1);
    const LinkWaitScope wait; // the main window's hold still shows the busy cursor
    QTest::qWait(kBusyCursorMs + 100);
    ASSERT_TRUE(QGuiApplication::overrideCursor());
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
}

} // namespace
