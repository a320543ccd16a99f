// The label pass on the places built so far: every place shows its own entry, or its English text when the
// entry is empty; and the language switch.
#include "support/MainWindowFixture.h"

#include "platform/IniFile.h"
#include "texts/ProgramVersion.h"
#include "ui/TfDefault.h"
#include "ui/TfHelp.h"
#include "ui/TfMain.h"
#include "ui/TwReset.h"
#include "ui/UiState.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <functional>

namespace {

// One place of the pass: what it shows, its entry number, its English text.
struct Place
{
    QString name;
    std::function<QString()> read;
    int k;
    QString english;
};

QList<Place> places()
{
    QList<Place> list;
    auto action = [&list](QAction* a, int k, const char* english) {
        list.append({a->objectName(), [a] { return a->text(); }, k, QString::fromUtf8(english)});
    };
    auto hint = [&list](QAction* a, int k, const char* english) {
        list.append({a->objectName() + ".hint", [a] { return a->toolTip(); }, k, QString::fromUtf8(english)});
    };
    auto menu = [&list](QMenu* m, int k, const char* english) {
        list.append({m->objectName(), [m] { return m->title(); }, k, QString::fromUtf8(english)});
    };
    auto label = [&list](QLabel* l, int k, const char* english) {
        list.append({l->objectName(), [l] { return l->text(); }, k, QString::fromUtf8(english)});
    };
    auto node = [&list](int index, int k, const char* english) {
        list.append({QStringLiteral("node %1").arg(index), [index] { return fMain->topicNode(index)->text(0); }, k,
                     QString::fromUtf8(english)});
    };
    TfMain* m = fMain;
    action(m->mConnect, 0, "Connect gateway");
    action(m->mDisconnect, 1, "Disconnect gateway");
    action(m->mGatewayList, 2, "List of gateways...");
    action(m->mLoad, 3, "Load");
    action(m->mSave, 4, "Save");
    action(m->mLoadO, 5, "Load otherwise...");
    action(m->mSaveAs, 6, "Save as...");
    action(m->mDefault, 7, "Default settings");
    action(m->mClose, 8, "Close");
    menu(m->mFile, 9, "File");
    menu(m->mGateway, 10, "Gateway");
    menu(m->mGatewayControl, 11, "Gateway control");
    menu(m->mSettings, 12, "Settings");
    action(m->mCommSett, 13, "Communication settings...");
    menu(m->mLanguage, 14, "Language");
    menu(m->mHelp, 15, "Help");
    action(m->mAbout, 16, "About...");
    const std::pair<QAction*, std::pair<int, const char*>> topics[] = {
        {m->mLogin, {17, "Login account"}},
        {m->mDate, {18, "Date/time"}},
        {m->mFirm, {19, "Firmware"}},
        {m->mTrac, {20, "Tracing"}},
        {m->mTerm, {21, "Terminal"}},
        {m->mLogFile, {22, "Log file"}},
        {m->mCallData, {23, "Call data records"}},
        {m->mStat, {24, "Statistics"}},
        {m->mVoiceMess, {25, "Voice message"}},
        {m->mDiag, {26, "Diagnostic calls..."}},
        {m->mActual, {235, "Actual calls..."}},
        {m->mBuffer, {494, "Buffer state..."}},
        {m->mConState, {505, "Connection state..."}},
        {m->mGsmInfo, {543, "GSM monitor info..."}},
        {m->mTest, {548, "Test calls..."}},
        {m->mCommands, {685, "Online commands..."}},
        {m->mDynamic, {704, "Show dynamic CLIP routing table..."}},
    };
    int index = 1;
    for (const auto& [item, text] : topics) {
        action(item, text.first, text.second);
        node(index++, text.first, text.second); // the node copies its menu item
    }
    action(m->mIsdnModems, 671, "ISDN modems...");
    node(0, 28, "Online configuration");
    node(18, 29, "Configuration parametres");
    node(19, 30, "System parametres");
    node(20, 584, "ISDN parametres");
    node(21, 834, "ISDN port modes");
    node(22, 32, "GSM basic parametres");
    node(23, 34, "GSM outgoing groups");
    node(24, 35, "GSM incoming groups");
    node(25, 36, "Network list");
    node(26, 37, "LCR table");
    node(27, 38, "Autorouting table");
    node(28, 40, "Reset");
    node(29, 41, "Gateway reset");
    node(30, 42, "Factory parametres reset");
    list.append({"tsAlfa", [m] { return m->pcMain->tabText(1); }, 43, "Alphabetical glossary"});
    list.append({"tsTopic", [m] { return m->pcMain->tabText(0); }, 44, "Topics"});
    hint(m->tbLoad, 468, "Load from file");
    hint(m->tbSave, 469, "Save to file");
    hint(m->tbConnect, 470, "Connect gateway");
    hint(m->tbDisconnect, 471, "Disconnect gateway");
    hint(m->tbLoadGate, 472, "Load parametres from file");
    hint(m->tbSaveGate, 473, "Save parametres parametres from file");
    hint(m->tbCzech, 474, "Čeština");
    hint(m->tbEnglish, 475, "English");
    hint(m->tbTerminal, 21, "Terminal");
    hint(m->tbClose, 476, "Close program");
    list.append({"caption", [m] { return m->windowTitle(); }, 418, "Mesk config program"});
    list.append(
        {"application title", [] { return QApplication::applicationDisplayName(); }, 418, "Mesk config program"});
    list.append({"TfDefault", [] { return fDefault->windowTitle(); }, 855, "Default configurations"});
    label(fDefault->Label1, 856, "When default configuration is used current configuration will be lost.");
    list.append({"BitBtn2", [] { return fDefault->BitBtn2->text(); }, 90, "Cancel"});
    label(wReset->Label1, 108, "Gateway is reseting ... please wait ...");
    list.append({"TwReset", [] { return wReset->windowTitle(); }, 109, "Gateway restart"});
    label(fHelp->lb4, 420, "For firmware : ");
    list.append({"TfHelp", [] { return fHelp->windowTitle(); }, 426, "About"});
    return list;
}

class LabelPassTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        createWindows();
    }
    static Tlabels numbered()
    {
        Tlabels t(982);
        for (size_t k = 0; k < t.size(); ++k)
            t[k] = QStringLiteral("#%1").arg(k);
        return t;
    }
    void apply(const Tlabels& t)
    {
        labelTexts = t;
        fMain->setLabels(labelTexts);
    }
};

