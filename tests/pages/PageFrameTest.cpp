#include "PageTestFixture.h"

#include "pages/PageFrame.h"
#include "pages/SystemPage.h"
#include "ui/TfParam.h"
#include "ui/UiState.h"

#include <QDir>
#include <QEvent>
#include <QPushButton>
#include <QSpinBox>

namespace {

// The please-wait window's title each time it is shown.
class ShowRecorder : public QObject
{
public:
    QStringList titles;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            titles << static_cast<QWidget*>(watched)->windowTitle();
        return false;
    }
};

using PageFrameTest = PageTest;

TEST_F(PageFrameTest, ThePleaseWaitWindowAndTheResultBoxComeOnlyAfterTheLogin)
{
    setFaults([](gatewaysim::Faults& f) { f.refuseLogin = true; });
    ShowRecorder shown;
    fParam->installEventFilter(&shown);
    pageChanged[pcSystem] = 0;
    LoadErrors = QStringLiteral("earlier\n");

    fMain->sbSystemLoad->click();

    EXPECT_FALSE(CurrentConnection.Connected);
    EXPECT_FALSE(shown.titles.contains(labelText(114)));
    for (const ScriptedDialogs::Box& box : dialogs().boxes()) {
        EXPECT_NE(box.text, labelText(61));
        EXPECT_FALSE(box.text.startsWith(labelText(218)));
    }
    EXPECT_EQ(LoadErrors, QStringLiteral("earlier\n"));
    EXPECT_EQ(pageChanged[pcSystem], 0);
    EXPECT_FALSE(gateway->receivedLines().contains("AT&V\r\n"));

    setFaults([](gatewaysim::Faults& f) { f.refuseLogin = false; });
    press(fMain->sbSystemLoad);
    EXPECT_TRUE(shown.titles.contains(labelText(114)));
    EXPECT_FALSE(fParam->isVisible());
    EXPECT_FALSE(progressShown);
    EXPECT_TRUE(fMain->isEnabled());
    expectInfoBox(61);
}

TEST_F(PageFrameTest, ChangedFlagAfterEachButton)
{
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    const struct
    {
        const char* button;
        quint8 before;
        quint8 after;
    } cases[] = {
        {"sbSystemLoad", 0, 1},    {"sbSystemSave", 0, 0},     {"sbSystemSave", 1, 1},
        {"sbSystemDefault", 0, 1}, {"sbSystemSaveFile", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        pageChanged[pcSystem] = c.before;
        auto* button = fMain->findChild<QPushButton*>(QString::fromLatin1(c.button));
        ASSERT_NE(button, nullptr);
        button->click();
        EXPECT_EQ(pageChanged[pcSystem], c.after);
    }
}

TEST_F(PageFrameTest, SaveToFileReportsWithThePagesCaption)
{
    int copied = 0;
    PageFrame frame;
    frame.flag = pcIncoming;
    frame.fileMask = gsIncoming;
    frame.toImage = [&copied] { ++copied; };

    const struct
    {
        int caption;
        bool clears;
        bool writable;
        quint8 flagAfter;
    } cases[] = {
        {54, true, true, 0},
        {54, true, false, 1}, // the system page and its like
        {47, true, false, 1},
        {47, false, true, 1}, // the outgoing and the incoming page
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.caption << " " << c.clears << " " << c.writable);
        frame.fileFailureCaption = c.caption;
        frame.fileSaveClearsFlag = c.clears;
        CurrentGateway.File = c.writable ? path(QStringLiteral("sim.ini")) : path(QStringLiteral("no/such/dir.ini"));
        pageChanged[pcIncoming] = 1;
        dialogs().clearRecords();
        copied = 0;
        frame.saveFileClick();
        EXPECT_EQ(copied, 1);
        if (c.writable)
            expectInfoBox(75);
        else
            expectOnlyBox(labelText(60), c.caption, MB_ICONERROR);
        EXPECT_EQ(pageChanged[pcIncoming], c.flagAfter);
    }
}

TEST_F(PageFrameTest, OperationResultIsIgnoredOnlyLoadErrorsCounts)
{
    PageFrame frame;
    frame.flag = pcOutgoing;
    const struct
    {
        bool result;
        QString line;
        int text;
    } cases[] = {{false, QString(), 66}, {true, QStringLiteral("Outgoing groups - x\n"), 219}};
    ASSERT_NO_FATAL_FAILURE(connectGateway());
    for (const auto& c : cases) {
        frame.save = [&c] {
            LoadErrors += c.line;
            return c.result;
        };
        dialogs().clearRecords();
        frame.saveClick();
        ASSERT_EQ(dialogs().boxes().size(), 1);
        EXPECT_TRUE(dialogs().boxes().first().text.startsWith(labelText(c.text)));
    }
}

TEST(ReplyDecimal, ReadsOnlyWholeDecimalNumbers)
{
    const struct
    {
        const char* text;
        bool ok;
        qint32 value;
    } cases[] = {{"12", true, 12}, {" 7 ", true, 7},   {"-3", true, -3},  {"", false, 0},
                 {"1x", false, 0}, {"0x1F", false, 0}, {"1 2", false, 0}, {"99999999999", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        qint32 value = 0;
        EXPECT_EQ(ReplyDecimal(c.text, value), c.ok);
        EXPECT_EQ(value, c.value);
    }
}

} // namespace
