#pragma once
// Windows-1250 (Central European), the code page of files and texts made on the Czech, Hungarian and Polish
// Windows machines the program's users had.
#include <QByteArray>
#include <QChar>
#include <QString>

// The character of one byte.
QChar fromCp1250(quint8 byte);
// The byte of one character; '?' for a character the code page lacks.
quint8 toCp1250(QChar c);
QString decodeCp1250(const QByteArray& bytes);
// The bytes of a text, each character through toCp1250.
QByteArray encodeCp1250(const QString& text);
