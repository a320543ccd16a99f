// Two kept dumps of every text the windows show after the label pass, one line per (window, control,
// property): with an empty table (every place shows its English text) and with a table whose entry k holds
// a tag naming k (every place shows the tag of its own entry). A change of any text shows as a diff against
// the files in tests/ui/golden/.
//
// After a deliberate change, review the new texts and write the files anew:
//     MESK_REWRITE_LABEL_DUMPS=1 build/tests/test_ui --gtest_filter='LabelDump*'
#include "support/MainWindowFixture.h"

#include "link/ui/TfCommSettings.h"
#include "texts/LanguageFile.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"
#include "ui/WindowUtil.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>

namespace {

QString escaped(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return text;
}

class Dump
{
public:
    QStringList lines;
    QString programFolder;

    void add(const QString& place, const QString& property, QString text)
    {
        // The program folder is a new temporary one in every run.
        text.replace(programFolder, QLatin1String("<program folder>"));
        lines << place + QLatin1Char('.') + property + QLatin1String(" = ") + escaped(text);
    }

    // A place is named by its window and its own name.
    void walk(QObject* o, const QString& window)
    {
        const QString name = o->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            note(o, window.isEmpty() ? name : window + QLatin1Char('/') + name);
        for (QObject* child : o->children())
            walk(child, window.isEmpty() ? name : window);
    }

private:
    void note(QObject* o, const QString& place)
    {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w->isWindow() && !qobject_cast<QMenu*>(w))
            add(place, QStringLiteral("title"), w->windowTitle());
        if (w && !w->toolTip().isEmpty())
            add(place, QStringLiteral("hint"), w->toolTip());
        if (auto* a = qobject_cast<QAction*>(o)) {
            add(place, QStringLiteral("text"), a->text());
            if (a->toolTip() != QString(a->text()).remove(QLatin1Char('&')))
                add(place, QStringLiteral("hint"), a->toolTip());
        } else if (auto* m = qobject_cast<QMenu*>(o)) {
            add(place, QStringLiteral("title"), m->title());
        } else if (auto* l = qobject_cast<QLabel*>(o)) {
            add(place, QStringLiteral("text"), l->text());
        } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
            add(place, QStringLiteral("text"), b->text());
        } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
            add(place, QStringLiteral("title"), g->title());
        } else if (auto* c = qobject_cast<QComboBox*>(o)) {
            for (int i = 0; i < c->count(); ++i)
                add(place, QStringLiteral("item[%1]").arg(i), c->itemText(i));
            add(place, QStringLiteral("current"), QString::number(c->currentIndex()));
        } else if (auto* t = qobject_cast<QTabWidget*>(o)) {
            for (int i = 0; i < t->count(); ++i)
                add(place, QStringLiteral("tab[%1]").arg(i), t->tabText(i));
        } else if (auto* t = qobject_cast<QTabBar*>(o)) {
            for (int i = 0; i < t->count(); ++i)
                add(place, QStringLiteral("tab[%1]").arg(i), t->tabText(i));
        } else if (auto* t = qobject_cast<QTreeWidget*>(o)) {
            for (int c = 0; c < t->columnCount(); ++c)
                add(place, QStringLiteral("column[%1]").arg(c), t->headerItem()->text(c));
            int row = 0;
            for (QTreeWidgetItemIterator it(t); *it; ++it, ++row)
                for (int c = 0; c < t->columnCount(); ++c)
                    if (!(*it)->text(c).isEmpty())
                        add(place, QStringLiteral("row[%1][%2]").arg(row).arg(c), (*it)->text(c));
        } else if (auto* l = qobject_cast<QListWidget*>(o)) {
            for (int i = 0; i < l->count(); ++i)
                add(place, QStringLiteral("item[%1]").arg(i), l->item(i)->text());
        } else if (auto* m = qobject_cast<QPlainTextEdit*>(o)) {
            add(place, QStringLiteral("lines"), m->toPlainText());
        } else if (auto* m = qobject_cast<QTextEdit*>(o)) {
            add(place, QStringLiteral("lines"), m->toPlainText());
        } else if (auto* e = qobject_cast<QLineEdit*>(o)) {
            if (!e->text().isEmpty())
                add(place, QStringLiteral("text"), e->text());
        }
    }
};

