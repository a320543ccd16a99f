#pragma once
// Day-and-month dates as the gateway carries them (the winter and summer dates of "X20", the holidays of
// "G06" and "G07"): four digits, the month's two first and then the day's. The pages show and the gate file
// keeps "dd.mm"; the conversions in ConfigConversions.h and the simulated gateway's checks both read the order
// from here, so the two sides cannot drift apart.
#include <QByteArrayView>

inline constexpr int kWireDateMonthAt = 0; // offset of the month's two digits
inline constexpr int kWireDateDayAt = 2;   // offset of the day's two digits
inline constexpr int kWireDateLength = 4;

// Four digits with a month of 00..12 and a day of 00..31 in their places (00 stands for "no date").
inline bool isWireDate(QByteArrayView digits)
{
    if (digits.size() != kWireDateLength)
        return false;
    for (char c : digits)
        if (c < '0' || c > '9')
            return false;
    auto number = [&digits](int at) { return (digits[at] - '0') * 10 + (digits[at + 1] - '0'); };
    return number(kWireDateMonthAt) <= 12 && number(kWireDateDayAt) <= 31;
}
