// The label pass on the places built so far: every place shows its own entry, or its English text when the
// entry is empty; and the language switch.
#include "support/MainWindowFixture.h"

#include "firmware/ui/TfFirm.h"
#include "link/LiveTools.h"
#include "online/ui/VoicePage.h"
#include "platform/IniFile.h"
#include "texts/LanguageFile.h"
#include "texts/ProgramVersion.h"
#include "ui/TfDefault.h"
#include "ui/TfHelp.h"
#include "ui/TfMain.h"
#include "ui/TwReset.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

// Each window's places with their entry numbers: "-" stands for the window's title, a name ending in "?" for
// a tool button's hint.
const char* const kPlaces[] = {
    "TfMain - 418 mConnect 0 mDisconnect 1 mGatewayList 2 mLoad 3 mSave 4 mLoadO 5 mSaveAs 6 mDefault 7 mClose 8 "
    "mFile 9 mGateway 10 mGatewayControl 11 mSettings 12 mCommSett 13 mLanguage 14 mHelp 15 mAbout 16",
    "TfMain mLogin 17 mDate 18 mFirm 19 mTrac 20 mTerm 21 mLogFile 22 mCallData 23 mStat 24 mVoiceMess 25 mDiag 26 "
    "mActual 235 mBuffer 494 mConState 505 mGsmInfo 543 mTest 548 mCommands 685 mDynamic 704 mIsdnModems 671",
    "TfMain tbLoad? 468 tbSave? 469 tbConnect? 470 tbDisconnect? 471 tbLoadGate? 472 tbSaveGate? 473 tbCzech? 474 "
    "tbEnglish? 475 tbTerminal? 21 tbClose? 476",
    "TfDefault - 855 Label1 856 BitBtn2 90",
    "TwReset - 109 Label1 108",
    "TfHelp - 426 lb2 418 lb4 420",
};
// The entry of each node of the topic tree; nodes 1 to 17 copy their menu items.
const int kNodeTexts[] = {28,  17,  18, 19, 20,  21,  22, 23, 24, 25, 26, 235, 494, 505, 543, 548,
                          685, 704, 29, 30, 584, 834, 32, 34, 35, 36, 37, 38,  40,  41,  42};

struct Place
{
    QString name;
    QString text;
    int k;
};

