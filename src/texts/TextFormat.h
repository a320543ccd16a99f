#pragma once
// Language texts used as printf formats with one argument ("Route calls to ISDN BRI %d interface").
//
// The texts come from a file anyone may edit, so they are never handed to a real printf: the first conversion
// of the matching kind takes the argument, "%%" gives "%", and every other "%" sequence (a second conversion,
// one of another kind, a "%" at the end) stays in the text as it stands. Nothing is cut: the result is as
// long as it needs to be.
#include <QString>

// The first "%d" or "%i" (flags, width and precision allowed: "%3d", "%-2i") takes value.
QString formatTextInt(const QString& format, int value);
// The first "%s" (flags and width allowed) takes value.
QString formatTextString(const QString& format, const QString& value);
// "%%" gives "%"; every other sequence stays. A format without arguments, as printf would show it.
QString formatTextPlain(const QString& format);
