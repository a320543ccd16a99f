#pragma once
// Placing and showing the program's small windows. They are top-level windows of their own, so that the main
// window can be disabled while they are shown without disabling them.
#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

// Gives a control the program's name for it (tests and the label pass find controls by name).
template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// One "label : edit" row of a dialog's grid, both controls created on parent and named.
void addEditRow(QGridLayout* grid, int row, QWidget* parent, QLabel*& label, const char* labelName, QLineEdit*& edit,
                const char* editName);

// The program's title (text 418, "Mesk config program"): the main window's caption and the caption of the
// boxes that have no other. It is kept here, not as the toolkit's application display name, which the toolkit
// would append to every window caption (" - Mesk config program").
QString applicationTitle();
void setApplicationTitle(const QString& title);

// Makes the main window the window's owner for the window manager (its transient parent): the window stays in
// front of the main window, also while that one is disabled and clicked. The window keeps no widget parent,
// so disabling the main window does not disable it.
void keepInFrontOfMainWindow(QWidget* window);
// Moves window to the middle of the main window (of the screen when there is no main window).
void centreOnMainWindow(QWidget* window);
// Shows window without waiting: centred, in front, focused; the main window is disabled meanwhile.
void showWithoutWaiting(QWidget* window);
// Enables the main window again and gives it the focus (what a window shown without waiting does on close).
void enableMainWindow();
