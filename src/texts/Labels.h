#pragma once
// The numbered user-interface texts of the chosen language. Every caption and message is read from this
// table by number.
#include <QString>
#include <vector>

using Tlabels = std::vector<QString>;

// The texts of the current language, entry k being text number k ("s<k>" of the language's section).
inline Tlabels labelTexts;
// The display names of the languages in the language file, in section order ("0", "1", ...).
inline Tlabels languageNames;

// Entry n of the table; the empty text past its end (or for a negative number).
inline QString labelText(int n)
{
    return n >= 0 && static_cast<size_t>(n) < labelTexts.size() ? labelTexts[static_cast<size_t>(n)] : QString();
}

// Entry n of a table; the empty text past its end.
inline QString labelAt(const Tlabels& table, int n)
{
    return n >= 0 && static_cast<size_t>(n) < table.size() ? table[static_cast<size_t>(n)] : QString();
}

// Back to the state at program start: both tables empty.
inline void resetTexts()
{
    labelTexts.clear();
    languageNames.clear();
}
