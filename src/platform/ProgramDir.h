#pragma once
// The program folder: where settings.ini, gtws.ini, languages.ini, defaults.ini and the other files the program
// reads beside itself live. It is the folder of the executable; tests point it at a temporary folder.
#include <QString>

// The program folder, without a trailing "/".
QString programDir();
// programDir() + "/" + name.
QString programFile(const QString& name);

// Test hook: makes programDir() return folder; an empty text goes back to the executable's folder.
void setProgramDir(const QString& folder);
