#include "PageTestFixture.h"

#include "link/LinkState.h"
#include "pages/TfCause.h"
#include "pages/TfNet.h"
#include "pages/TfQuestionMark.h"
#include "pages/TinCallPrefixForm.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

namespace {

QStringList row(const QTreeWidget* list, int i)
{
    const QTreeWidgetItem* item = list->topLevelItem(i);
    return {item->text(0), item->text(1)};
}

ScriptedDialogs::ModalScript enterPair(int gsm, int isdn, bool ok = true)
{
    return [gsm, isdn, ok](QDialog* dialog) {
        auto* cause = qobject_cast<TfCause*>(dialog);
        ASSERT_NE(cause, nullptr);
        cause->se1->setValue(gsm);
        cause->se2->setValue(isdn);
        (ok ? cause->sbOk : cause->sbCancel)->click();
    };
}

} // namespace

TEST(CauseEntryCells, SplitsAfterTheFirstMarker)
{
    const struct
    {
        const char* entry;
        QStringList cells;
    } cases[] = {
        {"#=a;b", {"a", "b"}},
        {"#=  a;b", {"a", "b"}},       // blanks after the marker are skipped
        {"#=a ;b", {"a ", "b"}},       // a blank before the separator stays
        {"x#=a;b;c", {"a", "b", "c"}}, // text before the marker is ignored
        {"#=a;#=b", {"a", "#=b"}},     // only the first marker counts
        {"#=;b", {"", "b"}},           // an empty cell
        {"#=a", {"a"}},                // one cell: enough for a header
        {"a;b", {}},                   // no marker, no cells
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(causeEntryCells(QString::fromUtf8(c.entry)), c.cells) << c.entry;
    EXPECT_EQ(causeEntryCells(QStringLiteral("#=") + QString(150, QLatin1Char('x'))).value(0).size(), 99);
}

class CauseDialogTest : public MainWindowFixture
{
};

TEST_F(CauseDialogTest, TheListHoldsTheLanguagesRowsAndIsRebuiltOnEverySwitch)
{
    startUp(); // English by default
    QTreeWidget* list = fCause->ListView1;
    ASSERT_EQ(list->topLevelItemCount(), 31);
    EXPECT_EQ(list->headerItem()->text(0), QString());
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Meaning"));
    EXPECT_EQ(row(list, 0), (QStringList{"1", "Unallocated (unassigned) number"}));
    EXPECT_EQ(row(list, 4), (QStringList{"16", "Normal call clearing"}));
    EXPECT_EQ(row(list, 30), (QStringList{"127", "Interworking, unspecified"}));

    fMain->tbEnglishClick();
    fMain->tbEnglishClick();
    EXPECT_EQ(list->topLevelItemCount(), 31) << "a switch replaces the rows, it never adds to them";
}

TEST_F(CauseDialogTest, BrokenEntriesCostTheirRowsOnlyAndTheStartUpGoesOn)
{
    // Entry 800 lost its marker, 801 its meaning; the header 794 is missing.
    QByteArray file = readFile(QStringLiteral("languages.ini"));
    file.replace("s800=#=17;User busy", "s800=17 User busy");
    file.replace("s801=#=18;No user responding", "s801=#=18");
    file.replace("s794=#=Meaning\n", "");
    writeFile(QStringLiteral("languages.ini"), file);
    startUp();

    QTreeWidget* list = fCause->ListView1;
    ASSERT_EQ(list->topLevelItemCount(), 30);
    EXPECT_EQ(list->headerItem()->text(1), QString());
    EXPECT_EQ(row(list, 4), (QStringList{"16", "Normal call clearing"}));
    EXPECT_EQ(row(list, 5), (QStringList{"18", ""}));
    EXPECT_EQ(row(list, 6), (QStringList{"19", "No answer from user (user alerted)"}));
    EXPECT_EQ(row(list, 29), (QStringList{"127", "Interworking, unspecified"}));
    // The start-up went on past the pass: the log switches read from the settings were taken over.
    EXPECT_FALSE(firstActivation);
    EXPECT_TRUE(CurrentConnection.Append);
}

class CauseListTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        startUp();
        dialogs().clearRecords();
        resetPageChanged();
    }
};

TEST_F(CauseListTest, EnterAndEscapeCloseTheDialogsAndTypedDigitsReplaceTheShownNumber)
{
    // Enter in the edit is OK, Escape is Cancel.
    const struct
    {
        const char* name;
        QDialog* dialog;
        QLineEdit* edit;
    } withEdits[] = {{"incoming prefix", inCallPrefixForm, inCallPrefixForm->ed1}, {"network entry", fNet, fNet->ed1}};
    for (const auto& d : withEdits) {
        for (const auto& [key, result] :
             {std::pair{Qt::Key_Return, QDialog::Accepted}, {Qt::Key_Escape, QDialog::Rejected}}) {
            SCOPED_TRACE(std::string(d.name) + (key == Qt::Key_Return ? " Enter" : " Escape"));
            bool closedByKey = false;
            dialogs().onModal([&](QDialog* shown) {
                QTest::keyClicks(d.edit, QStringLiteral("12/34"));
                QTest::keyClick(d.edit, key);
                closedByKey = !shown->isVisible();
            });
            EXPECT_EQ(ShowModal(d.dialog), result);
            EXPECT_TRUE(closedByKey);
        }
    }

    // The cause dialog's numbers are selected as they get the focus: "34" typed over the shown 1 is 34.
    dialogs().onModal([](QDialog* shown) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(shown));
        ASSERT_EQ(QApplication::focusWidget(), fCause->se1);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("34"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
        fCause->sbOk->click();
    });
    fMain->sbBasicCauseAddClick();
    EXPECT_EQ(causeEntries(), QStringList{"34/5"});
}