TEST_F(LabelPassTest, WithAnEmptyTableEveryPlaceShowsItsEnglishText)
{
    apply(numbered()); // something else first, so that nothing passes by staying as built
    apply(Tlabels(982));
    for (const Place& p : places())
        EXPECT_EQ(p.read(), p.english) << qPrintable(p.name);
    EXPECT_EQ(fMain->Novkonfiguransoubor1->text(), QStringLiteral("Default configurations ..."));
    EXPECT_EQ(fHelp->lb3->text(), QStringLiteral("Program version :  2.1a"));
    EXPECT_EQ(fHelp->lb2->text(), QStringLiteral("Mesk config"));
    EXPECT_TRUE(fHelp->lbWww->text().startsWith(QStringLiteral("https://")));
}

TEST_F(LabelPassTest, EveryPlaceShowsItsOwnEntry)
{
    apply(numbered());
    for (const Place& p : places())
        EXPECT_EQ(p.read(), QStringLiteral("#%1").arg(p.k)) << qPrintable(p.name);
    EXPECT_EQ(fMain->Novkonfiguransoubor1->text(), QStringLiteral("#855 ..."));
    EXPECT_EQ(fHelp->lb2->text(), QStringLiteral("#418"));
    EXPECT_EQ(fHelp->lb3->text(), QStringLiteral("#419 2.1a"));
    EXPECT_EQ(fHelp->lb7->text(), QStringLiteral("#421"));
    EXPECT_EQ(fHelp->lb8->text(), QStringLiteral("#422"));
    EXPECT_EQ(fHelp->lbWww->text(), QStringLiteral("#423"));
    EXPECT_EQ(fHelp->lb5->text(), QStringLiteral("#424"));
    EXPECT_EQ(fHelp->lb6->text(), QStringLiteral("#425"));
    EXPECT_EQ(fHelp->lbFirm->text(), QStringLiteral("V-02.04.17, V-02.05.17, V-02.04.20\nV-02.05.20"));
}

TEST_F(LabelPassTest, ABlankEntryIsShownAsItIs)
{
    Tlabels t(982);
    t[9] = QStringLiteral(" ");
    t[41] = QStringLiteral(" ");
    apply(t);
    EXPECT_EQ(fMain->mFile->title(), QStringLiteral(" "));
    EXPECT_EQ(fMain->topicNode(29)->text(0), QStringLiteral(" "));
}

