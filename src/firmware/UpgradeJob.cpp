#include "firmware/UpgradeJob.h"

#include "firmware/HexFile.h"
#include "platform/Wait.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <chrono>

namespace {

constexpr int kLineMax = 510;
constexpr int kBatchRecords = 8;
constexpr int kBatchTries = 5;
constexpr int kEraseTimeoutMs = 10000;
constexpr int kRunTimeoutMs = 500;
// The limits of the steps after the erase (bootTiming.timeout scales them for tests): the serial erase (its
// command, "In-Flash" and "Boot: Ready", each line with 30 s per byte), one try of a batch (the records and
// the verdict), the serial restart banners; over the link the erase's and the restart's banners, whose every
// line gives up within 4 s.
constexpr int kEraseLimitMs = 60000;
constexpr int kTryLimitMs = 30000;
constexpr int kRestartLimitMs = 60000;
constexpr int kLinkBannerLimitMs = 30000;

// The commit of the running upgrade and the closes that are open, under one lock.
struct CommitGate
{
    std::mutex mutex;
    std::condition_variable changed;
    int closesOpen = 0;
    bool committed = false;
};

CommitGate& gate()
{
    static CommitGate g;
    return g;
}

} // namespace

// ---- the point of no return ----

bool upgradeCloseBegins()
{
    std::lock_guard lock(gate().mutex);
    if (gate().committed)
        return false;
    ++gate().closesOpen;
    return true;
}

void upgradeCloseEnds()
{
    {
        std::lock_guard lock(gate().mutex);
        gate().closesOpen = std::max(0, gate().closesOpen - 1);
    }
    gate().changed.notify_all();
}

void upgradeEndShown()
{
    std::lock_guard lock(gate().mutex);
    gate().committed = false;
}

bool commitUpgradeNow()
{
    std::lock_guard lock(gate().mutex);
    if (!gate().committed && (gate().closesOpen > 0 || closingProgram()))
        return false;
    gate().committed = true;
    return true;
}

void resetUpgradeCommit()
{
    {
        std::lock_guard lock(gate().mutex);
        gate().closesOpen = 0;
        gate().committed = false;
    }
    gate().changed.notify_all();
}

// ---- CThread ----

CThread::~CThread()
{
    Join();
}

void CThread::Join()
{
    if (!thread_.joinable())
        return;
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach(); // dropped by its own thread: it ends by itself
    else
        thread_.join();
}

bool CThread::JoinFor(int boundMs)
{
    {
        std::unique_lock lock(endMutex_);
        if (!ended_.wait_for(lock, std::chrono::milliseconds(std::max(boundMs, 0)),
                             [this] { return !running_.load(); }))
            return false;
    }
    Join();
    return true;
}

bool CThread::Start(void* argument)
{
    if (running_.exchange(true))
        return false;
    Join(); // a thread of an earlier run has left its run already
    try {
        thread_ = std::thread([this, argument] {
            Run(argument);
            {
                std::lock_guard lock(endMutex_);
                running_.store(false);
            }
            ended_.notify_all();
        });
    } catch (const std::system_error&) {
        running_.store(false);
        return false;
    }
    return true;
}

// ---- UpgradeJob ----

void UpgradeJob::Notify(int state, int percent)
{
    upgradeMoment(state);
    if (callback_)
        callback_(state, percent);
}

void upgradeMoment(int which)
{
    if (upgradeMomentHook)
        upgradeMomentHook(which);
}

void UpgradeJob::Stop()
{
    {
        std::lock_guard lock(stopMutex_);
        stop_.store(true);
    }
    stopped_.notify_all();
    {
        std::lock_guard lock(gate().mutex); // a commit waiting for a close's answer sees the stop
    }
    gate().changed.notify_all();
    stopPort();
}

bool UpgradeJob::eraseMayStart()
{
    upgradeMoment(MomentBeforeErase);
    return commit();
}

bool UpgradeJob::commit()
{
    if (committed_)
        return true;
    std::unique_lock lock(gate().mutex);
    gate().changed.wait(lock, [this] { return gate().closesOpen == 0 || Stopped(); });
    if (Stopped() || closingProgram())
        return false;
    gate().committed = true;
    committed_ = true;
    return true;
}

void UpgradeJob::pause(int ms)
{
    std::unique_lock lock(stopMutex_);
    stopped_.wait_for(lock, std::chrono::milliseconds(std::max(bootTiming.pause(ms), 0)),
                      [this] { return stop_.load(); });
}

bool UpgradeJob::startJob(const QString& fileName, UpgradeCallback callback)
{
    if (IsRunning()) {
        result_ = 3;
        return false;
    }
    fileName_ = fileName;
    callback_ = std::move(callback);
    if (!Start(nullptr)) {
        // Either another start won the race (it runs) or no thread could be made.
        result_ = IsRunning() ? 3 : 4;
        return false;
    }
    return true;
}