QList<Place> places()
{
    QList<Place> out;
    for (const char* line : kPlaces) {
        const QStringList words = QString::fromLatin1(line).split(QLatin1Char(' '));
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            window = w->objectName() == words[0] ? w : window;
        for (qsizetype i = 1; window && i + 1 < words.size(); i += 2) {
            QString name = words[i];
            const bool hint = name.endsWith(QLatin1Char('?'));
            name.chop(hint ? 1 : 0);
            QObject* o = window->findChild<QObject*>(name);
            QString text = name == QLatin1String("-") ? window->windowTitle() : QStringLiteral("?");
            if (auto* action = qobject_cast<QAction*>(o))
                text = hint ? action->toolTip() : action->text();
            else if (auto* menu = qobject_cast<QMenu*>(o))
                text = menu->title();
            else if (auto* label = qobject_cast<QLabel*>(o))
                text = label->text();
            else if (auto* button = qobject_cast<QAbstractButton*>(o))
                text = button->text();
            out.append({words[0] + QLatin1Char('.') + words[i], text, words[i + 1].toInt()});
        }
    }
    for (int node = 0; node < 31; ++node)
        out.append({QStringLiteral("node %1").arg(node), fMain->topicNode(node)->text(0), kNodeTexts[node]});
    out.append({QStringLiteral("tsTopic"), fMain->pcMain->tabText(0), 44});
    out.append({QStringLiteral("tsAlfa"), fMain->pcMain->tabText(1), 43});
    out.append({QStringLiteral("application"), applicationTitle(), 418});
    return out;
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

TEST_F(LabelPassTest, EveryPlaceShowsItsOwnEntry)
{
    apply(numbered());
    const QList<Place> shown = places();
    EXPECT_EQ(shown.size(), 88);
    for (const Place& p : shown)
        EXPECT_EQ(p.text, QStringLiteral("#%1").arg(p.k)) << qPrintable(p.name);
    EXPECT_EQ(fMain->Novkonfiguransoubor1->text(), QStringLiteral("#855 ..."));
    // No display name of the application: the toolkit would append it to every window caption.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    EXPECT_EQ(fHelp->lb3->text(), QStringLiteral("#419 2.1a"));
    EXPECT_EQ(fHelp->lb7->text(), QStringLiteral("#421"));
    EXPECT_EQ(fHelp->lb8->text(), QStringLiteral("#422"));
    EXPECT_EQ(fHelp->lbWww->text(), QStringLiteral("#423"));
    EXPECT_EQ(fHelp->lb5->text(), QStringLiteral("#424"));
    EXPECT_EQ(fHelp->lb6->text(), QStringLiteral("#425"));
    EXPECT_EQ(fHelp->lbFirm->text(), QStringLiteral("V-02.04.17, V-02.05.17, V-02.04.20\nV-02.05.20"));
}

// Every text number a built window shows through the label pass, found by showing each entry as "#k".
QSet<int> numbersShown()
{
    static const QRegularExpression number(QStringLiteral("#(\\d+)"));
    QSet<int> found;
    auto note = [&found](const QString& text) {
        // A digit that a place puts right after its text (the ISDN page's "BRI" column heads) runs into the
        // number; no table reaches that far.
        for (auto m = number.globalMatch(text); m.hasNext();)
            if (const int k = m.next().captured(1).toInt(); k < kMaxLabelsCount)
                found.insert(k);
    };
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QList<QObject*> objects = window->findChildren<QObject*>();
        objects.prepend(window);
        for (QObject* o : objects) {
            if (auto* w = qobject_cast<QWidget*>(o)) {
                note(w->windowTitle());
                note(w->toolTip());
            }
            if (auto* a = qobject_cast<QAction*>(o)) {
                note(a->text());
                note(a->toolTip());
            } else if (auto* m = qobject_cast<QMenu*>(o)) {
                note(m->title());
            } else if (auto* l = qobject_cast<QLabel*>(o)) {
                note(l->text());
            } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
                note(b->text());
            } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
                note(g->title());
            } else if (auto* c = qobject_cast<QComboBox*>(o)) {
                for (int i = 0; i < c->count(); ++i)
                    note(c->itemText(i));
            } else if (auto* t = qobject_cast<QTabWidget*>(o)) {
                for (int i = 0; i < t->count(); ++i)
                    note(t->tabText(i));
            } else if (auto* t = qobject_cast<QTabBar*>(o)) {
                for (int i = 0; i < t->count(); ++i)
                    note(t->tabText(i));
            } else if (auto* t = qobject_cast<QTreeWidget*>(o)) {
                for (int c = 0; c < t->columnCount(); ++c)
                    note(t->headerItem()->text(c));
                for (QTreeWidgetItemIterator it(t); *it; ++it)
                    note((*it)->text(0));
            } else if (auto* e = qobject_cast<QLineEdit*>(o)) {
                note(e->text());
            }
        }
    }
    return found;
}

TEST_F(LabelPassTest, TheShippedLanguageFileHoldsEveryShownTextInAllFourLanguages)
{
    Tlabels t(kMaxLabelsCount);
    for (size_t k = 0; k < t.size(); ++k)
        t[k] = QStringLiteral("#%1").arg(k);
    apply(t);
    const QSet<int> shown = numbersShown();
    EXPECT_GT(shown.size(), 250) << "the walk reaches the windows";
    for (int language = 0; language < 4; ++language) {
        Tlabels texts;
        Tlabels names;
        readLanguageFile(QStringLiteral(MESK_SOURCE_DIR "/data/languages.ini"), language, texts, names);
        QList<int> missing;
        for (int k : shown)
            if (labelAt(texts, k).trimmed().isEmpty())
                missing << k;
        std::sort(missing.begin(), missing.end());
        QStringList listed;
        for (int k : missing)
            listed << QString::number(k);
        EXPECT_TRUE(missing.isEmpty()) << "language " << language << ": " << qPrintable(listed.join(u' '));
    }
}

