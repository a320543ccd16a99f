#pragma once
// The rule of every caption of the label pass: entry k of the language's table, or the English text of the
// place when the entry is empty (a blank is not empty).
#include "link/ReplyParsers.h"
#include "texts/Labels.h"

inline QString labelOr(const Tlabels& labels, int k, const QString& english)
{
    return TextOrFallback(labelAt(labels, k), english);
}
