#pragma once
// The reads' own pieces that the command writes share (link/LinkIo.cpp, link/CommandWrite.cpp); nobody else
// includes this.
#include "link/LinkIo.h"

#include <QByteArray>

namespace linkio {

inline constexpr int kArrivalSettleMs = 100; // LinkRead on telnet: after the data flag, for the rest of a piece;
                                             // ReadReply: after a LAN time-out step, for what may still come
inline constexpr int kModemReadMs = 10000;   // one read on a modem line
inline constexpr int kSliceMs = 100;         // the longest one read of a reply holds the window's thread

// A whole reply's read: all its text (before any cut to size) and whether it came to its end (replyEndsFrom) or
// was cut at its cap with the link still not quiet.
struct WholeReply
{
    QByteArray text;
    bool ended = false;
    bool capped = false;
};
// ReadReply's read, all its text kept. silentBeforeMs: the gateway has already kept silent this long for this
// reply's sake (a take before it read no byte of a reply that had none), which counts within the first byte's
// bound on a serial port and a modem line.
WholeReply readWholeReply(const ReplyReading& r, qint64 silentBeforeMs = 0);
// What a reader keeps of a reply: at most size - 1 bytes.
QByteArray keptOf(QByteArray text, qsizetype size);
// Why a read stops early: the program closes, or the link it started on is lost or gone.
bool readAbandoned(quint64 epoch);
// Reads the open link on the window's thread for at most msLeft and drops what came (logged as received).
void dropForTake(quint64 epoch, qint64 msLeft);
// Waits at most ms (a slice at most) with the window's events handled; a wake of the link's waits ends it early.
void waitWoken(int ms);

} // namespace linkio
