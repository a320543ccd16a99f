// The please-wait and progress windows, the yes/no question, the about box and the status text.
#include "support/MainWindowFixture.h"

#include "link/LinkState.h"
#include "link/ui/TfGatewayList.h"
#include "ui/CaptionLabel.h"
#include "link/ui/TfCommSettings.h"
#include "link/ui/TfNewGateway.h"
#include "ui/TfDefault.h"
#include "ui/TfDialog.h"
#include "ui/TfHelp.h"
#include "ui/TfLoad.h"
#include "ui/TfMain.h"
#include "ui/TfParam.h"
#include "ui/TwReset.h"
#include "ui/UiState.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

namespace {

class SmallWindowsTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        createWindows();
        labelTexts = Tlabels(982);
    }
};

TEST_F(SmallWindowsTest, ThePleaseWaitWindowTakesTheTextsOfItsTitle)
{
    const struct
    {
        int title;
        int captionK;
        const char* caption;
        int labelK;
        const char* label;
    } titles[] = {
        {0, 112, "Saving parametres", 113, "Saving parametres ... please wait"},
        {1, 114, "Loading parametres", 115, "Loading parametres ... please wait"},
        {2, 110, "Reading information", 111, "Reading information about gateway ... please wait"},
        {3, 221, "Loading from gateway", 222, "Loading from gateway ... please wait"},
    };
    for (const auto& t : titles) {
        labelTexts = Tlabels(982);
        ShowProgress(t.title, fMain);
        EXPECT_EQ(fParam->windowTitle(), QString::fromLatin1(t.caption));
        EXPECT_EQ(fParam->lb1->text(), QString::fromLatin1(t.label));
        HideProgress(fMain);
        labelTexts[t.captionK] = QStringLiteral("caption %1").arg(t.captionK);
        labelTexts[t.labelK] = QStringLiteral("label %1").arg(t.labelK);
        ShowProgress(t.title, fMain);
        EXPECT_EQ(fParam->windowTitle(), QStringLiteral("caption %1").arg(t.captionK));
        EXPECT_EQ(fParam->lb1->text(), QStringLiteral("label %1").arg(t.labelK));
        HideProgress(fMain);
    }
    // Any other title keeps the texts of the last use.
    ShowProgress(7, fMain);
    EXPECT_EQ(fParam->windowTitle(), QStringLiteral("caption 221"));
    HideProgress(fMain);
}

TEST_F(SmallWindowsTest, ThePleaseWaitWindowDisablesItsParentAndHidingEnablesItAgain)
{
    fMain->setEnabled(false); // enabled again by the hide even when it was disabled before
    ShowProgress(1, fMain);
    EXPECT_TRUE(progressShown);
    EXPECT_TRUE(fParam->isVisible());
    EXPECT_FALSE(fMain->isEnabled());
    EXPECT_TRUE(fParam->isEnabled());
    HideProgress(fMain);
    EXPECT_FALSE(progressShown);
    EXPECT_FALSE(fParam->isVisible());
    EXPECT_TRUE(fMain->isEnabled());
}

TEST_F(SmallWindowsTest, TheStatusLineShowsTheCommandWithItsAmpersandVisible)
{
    labelTexts[790] = QStringLiteral("Sending:");
    const struct
    {
        const char* text;
        const char* caption; // after text 790 and a blank
        const char* shown;
    } cases[] = {
        {"AT&V0\r\n", "AT&&V0", "AT&V0"}, {"AT&&V0", "AT&&V0", "AT&V0"},
        {"AT&V&T", "AT&&V&T", "AT&VT"}, // only the first "&" is looked at
        {"A\r\nB", "A\r", "A\r"},       // a CR LF anywhere drops the last two characters
        {"ATI3", "ATI3", "ATI3"},         {"AT&", "AT&&", "AT&"},
    };
    for (const auto& c : cases) {
        fLoad->SetStatus(QString::fromLatin1(c.text));
        EXPECT_EQ(fLoad->lb1->caption(), QStringLiteral("Sending: ") + QString::fromLatin1(c.caption)) << c.text;
        EXPECT_EQ(fLoad->lb1->text(), QStringLiteral("Sending: ") + QString::fromLatin1(c.shown)) << c.text;
    }
    // The link's commands reach the status line.
    ASSERT_TRUE(commandStatusHook);
    commandStatusHook(QStringLiteral("AT%S91=1,2\r\n"));
    EXPECT_EQ(fLoad->lb1->caption(), QStringLiteral("Sending: AT%S91=1,2"));
}

