#pragma once
// Upgrade jobs: the boot-loader dialogue of one firmware upgrade, run on a thread of its own so the windows stay
// alive for the minutes it takes.
//
// CFWUpgradeThread runs over a serial port (CPort), CFWUpgradeTcpThread over the open telnet link (CTcp). A job
// is started with the firmware file and a progress callback; it reports the states below through the callback,
// on its own thread and synchronously, and leaves a result code that the callback reads at state 8:
//   states  0 opening in AT mode, 1 opening in BOOT mode (serial, after the AT probe failed), 2 opening the file,
//           3 erasing the flash, 4 uploading (with the percent), 5 closing the file, 6 waiting for the restart,
//           7 closing the port, 8 finished (last, once);
//   results 0 uploaded, 1 port number outside 1..32, 2 the file cannot be used, 3 already running,
//           4 the thread cannot be started, 5 the erase failed, 6 no unit answers, 7 a batch failed.
// A failed start (1, 3, 4) reports nothing.
//
// The file is read and checked whole before anything is erased (HexFile.h); a bad file ends the run with
// result 2 and the line at fault in GetErrorDetail().
//
// Disposal: a job is joined from another thread than its own; a job dropped by its own thread lets its thread
// end on its own (the state-8 work may start a new upgrade while the old job's last callback still returns).
//
// The point of no return: from the first byte of the erase command (or, for a unit met in its boot loader, of
// the first record) the unit has no firmware until the upload has ended, so from then on the upgrade is
// committed and the program's close is refused until the end of the upgrade has been shown
// (upgradeEndShown). The decision between erase and close is taken once, under one lock shared with the close
// (upgradeCloseBegins/upgradeCloseEnds): a close that is open (its question) holds the erase back, a close
// that went through (or a Stop) means nothing is erased. After the erase, every wait of the job has a limit.
#include "firmware/BootLinkPort.h"
#include "firmware/BootPort.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

using UpgradeCallback = std::function<void(int state, int percent)>;

// The close of the program asks here first: false while an upgrade is committed (the close is then refused).
// Otherwise no upgrade commits until upgradeCloseEnds, and none at all once the close went through
// (closingProgram()). Window thread.
bool upgradeCloseBegins();
void upgradeCloseEnds();
// The end of the upgrade has been shown (the main window is enabled again): a close works again.
void upgradeEndShown();
// Takes the commit for the window thread's own erase (the link upgrade): never waits; false when a close is
// open or went through.
bool commitUpgradeNow();
// Back to the program's start (no close, nothing committed).
void resetUpgradeCommit();

// Moments at which a test may hold the thread that reaches them: each report (its state), and right before the
// erase is decided and right after its command went out.
enum : int { MomentBeforeErase = 100, MomentAfterErase = 101 };
inline std::function<void(int moment)> upgradeMomentHook;
// Runs the moment hook, if any.
void upgradeMoment(int which);

class CThread
{
public:
    CThread() = default;
    virtual ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    bool Start(void* argument);
    bool IsRunning() const { return running_.load(); }
    // Waits for the thread to end; does nothing on the thread itself.
    void Join();
    // The same, at most boundMs: true when the thread's run is over (or none ran).
    bool JoinFor(int boundMs);

protected:
    virtual unsigned Run(void* argument) = 0;

private:
    std::atomic<bool> running_{false};
    std::mutex endMutex_;
    std::condition_variable ended_;
    std::thread thread_;
};

// What both jobs share: the file, the batches, the callback, the result.
class UpgradeJob : public CThread
{
public:
    int GetError() const { return result_.load(); }
    // The line and fault of a firmware file that was refused (result 2); empty otherwise.
    QString GetErrorDetail() const { return detail_; }
    // The state and percent of every report, in order (for the port log's reader and for tests).
    void Notify(int state, int percent);
    bool IsEof() const { return next_ >= pieces_.size(); }
    // Asks a running job to end at its next step (the program closes): its reads end at once and its pauses
    // are cut short; the job ends with its failure steps (the file and the port closed, state 8). A job stopped
    // before its erase command went out never sends it. Any thread.
    void Stop();
    bool Stopped() const { return stop_.load(); }
    // The decision before the erase (or the first record): true when the upgrade is committed (already or now);
    // false, with nothing written, when the job was stopped or the program closes. A close that is open holds
    // the decision until its answer.
    bool commit();

    bool CountLines(const QString& file);
    bool SendBatch(int& linesRead);
    void CloseFile();
    int totalLines() const { return int(pieces_.size()); }

protected:
    virtual BootPort& port() = 0;
    // Makes the port's reads end at once (Stop()).
    virtual void stopPort() = 0;
    // BootPause that ends early when the job is stopped.
    void pause(int ms);
    // Right before the erase command's first byte: the moment, then the decision between stop and erase.
    bool eraseMayStart();
    bool startJob(const QString& fileName, UpgradeCallback callback);
    // The upload from state 4 on: batches with their percent; false after a failed batch (result 7 set).
    bool upload();

    QString fileName_;
    UpgradeCallback callback_;
    std::atomic<int> result_{0};
    QString detail_;
    QList<QByteArray> pieces_;
    qsizetype next_ = 0;
    bool fileOpen_ = false;
    int lastPercent_ = -1;

private:
    std::atomic<bool> stop_{false};
    bool committed_ = false; // the job's thread only
    std::mutex stopMutex_;
    std::condition_variable stopped_;
};

class CFWUpgradeThread : public UpgradeJob
{
public:
    ~CFWUpgradeThread() override;
    // portName: a device path or "COMn"; COM1..COM32 as StartUpgrade(n) takes them. Anything else: result 1.
    bool StartUpgrade(int portNumber, const QString& fileName, UpgradeCallback callback);
    bool StartUpgrade(const QString& portName, const QString& fileName, UpgradeCallback callback);

    bool OpenPort(quint32 mode);
    bool EraseFlash();
    bool WaitForRestart();
    CPort& serialPort() { return port_; }

protected:
    unsigned Run(void* argument) override;
    BootPort& port() override { return port_; }
    void stopPort() override { port_.CancelReads(); }

private:
    CPort port_;
    QString portName_;
};

class CFWUpgradeTcpThread : public UpgradeJob
{
public:
    ~CFWUpgradeTcpThread() override;
    // Call it on link's thread (the window's): the port takes over link's data handler here, not on the job's
    // thread.
    bool StartUpgrade(TelnetClient* link, const QString& fileName, UpgradeCallback callback, quint32 mode);
    CTcp& linkPort() { return port_; }

protected:
    unsigned Run(void* argument) override;
    BootPort& port() override { return port_; }
    void stopPort() override { port_.Drop(); }

private:
    bool readUntil(const char* text);
    // Both banners in order, within the step's limit.
    bool readBanners(const char* first, const char* second);
    CTcp port_;
    quint32 startMode_ = PortAt;
};

// "COMn" with n in 1..32, or a device path: the port the serial job opens; empty for any other name.
QString UpgradePortName(const QString& name);
