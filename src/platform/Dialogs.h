#pragma once
// Modal message boxes and file/input dialogs. Everything goes through one replaceable handler so that tests
// can answer the boxes without a screen and see what was shown.
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

// Win32 flag values, as the program passes them.
enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Shows a modal box and returns the ID* of the button pressed. The low nibble of flags picks the buttons
// (also 0x02 abort/retry/ignore and 0x05 retry/cancel), the next one the icon, 0x100/0x200 the default button.
// The text is plain text, never markup.
int MessageBox(const QString& text, const QString& caption, unsigned flags);
// Message boxes shown since the program started (a box the close kept from showing does not count): whether the
// user has been told something since a moment.
int MessageBoxesShown();

// Called from a worker thread, these run on the UI thread while the worker waits (see WorkerThread).

// Open/save file dialogs: the chosen path, or an empty text when cancelled. The filter may be in the old
// "description|patterns|description|patterns" form ("Text file (*.txt)|*.txt", patterns joined by ";")
// or in Qt's "description (patterns);;..." form.
QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& initialPath, const QString& filter);
QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& initialPath, const QString& filter);
// Asks for one line of text; false when cancelled (value is then left unchanged).
bool InputQuery(const QString& caption, const QString& prompt, QString& value);
// Runs a dialog modally; returns QDialog::Accepted / Rejected (or what the test handler decides).
int ShowModal(QDialog* dialog);

// Told on the UI thread when a box or dialog of the functions above opens to wait for the user while none was open
// (true), and when the last one open closes (false). One watcher: the input hold, whose busy cursor stays away
// from a box that waits for the user.
void SetDialogOpenWatch(std::function<void(bool open)> watch);

// The handler behind the functions above. The default one, installed by the UI at start-up
// (platform/ui/QtDialogs.h), shows real Qt dialogs; core code only ever calls the functions above.
class DialogHandler
{
public:
    virtual ~DialogHandler() = default;
    virtual int messageBox(const QString& text, const QString& caption, unsigned flags) = 0;
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& initialPath,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& initialPath,
                                 const QString& filter) = 0;
    virtual bool inputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
    virtual int showModal(QDialog* dialog) = 0;
};

// Installs a handler (not owned); nullptr restores the default handler. Returns the previous one.
DialogHandler* setDialogHandler(DialogHandler* handler);
// Sets the default handler (not owned). Without one, boxes are logged and answered as if closed.
void setDefaultDialogHandler(DialogHandler* handler);
DialogHandler* dialogHandler();