bool UpgradeJob::CountLines(const QString& file)
{
    pieces_.clear();
    next_ = 0;
    const HexFileCheck check = ReadHexFile(file, pieces_);
    if (!check.ok) {
        detail_ = check.line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(check.line).arg(check.reason)
                                 : QStringLiteral("%1: %2").arg(file, check.reason);
        port().WriteLog("File: " + detail_.toLocal8Bit() + "\r\n");
        return false;
    }
    fileOpen_ = true;
    return true;
}

void UpgradeJob::CloseFile()
{
    fileOpen_ = false;
}

bool UpgradeJob::SendBatch(int& linesRead)
{
    QList<QByteArray> batch;
    QByteArray heldBack;
    while (batch.size() < kBatchRecords && !IsEof()) {
        QByteArray piece = pieces_.at(next_++);
        ++linesRead;
        if (!piece.startsWith(':'))
            continue;
        if (piece.endsWith('\n'))
            piece.chop(1);
        // Records whose type ends in 1 or 9 (end of file, start address) go alone, each with its own verdict.
        if (piece.size() > 8 && (piece[8] == '1' || piece[8] == '9')) {
            heldBack = piece;
            break;
        }
        batch.append(piece);
    }
    BootPort& p = port();
    const auto clearLimit = qScopeGuard([&p] { p.clearReadLimit(); });
    if (!batch.isEmpty()) {
        bool sent = false;
        for (int tryNo = 0; tryNo < kBatchTries && !sent; ++tryNo) {
            p.limitReads(bootTiming.timeout(kTryLimitMs));
            bool written = true;
            for (const QByteArray& record : batch) {
                if (!p.WriteLine(record)) {
                    written = false;
                    break;
                }
            }
            sent = written && p.WriteExpect(":00000005FB");
        }
        if (!sent)
            return false;
    }
    if (!heldBack.isEmpty()) {
        bool sent = false;
        for (int tryNo = 0; tryNo < kBatchTries && !sent; ++tryNo) {
            p.limitReads(bootTiming.timeout(kTryLimitMs));
            sent = p.WriteExpect(heldBack);
        }
        return sent;
    }
    return true;
}

bool UpgradeJob::upload()
{
    Notify(4, 0);
    lastPercent_ = 0; // the first report counts, so 0 is not reported twice
    int linesRead = 0;
    const int total = totalLines();
    while (!IsEof()) {
        // A unit met in its boot loader has its firmware until the first record: the decision is taken there.
        if (!commit() || Stopped() || !SendBatch(linesRead)) {
            result_ = 7;
            return false;
        }
        const int percent = int(qint64(linesRead) * 100 / total);
        if (percent != lastPercent_) {
            Notify(4, percent);
            lastPercent_ = percent;
        }
    }
    return true;
}

// ---- CFWUpgradeThread ----

QString UpgradePortName(const QString& name)
{
    if (name.startsWith(QLatin1Char('/')))
        return name;
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]?)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto m = com.match(name);
    if (m.hasMatch() && m.captured(1).toInt() <= 32)
        return name;
    return QString();
}

CFWUpgradeThread::~CFWUpgradeThread()
{
    Join();
}

bool CFWUpgradeThread::StartUpgrade(int portNumber, const QString& fileName, UpgradeCallback callback)
{
    if (IsRunning()) {
        result_ = 3;
        return false;
    }
    if (portNumber < 1 || portNumber > 32) {
        result_ = 1;
        return false;
    }
    return StartUpgrade(QStringLiteral("COM%1").arg(portNumber), fileName, std::move(callback));
}

bool CFWUpgradeThread::StartUpgrade(const QString& portName, const QString& fileName, UpgradeCallback callback)
{
    if (IsRunning()) {
        result_ = 3;
        return false;
    }
    const QString name = UpgradePortName(portName);
    if (name.isEmpty()) {
        result_ = 1;
        return false;
    }
    portName_ = name;
    port_.SetPortName(name);
    return startJob(fileName, std::move(callback));
}

bool CFWUpgradeThread::OpenPort(quint32 mode)
{
    port_.OpenLog(nullptr, mode);
    if (port_.TestPort(portName_))
        return true;
    port_.clearMode();
    return false;
}

bool CFWUpgradeThread::EraseFlash()
{
    const auto clearLimit = qScopeGuard([this] { port_.clearReadLimit(); });
    QByteArray line;
    port_.SetTimeout(kEraseTimeoutMs);
    do {
        if (!port_.ReadLine(line, kLineMax, true))
            return false;
    } while (!line.startsWith("In-Flash: 1234 OK"));
    do {
        if (!port_.ReadLine(line, kLineMax, true))
            return false;
    } while (!line.startsWith("Boot: Ready"));
    port_.SetTimeout(kRunTimeoutMs);
    BootPause(500);
    return true;
}

