#pragma once
// State and helpers that the configuration pages' load and save operations share: the list of failed items
// of the current run, the view replies kept during a whole-gateway load, and the value readers of the loaders.
// No widgets here. Tests put the state back with resetPageState().
#include "link/ReplyParsers.h"

#include <QByteArray>
#include <QString>

// The items that failed during the current load or save run, one line per item ("<page title> - <item>\n").
// Every run empties it first; the run's closing box lists it.
inline QString LoadErrors;

// The replies to "AT&V", "AT&V0" and "AT&Nall" of a whole-gateway load. The run's first load of each view
// keeps its reply here and the later pages of the same run read it instead of asking the gateway again.
// Outside that run the cache is off and empty, so every load sends its own view command.
struct ViewReplyCache
{
    bool active = false; // a whole-gateway load runs
    QByteArray atV;      // "AT&V"
    QByteArray atV0;     // "AT&V0"
    QByteArray atNall;   // "AT&Nall"

    // Keeps reply in entry while a whole-gateway load runs; does nothing otherwise.
    void store(QByteArray& entry, const QByteArray& reply)
    {
        if (active)
            entry = reply;
    }
    void clear()
    {
        atV.clear();
        atV0.clear();
        atNall.clear();
    }
};
inline ViewReplyCache viewReplyCache;

// The number of rows the extension page's list got from the image the last time it was filled.
inline int extRowCount = 0;

inline void resetPageState()
{
    LoadErrors.clear();
    viewReplyCache = ViewReplyCache();
    extRowCount = 0;
}
