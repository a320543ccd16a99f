#include "firmware/BootPort.h"

#include "platform/ComPort.h"
#include "platform/ProgramDir.h"

#include <chrono>
#include <thread>

namespace {

constexpr int kLineMax = 510;
constexpr qint32 kBootBaud = 57600;
constexpr int kQuietMs = 1000; // how long the unit has to say nothing before a verdict's write is given up
constexpr quint32 kMaxDword = 0xFFFFFFFF;

int verdictLength(const QByteArray& line, const char* text)
{
    return line.startsWith(text) ? 1 : 0;
}

} // namespace

const char* const portErrorTexts[15] = {
    "Unknown error.",
    "Port has been open.",
    "Port has been closed.",
    "Port can't be open (blocked or open by another application).",
    "Unit was not found on any port.",
    "Unit is not connected (doesn't respond).",
    "Error while writing to unit.",
    "Error while reading unit.",
    "Error while reading unit (timeout).",
    "Error while reading unit (wrong echo).",
    "Repeated error.",
    "Command was refused.",
    "Port mode error.",
    "Modem response: NO DIALTONE.",
    "File can't be open",
};

const char* const portModeNames[8] = {"?", "ISP", "BOOT", "?", "AT", "?", "?", "?"};

QString BootPortLogFile()
{
    return bootPortLogPath.isEmpty() ? programFile(QStringLiteral("log.txt")) : bootPortLogPath;
}

void BootPause(int ms)
{
    const int scaled = bootTiming.pause(ms);
    if (scaled > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(scaled));
}

// ---- BootPort ----

BootPort::~BootPort()
{
    closeLogFile();
}

void BootPort::openLogFile()
{
    closeLogFile();
    log_ = std::fopen(BootPortLogFile().toLocal8Bit().constData(), "wb");
}

void BootPort::closeLogFile()
{
    if (log_)
        std::fclose(log_);
    log_ = nullptr;
}

void BootPort::LogByte(char c)
{
    if (!log_)
        return;
    std::fputc(static_cast<unsigned char>(c), log_);
    std::fflush(log_); // the log is read when something went wrong, possibly while the job still waits
}

void BootPort::WriteLog(const QByteArray& text)
{
    if (!log_)
        return;
    std::fwrite(text.constData(), 1, size_t(text.size()), log_);
    std::fflush(log_);
}

QByteArray BootPort::ErrorText(int location) const
{
    const int index = lastError_ >= 1 && lastError_ <= 14 ? lastError_ : 0;
    return QByteArray("Error: (") + QByteArray::number(lastError_) + ") " + portErrorTexts[index] + " [" +
           QByteArray::number(location) + "]\n";
}

void BootPort::LogError(int location)
{
    WriteLog(ErrorText(location));
}

bool BootPort::SetMode(quint32 mode)
{
    WriteLog(QByteArray("Port mode: ") + portModeNames[mode & 7] + "...\r\n");
    mode_ = mode;
    return true;
}

bool BootPort::WriteExpect(const QByteArray& text)
{
    if (mode_ == PortIsp || mode_ == PortBoot) {
        DropWaiting();
        if (!WriteCommand(text))
            return false;
        int repeats = 0;
        QByteArray line;
        for (;;) {
            if (!ReadLine(line, kLineMax, true)) {
                const int error = lastError_;
                DropUntilQuiet(bootTiming.pause(kQuietMs));
                lastError_ = error;
                return false;
            }
            const char first = line.isEmpty() ? '\0' : line[0];
            if (first == '.')
                return true;
            if (first == 'X') {
                fail(11, 26);
                return false;
            }
            if (first == 'R') {
                if (++repeats > 3) {
                    fail(10, 27);
                    return false;
                }
                DropWaiting();
                if (!WriteCommand(text))
                    return false;
            }
        }
    }
    if (mode_ == PortAt) {
        if (!WriteCommand(text))
            return false;
        int errors = 0;
        QByteArray line;
        for (;;) {
            if (!ReadLine(line, kLineMax, true)) {
                fail(12, 28);
                return false;
            }
            if (verdictLength(line, "OK"))
                return true;
            if (verdictLength(line, "ERROR")) {
                if (++errors > 2) {
                    fail(11, 25);
                    return false;
                }
                if (!WriteCommand(text))
                    return false;
            }
        }
    }
    fail(12, 28);
    return false;
}

// ---- CPort ----

CPort::CPort() : port_(std::make_unique<ComPort>()) {}

CPort::~CPort()
{
    Close();
}

bool CPort::isOpen() const
{
    return port_->isOpen();
}

bool CPort::OpenLog(const QString* name, quint32 mode)
{
    mode_ = mode;
    if (name)
        name_ = *name;
    if (isOpen()) {
        fail(1, 1);
        return false;
    }
    openLogFile();
    return true;
}

