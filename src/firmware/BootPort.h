#pragma once
// The boot-loader ports: how the firmware upgrade talks to a unit's boot loader, byte by byte.
//
// A port has a mode that decides the echo rules: AT (the unit's command monitor echoes every byte), BOOT (the
// boot loader takes Intel HEX records without echo and answers each batch with one verdict character) and ISP
// (the processor's own loader, offered for callers that open a port in that mode). Every operation returns a
// boolean and leaves the code of a failure in the port's last error, an index into portErrorTexts; the port
// log (a file beside settings.ini, emptied by each run) keeps every byte read, the commands and records
// written and the error lines, so a failed upgrade can be understood afterwards.
//
// BootPort holds what both transports share (mode, error, log, the exchange with verdict); CPort runs over a
// serial port, CTcp (BootLinkPort.h) over the open telnet link. Both are used by one job thread at a time.
//
// Every wait is measured on a monotonic clock and goes through bootTiming, so tests can shorten the pauses and
// the time-outs without changing the dialogue.
#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

class ComPort;

// Port modes.
enum : quint32 { PortIsp = 1, PortBoot = 2, PortAt = 4 };

// Divisors for the prescribed waits: pauses (10 s, 5 s, 500 ms) and time-outs (per byte, per line, the 30 s
// wait for the erase over the link). 1 and 1 in the program; tests raise them.
struct BootTiming
{
    int pauseDivisor = 1;
    int timeoutDivisor = 1;
    int pause(int ms) const { return ms / (pauseDivisor > 0 ? pauseDivisor : 1); }
    int timeout(int ms) const { return qMax(1, ms / (timeoutDivisor > 0 ? timeoutDivisor : 1)); }
};
inline BootTiming bootTiming;

// The port log; empty: "log.txt" in the program folder.
inline QString bootPortLogPath;
QString BootPortLogFile();

extern const char* const portErrorTexts[15];
extern const char* const portModeNames[8];

// Pauses ms milliseconds on the calling thread (a job thread; never the window's).
void BootPause(int ms);

class BootPort
{
public:
    BootPort() = default;
    virtual ~BootPort();
    BootPort(const BootPort&) = delete;
    BootPort& operator=(const BootPort&) = delete;

    quint32 mode() const { return mode_; }
    int lastError() const { return lastError_; }
    void setLastError(int code) { lastError_ = code; }
    void clearMode() { mode_ = 0; } // a failed probe leaves no mode

    // Logs "Port mode: <name>...\r\n", then sets the mode.
    bool SetMode(quint32 mode);
    // One record or command, then its verdict: '.' / 'X' / 'R' in ISP and BOOT mode, "OK" / "ERROR" in AT mode.
    // In ISP and BOOT mode a verdict is one bare line, so a line left from an answer that came too late would
    // be taken for the next verdict and shift every later one: what is waiting is dropped before each write,
    // and after a line that did not come in time the port waits for the unit to fall quiet and drops what came
    // meanwhile before it gives the write up (the caller writes again).
    bool WriteExpect(const QByteArray& text);

    // "Error: (<code>) <text> [<location>]\n".
    QByteArray ErrorText(int location) const;
    void LogError(int location);
    void LogByte(char c);
    void WriteLog(const QByteArray& text);
    bool logOpen() const { return log_ != nullptr; }

    // A step's limit: from ms after now, every read ends as if nothing had come (a read already waiting ends
    // with its own time-out). Bounds the steps that read line after line until the one they wait for.
    void limitReads(int ms) { readsEnd_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms); }
    void clearReadLimit() { readsEnd_ = std::chrono::steady_clock::time_point::max(); }

    // The transport's operations. mayWrite, when given, is asked once, right before the command's first byte
    // goes out; false: nothing is written and the command fails.
    virtual bool WriteCommand(const QByteArray& text, const std::function<bool()>& mayWrite = {}) = 0;
    virtual bool WriteLine(const QByteArray& text) = 0;
    // One line without its LF into line; at most maximum characters.
    virtual bool ReadLine(QByteArray& line, int maximum, bool logErrors) = 0;
    virtual bool SetTimeout(quint32 ms) = 0;
    // Drops (and logs between "{" and "}") what has arrived and not been read, without waiting.
    virtual void DropWaiting() = 0;
    // Drops what arrives until nothing has come for quietMs, for at most ten times that.
    virtual void DropUntilQuiet(int quietMs) = 0;

protected:
    void fail(int code, int location) // sets the error and logs its line
    {
        lastError_ = code;
        LogError(location);
    }
    void openLogFile();
    void closeLogFile();
    bool readsExpired() const { return std::chrono::steady_clock::now() >= readsEnd_; }

    quint32 mode_ = PortAt;
    int lastError_ = 0;
    char byteSent_ = 0;
    char byteRead_ = 0;
    std::chrono::steady_clock::time_point readsEnd_ = std::chrono::steady_clock::time_point::max();

private:
    std::FILE* log_ = nullptr;
};

// The serial boot-loader port: 57600 Bd, 8N1, no flow control, DTR and RTS on, locked against other users.
// Time-out t means: every wait for a byte ends after 2 x (t + 5000) ms (t = 0: 400 ms).
class CPort : public BootPort
{
public:
    CPort();
    ~CPort() override;

    // Sets the mode (and the name when one is given) and starts the port log afresh. Error 1 while open.
    bool OpenLog(const QString* name, quint32 mode);
    bool Close();     // the log, then the port
    bool ClosePort(); // error 2 when not open
    bool Open(const QString& name, qint32 baud);
    bool isOpen() const;
    bool SetTimeout(quint32 ms) override;
    quint32 timeout() const { return timeout_; }
    bool SetPortName(const QString& name)
    {
        name_ = name;
        return true;
    }
    QString portName() const { return name_; }

    bool WriteByteEcho(char c);
    bool WriteLine(const QByteArray& text) override;
    bool WriteEcho(const QByteArray& text);
    bool WriteCommand(const QByteArray& text, const std::function<bool()>& mayWrite = {}) override;
    bool IspSync();
    bool ReadLine(QByteArray& line, int maximum, bool logErrors) override;
    void DropWaiting() override;
    void DropUntilQuiet(int quietMs) override;
    // Opens the port and checks that the unit answers in the port's mode.
    bool TestPort(const QString& name);
    // From now on every read ends at once with what has come (the job is being stopped). Any thread.
    void CancelReads();

private:
    int readByte(char& c); // 1: a byte, 0: none came in time, -1: the read failed
    bool writeAll(const QByteArray& bytes, int failLocation, int shortLocation);
    void drain();

    std::unique_ptr<ComPort> port_;
    quint32 timeout_ = 1000;
    QString name_;
};
