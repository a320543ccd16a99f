#pragma once
// The Qt handler behind platform/Dialogs.h: real message boxes, file dialogs and input queries. The program
// installs it at start-up; until then (and in a program without widgets) boxes are only logged.

// Makes the Qt handler the default one (what setDialogHandler(nullptr) goes back to).
void installQtDialogs();
