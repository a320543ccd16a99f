// The program: the application object, all windows created once, the message loop.
#include "platform/Dialogs.h"
#include "platform/FileSizeSignal.h"
#include "platform/WorkerThread.h"
#include "platform/ui/QtDialogs.h"
#include "ui/Forms.h"
#include "ui/InputHold.h"
#include "ui/TfMain.h"
#include "ui/WindowUtil.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <exception>

int main(int argc, char* argv[])
{
    // Before any thread starts, so that every thread has it: a write past the file-size limit fails with its
    // own message instead of ending the program.
    IgnoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mesk-config"));
    // The main window's close ends the program, also while a window shown without waiting is still open.
    QApplication::setQuitOnLastWindowClosed(false);
    installQtDialogs();
    // Input given while the gateway's answer is awaited is held through Qt's private window-system classes, as
    // the Qt the program was built for has them; on another Qt the hold stays off, and the user is told.
    if (const QString mismatch = inputHoldQtMismatch(); !mismatch.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(mismatch));
        MessageBox(mismatch, applicationTitle(), MB_ICONWARNING);
    }
    try {
        createForms();
        fMain->show();
        // The start-up runs at the first activation; a platform that never activates a window (offscreen)
        // gets it from here, once the event loop runs.
        QTimer::singleShot(0, fMain, [] { fMain->FormActivate(); });
        app.exec();
    } catch (const std::exception& e) {
        MessageBox(QString::fromLocal8Bit(e.what()), applicationTitle(), MB_ICONERROR);
    } catch (...) {
        MessageBox(QString(), applicationTitle(), MB_ICONERROR);
    }
    WorkerThread::stopAll(2000);
    destroyForms();
    return 0;
}
