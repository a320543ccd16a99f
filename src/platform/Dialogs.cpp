#include "platform/Dialogs.h"

#include "platform/Wait.h"
#include "platform/WorkerThread.h"

#include <QtDebug>
#include <atomic>

namespace {

std::atomic<int> boxesShown{0};

// Without a screen (no handler installed): the box is logged and answered as a user who closes it would.
class NoScreenHandler final : public DialogHandler
{
public:
    int messageBox(const QString& text, const QString& caption, unsigned flags) override
    {
        qWarning("No dialog handler for the box \"%s\": %s", qPrintable(caption), qPrintable(text));
        return (flags & 0x0F) == MB_OK ? IDOK : IDCANCEL;
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return QString(); }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return QString(); }
    bool inputQuery(const QString&, const QString&, QString&) override { return false; }
    int showModal(QDialog*) override { return 0; }
};

DialogHandler* noScreenHandler()
{
    static NoScreenHandler handler;
    return &handler;
}

// What a box answers once the program is closing: nothing is shown; the answer is that of a user who closes it.
int closedBoxAnswer(unsigned flags)
{
    switch (flags & 0x0F) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    case 0x02: // abort, retry, ignore
        return IDABORT;
    default:
        return IDCANCEL;
    }
}

// The boxes and dialogs open now on the UI thread (a box shown inside another's nested wait counts too).
int dialogsOpen = 0;
std::function<void(bool open)> dialogOpenWatch;

class DialogOpenScope
{
public:
    DialogOpenScope()
    {
        if (dialogsOpen++ == 0 && dialogOpenWatch)
            dialogOpenWatch(true);
    }
    ~DialogOpenScope()
    {
        if (--dialogsOpen == 0 && dialogOpenWatch)
            dialogOpenWatch(false);
    }
    DialogOpenScope(const DialogOpenScope&) = delete;
    DialogOpenScope& operator=(const DialogOpenScope&) = delete;
};

std::atomic<DialogHandler*> defaultHandler{nullptr};
std::atomic<DialogHandler*> currentHandler{nullptr};

DialogHandler* fallback()
{
    DialogHandler* h = defaultHandler.load();
    return h ? h : noScreenHandler();
}

} // namespace

void setDefaultDialogHandler(DialogHandler* handler)
{
    defaultHandler = handler;
}

DialogHandler* setDialogHandler(DialogHandler* handler)
{
    DialogHandler* previous = currentHandler.exchange(handler);
    return previous ? previous : fallback();
}

DialogHandler* dialogHandler()
{
    DialogHandler* h = currentHandler.load();
    return h ? h : fallback();
}

// Widgets live on the UI thread only; a box asked for by a worker thread is shown there and the worker waits.

// Once the main window's close has been decided nothing more is shown: work that ends after it must not leave a
// box on an empty screen. show runs on the UI thread as a nested wait; result keeps its closed answer otherwise.
template <class Result, class Show> Result showUnlessClosing(Result result, Show show)
{
    WorkerThread::runOnUiThread([&] {
        if (closingProgram())
            return;
        NestedWait nested;
        const DialogOpenScope open;
        result = show();
    });
    return result;
}

int MessageBox(const QString& text, const QString& caption, unsigned flags)
{
    return showUnlessClosing(closedBoxAnswer(flags), [&] {
        ++boxesShown;
        return dialogHandler()->messageBox(text, caption, flags);
    });
}

int MessageBoxesShown()
{
    return boxesShown.load();
}

QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& initialPath, const QString& filter)
{
    return showUnlessClosing(QString(),
                             [&] { return dialogHandler()->openFileName(parent, caption, initialPath, filter); });
}

QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& initialPath, const QString& filter)
{
    return showUnlessClosing(QString(),
                             [&] { return dialogHandler()->saveFileName(parent, caption, initialPath, filter); });
}

bool InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    return showUnlessClosing(false, [&] { return dialogHandler()->inputQuery(caption, prompt, value); });
}

int ShowModal(QDialog* dialog)
{
    if (closingProgram())
        return 0; // rejected
    NestedWait nested;
    const DialogOpenScope open;
    return dialogHandler()->showModal(dialog);
}

void SetDialogOpenWatch(std::function<void(bool open)> watch)
{
    dialogOpenWatch = std::move(watch);
}
