#pragma once
// While the window's thread waits for the gateway's answer or runs a step that holds input (LinkInputHeld), the
// user's input to the main window (its clicks, keys, wheel turns and shortcuts, its menus and drop-down lists
// included) is held: a handler run inside that wait would start a second exchange, and the two would take each
// other's answers. Once no answer is awaited the held input is handed back to the window system, one event at a
// time and in the order given, so it is routed when delivered as if given then (a click that switched the page has
// done so before the keys typed after it are delivered). New input waits behind held input. An event Qt makes
// while it delivers another (the ShortcutOverride of a key) belongs to that delivery and is never held.
//
// Not held: the tool-bar Disconnect's press and release (it ends the wait at once); the release of a press that
// went through before the wait to a widget that repeats while pressed (a spin box's or a scroll bar's arrow: the
// release only ends the repeat, so one click is one step); the window's close; input to other windows (boxes,
// dialogs, the progress window); and input while the main window is disabled or behind a modal box, which does
// nothing. The release of any other press that went through (a push button's) is held and runs once, after the
// wait. A held event that meets the window disabled or behind a box when delivered is refused by Qt itself, with
// one exception: keys typed for the main window go to a dialog that held input opened (a file dialog, a question)
// while that dialog is active, as they would have gone had they been given then. Keys typed while a popup of the
// main window had the keyboard (a menu open) are typed for the main window once that popup has closed (mostly by
// the held click that chose its item): they go to that dialog, or else to the main window. A box shown after a
// wait that held input started (the result of its exchange) is no such dialog: held input never answers a box a
// wait ended with.
//
// A Disconnect is final: input held before it (the user's, the keep-alive's, a lost link's, the session's end) is
// still delivered, but what it starts opens no link (heldInputBeforeLinkEnd): a topic or menu item that needs the
// gateway does what it does when no connection is made.
//
// Input held beyond kBusyCursorMs (by a wait or a step) shows the busy cursor (the arrow with the hourglass: the
// Disconnect stays usable); it stays until nothing has held the input for kBusyCursorMs, so a run of exchanges
// shows it steadily. A box or dialog that waits for the user (platform/Dialogs.h) shows none, held input or not.
class QAction;
class QMainWindow;
class QString;

inline constexpr int kBusyCursorMs = 300;

// Installs the hold on the main window. Not on a Qt other than the one the hold's copies of Qt's private
// window-system events were written for (inputHoldQtMismatch), and false, told on the standard error and in a
// box, when Qt's window-system event handler could not be taken: input is then not held.
bool installInputHold(QMainWindow* main, QAction* disconnect);

// Empty when the Qt the program runs on is the one the hold was written for (CMake refuses to build with
// another); else what to tell the user.
QString inputHoldQtMismatch();

// The link was ended (every Disconnect calls it): input held until now reaches no gateway.
void heldInputLinkEnded();
// True while input held before a link end is being delivered, at its delivery's own nesting (not inside a wait
// that input opened, nor in a box it showed): the connect then opens nothing and reports nothing.
bool heldInputBeforeLinkEnd();
