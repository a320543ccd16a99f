// Every configuration page at the main window's start size, in each of the four languages: no scroll bar,
// and the page buttons in one row at the same place. Pictures of the pages are kept in the build folder
// (pages/<topic>-<language>.png) for people to look at. The pages' dialogs and the topic trees show their texts
// uncut in every language.
#include "support/MainWindowFixture.h"

#include "pages/BasicPage.h"
#include "pages/TfAuto.h"
#include "pages/TfCause.h"
#include "pages/TfLcr.h"
#include "pages/TfNet.h"
#include "pages/TfQuestionMark.h"
#include "pages/TinCallPrefixForm.h"
#include "ui/TfMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

using PageLayoutTest = MainWindowFixture;

QAction* languageButton(int language)
{
    QAction* const buttons[] = {fMain->tbCzech, fMain->tbEnglish, fMain->tbHungary, fMain->tbPolish};
    return buttons[language];
}

// The texts of a shown window's labels, check boxes and radio buttons have the room they need (a word-wrapped
// label the height), and a push button's caption fits between its edges.
void expectTextsFit(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty())
            continue;
        if (label->wordWrap())
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << qPrintable(label->objectName());
        else
            EXPECT_GE(label->width(), label->sizeHint().width()) << qPrintable(label->objectName());
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(window) || button->text().isEmpty())
            continue;
        const int needed = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)
                               ? button->sizeHint().width()
                               : button->fontMetrics().horizontalAdvance(button->text()) + 6;
        EXPECT_GE(button->width(), needed) << qPrintable(button->objectName());
    }
    // A list's cell shows its whole text, in as many lines as its row has room for.
    for (QTreeWidget* list : window->findChildren<QTreeWidget*>()) {
        if (!list->isVisibleTo(window))
            continue;
        const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            for (int column = 0; column < list->columnCount(); ++column) {
                const QModelIndex index = list->model()->index(row, column);
                const QRect cell = list->visualRect(index).adjusted(margin, 0, -margin, 0);
                const QRect needed = list->fontMetrics().boundingRect(QRect(0, 0, cell.width(), 10000),
                                                                      Qt::TextWordWrap, index.data().toString());
                EXPECT_TRUE(needed.width() <= cell.width() && needed.height() <= cell.height())
                    << qPrintable(list->objectName()) << " " << qPrintable(index.data().toString());
            }
        }
    }
}

TEST_F(PageLayoutTest, EveryPageFitsTheStartSizeWithItsButtonsInTheSameRow)
{
    startUp();
    showMainWindow();
    const QSize startSize = fMain->size();
    QDir().mkpath(path(QStringLiteral("pages")));
    // The pages whose buttons stand in the shared row (addPageButtons); a page joins the list when it does.
    const int topics[] = {30, 584, 834, 32, 34, 35, 36, 37, 38};
    for (int language = 0; language < 4; ++language) {
        languageButton(language)->trigger();
        // The PIN label's size follows the language: one line in Czech, two in the others; its text as shown
        // fits either way.
        const QRect pin = fMain->lbBasicPin->contentsRect();
        const QRect needed = fMain->lbBasicPin->fontMetrics().boundingRect(
            QRect(0, 0, pin.width(), 1000), Qt::TextWordWrap, fMain->lbBasicPin->text());
        EXPECT_LE(needed.height(), pin.height()) << language;
        EXPECT_LE(needed.width(), pin.width()) << language;
        QPoint firstButton(-1, -1);
        for (int topic : topics) {
            SCOPED_TRACE(QStringLiteral("topic %1, language %2").arg(topic).arg(language).toStdString());
            fMain->selectTopic(topic);
            auto* page = qobject_cast<QScrollArea*>(fMain->topicPage(topic));
            ASSERT_TRUE(page);
            QCoreApplication::processEvents();
            ASSERT_EQ(fMain->size(), startSize) << "a page must not grow the window";
            fMain->grab().save(path(QStringLiteral("pages/%1-%2.png").arg(topic).arg(language)));
            EXPECT_FALSE(page->horizontalScrollBar()->isVisible());
            EXPECT_FALSE(page->verticalScrollBar()->isVisible());
            // The buttons of the row, left to right: the first one stands where every page's first one does.
            QList<QPushButton*> row;
            for (QPushButton* b : page->findChildren<QPushButton*>())
                if (b->isVisibleTo(page) && b->parentWidget()->objectName() == QStringLiteral("pageButtons"))
                    row << b;
            ASSERT_FALSE(row.isEmpty()) << "the page has its button row";
            std::sort(row.begin(), row.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
            const QPoint first = row.first()->mapTo(fMain, QPoint(0, 0));
            if (firstButton.x() < 0)
                firstButton = first;
            EXPECT_EQ(first, firstButton);
            for (QPushButton* b : row) {
                const QRect shown = QRect(b->mapTo(fMain, QPoint(0, 0)), b->size());
                EXPECT_EQ(shown.top(), firstButton.y()) << qPrintable(b->objectName());
                EXPECT_TRUE(fMain->rect().contains(shown)) << qPrintable(b->objectName());
                EXPECT_GE(b->width(), b->sizeHint().width()) << qPrintable(b->objectName()) << " is cut";
            }
        }
    }
}

TEST_F(PageLayoutTest, ThePagesDialogsAndTheTopicTreesShowTheirTextsUncut)
{
    startUp();
    showMainWindow();
    QDir().mkpath(path(QStringLiteral("pages")));
    QDialog* const windows[] = {fCause, fQuestionMark, inCallPrefixForm, fNet, fLcr, fAuto};
    for (int language = 0; language < 4; ++language) {
        languageButton(language)->trigger();
        for (QDialog* window : windows) {
            SCOPED_TRACE(QStringLiteral("%1, language %2").arg(window->objectName()).arg(language).toStdString());
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            window->grab().save(path(QStringLiteral("pages/%1-%2.png").arg(window->objectName()).arg(language)));
            expectTextsFit(window);
            window->hide();
        }
        // Every node of both trees is drawn whole: its text is never cut short.
        for (QTreeWidget* tree : {fMain->tvTopic, fMain->tvAlpha}) {
            fMain->pcMain->setCurrentWidget(tree->parentWidget());
            QCoreApplication::processEvents();
            for (QTreeWidgetItemIterator it(tree); *it; ++it) {
                const QModelIndex index = tree->indexFromItem(*it);
                EXPECT_GE(tree->visualRect(index).width(), tree->sizeHintForIndex(index).width())
                    << qPrintable(tree->objectName()) << " " << qPrintable((*it)->text(0)) << ", language " << language;
            }
        }
        fMain->pcMain->setCurrentIndex(0);
    }
}

} // namespace
