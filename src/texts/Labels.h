#pragma once
// The numbered user-interface texts of the chosen language. Every caption and message is read from this
// table by number.
#include <QString>
#include <vector>

using Tlabels = std::vector<QString>;

inline Tlabels labelTexts;

// Entry n of the table; the empty text past its end (or for a negative number).
inline QString labelText(int n)
{
    return n >= 0 && static_cast<size_t>(n) < labelTexts.size() ? labelTexts[static_cast<size_t>(n)] : QString();
}
