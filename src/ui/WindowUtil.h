#pragma once
// Placing and showing the program's small windows. They are top-level windows of their own, so that the main
// window can be disabled while they are shown without disabling them.
class QWidget;

// Moves window to the middle of the main window (of the screen when there is no main window).
void centreOnMainWindow(QWidget* window);
// Shows window without waiting: centred, in front, focused; the main window is disabled meanwhile.
void showWithoutWaiting(QWidget* window);
// Enables the main window again and gives it the focus (what a window shown without waiting does on close).
void enableMainWindow();
