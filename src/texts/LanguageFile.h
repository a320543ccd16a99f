#pragma once
// Reading the language file "languages.ini": section "main" holds "labels_count"; sections "0", "1", ... hold
// one language each, its display name under "language" and text number k under "s<k>".
#include "texts/Labels.h"

// The fewest texts a table holds, whatever "labels_count" says.
inline constexpr int kMinLabelsCount = 900;
// The most: the program uses fewer than a thousand numbers, and a count of millions would only cost memory
// and start-up time (or end the program when it cannot be allocated).
inline constexpr int kMaxLabelsCount = 4000;

// Fills texts with the texts of language index (max(labels_count, 900) entries, the empty text where the file
// has none) and names with the "language" keys of sections "0", "1", ... up to the first section without one.
// A missing file gives 900 empty texts and no names. Both tables are replaced, never appended to. A count above
// kMaxLabelsCount reads kMaxLabelsCount texts; the result is false then, so the caller can say so.
bool readLanguageFile(const QString& fileName, int index, Tlabels& texts, Tlabels& names);
