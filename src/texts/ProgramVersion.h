#pragma once
// The program's version and the gateway firmware versions it is made for. Fixed in the program; the about
// box shows them in every language.
#include <QString>

inline const QString programVersion = QStringLiteral("2.1a");
inline const QString firmwareVersion1 = QStringLiteral("V-02.04.17");
inline const QString firmwareVersion2 = QStringLiteral("V-02.05.17");
inline const QString firmwareVersion3 = QStringLiteral("V-02.04.20");
inline const QString firmwareVersion4 = QStringLiteral("V-02.05.20");
