// Closing the main window: the save question, the gate file written on Yes, Cancel keeping everything.
#include "support/MainWindowFixture.h"

#include "config/GateFile.h"
#include "link/LinkState.h"
#include "pages/SystemPage.h"
#include "ui/TfMain.h"
#include "ui/UiState.h"

#include <QFile>
#include <QSpinBox>

namespace {

using CloseTest = MainWindowFixture;

TEST_F(CloseTest, WithNoPageChangedTheWindowClosesWithoutAQuestion)
{
    startUp(); // the label pass re-runs the port-mode radios' handlers; that must not count as a change
    showMainWindow();
    EXPECT_TRUE(fMain->close());
    EXPECT_TRUE(dialogs().boxes().isEmpty());
    EXPECT_FALSE(fMain->isVisible());
}

TEST_F(CloseTest, AnyOneChangedFlagAsksTheQuestion)
{
    startUp();
    for (int flag = 0; flag < pcCount; ++flag) {
        resetPageChanged();
        pageChanged[flag] = 1;
        dialogs().clearRecords();
        dialogs().answerBox(IDNO);
        EXPECT_TRUE(fMain->FormClose()) << flag;
        ASSERT_EQ(dialogs().boxes().size(), 1) << flag;
        const auto& box = dialogs().boxes().first();
        EXPECT_EQ(box.text, labelText(456));
        EXPECT_EQ(box.caption, labelText(54));
        EXPECT_EQ(box.flags, 0x23u);
    }
    EXPECT_FALSE(labelText(456).isEmpty()) << "the shipped English file carries the question";
}

TEST_F(CloseTest, TheAnswerDecidesWhetherTheGateFileIsWrittenAndTheWindowCloses)
{
    const struct
    {
        int answer;
        bool closes;
        bool written;
    } cases[] = {{IDYES, true, true}, {IDNO, true, false}, {IDCANCEL, false, false}};
    for (const auto& c : cases) {
        startUp();
        showMainWindow();
        CurrentGateway.File = path(QStringLiteral("gate.ini"));
        fMain->seSystemGate->setValue(42); // the close copies the pages into the image before writing
        pageChanged[pcPortModes] = 1;
        dialogs().answerBox(c.answer);
        EXPECT_EQ(fMain->close(), c.closes) << c.answer;
        EXPECT_EQ(fMain->isVisible(), !c.closes) << c.answer;
        EXPECT_EQ(QFile::exists(CurrentGateway.File), c.written) << c.answer;
        EXPECT_EQ(pageChanged[pcPortModes], 1) << "the close never clears the flags";
        if (c.written) {
            TParametres read;
            ASSERT_TRUE(readGateSections(read, CurrentGateway.File, gsAll));
            EXPECT_EQ(read.system.gateId, 42);
        }
        EXPECT_EQ(dialogs().boxes().size(), 1) << "only the question: " << qPrintable(dialogs().boxTexts().join('|'));
        TearDown();
        SetUp();
    }
}

TEST_F(CloseTest, AGateFileThatCannotBeWrittenIsReportedAndTheProgramStillCloses)
{
    startUp();
    showMainWindow();
    CurrentGateway.File = path(QStringLiteral("no such folder/gate.ini"));
    pageChanged[pcSystem] = 1;
    dialogs().answerBox(IDYES);
    EXPECT_TRUE(fMain->close());
    ASSERT_EQ(dialogs().boxes().size(), 2);
    const auto& error = dialogs().boxes().at(1);
    EXPECT_EQ(error.text, labelText(60));
    EXPECT_EQ(error.caption, labelText(47));
    EXPECT_EQ(error.flags, 0x10u);
    EXPECT_FALSE(fMain->isVisible());
}

} // namespace