// With an empty table every place falls back to its English text, which reads as the shipped English one, so
// that English looks the same with and without the language file. The two whole-gateway tool tips are the
// exception: the shipped file names the gateway, the built-in texts stay as they always read.
TEST_F(LabelPassTest, WithAnEmptyTableEveryPlaceShowsTheShippedEnglishText)
{
    fMain->loadLabels(1);
    const Tlabels english = labelTexts;
    EXPECT_EQ(english[472], QStringLiteral("Load parametres from gateway"));
    EXPECT_EQ(english[473], QStringLiteral("Save parametres to gateway"));
    apply(numbered()); // something else first, so that nothing passes by staying as built
    apply(Tlabels(982));
    for (const Place& p : places()) {
        if (p.k != 472 && p.k != 473) {
            EXPECT_EQ(p.text, english[size_t(p.k)]) << qPrintable(p.name);
        }
    }
    EXPECT_EQ(fMain->Novkonfiguransoubor1->text(), QStringLiteral("Default configurations ..."));
    EXPECT_EQ(fHelp->lb3->text(), QStringLiteral("Program version :  2.1a"));
    EXPECT_TRUE(fHelp->lbWww->text().startsWith(QStringLiteral("https://")));
}

// The firmware hint holds its three lines whichever entries are empty.
TEST_F(LabelPassTest, TheFirmwareHintKeepsThreeLinesWhateverEntryIsEmpty)
{
    const QStringList cases[] = {{"", "b", "c"}, {"a", "", "c"}, {"", "", "c"}, {"", "", ""}};
    for (const QStringList& lines : cases) {
        Tlabels t(982);
        for (int i = 0; i < 3; ++i)
            t[size_t(968 + i)] = lines[i];
        apply(t);
        apply(t);
        EXPECT_EQ(fMain->mFirmHint->toPlainText(), lines.join(QLatin1Char('\n'))) << qPrintable(lines.join(u'|'));
        EXPECT_EQ(fMain->mFirmHint->document()->blockCount(), 3);
    }
}

