#pragma once
// A serial port with the read time-out rules the program was written for (Win32 COMMTIMEOUTS):
//  - interval: the longest pause allowed between two bytes once the first has come (0 = not used);
//  - total = multiplier * bytes asked + constant: the longest time one read may take (0 and 0 = not used).
// A read ends when the bytes asked for are in, or a time-out strikes; it then returns what it has, possibly
// nothing. POSIX termios + poll(); works on real ttys and on ptys.
// Special case kept from that API: interval 0xFFFFFFFF with both totals 0 returns at once with what is buffered.
// All time-outs 0 (the state after construction) means a read waits until all bytes asked for are in.
// The time-outs belong to the object and survive close() and open().
// A read blocks the calling thread (no events are processed); keep time-outs short on the UI thread.
// One thread may read while another writes or changes the time-outs (a live tool's reader and the UI thread);
// a change of time-outs applies from the next read on. close() may come while another thread reads or writes:
// it wakes that read or write, waits until it has left the descriptor and only then closes it, so no read or
// write ever meets a closed or reused descriptor. open() must not race with I/O.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <mutex>

struct CommTimeouts
{
    quint32 readInterval = 0;
    quint32 readTotalMultiplier = 0;
    quint32 readTotalConstant = 0;
    quint32 writeTotalMultiplier = 0;
    quint32 writeTotalConstant = 0;
};

// The program's normal read time-outs (one byte waits at most 70 + 160 ms) and the terminal's.
inline constexpr CommTimeouts kNormalTimeouts{70, 70, 160, 0, 0};
inline constexpr CommTimeouts kTerminalTimeouts{1, 1, 1, 0, 0};
// A read that takes only what has come already and waits for nothing.
inline constexpr CommTimeouts kArrivedOnlyTimeouts{0xFFFFFFFFu, 0, 0, 0, 0};

class ComPort
{
public:
    ComPort();
    ~ComPort();
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;

    // name: a device path ("/dev/ttyUSB0") or an old "COMn" name (mapped to /dev/ttyS<n-1>).
    // Opens 8N1, no flow control, raw; locks the device (flock) so a second user gets "port busy".
    bool open(const QString& name, qint32 baudRate = 9600);
    void close();
    bool isOpen() const { return fd_.load() >= 0; }
    QString deviceName() const { return device_; }

    bool setBaudRate(qint32 baudRate);
    qint32 baudRate() const { return baud_; }
    bool setTimeouts(const CommTimeouts& t);
    CommTimeouts timeouts() const;

    // Writes all bytes (waiting for the device as needed); returns the count written, -1 on error. With write
    // time-outs set (multiplier * size + constant), a write that runs out of time returns the count sent so far.
    qint64 write(const char* data, qint64 size);
    qint64 write(const QByteArray& data) { return write(data.constData(), data.size()); }
    // Reads up to size bytes under the time-out rules; returns the count (0 = timed out), -1 on error
    // (the other side closed or the device went away).
    qint64 read(char* data, qint64 size);
    // The same under the given read time-outs instead of the port's own, which stay as they are: a reader on
    // another thread never changes the time-outs the window's thread reads with.
    qint64 read(char* data, qint64 size, const CommTimeouts& timeouts);
    // Reads what has already come (bytes put back first), up to size, without waiting and whatever the
    // time-outs are; a hang-up shows as in read(). The time-outs stay as they are, so a reader on another
    // thread keeps its own.
    qint64 readArrived(char* data, qint64 size);
    // One byte under the time-out rules. True with the byte in out when one came (0x00 included),
    // false when the read timed out or failed.
    bool readByte(char& out);

    // While set, a read returns at once with what it has instead of waiting, and a read waiting now wakes.
    // A live tool's stop sets it so that its reader leaves a long wait (a modem line's read waits up to
    // 100 s), joins the reader, then clears it. Callable from any thread.
    void setReadsCancelled(bool on);
    bool readsCancelled() const { return cancelled_.load(); }

    bool setDtr(bool on); // failures on a pty are not errors for the caller
    bool setRts(bool on);
    void flush(); // drops unread input and unsent output
    // Puts bytes back in front of the input: the next reads return them first. Used where a reply line was read
    // in a chunk that already held data behind it (a modem's "CONNECT"). Code that polls fd() itself must read
    // once before waiting, since these bytes are not in the device.
    void unread(const QByteArray& bytes);

    int fd() const { return fd_.load(); }
    QString errorString() const;
    bool isBusyError() const { return busy_; }
    bool isDisconnected() const { return disconnected_.load(); }

    static QString deviceFromName(const QString& name); // "COM3" -> "/dev/ttyS2"; paths stay as they are
    static QStringList availablePorts();                // device paths of the serial ports found

private:
    class IoUse;
    void setError(const QString& text);
    qint64 readWith(char* data, qint64 size, const CommTimeouts* fixed); // fixed: instead of the port's own

    std::atomic<int> fd_{-1}; // set to -1 under mutex_ by close(), before the descriptor is closed
    QString device_;
    qint32 baud_ = 0;
    CommTimeouts timeouts_{};
    QString error_;
    bool busy_ = false;
    std::atomic<bool> disconnected_{false};
    std::atomic<bool> cancelled_{false};
    int wakeFd_ = -1;      // an eventfd, readable while reads are cancelled
    int closeWakeFd_ = -1; // an eventfd, readable while close() waits for the reads and writes under way
    int ioUsers_ = 0;      // reads and writes that hold the descriptor (under mutex_)
    std::condition_variable ioDone_;
    QByteArray pending_;       // bytes put back by unread()
    mutable std::mutex mutex_; // error_, timeouts_, pending_, ioUsers_: a worker reads while the UI thread writes
};