bool CFWUpgradeThread::WaitForRestart()
{
    port_.limitReads(bootTiming.timeout(kRestartLimitMs));
    const auto clearLimit = qScopeGuard([this] { port_.clearReadLimit(); });
    QByteArray line;
    port_.SetTimeout(kEraseTimeoutMs);
    for (const char* banner : {"Boot: OK", "Init: OK"}) {
        do {
            if (!port_.ReadLine(line, kLineMax, true))
                return false;
        } while (!line.startsWith(banner));
    }
    port_.SetTimeout(kRunTimeoutMs);
    BootPause(500);
    return true;
}

unsigned CFWUpgradeThread::Run(void*)
{
    const auto finish = [this](int result, bool fileOpen) {
        result_ = result;
        if (fileOpen) {
            Notify(5, 0);
            CloseFile();
        }
        Notify(7, 0);
        port_.Close();
        Notify(8, 0);
        return result == 0 ? 0u : 1u;
    };
    Notify(0, 0);
    if (!OpenPort(PortAt)) {
        if (Stopped())
            return finish(6, false); // no second probe for a job that is to end
        Notify(1, 0);
        if (!OpenPort(PortBoot)) {
            port_.setLastError(12);
            return finish(6, false);
        }
    }
    Notify(2, 0);
    if (!CountLines(fileName_))
        return finish(2, false);
    if (port_.mode() == PortAt) {
        // The last moment a stop leaves the gateway as it was: from the erase on, only an upload gives it a
        // firmware again.
        if (Stopped())
            return finish(5, true);
        Notify(3, 0);
        // Stop or erase is decided once, after the drain and right before the command's first byte; a close
        // that is open holds it until its answer.
        port_.limitReads(bootTiming.timeout(kEraseLimitMs));
        if (!port_.WriteCommand("at!K2RM\r", [this] { return eraseMayStart(); })) {
            port_.clearReadLimit();
            return finish(5, true);
        }
        upgradeMoment(MomentAfterErase);
        if (!EraseFlash())
            return finish(5, true);
        port_.SetMode(PortBoot);
    }
    if (!upload())
        return finish(7, true);
    Notify(5, 0);
    CloseFile();
    Notify(6, 0);
    WaitForRestart(); // a restart not seen in time does not undo the upload
    return finish(0, false);
}

// ---- CFWUpgradeTcpThread ----

CFWUpgradeTcpThread::~CFWUpgradeTcpThread()
{
    Join();
}

bool CFWUpgradeTcpThread::StartUpgrade(TelnetClient* link, const QString& fileName, UpgradeCallback callback,
                                       quint32 mode)
{
    if (IsRunning()) {
        result_ = 3;
        return false;
    }
    startMode_ = mode;
    // The client's handler and its state belong to the thread it lives on, the caller's: the hand-over
    // happens here, and the unit's text is kept from now on.
    port_.Open(link, startMode_);
    return startJob(fileName, std::move(callback));
}

bool CFWUpgradeTcpThread::readUntil(const char* text)
{
    QByteArray line;
    do {
        if (!port_.ReadLine(line, kLineMax))
            return false;
    } while (!line.startsWith(text));
    return true;
}

bool CFWUpgradeTcpThread::readBanners(const char* first, const char* second)
{
    port_.limitReads(bootTiming.timeout(kLinkBannerLimitMs));
    const bool seen = readUntil(first) && readUntil(second);
    port_.clearReadLimit();
    return seen;
}

unsigned CFWUpgradeTcpThread::Run(void*)
{
    const auto finish = [this](int result, bool fileOpen) {
        result_ = result;
        if (fileOpen) {
            Notify(5, 0);
            CloseFile();
        }
        // The link stays open: the end of the upgrade decides what becomes of it.
        Notify(7, 0);
        Notify(8, 0);
        return result == 0 ? 0u : 1u;
    };
    Notify(0, 0); // the port was opened by the start
    if (Stopped())
        port_.Drop(); // stopped before the job's first step
    Notify(2, 0);
    if (!CountLines(fileName_))
        return finish(2, false);
    if (startMode_ == PortAt) {
        Notify(3, 0);
        if (!port_.WriteCommand("at!K2RM\r", [this] { return eraseMayStart(); }))
            return finish(5, true);
        upgradeMoment(MomentAfterErase);
        pause(10000);
        if (!readBanners("In-Flash: 1234 OK", "Boot: Ready"))
            return finish(5, true);
        BootPause(500);
        port_.SetMode(PortBoot);
    }
    port_.SetMode(PortBoot);
    if (!upload())
        return finish(7, true);
    Notify(5, 0);
    CloseFile();
    Notify(6, 0);
    pause(10000);
    if (readBanners("Boot: OK", "Init: OK"))
        BootPause(500);
    return finish(0, false);
}
