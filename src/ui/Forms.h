#pragma once
// All windows of the program, created once at start-up in a fixed order (the main window first) and kept to
// the end. Each has its class name as its object name and a program-wide pointer (fMain, fCommSettings, ...).
// The dialogs are top-level windows without a parent, so disabling the main window leaves them usable.

// Creates the windows and sets their pointers. The main window is built but not shown.
void createForms();
// Deletes them in the opposite order and clears their pointers.
void destroyForms();
