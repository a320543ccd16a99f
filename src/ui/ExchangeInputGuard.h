#pragma once
// While the window's thread waits for the gateway's answer (LinkExchangeWaiting), the main window refuses the
// user's clicks and keys: a handler run inside that wait would start a second exchange, and the two would take
// each other's answers. Nothing is sent for such input; the user gives it again once the answer is in.
// The tool-bar Disconnect stays usable (it ends the wait at once), and so do the close and other windows (a box or
// dialog asked for meanwhile, the progress window).
class QAction;
class QMainWindow;

void installExchangeInputGuard(QMainWindow* main, QAction* disconnect);