void CPort::CancelReads()
{
    port_->setReadsCancelled(true);
}

bool CPort::Close()
{
    closeLogFile();
    ClosePort();
    return true;
}

bool CPort::ClosePort()
{
    if (!isOpen()) {
        lastError_ = 2;
        return false;
    }
    port_->close();
    BootPause(500);
    return true;
}

bool CPort::Open(const QString& name, qint32 baud)
{
    if (!port_->open(name, baud)) {
        fail(3, 36);
        return false;
    }
    // Held on, as the unit's boot loader expects; a pty has neither line, which is no fault.
    port_->setDtr(true);
    port_->setRts(true);
    SetTimeout(500);
    return true;
}

bool CPort::SetTimeout(quint32 ms)
{
    timeout_ = ms;
    const quint32 field = quint32(bootTiming.timeout(ms == 0 ? 200 : int(ms) + 5000));
    port_->setTimeouts(CommTimeouts{field, field, field, field, field});
    return true;
}

int CPort::readByte(char& c)
{
    if (readsExpired())
        return 0;
    const qint64 n = port_->read(&c, 1);
    if (n == 1)
        byteRead_ = c;
    return n < 0 ? -1 : int(n);
}

bool CPort::writeAll(const QByteArray& bytes, int failLocation, int shortLocation)
{
    const qint64 n = port_->write(bytes);
    if (n < 0) {
        fail(6, failLocation);
        return false;
    }
    if (n != bytes.size()) {
        fail(6, shortLocation);
        return false;
    }
    return true;
}

bool CPort::WriteByteEcho(char c)
{
    byteSent_ = c;
    if (port_->write(&c, 1) != 1) {
        fail(6, 3);
        return false;
    }
    char b = 0;
    for (;;) {
        const int r = readByte(b);
        if (r < 0) {
            fail(7, 4);
            return false;
        }
        if (r == 0) {
            fail(8, 5);
            return false;
        }
        LogByte(b);
        if (b == c)
            break;
    }
    if (c == '\r') {
        // The unit may follow the CR with an LF, or with another CR and an LF; neither has to come.
        int r = readByte(b);
        if (r < 0) {
            fail(7, 7);
            return false;
        }
        if (r > 0) {
            LogByte(b);
            if (b == '\r') {
                r = readByte(b);
                if (r < 0) {
                    fail(7, 8);
                    return false;
                }
                if (r > 0)
                    LogByte(b);
            }
        }
    }
    return true;
}

bool CPort::WriteLine(const QByteArray& text)
{
    if (!writeAll(text, 9, 10))
        return false;
    WriteLog(text + "\r\n");
    return true;
}

bool CPort::WriteEcho(const QByteArray& text)
{
    if (!writeAll(text, 11, 12))
        return false;
    char b = 0;
    switch (mode_) {
    case PortIsp:
        for (qsizetype i = 0; i < text.size() && i < kLineMax; ++i) {
            byteSent_ = text[i];
            const int r = readByte(b);
            if (r < 0) {
                fail(7, 16);
                return false;
            }
            if (r == 0) {
                fail(8, 17);
                return false;
            }
            LogByte(b);
            if (b != text[i]) {
                WriteLog("--error--");
                fail(9, 18);
                while (readByte(b) > 0)
                    LogByte(b);
                return false;
            }
        }
        return true;
    case PortBoot:
        WriteLog(text);
        return true;
    case PortAt: {
        qsizetype i = 0;
        for (int reads = 0; i < text.size() && reads < kLineMax; ++reads) {
            byteSent_ = text[i];
            const int r = readByte(b);
            if (r < 0) {
                fail(7, 13);
                return false;
            }
            if (r == 0) {
                fail(8, 14);
                return false;
            }
            if (b == text[i]) {
                LogByte(b == 27 ? '\r' : b);
                ++i;
            } else if (b == '\r' || b == '\n') {
                continue;
            } else if (b == '*') {
                // An unsolicited line of the unit inside the echo: read it to its end, then go on waiting.
                WriteLog("<*");
                while (readByte(b) > 0) {
                    LogByte(b);
                    if (b == '\n')
                        break;
                }
                WriteLog(">");
            } else {
                LogByte(b);
                fail(9, 15);
                return false;
            }
        }
        return true;
    }
    default:
        return true;
    }
}

void CPort::drain()
{
    WriteLog("{");
    char b = 0;
    while (readByte(b) > 0) {
        LogByte(b);
        if (b == '*') {
            SetTimeout(100);
            while (readByte(b) > 0) {
                LogByte(b);
                if (b == '\n')
                    break;
            }
            SetTimeout(0);
        }
    }
    WriteLog("}");
}

