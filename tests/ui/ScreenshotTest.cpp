// A picture of the main window at its default size, after the start-up with the shipped data. It is kept
// in the build folder for people to look at; nothing compares it.
#include "support/MainWindowFixture.h"

#include "ui/TfMain.h"

#include <QFileInfo>
#include <QPixmap>

namespace {

using ScreenshotTest = MainWindowFixture;

TEST_F(ScreenshotTest, MainWindowAtItsDefaultSize)
{
    startUp();
    showMainWindow();
    fMain->selectTopic(30);
    const QString file = QStringLiteral(MESK_BINARY_DIR "/main-window.png");
    const QPixmap picture = fMain->grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), fMain->size());
    ASSERT_TRUE(picture.save(file));
    EXPECT_GT(QFileInfo(file).size(), 1000);
}

} // namespace