TEST_F(SmallWindowsTest, TheProgressWindowsCannotBeClosedByTheUser)
{
    fLoad->show();
    fParam->show();
    EXPECT_FALSE(fLoad->close());
    EXPECT_FALSE(fParam->close());
    EXPECT_TRUE(fLoad->isVisible());
    EXPECT_TRUE(fParam->isVisible());
    fLoad->hide();
    fParam->hide();
}

TEST_F(SmallWindowsTest, TheQuestionAnswersByItsButtons)
{
    dialogs().onModal([](QDialog* d) {
        auto* dialog = qobject_cast<TfDialog*>(d);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Reload?"));
        EXPECT_EQ(dialog->sbYes->text(), QStringLiteral("Yes"));
        dialog->sbYes->click();
    });
    EXPECT_TRUE(AskYesNo(QStringLiteral("Load the configuration of the gateway now?"), QStringLiteral("Reload?"),
                         QStringLiteral("Yes"), QStringLiteral("No"), 0));

    dialogs().onModal([](QDialog* d) { qobject_cast<TfDialog*>(d)->sbNo->click(); });
    EXPECT_FALSE(AskYesNo(QStringLiteral("?"), QStringLiteral("c"), QStringLiteral("Yes"), QStringLiteral("No"), 1));

    // Closed without a button (the handler rejects it): No, even after a Yes before.
    dialogs().onModal([](QDialog* d) { qobject_cast<TfDialog*>(d)->sbYes->click(); });
    EXPECT_TRUE(AskYesNo(QStringLiteral("?"), QStringLiteral("c"), QStringLiteral("Yes"), QStringLiteral("No"), 1));
    EXPECT_FALSE(AskYesNo(QStringLiteral("?"), QStringLiteral("c"), QStringLiteral("Yes"), QStringLiteral("No"), 1));
}

TEST_F(SmallWindowsTest, WindowsShownWithoutWaitingDisableTheMainWindowUntilTheyClose)
{
    showMainWindow();
    const std::pair<QAction*, QDialog*> cases[] = {{fMain->mAbout, fHelp}, {fMain->mGatewayList, fGatewayList}};
    for (const auto& [command, window] : cases) {
        command->trigger();
        EXPECT_TRUE(window->isVisible()) << qPrintable(window->objectName());
        EXPECT_FALSE(fMain->isEnabled());
        EXPECT_TRUE(window->isEnabled());
        // The window manager keeps it in front of the main window it belongs to, and a click on the main
        // window while it is open does nothing.
        ASSERT_TRUE(window->windowHandle());
        EXPECT_EQ(window->windowHandle()->transientParent(), fMain->windowHandle());
        const int topic = currentTopic;
        QTest::mouseClick(fMain->tvTopic->viewport(), Qt::LeftButton, {},
                          fMain->tvTopic->visualItemRect(fMain->topicNodeOf(30)).center());
        EXPECT_EQ(currentTopic, topic);
        EXPECT_TRUE(window->isVisible());
        window->close();
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(fMain->isEnabled()) << qPrintable(window->objectName());
    }
    // The about box's own OK button and Escape do the same.
    fMain->mAbout->trigger();
    fHelp->SpeedButton1->click();
    EXPECT_TRUE(fMain->isEnabled());
    fMain->mAbout->trigger();
    fHelp->reject();
    EXPECT_TRUE(fMain->isEnabled());
    // The modal dialogs and the progress windows belong to the main window as well.
    for (QWidget* window : std::initializer_list<QWidget*>{fLoad, wReset, fNewGateway, fCommSettings, fDefault}) {
        window->show();
        EXPECT_EQ(window->windowHandle()->transientParent(), fMain->windowHandle()) << qPrintable(window->objectName());
        window->hide();
    }
}

TEST_F(SmallWindowsTest, TheStatusTextIsDrawnIntoPanelOneFourPixelsIn)
{
    fMain->setStatusText(QStringLiteral("MX V-02.05.20"));
    EXPECT_EQ(fMain->statusText, QStringLiteral("MX V-02.05.20"));
    const auto inked = [](int panel, int fromX, int toX) {
        QImage image(300, 20, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        fMain->sbMainDrawPanel(painter, panel, image.rect());
        painter.end();
        int count = 0;
        for (int x = fromX; x < toX; ++x)
            for (int y = 0; y < 20; ++y)
                count += image.pixel(x, y) != QColor(Qt::white).rgb();
        return count;
    };
    EXPECT_EQ(inked(0, 0, 300), 0);
    EXPECT_EQ(inked(1, 0, 4), 0);
    EXPECT_GT(inked(1, 4, 300), 20);
}

} // namespace
