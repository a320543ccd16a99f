#pragma once
// Conversions between the forms the configuration image holds and the forms the gateway carries.
#include <QString>

// Volume track bars: the gateway carries codes that alternate around the middle position (0 the middle,
// 2k-1 k steps up, 2k k steps down). positions is the bar's number of positions (5 or 7). Out-of-range
// input gives -1.
int volumeCodeToPosition(int code, int positions);
int volumePositionToCode(int position, int positions);

// Day-and-month dates: the image holds "dd.mm" as the page shows it; the gateway carries four digits, the
// month first, then the day (config/WireDate.h; the same order in both directions, so a date survives a load
// and a save unchanged). Blanks count as "0"; a text without numbers gives "0000".
QString dayMonthToDigits(const QString& dayMonth);
// The day and month dayMonthToDigits sends, when they are the text's own: blanks counted as "0", digits, ".",
// digits, each number at most 99; what follows the month's digits is not read ("01.05.2024" is 1 May). False
// (day and month untouched) for a text that conversion would send as another date: no digits before the ".",
// no "." right after them, no digits right after it (a sign is no digit), or a number above 99.
bool dayMonthNumbers(const QString& dayMonth, int& day, int& month);
// "mmdd" -> "dd.mm"; the empty text for a value shorter than four characters.
QString digitsToDayMonth(const QString& digits);
// A whole "dd.mm": two digits, ".", two digits, the form the date edits give once every digit is typed. No
// calendar check: "00.00" is "no date".
bool isWholeDayMonth(const QString& text);

// The one rule of every HH:MM time the user types, before it is sent or stored: "hh:mm" (or "h:mm", as the
// gateway lists an early time) digits with hours 00 to 23 or the day's end "24:00" and minutes 00 to 59. The
// masked time edits hold "_" for a digit not typed yet; such a time is not complete and never sent.
// (In the widget library, TimeEditComplete applies it to an edit and marks the edit when it fails.)
bool isCompleteTime(const QString& text);
