#pragma once
// Two pseudo terminals joined back to back by socat: what one side writes, the other side reads, like two
// serial ports with a null-modem cable between them. Tests open pathA() with the code under test and
// pathB() with the scripted peer (gateway simulator, modem, XMODEM tool...).
//
//     PtyPair pair;                       // starts socat and waits until both devices exist
//     ASSERT_TRUE(pair.isReady()) << pair.errorString();
//     ComPort port;  port.open(pair.pathA());
//     int peer = ::open(pair.pathB().toLocal8Bit(), O_RDWR | O_NOCTTY);
//
// Both sides are raw and do not echo. The paths are symbolic links in a private temporary folder
// (<tmp>/a and <tmp>/b) to /dev/pts/N; each side may be closed and opened again while socat runs (closing one
// side is not noticed on the other). unplug() ends socat, as pulling the cable out would: whoever holds one of
// the devices then sees a hang-up, and the links are gone. The destructor does the same and removes the folder.
#include <QString>
#include <QTemporaryDir>

#include <mutex>
#include <sys/types.h>

class PtyPair
{
public:
    explicit PtyPair(int startTimeoutMs = 5000);
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isReady() const { return ready_; }
    QString errorString() const { return error_; }
    QString pathA() const;
    QString pathB() const;

    // Ends socat now and waits for it. Safe to call more than once, and from any thread.
    void unplug();
    // True while socat still runs.
    bool isRunning() const;

private:
    QTemporaryDir dir_;
    mutable std::mutex mutex_;
    pid_t pid_ = -1;
    int log_ = -1; // read end of socat's stderr
    bool ready_ = false;
    QString error_;
};
