// Pictures of the GSM group pages and the prefix dialog at the main window's start size, in English and in
// Czech, kept in the build folder for people to look at. What the test checks is that each page fits the
// window without scroll bars and keeps its buttons in the row the other pages have.
#include "support/MainWindowFixture.h"

#include "pages/TinCallPrefixForm.h"
#include "ui/TfMain.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

namespace {

using GroupsScreenshotTest = MainWindowFixture;

void save(QWidget* widget, const QString& name)
{
    const QString file = QStringLiteral(MESK_BINARY_DIR "/") + name + QStringLiteral(".png");
    ASSERT_TRUE(widget->grab().save(file));
    EXPECT_GT(QFileInfo(file).size(), 1000);
}

TEST_F(GroupsScreenshotTest, PagesFitTheWindowInEveryLanguage)
{
    startUp();
    showMainWindow();
    for (int language : {1, 0, 2, 3}) {
        switch (language) {
        case 0:
            fMain->tbCzechClick();
            break;
        case 1:
            fMain->tbEnglishClick();
            break;
        case 2:
            fMain->tbHungaryClick();
            break;
        default:
            fMain->tbPolishClick();
        }
        const QString suffix = QStringLiteral("-%1").arg(language);
        const struct
        {
            int topic;
            QScrollArea* page;
            QPushButton* firstButton;
            const char* name;
        } pages[] = {{34, fMain->pOutgoing, fMain->sbOutSave, "outgoing-page"},
                     {35, fMain->pIncoming, fMain->sbInSave, "incoming-page"}};
        fMain->selectTopic(32);
        QTest::qWait(20);
        const QPoint basicButtons = fMain->sbBasicSave->mapTo(fMain, QPoint());
        for (const auto& p : pages) {
            SCOPED_TRACE(QString::fromLatin1(p.name).append(suffix).toStdString());
            fMain->selectTopic(p.topic);
            QTest::qWait(20);
            EXPECT_FALSE(p.page->verticalScrollBar()->isVisible());
            EXPECT_FALSE(p.page->horizontalScrollBar()->isVisible());
            EXPECT_EQ(p.firstButton->mapTo(fMain, QPoint()).x(), basicButtons.x());
            save(fMain, QString::fromLatin1(p.name) + suffix);
        }
        // The second group with "same settings": the check box beside the tabs, the group's controls off.
        fMain->tcOutgoing->setCurrentIndex(1);
        fMain->cbOutSame->setChecked(true);
        fMain->selectTopic(34);
        QTest::qWait(20);
        EXPECT_FALSE(fMain->pOutgoing->horizontalScrollBar()->isVisible());
        save(fMain, QStringLiteral("outgoing-page-same") + suffix);
        fMain->cbOutSame->setChecked(false);
        fMain->tcOutgoing->setCurrentIndex(0);
        inCallPrefixForm->show();
        QTest::qWait(20);
        save(inCallPrefixForm, QStringLiteral("prefix-dialog") + suffix);
        inCallPrefixForm->hide();
    }
}

} // namespace