// Every window of the program, the main window first, then the others by name.
QStringList dumpWindows(const QString& programFolder)
{
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!w->objectName().isEmpty() && !w->parentWidget() && !w->objectName().startsWith(QLatin1String("qt_")))
            windows << w;
    std::sort(windows.begin(), windows.end(), [](QWidget* a, QWidget* b) {
        const bool aMain = a == fMain;
        const bool bMain = b == fMain;
        return aMain != bMain ? aMain : a->objectName() < b->objectName();
    });
    Dump dump;
    dump.programFolder = programFolder;
    dump.add(QStringLiteral("application"), QStringLiteral("title"), applicationTitle());
    for (QWidget* w : windows)
        dump.walk(w, QString());
    return dump.lines;
}

// Entry k holds "ž<k>ő"; the texts used as formats hold their placeholder, the cause rows their "#=" form.
Tlabels taggedTable()
{
    Tlabels t(1000);
    for (size_t k = 0; k < t.size(); ++k)
        t[k] = QStringLiteral("ž%1ő").arg(k);
    for (int k : {53, 551, 552, 921})
        t[size_t(k)] += QStringLiteral(" %s");
    for (int k : {746, 747, 838, 839, 862, 965})
        t[size_t(k)] += QStringLiteral(" %d");
    t[794] = QStringLiteral("#=ž794ő");
    for (int k = 795; k <= 825; ++k)
        t[size_t(k)] = QStringLiteral("#=%1;ž%1ő").arg(k);
    return t;
}

class LabelDumpTest : public MainWindowFixture
{
protected:
    // The dump of the windows after the pass with table t, followed by the lines that read differently with
    // a one-port gateway.
    QStringList dumpAfterPass(const Tlabels& t)
    {
        labelTexts = t;
        fMain->setLabels(labelTexts);
        const QStringList twoPorts = dumpWindows(programFolder());
        // A change of model alone writes the captions that name the ports as the pass would.
        gatewayModel = 1;
        fMain->setModelLayout(1);
        const QStringList onePortByLayout = dumpWindows(programFolder());
        fMain->setLabels(labelTexts);
        const QStringList onePort = dumpWindows(programFolder());
        EXPECT_EQ(onePortByLayout, onePort);
        gatewayModel = 0;
        fMain->setModelLayout(0);
        EXPECT_EQ(dumpWindows(programFolder()), twoPorts) << "back to two ports, every text is back";
        fMain->setLabels(labelTexts);
        EXPECT_EQ(dumpWindows(programFolder()), twoPorts);
        QStringList out = twoPorts;
        const QSet<QString> shared(twoPorts.begin(), twoPorts.end());
        for (const QString& line : onePort)
            if (!shared.contains(line))
                out << QStringLiteral("[one port] ") + line;
        return out;
    }

    static void compareWithKept(const QStringList& lines, const QString& fileName)
    {
        const QString file = QStringLiteral(MESK_SOURCE_DIR "/tests/ui/golden/") + fileName;
        if (qEnvironmentVariableIsSet("MESK_REWRITE_LABEL_DUMPS")) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(file);
            out.write((lines.join(u'\n') + u'\n').toUtf8());
            return;
        }
        QFile in(file);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << qPrintable(file);
        QStringList kept = QString::fromUtf8(in.readAll()).split(u'\n');
        if (!kept.isEmpty() && kept.last().isEmpty())
            kept.removeLast();
        if (kept == lines)
            return;
        const QSet<QString> keptSet(kept.begin(), kept.end());
        const QSet<QString> nowSet(lines.begin(), lines.end());
        QStringList diff;
        for (const QString& line : kept)
            if (!nowSet.contains(line))
                diff << QStringLiteral("- ") + line;
        for (const QString& line : lines)
            if (!keptSet.contains(line))
                diff << QStringLiteral("+ ") + line;
        if (diff.isEmpty())
            diff << QStringLiteral("(the same lines in another order)");
        FAIL() << qPrintable(fileName) << " differs (rewrite with MESK_REWRITE_LABEL_DUMPS=1 after review):\n"
               << qPrintable(diff.mid(0, 80).join(u'\n'));
    }
};

TEST_F(LabelDumpTest, EnglishTextsOfAnEmptyTable)
{
    createWindows();
    compareWithKept(dumpAfterPass(Tlabels(1000)), QStringLiteral("labels-english.txt"));
}

TEST_F(LabelDumpTest, TaggedEntries)
{
    createWindows();
    compareWithKept(dumpAfterPass(taggedTable()), QStringLiteral("labels-tagged.txt"));
}

