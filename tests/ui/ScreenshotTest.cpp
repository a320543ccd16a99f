// Pictures of windows for a person to look at, written on demand only.
#include "support/MainWindowFixture.h"

#include "link/ui/TfCommSettings.h"
#include "link/ui/TfGatewayList.h"
#include "ui/TfHelp.h"
#include "ui/TfMain.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTest>

namespace {

using ScreenshotTest = MainWindowFixture;

// Pictures of the main window and three dialogs in Czech and in Hungarian, for a person to look at. Written
// on demand only (scripts/screenshots.sh runs it): build/screenshots/<language>-<window>.png.
TEST_F(ScreenshotTest, DISABLED_WindowsInCzechAndHungarian)
{
    startUp();
    showMainWindow();
    const QString folder = QStringLiteral(MESK_BINARY_DIR "/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    const struct
    {
        const char* name;
        void (TfMain::*click)();
    } languages[] = {{"czech", &TfMain::tbCzechClick}, {"hungarian", &TfMain::tbHungaryClick}};
    for (const auto& language : languages) {
        (fMain->*language.click)();
        fMain->selectTopic(30);
        QWidget* const windows[] = {fMain, fCommSettings, fGatewayList, fHelp};
        for (QWidget* window : windows) {
            if (window != fMain) {
                window->show();
                ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            }
            const QString file =
                QStringLiteral("%1/%2-%3.png").arg(folder, QLatin1String(language.name), window->objectName());
            EXPECT_TRUE(window->grab().save(file)) << qPrintable(file);
            if (window != fMain)
                window->hide();
        }
    }
}

} // namespace
