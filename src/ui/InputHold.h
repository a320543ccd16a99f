#pragma once
// While the window's thread waits for the gateway's answer or runs a step that holds input (LinkInputHeld), the user's input to the main
// window (its clicks, keys, wheel turns and shortcuts, its menus and drop-down lists included) is held: a
// handler run inside that wait would start a second exchange, and the two would take each other's answers.
// Once no answer is awaited the held input is handed back to the window system, one event at a time and in the
// order given, so it is routed when delivered as if given then (a click that switched the page has done so
// before the keys typed after it are delivered). New input waits behind held input.
//
// Not held: the tool-bar Disconnect's press and release (it ends the wait at once), the window's close, input
// to other windows (boxes, dialogs, the progress window), and input while the main window is disabled or
// behind a modal box, which does nothing. A held event that meets the window disabled or behind a box
// when delivered is refused by Qt itself.
//
// A wait that lasts beyond kBusyCursorMs shows the busy cursor (the arrow with the hourglass: the Disconnect
// stays usable) until it ends.
class QAction;
class QMainWindow;

inline constexpr int kBusyCursorMs = 300;

void installInputHold(QMainWindow* main, QAction* disconnect);
