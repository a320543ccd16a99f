#pragma once
// Conversions between the forms the configuration image holds and the forms the gateway carries.
#include <QString>

// Volume track bars: the gateway carries codes that alternate around the middle position (0 the middle,
// 2k-1 k steps up, 2k k steps down). positions is the bar's number of positions (5 or 7). Out-of-range
// input gives -1.
int volumeCodeToPosition(int code, int positions);
int volumePositionToCode(int position, int positions);
inline constexpr int kSiemensPositions = 5; // Siemens and Sierra volume bars
inline constexpr int kWavecomPositions = 7;

// The gateway's CDR code and the list position: positions 0..3 are codes 0..3, positions 4..6 codes 5..7.
// A code of 4 shows as position 3. -1 for a code the list has no place for (below 0 or above 7).
int cdrCodeToPosition(int code);
int cdrPositionToCode(int position);

// The Sierra modules' networks: list position 0 "GSM and 3G", 1 "only GSM", 2 "only 3G"; the gateway's codes
// 2, 13 and 14 (a code it may hold besides 13 and 14 reads as "GSM and 3G").
inline int basicNetworksCode(int position)
{
    return position == 1 ? 13 : position == 2 ? 14 : 2;
}
inline int basicNetworksPosition(int code)
{
    return code == 13 ? 1 : code == 14 ? 2 : 0;
}

// Day-and-month dates: the image holds "dd.mm" as the page shows it; the gateway carries four digits, the
// month first, then the day (config/WireDate.h; the same order in both directions, so a date survives a load
// and a save unchanged). Blanks count as "0"; a text without numbers gives "0000".
QString dayMonthToDigits(const QString& dayMonth);
// The day and month dayMonthToDigits sends (-1 where it finds no digits, a number above 99 as 99): blanks
// counted as "0", digits, ".", digits; what follows the month's digits is not read ("01.05.2024" is 1 May).
// True when they are the text's own; false for a text that conversion would send as another date: no digits
// before the ".", no "." right after them, no digits right after it (a sign is no digit), or a number above 99.
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