// Places whose text depends on the state the pass finds: each case sets the state (and empties entries of the
// numbered table), runs the pass and reads the place.
TEST_F(LabelPassTest, PlacesFollowTheStateThePassFinds)
{
    const struct
    {
        const char* name;
        std::function<void(Tlabels&)> arrange;
        std::function<QString()> shown;
        QString expected;
    } cases[] = {
        {"tracing runs over telnet", [](Tlabels&) { liveTools.setRoute(LiveToolSlot::Tracing, true); },
         [] { return fMain->sbTracStart->text(); }, QStringLiteral("#153")},
        {"tracing stopped", [](Tlabels&) { liveTools.setRoute(LiveToolSlot::Tracing, false); },
         [] { return fMain->sbTracStart->text(); }, QStringLiteral("#152")},
        {"voice message written", [](Tlabels&) { fMain->rbVoiceWrite->setChecked(true); },
         [] { return fFirm->lbFirmStatus->text(); }, QStringLiteral("#171")},
        {"voice message read", [](Tlabels&) { fMain->rbVoiceRead->setChecked(true); },
         [] { return fFirm->lbFirmStatus->text(); }, QStringLiteral("#170")},
        {"ISDN monitoring hint, entries empty",
         [](Tlabels& t) {
             t[937].clear();
             t[945].clear();
         },
         [] { return fMain->mIsdnMonitoringHint->toPlainText(); }, QStringLiteral("\n#938\n#939\n\n#944\n\n#946")},
        {"conversion help, entries empty",
         [](Tlabels& t) {
             t[974].clear();
             t[977].clear();
         },
         [] { return fMain->mInPrefixConv->toPlainText(); }, QStringLiteral("\n#975\n#976\n")},
        {"voice file after a switch",
         [](Tlabels&) {
             voiceFileChosen = false;
             fMain->cbVoiceType->setCurrentIndex(2);
         },
         [] { return QFileInfo(fMain->edVoiceFile->text()).fileName(); }, QStringLiteral("#677.wav")},
        {"voice file the user chose",
         [](Tlabels&) {
             voiceFileChosen = true;
             fMain->edVoiceFile->setText(QStringLiteral("/chosen/mine.wav"));
         },
         [] { return fMain->edVoiceFile->text(); }, QStringLiteral("/chosen/mine.wav")},
        {"one-port hint of the second port",
         [](Tlabels&) {
             gatewayModel = 1;
             fMain->setModelLayout(1);
             fMain->rbUseReject2->setChecked(true);
         },
         [] { return fMain->lbPortModes2->text(); }, QStringLiteral("#888")},
        {"one-port hint of the GSM channels", [](Tlabels&) { fMain->rbRouteIn2->setChecked(true); },
         [] { return fMain->lbPortModes3->text(); }, QStringLiteral("#887")},
    };
    for (const auto& c : cases) {
        Tlabels t = numbered();
        t.resize(990);
        for (size_t k = 982; k < t.size(); ++k)
            t[k] = QStringLiteral("#%1").arg(k);
        apply(Tlabels(982)); // the English texts first, so that nothing passes by staying as it was
        c.arrange(t);
        apply(t);
        EXPECT_EQ(c.shown(), c.expected) << c.name;
    }
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
        // A reader's order, not the code points': case and accents do not come first.
        if (t == Tlabels(982)) {
            const qsizetype reset = alpha.indexOf(QStringLiteral("Gateway reset"));
            ASSERT_GE(reset, 0) << qPrintable(alpha.join(u'|'));
            for (int i = 0; i < alpha.size(); ++i) {
                if (alpha[i].startsWith(QStringLiteral("GSM"))) {
                    EXPECT_LT(reset, i) << qPrintable(alpha.join(u'|'));
                }
            }
        }
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
        return {fMain->languageButtonDown(0), fMain->languageButtonDown(1), fMain->languageButtonDown(2),
                fMain->languageButtonDown(3), fMain->mCzech->isChecked(),   fMain->mEnglish->isChecked(),
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
    fMain->selectTopic(30);
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
        EXPECT_EQ(fMain->lbMain->text(), QStringLiteral("%1 L%2").arg(lang % 2 ? 82 : 27).arg(lang))
            << "the title of the topic on show follows the language";
        // The standard buttons of the boxes follow too (the toolkit's own translations).
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        const QStringList standard = {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                                      box.button(QMessageBox::Cancel)->text()};
        const QStringList expectedButtons[] = {{"&Ano", "&Ne", "Zrušit"},
                                               {"&Yes", "&No", "Cancel"},
                                               {"&Igen", "&Nem", "Mégse"},
                                               {"&Tak", "&Nie", "Anuluj"}};
        EXPECT_EQ(standard, expectedButtons[lang]) << qPrintable(standard.join(u'|'));
    }
}

TEST_F(LanguageSwitchTest, APolishClickHoldsItsPushButtonDownAndAnotherLanguageReleasesIt)
{
    EXPECT_FALSE(fMain->tbPolish->isCheckable());
    fMain->show();
    auto* polish = qobject_cast<QAbstractButton*>(fMain->tbMain->widgetForAction(fMain->tbPolish));
    ASSERT_TRUE(polish);
    QTest::mouseClick(polish, Qt::LeftButton);
    EXPECT_TRUE(polish->isDown()) << "the release of the click must not leave it up";
    EXPECT_EQ(marks(), (QList<bool>{false, false, false, true, false, false, false, true}));
    EXPECT_EQ(storedLanguage(), 3);
    fMain->tbHungary->trigger();
    EXPECT_FALSE(polish->isDown());
    EXPECT_EQ(marks(), (QList<bool>{false, false, true, false, false, false, true, false}));
}

TEST_F(LanguageSwitchTest, AMenuItemEndsInTheSameStateAsItsButton)
{
    EXPECT_EQ(fMain->mLanguage->actions(),
              (QList<QAction*>{fMain->mEnglish, fMain->mCzech, fMain->mHungary, fMain->mPolish}));
    fMain->tbHungary->trigger();
    const QList<bool> byButton = marks();
    const QStringList textsByButton = alphabetical();
    fMain->tbEnglish->trigger();
    fMain->mHungary->trigger();
    EXPECT_EQ(marks(), byButton);
    EXPECT_EQ(alphabetical(), textsByButton);
    EXPECT_EQ(storedLanguage(), 2);
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