TEST_F(LabelPassTest, TheAlphabeticalListHoldsTheTopicsInOrderOfTheirTexts)
{
    for (const Tlabels& t : {Tlabels(982), numbered()}) {
        apply(t);
        QStringList leaves;
        for (int i = 0; i < 31; ++i)
            if (fMain->topicNode(i)->parent())
                leaves << fMain->topicNode(i)->text(0);
        QStringList alpha;
        for (int i = 0; i < fMain->tvAlpha->topLevelItemCount(); ++i) {
            QTreeWidgetItem* entry = fMain->tvAlpha->topLevelItem(i);
            alpha << entry->text(0);
            EXPECT_EQ(fMain->topicNodeOf(NavigationPart::nodeTopic(entry))->text(0), entry->text(0))
                << "an entry opens the topic whose text it shows";
        }
        ASSERT_EQ(alpha.size(), 28);
        for (int i = 1; i < alpha.size(); ++i)
            EXPECT_LE(QString::localeAwareCompare(alpha[i - 1], alpha[i]), 0) << qPrintable(alpha[i]);
        std::sort(leaves.begin(), leaves.end());
        QStringList sortedAlpha = alpha;
        std::sort(sortedAlpha.begin(), sortedAlpha.end());
        EXPECT_EQ(sortedAlpha, leaves);
    }
}

TEST_F(LabelPassTest, TheTitleFollowsTheTopicOnShow)
{
    currentTopic = 30;
    apply(numbered());
    EXPECT_EQ(fMain->lbMain->text(), QStringLiteral("#30"));
    Tlabels t(982);
    currentTopic = 30;
    apply(t);
    EXPECT_EQ(fMain->lbMain->text(), QString()) << "the title has no English text";
    currentTopic = -1;
    apply(numbered());
    EXPECT_EQ(fMain->lbMain->text(), QString());
}

TEST_F(LabelPassTest, LanguageNamesGoToTheMenuAndAShortListLeavesTheRestAsItWas)
{
    languageNames = {QStringLiteral("Čeština"), QStringLiteral("English"), QStringLiteral("Magyar"),
                     QStringLiteral("Polski")};
    apply(numbered());
    EXPECT_EQ(fMain->mCzech->text(), QStringLiteral("Čeština"));
    EXPECT_EQ(fMain->mEnglish->text(), QStringLiteral("English"));
    EXPECT_EQ(fMain->mHungary->text(), QStringLiteral("Magyar"));
    EXPECT_EQ(fMain->mPolish->text(), QStringLiteral("Polski"));
    EXPECT_EQ(fMain->tbHungary->toolTip(), QStringLiteral("Magyar"));
    EXPECT_EQ(fMain->tbPolish->toolTip(), QStringLiteral("Polski"));
    EXPECT_EQ(fMain->tbCzech->toolTip(), QStringLiteral("#474")) << "the hint step comes later and wins";

    languageNames = {QStringLiteral("A"), QStringLiteral("B")};
    apply(numbered());
    EXPECT_EQ(fMain->mCzech->text(), QStringLiteral("A"));
    EXPECT_EQ(fMain->mEnglish->text(), QStringLiteral("B"));
    EXPECT_EQ(fMain->mHungary->text(), QStringLiteral("Magyar"));
    EXPECT_EQ(fMain->mFile->title(), QStringLiteral("#9")) << "the pass goes on after the names";
}

TEST_F(LabelPassTest, RunningThePassTwiceChangesNothing)
{
    apply(numbered());
    QStringList first;
    for (const Place& p : places())
        first << p.read();
    fMain->setLabels(labelTexts);
    QStringList second;
    for (const Place& p : places())
        second << p.read();
    EXPECT_EQ(first, second);
    EXPECT_EQ(fMain->tvAlpha->topLevelItemCount(), 28);
}

TEST_F(LabelPassTest, TheShippedEnglishTextsAreTheBuiltInOnes)
{
    // Section "1" of the shipped file must read exactly like the built-in texts, so that English looks the
    // same with and without the file (SimpleIni drops trailing blanks, so the two entries ending in one
    // are compared trimmed).
    fMain->loadLabels(1);
    fMain->setLabels(labelTexts);
    QStringList shipped;
    for (const Place& p : places())
        shipped << p.read().trimmed();
    apply(Tlabels(982));
    for (int i = 0; const Place& p : places())
        EXPECT_EQ(shipped[i++], p.read().trimmed()) << qPrintable(p.name);
}

class LanguageSwitchTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        // Four languages whose topic texts sort differently: the texts of language L start with a number
        // that runs up with the tree for even L and down for odd L.
        QByteArray file = "[main]\nlabels_count=982\n";
        for (int lang = 0; lang < 4; ++lang) {
            file += "[" + QByteArray::number(lang) + "]\nlanguage=L" + QByteArray::number(lang) + "\n";
            const int topics[] = {17,  18,  19,  20, 21,  22,  23, 24, 25, 26, 235, 494, 505, 543,
                                  548, 685, 704, 30, 584, 834, 32, 34, 35, 36, 37,  38,  41,  42};
            for (int i = 0; i < 28; ++i) {
                const int number = lang % 2 ? 99 - i : 10 + i;
                file += "s" + QByteArray::number(topics[i]) + "=" + QByteArray::number(number) + " L" +
                        QByteArray::number(lang) + "\n";
            }
        }
        writeFile(QStringLiteral("languages.ini"), file);
        startUp();
    }

    QList<bool> marks() const
    {
        return {fMain->tbCzech->isChecked(),  fMain->tbEnglish->isChecked(), fMain->tbHungary->isChecked(),
                fMain->tbPolish->isChecked(), fMain->mCzech->isChecked(),    fMain->mEnglish->isChecked(),
                fMain->mHungary->isChecked(), fMain->mPolish->isChecked()};
    }
    QStringList alphabetical() const
    {
        QStringList texts;
        for (int i = 0; i < fMain->tvAlpha->topLevelItemCount(); ++i)
            texts << fMain->tvAlpha->topLevelItem(i)->text(0);
        return texts;
    }
    int storedLanguage() const
    {
        const IniFile ini(path(QStringLiteral("settings.ini")));
        return ini.ReadInteger(QStringLiteral("main"), QStringLiteral("language"), -1);
    }
};

TEST_F(LanguageSwitchTest, EachButtonMarksItsLanguageAppliesItsTextsAndStoresIt)
{
    QAction* const buttons[] = {fMain->tbCzech, fMain->tbEnglish, fMain->tbHungary, fMain->tbPolish};
    for (int lang : {2, 0, 3, 1, 1}) {
        buttons[lang]->trigger();
        QList<bool> expected(8, false);
        expected[lang] = expected[4 + lang] = true;
        EXPECT_EQ(marks(), expected) << lang;
        EXPECT_EQ(storedLanguage(), lang);
        EXPECT_EQ(fMain->topicNode(1)->text(0), QStringLiteral("%1 L%2").arg(lang % 2 ? 99 : 10).arg(lang));
        const QStringList alpha = alphabetical();
        EXPECT_EQ(alpha.first(), QStringLiteral("%1 L%2").arg(lang % 2 ? 72 : 10).arg(lang))
            << "the alphabetical list is sorted again";
        EXPECT_EQ(fMain->mPolish->text(), QStringLiteral("L3"));
    }
}

TEST_F(LanguageSwitchTest, AMenuItemEndsInTheSameStateAsItsButton)
{
    fMain->tbHungary->trigger();
    const QList<bool> byButton = marks();
    const QStringList textsByButton = alphabetical();
    fMain->tbEnglish->trigger();
    fMain->mHungary->trigger();
    EXPECT_EQ(marks(), byButton);
    EXPECT_EQ(alphabetical(), textsByButton);
    EXPECT_EQ(storedLanguage(), 2);
}

TEST_F(LanguageSwitchTest, TheTitleOfTheTopicOnShowFollowsTheLanguage)
{
    fMain->selectTopic(30);
    fMain->tbPolish->trigger();
    EXPECT_EQ(fMain->lbMain->text(), labelText(30));
    EXPECT_TRUE(fMain->lbMain->text().endsWith(QStringLiteral("L3")));
}

TEST_F(LanguageSwitchTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheSwitchHolds)
{
    removeFile(QStringLiteral("settings.ini"));
    ASSERT_TRUE(QDir(programFolder()).mkdir(QStringLiteral("settings.ini"))); // a folder cannot be written as a file
    fMain->tbCzech->trigger();
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_TRUE(dialogs().boxes().first().text.startsWith(QStringLiteral("Unable to write to")))
        << qPrintable(dialogs().boxes().first().text);
    EXPECT_EQ(dialogs().boxes().first().flags, 0x10u);
    EXPECT_TRUE(fMain->tbCzech->isChecked());
    EXPECT_TRUE(fMain->topicNode(1)->text(0).endsWith(QStringLiteral("L0")));
}

} // namespace
