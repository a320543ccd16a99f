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
// and a save unchanged).
// The winter and summer dates as their overtype edits hold them, where a blank is a digit not typed over: blanks
// count as "0", then digits, ".", digits (a number above 99 as 99); a text without numbers gives "0000".
QString dayMonthToDigits(const QString& dayMonth);
// A holiday's day and month as a person reads them: blanks before and after either number's digits are
// skipped, and what follows the month's digits and their blanks is not read ("01.05.2024" is 1 May) unless it
// is a digit. False, with -1 for a number not found, where the text holds no such day and month: no digits
// before or after the "." (a sign is no digit), no "." after the day, a digit after a number's blank ("1.1 5"),
// or a number above 99. The save, the gate file's check and the Add dialog read a holiday only through this.
bool holidayNumbers(const QString& holiday, int& day, int& month);
// The four digits a holiday goes out as: its holidayNumbers, "00" for a number not found.
QString holidayToDigits(const QString& holiday);
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