// Item, tab, row and line counts of every list the pass writes, with the selection of each combo box.
QMap<QString, QString> shapes()
{
    QMap<QString, QString> out;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (QObject* o : window->findChildren<QObject*>()) {
            if (o->objectName().isEmpty() || o->objectName().startsWith(QLatin1String("qt_")))
                continue;
            const QString key = window->objectName() + QLatin1Char('/') + o->objectName();
            if (auto* c = qobject_cast<QComboBox*>(o))
                out[key] = QStringLiteral("%1 items, item %2").arg(c->count()).arg(c->currentIndex());
            else if (auto* t = qobject_cast<QTabWidget*>(o))
                out[key] = QStringLiteral("%1 tabs, tab %2").arg(t->count()).arg(t->currentIndex());
            else if (auto* t = qobject_cast<QTabBar*>(o))
                out[key] = QStringLiteral("%1 tabs, tab %2").arg(t->count()).arg(t->currentIndex());
            else if (auto* t = qobject_cast<QTreeWidget*>(o))
                out[key] = QStringLiteral("%1 rows").arg(t->topLevelItemCount());
            else if (auto* l = qobject_cast<QListWidget*>(o))
                out[key] = QStringLiteral("%1 rows").arg(l->count());
            else if (auto* m = qobject_cast<QPlainTextEdit*>(o))
                out[key] = QStringLiteral("%1 lines").arg(m->blockCount());
        }
    }
    return out;
}

TEST_F(LabelDumpTest, ASecondPassKeepsEveryListsShapeAndTheChosenItemsInBothModels)
{
    createWindows();
    labelTexts = taggedTable();
    fMain->setLabels(labelTexts);
    for (int model : {0, 1}) {
        gatewayModel = model;
        fMain->setModelLayout(model);
        // The last item of every list chosen, as a user might have; no handler runs.
        for (QComboBox* c : fMain->findChildren<QComboBox*>()) {
            const QSignalBlocker quiet(c);
            c->setCurrentIndex(c->count() - 1);
        }
        fMain->setLabels(labelTexts);
        QMap<QString, QString> expected = shapes();
        // The two voice lists go back to the DISA message; every other list keeps its choice.
        for (const char* name : {"TfMain/cbVoiceType", "TfMain/cbVoiceRecord"}) {
            EXPECT_TRUE(expected[QLatin1String(name)].endsWith(QStringLiteral(", item 0"))) << name;
            fMain->findChild<QComboBox*>(QLatin1String(name).mid(7))->setCurrentIndex(2);
        }
        for (auto it = expected.begin(); it != expected.end(); ++it)
            if (it.key().startsWith(QLatin1String("TfMain/cb")) && it.value().contains(QLatin1String(" items")) &&
                !it.key().startsWith(QLatin1String("TfMain/cbVoice"))) {
                const QComboBox* c = fMain->findChild<QComboBox*>(it.key().mid(7));
                EXPECT_EQ(c->currentIndex(), c->count() - 1) << qPrintable(it.key()) << " model " << model;
            }
        fMain->setLabels(labelTexts);
        fMain->setLabels(labelTexts);
        EXPECT_EQ(shapes(), expected) << "model " << model;
    }
}

// The places whose entry the pass chooses by the state of another control: the link type of the
// communication settings and the tracing type.
TEST_F(LabelDumpTest, ThePlacesChosenByAnotherControlFollowIt)
{
    createWindows();
    labelTexts = taggedTable();
    auto tag = [](int k) { return QStringLiteral("ž%1ő").arg(k); };
    const struct
    {
        int linkItem;
        int settings; // gSett's entry
        int label1;   // lbSettings1's, -1 when the pass leaves it
        int label2;   // lbSettings2's: the time-out text, replaced for the LAN
    } links[] = {{0, 86, 87, 733}, {1, 85, -1, 88}, {2, 649, 649, 733}};
    for (const auto& l : links) {
        fCommSettings->gSett->setTitle(QStringLiteral("before"));
        fCommSettings->lbSettings1->setText(QStringLiteral("before"));
        fCommSettings->lbSettings2->setText(QStringLiteral("before"));
        fCommSettings->cbCommType->setCurrentIndex(l.linkItem);
        fMain->setLabels(labelTexts);
        EXPECT_EQ(fCommSettings->gSett->title(), tag(l.settings)) << l.linkItem;
        EXPECT_EQ(fCommSettings->lbSettings1->text(), l.label1 < 0 ? QStringLiteral("before") : tag(l.label1));
        EXPECT_EQ(fCommSettings->lbSettings2->text(), tag(l.label2));
    }
    fCommSettings->gSett->setTitle(QStringLiteral("before"));
    fCommSettings->lbSettings1->setText(QStringLiteral("before"));
    fCommSettings->cbCommType->setCurrentIndex(-1);
    fMain->setLabels(labelTexts);
    EXPECT_EQ(fCommSettings->gSett->title(), QStringLiteral("before")) << "no link chosen";
    EXPECT_EQ(fCommSettings->lbSettings1->text(), QStringLiteral("before"));
    EXPECT_EQ(fCommSettings->lbSettings2->text(), tag(733));

    // Tracing type 0 (LAN and telnet) names the telnet layers; any other the message kinds.
    for (int type : {0, 1, -1}) {
        const QSignalBlocker quiet(fMain->cbTracType);
        fMain->cbTracType->setCurrentIndex(type);
        fMain->setLabels(labelTexts);
        const int first = type == 0 ? 149 : 159;
        EXPECT_EQ(fMain->rbTracIpTcpTelnet->text(), tag(first)) << type;
        EXPECT_EQ(fMain->rbTracTcpTelnet->text(), tag(first + 1)) << type;
        EXPECT_EQ(fMain->rbTracTelnet->text(), tag(first + 2)) << type;
        EXPECT_EQ(fMain->sbTracStart->text(), tag(152)) << "not tracing: the button starts";
    }
}