TEST_F(CauseListTest, AddTakesNewPairsOnlyAndAtMostNine)
{
    dialogs().onModal(enterPair(5, 17));
    fMain->sbBasicCauseAddClick();
    ASSERT_EQ(dialogs().modals().size(), 1);
    EXPECT_EQ(dialogs().modals().at(0).title, QStringLiteral("Add cause transfer"));
    EXPECT_EQ(causeEntries(), QStringList{"5/17"});
    EXPECT_EQ(pageChanged[pcBasic], 1);

    // The same pair again: nothing added, nothing said; the dialog starts from 1 and 1.
    resetPageChanged();
    dialogs().onModal([](QDialog* dialog) {
        auto* cause = qobject_cast<TfCause*>(dialog);
        EXPECT_EQ(cause->se1->value(), 1);
        EXPECT_EQ(cause->se2->value(), 1);
        enterPair(5, 17)(dialog);
    });
    fMain->sbBasicCauseAddClick();
    EXPECT_EQ(causeEntries(), QStringList{"5/17"});
    EXPECT_EQ(pageChanged[pcBasic], 0);
    EXPECT_TRUE(dialogs().boxes().isEmpty());

    dialogs().onModal(enterPair(6, 18, false));
    fMain->sbBasicCauseAddClick();
    EXPECT_EQ(causeEntries(), QStringList{"5/17"});

    for (int gsm = 1; gsm <= 8; ++gsm) {
        dialogs().onModal(enterPair(gsm, 127));
        fMain->sbBasicCauseAddClick();
    }
    ASSERT_EQ(causeEntries().size(), 9);
    EXPECT_EQ(causeEntries().last(), QStringLiteral("8/127"));

    // A tenth is refused before the dialog opens.
    const qsizetype modalsBefore = dialogs().modals().size();
    fMain->sbBasicCauseAddClick();
    EXPECT_EQ(dialogs().modals().size(), modalsBefore);
    ASSERT_EQ(dialogs().boxes().size(), 1);
    EXPECT_EQ(dialogs().boxes().at(0).text, QStringLiteral("The entry cannot be added."));
    EXPECT_EQ(dialogs().boxes().at(0).caption, labelText(47));
    EXPECT_EQ(dialogs().boxes().at(0).flags, unsigned(MB_ICONERROR));
    EXPECT_EQ(causeEntries().size(), 9);
}

TEST_F(CauseListTest, RemoveTakesTheSelectedEntryAndSelectsTheOneBefore)
{
    fMain->lbBasicCauses->addItems({"1/16", "17/17", "21/21", "34/34"});
    fMain->sbBasicCauseRemoveClick(); // nothing selected
    EXPECT_EQ(causeEntries().size(), 4);
    EXPECT_EQ(pageChanged[pcBasic], 0);

    fMain->lbBasicCauses->setCurrentRow(2);
    fMain->sbBasicCauseRemoveClick();
    EXPECT_EQ(causeEntries(), (QStringList{"1/16", "17/17", "34/34"}));
    EXPECT_EQ(fMain->lbBasicCauses->currentRow(), 1);
    EXPECT_EQ(pageChanged[pcBasic], 1);

    fMain->lbBasicCauses->setCurrentRow(0);
    fMain->sbBasicCauseRemoveClick();
    EXPECT_EQ(causeEntries(), (QStringList{"17/17", "34/34"}));
    EXPECT_EQ(fMain->lbBasicCauses->currentRow(), 0);

    resetPageChanged();
    fMain->sbBasicCauseRemoveAllClick();
    EXPECT_TRUE(causeEntries().isEmpty());
    EXPECT_EQ(pageChanged[pcBasic], 1);
}

class HelpListTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        startUp();
        dialogs().clearRecords();
    }

    // Shows the cause help list of the GSM basic page and returns its rows as "key=value".
    QStringList causeHelp()
    {
        QStringList rows;
        dialogs().onModal([&rows](QDialog* dialog) {
            auto* help = qobject_cast<TfQuestionMark*>(dialog);
            ASSERT_NE(help, nullptr);
            for (int i = 0; i < help->ListView1->topLevelItemCount(); ++i)
                rows << help->ListView1->topLevelItem(i)->text(0) + "=" + help->ListView1->topLevelItem(i)->text(1);
            help->sbCancel->click();
        });
        fMain->SpeedButton1->click();
        return rows;
    }
};

TEST_F(HelpListTest, TheRowsAreTheKeysOfSectionMainInFileOrderReadAtEveryShowing)
{
    fMain->SpeedButton1->click(); // no file: nothing opens, nothing is said
    EXPECT_TRUE(dialogs().modals().isEmpty());
    EXPECT_TRUE(dialogs().boxes().isEmpty());

    writeFile(QStringLiteral("causes_to_isdn.ini"), "[other]\n1=x\n");
    EXPECT_TRUE(causeHelp().isEmpty());
    ASSERT_EQ(dialogs().modals().size(), 1);
    EXPECT_EQ(dialogs().modals().at(0).title, QStringLiteral("Help"));

    writeFile(QStringLiteral("causes_to_isdn.ini"), "[main]\n41=Temporary failure\n17=User busy\n9=\n[x]\n2=y\n");
    EXPECT_EQ(causeHelp(), (QStringList{"41=Temporary failure", "17=User busy", "9="}));
}