bool CPort::WriteCommand(const QByteArray& text, const std::function<bool()>& mayWrite)
{
    const quint32 saved = timeout_;
    SetTimeout(0);
    if (mode_ == PortAt)
        drain();
    SetTimeout(saved);
    if (mayWrite && !mayWrite())
        return false;
    if (mode_ == PortIsp || mode_ == PortBoot)
        return WriteEcho(text);
    if (mode_ != PortAt)
        return true;
    for (int again = 0;; ++again) {
        if (WriteEcho(text))
            return true;
        if (lastError_ != 7 && lastError_ != 8 && lastError_ != 9)
            return false;
        if (again == 3) {
            fail(10, 19);
            return false;
        }
        // A stopped job's reads fail at once: its command is not written again (an erase least of all).
        if (port_->readsCancelled())
            return false;
        WriteEcho("\r");
        BootPause(500);
    }
}

bool CPort::IspSync()
{
    int inRow = 0;
    int others = 0;
    char b = 0;
    for (;;) {
        const char f = 'f';
        if (port_->write(&f, 1) != 1)
            return false;
        if (readByte(b) <= 0)
            return false;
        LogByte(b);
        if (b == 'f') {
            if (++inRow == 5)
                return true;
        } else {
            inRow = 0;
            if (++others == 21)
                return false;
        }
    }
}

bool CPort::ReadLine(QByteArray& line, int maximum, bool logErrors)
{
    line.clear();
    char b = 0;
    for (;;) {
        const int r = readByte(b);
        if (r < 0) {
            fail(7, 22);
            return false;
        }
        if (r == 0) {
            lastError_ = 8;
            if (logErrors)
                LogError(23);
            return false;
        }
        LogByte(b);
        if (b == '\r')
            continue;
        if (b == '\n')
            return true;
        if (line.size() >= maximum) {
            fail(7, 24);
            return false;
        }
        line += b;
    }
}

void CPort::DropWaiting()
{
    if (!isOpen())
        return;
    port_->setTimeouts(CommTimeouts{kMaxDword, 0, 0, 0, 0}); // a read returns at once with what is there
    char b = 0;
    if (readByte(b) > 0) {
        WriteLog("{");
        do
            LogByte(b);
        while (readByte(b) > 0);
        WriteLog("}");
    }
    SetTimeout(timeout_);
}

void CPort::DropUntilQuiet(int quietMs)
{
    if (!isOpen())
        return;
    const quint32 quiet = quint32(qMax(1, quietMs));
    port_->setTimeouts(CommTimeouts{0, 0, quiet, 0, 0}); // a one-byte read waits quietMs at most
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(10 * qint64(quiet));
    WriteLog("{");
    char b = 0;
    while (std::chrono::steady_clock::now() < end && readByte(b) > 0)
        LogByte(b);
    WriteLog("}");
    SetTimeout(timeout_);
}

bool CPort::TestPort(const QString& name)
{
    WriteLog("Testing port " + name.toLocal8Bit() + "...\r\n");
    if (!Open(name, kBootBaud))
        return false;
    const auto probeFailed = [this] {
        ClosePort();
        fail(5, 35);
        return false;
    };
    // Lines a unit had pending: a command monitor still busy with an "AT" gets 5 s to settle.
    const auto probeDrain = [this] {
        QByteArray line;
        while (ReadLine(line, kLineMax, false)) {
            if (line.left(2).toUpper() == "AT") {
                BootPause(5000);
                return;
            }
        }
    };
    QByteArray line;
    switch (mode_) {
    case PortIsp:
        WriteLog("Port mode: ISP...\r\n");
        probeDrain();
        if (!IspSync() || !WriteCommand(":020000050000F9") || !ReadLine(line, kLineMax, true) ||
            !line.startsWith("15."))
            return probeFailed();
        break;
    case PortBoot:
        WriteLog("Port mode: BOOT...\r\n");
        probeDrain();
        if (!WriteCommand(":00000012EE") || !ReadLine(line, kLineMax, true) || !line.startsWith("[ BOOT"))
            return probeFailed();
        break;
    case PortAt: {
        WriteLog("Port mode: AT...\r\n");
        if (!WriteByteEcho('\r'))
            return probeFailed();
        probeDrain();
        while (ReadLine(line, kLineMax, false)) {
            if (line.startsWith("OK") || line.startsWith("ERROR"))
                break;
        }
        if (!WriteExpect("at\r") || !WriteCommand("ati3\r"))
            return probeFailed();
        QByteArray second;
        if (!ReadLine(line, kLineMax, true) || !ReadLine(second, kLineMax, true) || !second.startsWith("(c) Korvath"))
            return probeFailed();
        do {
            if (!ReadLine(line, kLineMax, true))
                return probeFailed();
        } while (!line.startsWith("OK"));
        break;
    }
    default:
        break;
    }
    name_ = name;
    return true;
}
