// Every test program starts here: a QApplication on the offscreen platform, then GoogleTest.
// A fallback dialog handler answers (and prints) any box a test did not script, so a forgotten box never
// hangs a test in a modal loop that nobody can close. Tests that care install their own ScriptedDialogs.
#include "platform/FileSizeSignal.h"
#include "platform/ui/QtDialogs.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    IgnoreFileSizeSignal(); // as the program's main() starts
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Death tests re-run the program instead of forking it: Qt has threads running by now.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::InitGoogleTest(&argc, argv);
    installQtDialogs();
    ScriptedDialogs fallback;
    fallback.setEcho(true);
    fallback.allowUnusedAnswers();
    return RUN_ALL_TESTS();
}
