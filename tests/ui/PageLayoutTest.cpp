// Every configuration page at the main window's start size, in each of the four languages: no scroll bar,
// and the page buttons in one row at the same place. Pictures of the pages are kept in the build folder
// (pages/<topic>-<language>.png) for people to look at.
#include "support/MainWindowFixture.h"

#include "pages/BasicPage.h"
#include "ui/TfMain.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace {

using PageLayoutTest = MainWindowFixture;

TEST_F(PageLayoutTest, EveryPageFitsTheStartSizeWithItsButtonsInTheSameRow)
{
    startUp();
    showMainWindow();
    const QSize startSize = fMain->size();
    QDir().mkpath(QStringLiteral(MESK_BINARY_DIR "/pages"));
    // The pages whose buttons stand in the shared row (addPageButtons); a page joins the list when it does.
    const int topics[] = {30, 584, 834, 32, 34, 35, 36, 37, 38};
    QAction* const languageButtons[] = {fMain->tbCzech, fMain->tbEnglish, fMain->tbHungary, fMain->tbPolish};
    for (int language = 0; language < 4; ++language) {
        languageButtons[language]->trigger();
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
            fMain->grab().save(QStringLiteral(MESK_BINARY_DIR "/pages/%1-%2.png").arg(topic).arg(language));
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

} // namespace