// A table shorter than the numbers the pass reads: every place past its end shows its English text, every
// other place its entry.
TEST_F(LabelDumpTest, AnEntryPastTheEndOfAShortTableCountsAsEmpty)
{
    createWindows();
    // Place and property -> text; a place named twice in a window is told apart by its count.
    const auto dumpWith = [this](const Tlabels& t) {
        labelTexts = t;
        fMain->setLabels(labelTexts);
        QMap<QString, QString> texts;
        for (const QString& line : dumpWindows(programFolder())) {
            const qsizetype split = line.indexOf(QLatin1String(" = "));
            QString key = line.left(split);
            for (int n = 2; texts.contains(key); ++n)
                key = line.left(split) + QStringLiteral(" #%1").arg(n);
            texts.insert(key, line.mid(split + 3));
        }
        return texts;
    };
    const QMap<QString, QString> english = dumpWith(Tlabels(1000));
    const QMap<QString, QString> tagged = dumpWith(taggedTable());
    Tlabels shortTable = taggedTable();
    shortTable.resize(900);
    const QMap<QString, QString> cut = dumpWith(shortTable);
    static const QRegularExpression tag(QStringLiteral("ž(\\d+)ő"));
    int pastTheEnd = 0;
    for (auto it = tagged.begin(); it != tagged.end(); ++it) {
        bool anyPast = false;
        bool anyWithin = false;
        for (auto m = tag.globalMatch(it.value()); m.hasNext();)
            (m.next().captured(1).toInt() >= 900 ? anyPast : anyWithin) = true;
        if (anyPast && !anyWithin) {
            ++pastTheEnd;
            EXPECT_EQ(cut.value(it.key()), english.value(it.key())) << qPrintable(it.key());
        } else if (!anyPast) {
            EXPECT_EQ(cut.value(it.key()), it.value()) << qPrintable(it.key());
        }
    }
    EXPECT_GT(pastTheEnd, 50);
}

// The texts used as formats take their one number and show "%%" as "%"; anything else stays as it stands. The
// one-port hint of the second route is no format at all.
TEST_F(LabelDumpTest, FormattedTextsTakeTheirOneNumberAndNothingElse)
{
    createWindows();
    Tlabels t(1000);
    t[965] = QStringLiteral("%d. čísla %% %s");
    t[839] = QStringLiteral("BRI %d, %d");
    t[862] = QStringLiteral("BRI %d: 100 %%");
    t[887] = QStringLiteral("100 %% %d");
    labelTexts = t;
    fMain->rbRouteIn2->setChecked(true);
    const struct
    {
        int model;
        QString routeIn1;
        QString hint;
    } cases[] = {{0, QStringLiteral("BRI 1, %d"), QStringLiteral("BRI 2: 100 %")},
                 {1, QStringLiteral("BRI 1, %d"), QStringLiteral("100 %% %d")}};
    for (const auto& c : cases) {
        gatewayModel = c.model;
        fMain->setModelLayout(c.model);
        fMain->setLabels(labelTexts);
        EXPECT_EQ(fMain->lbInAliveNum3->text(), QStringLiteral("3. čísla % %s"));
        EXPECT_EQ(fMain->rbRouteIn1->text(), c.routeIn1);
        EXPECT_EQ(fMain->lbPortModes3->text(), c.hint) << "model " << c.model;
    }
}

} // namespace
