#pragma once
// Diagnostics: the live state of the gateway's two GSM modules and of its BRI ports, polled while the page is
// shown.
//
// One poll (DiagRefresh) asks each module for its status ("AT&S0<m>\r\n") and its signal ("AT&Q<m>\r\n"), then
// each BRI port ("AT&SPX\r\n" for the first port of a two-port gateway, "AT&SEX\r\n" for the other or only
// one). Every reply is collected until it holds "OK\r\n" or its time is up. A poll that does not reach its end
// leaves diagUnfinishedPolls raised; the fifth start after four such polls gives the page up.
//
// Where the poll runs depends on the link: on a serial port or the telnet link a TDiagThread runs poll after
// poll; on a modem line the page's timer runs one poll every 30 s on the window's thread. The poll itself
// knows neither: it talks to the link and to the page through a DiagPollIo that the page fills for the way it
// runs. On telnet the worker never touches the window's events: the telnet router hands it every received
// chunk (diagInbox), and it waits for them under a mutex and a condition.
#include "online/LiveWorker.h"

#include <QByteArray>
#include <QList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// The time limits of a poll; tests shorten them.
struct DiagTimings
{
    int replyMs = 5000;          // one reply is collected for at most this long
    int modemPauseMs = 2000;     // on a modem line, before each module's command and before its values are taken
    int modemIntervalMs = 30000; // on a modem line, from one poll to the next
};
inline DiagTimings diagTimings;

// A reply is kept up to this many bytes; more is read (so the link is left clean) but not kept, and an
// "OK\r\n" in what was not kept does not count.
inline constexpr qsizetype kDiagReplyCap = 4095;
// One read step takes at most this many bytes.
inline constexpr qsizetype kDiagReadSize = 640;
// A module reply shorter than this carries no diagnostics.
inline constexpr qsizetype kDiagModuleMinimum = 100;
// The module fields in the order of the page's rows (the signal, the tenth row, comes from its own query).
inline constexpr int kDiagModuleFields = 9;
extern const char* const kDiagModuleKeys[kDiagModuleFields];
// Rows and value columns of a BRI port's list.
inline constexpr int kDiagBriRows = 7;
inline constexpr int kDiagBriColumns = 8;

QByteArray DiagModuleCommand(int module); // "AT&S0<m>\r\n"
QByteArray DiagSignalCommand(int module); // "AT&Q<m>\r\n"
inline constexpr char kDiagFirstBriCommand[] = "AT&SPX\r\n";
inline constexpr char kDiagSecondBriCommand[] = "AT&SEX\r\n";

// The word after each module key (empty where a key is missing), in row order.
QList<QByteArray> DiagModuleWords(const QByteArray& reply);
// What the signal label shows for a signal reply of module m: empty without "\r\nOK\r\n", without a word
// after "Signal: (g0<m>)" or for a word holding "unknown"; else the word and " dBm".
QByteArray DiagSignalText(const QByteArray& reply, int module);

// One cell of a BRI port's list: row 0..6, column 1..8.
struct DiagCell
{
    int row = 0;
    int column = 0;
    QByteArray text;
    bool operator==(const DiagCell&) const = default;
};
// The cells a BRI port's reply gives, in the order they are written. "Mode: " (row 4), "Layer1: " (row 0)
// and "Layer3: " (row 3) give column 1; a mode holding "/mtp" gives eight values to "Layer2: " (row 1),
// "Tei: " (row 2), "Chan-B1: " (row 5) and "Chan-B2: " (row 6), any other mode one value and empties
// columns 2..8. The cells stop before the first value the reply lacks (complete is then false); those
// written before it stand.
struct DiagBriFill
{
    QList<DiagCell> cells;
    bool complete = false;
};
DiagBriFill DiagBriCells(const QByteArray& reply);

// A reply as the poll collects it: the text kept (at most kDiagReplyCap bytes) and whether the stream
// brought its "OK\r\n" at all.
struct DiagReply
{
    QByteArray text;
    bool ended = false;
};
// Collects what read steps bring until the stream holds "OK\r\n" or the gateway's login prompt (the session has
// ended: LinkSessionEnded; the reply's text is then empty, even when its "OK" came with the prompt), more than limitMs
// have passed since startMs (Clock::milliseconds()), or alive() turns false. read(msLeft) is one read step that waits
// at most msLeft.
DiagReply DiagCollect(const std::function<QByteArray(qint64 msLeft)>& read, const std::function<bool()>& alive,
                      qint64 startMs, int limitMs);

// What a poll needs from the link and the page. The page fills one for the worker and one for the modem
// line's timer; tests fill their own.
struct DiagPollIo
{
    std::function<bool()> shown;                  // the page is shown (and the poll has not been told to stop)
    std::function<void()> giveUp;                 // the guard tripped: hide the page, stop the timer or the worker
    std::function<bool()> alive;                  // reading makes sense (the link is open, the worker not stopped)
    std::function<bool(const QByteArray&)> write; // true when the whole command went out
    std::function<QByteArray(qint64 msLeft)> read;
    std::function<void(int ms)> sleep;
    std::function<void()> modemPause; // empty except on a modem line
    std::function<int()> model;       // gatewayModel
    std::function<void(int module, const QList<QByteArray>& words)> showModule;
    std::function<void(int module, const QByteArray& signal)> showSignal;
    std::function<void(int list, const QList<DiagCell>& cells)> showBri; // list 0 lv1, 1 lv2
    std::function<void()> repaint;
};

// One complete poll.
void DiagRefresh(const DiagPollIo& io);
// The signal query of module m, read as DiagSignalText reads it.
QByteArray querySignal(const DiagPollIo& io, int module);

// The telnet text on its way to the diagnostics worker: the router posts each chunk on the window's thread,
// the worker takes it.
class DiagInbox
{
public:
    void post(const QByteArray& chunk);
    // At most max bytes of what has come (the rest stays), waiting at most ms for something to come; returns
    // early, empty, when worker is told to terminate.
    QByteArray take(qsizetype max, qint64 ms, const WorkerThread* worker);
    // Wakes a waiting take (after its worker was told to terminate).
    void wake();
    // Drops what has come and returns it (looked at for the gateway's login prompt where it arrived).
    QByteArray clear();

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    QByteArray text_;
};
inline DiagInbox diagInbox;

// The diagnostics worker: calls DiagThreadStep over and over. Created at normal priority; its creator sets
// the lowest.
class TDiagThread : public LiveWorker
{
    Q_OBJECT
public:
    explicit TDiagThread(bool createSuspended = false);
};

// The worker's body: runs the poll the page installed in diagWorkerPoll (the page's diagRefresh).
void DiagThreadStep(LiveWorker& worker);
inline std::function<void(LiveWorker&)> diagWorkerPoll;

// Stops the diagnostics worker (woken also from a wait for telnet text), turns its telnet route off and drops
// what the route had brought. A reply the worker was still reading stays owed to whoever writes next (OwedReply,
// link/ExchangeState.h). Safe from the worker's own Synchronize call (the join is then put off).
void StopDiagWorker();

// A read of one step may end this long after the reply's time (a serial read under the port's own time-outs).
inline constexpr int kDiagReadSlackMs = 1000;
// How a poll's command written now owes its reply: claimed by the poll's own read for its reply's time (an
// exchange of the window's thread waits that long for it), its first byte's bound that time too.
struct CommandReply;
CommandReply DiagCommandReply();

// Back to the state at program start (tests): the limits as shipped, no poll installed, an empty inbox.
void resetDiagnostics();
