#include "firmware/BootLinkPort.h"

#include "platform/TelnetClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

constexpr int kByteWaitMs = 1000;
constexpr int kLineLimitMs = 2000;

using Steady = std::chrono::steady_clock;

// The process clock for the command time stamps, in hundredths of a second.
qint64 processHundredths()
{
    static QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return started.elapsed() / 10;
}

} // namespace

struct CTcp::Receiver
{
    std::mutex mutex;
    std::condition_variable arrived;
    QByteArray buffer;
    qsizetype position = 0; // next unread character
    bool closed = false;
    QMetaObject::Connection dropped;
};

CTcp::CTcp() : rx_(std::make_shared<Receiver>()) {}

CTcp::~CTcp()
{
    QObject::disconnect(rx_->dropped);
}

bool CTcp::Open(TelnetClient* link, quint32 mode)
{
    mode_ = mode;
    link_ = link;
    QObject::disconnect(rx_->dropped);
    {
        std::lock_guard lock(rx_->mutex);
        rx_->closed = !link || !link->Connected();
    }
    if (link) {
        std::weak_ptr<Receiver> weak = rx_;
        link->setDataHandler([weak](const QByteArray& text) {
            if (auto rx = weak.lock()) {
                std::lock_guard lock(rx->mutex);
                rx->buffer += text;
                rx->arrived.notify_all();
            }
        });
        rx_->dropped = QObject::connect(link, &TelnetClient::disconnected, link, [weak] {
            if (auto rx = weak.lock()) {
                std::lock_guard lock(rx->mutex);
                rx->closed = true;
                rx->arrived.notify_all();
            }
        });
    }
    openLogFile();
    return true;
}

void CTcp::Drop()
{
    std::lock_guard lock(rx_->mutex);
    rx_->closed = true;
    rx_->arrived.notify_all();
}

void CTcp::OnDataAvailable(const QByteArray& text)
{
    std::lock_guard lock(rx_->mutex);
    rx_->buffer += text;
    rx_->arrived.notify_all();
}

QByteArray CTcp::received() const
{
    std::lock_guard lock(rx_->mutex);
    return rx_->buffer;
}

bool CTcp::Write(const QByteArray& bytes)
{
    {
        std::lock_guard lock(rx_->mutex);
        if (rx_->closed || !link_) {
            lastError_ = 6;
            return false;
        }
    }
    // The client lives on the window's thread; queued calls to it keep their order.
    QPointer<TelnetClient> link = link_;
    QMetaObject::invokeMethod(
        link.data(),
        [link, bytes] {
            if (!link)
                return;
            for (const char c : bytes)
                link->SendCh(c);
        },
        Qt::QueuedConnection);
    return true;
}

bool CTcp::ReadByte(char& c)
{
    if (readsExpired())
        return false;
    std::unique_lock lock(rx_->mutex);
    const auto deadline =
        std::min(readsEnd_, Steady::now() + std::chrono::milliseconds(bootTiming.timeout(kByteWaitMs)));
    rx_->arrived.wait_until(lock, deadline, [this] { return rx_->buffer.size() > rx_->position || rx_->closed; });
    if (rx_->buffer.size() <= rx_->position)
        return false;
    c = rx_->buffer[rx_->position++];
    byteRead_ = c;
    return c != '\0';
}

void CTcp::DropWaiting()
{
    QByteArray dropped;
    {
        std::lock_guard lock(rx_->mutex);
        dropped = rx_->buffer.mid(rx_->position);
        rx_->position = rx_->buffer.size();
    }
    if (!dropped.isEmpty())
        WriteLog("{" + dropped + "}");
}

void CTcp::DropUntilQuiet(int quietMs)
{
    const auto quiet = std::chrono::milliseconds(qMax(1, quietMs));
    const auto end = Steady::now() + 10 * quiet;
    QByteArray dropped;
    {
        std::unique_lock lock(rx_->mutex);
        for (;;) {
            dropped += rx_->buffer.mid(rx_->position);
            rx_->position = rx_->buffer.size();
            if (rx_->closed || Steady::now() >= end)
                break;
            const qsizetype seen = rx_->buffer.size();
            if (!rx_->arrived.wait_for(lock, quiet, [&] { return rx_->buffer.size() > seen || rx_->closed; }))
                break; // quiet
        }
    }
    WriteLog("{" + dropped + "}");
}

bool CTcp::ReadLine(QByteArray& line, int maximum, bool)
{
    line.clear();
    const auto limit = Steady::now() + std::chrono::milliseconds(bootTiming.timeout(kLineLimitMs));
    for (;;) {
        char c = 0;
        const bool got = ReadByte(c);
        if (got)
            LogByte(c);
        if (got && c == '\n')
            return true;
        if (Steady::now() > limit || (!got && readsExpired()))
            return false;
        if (!got) {
            std::lock_guard lock(rx_->mutex);
            if (rx_->closed && rx_->buffer.size() <= rx_->position)
                return false; // the link is gone: nothing more will come
            continue;
        }
        if (line.size() >= maximum) {
            fail(7, 24);
            return false;
        }
        line += c;
    }
}

bool CTcp::WriteLine(const QByteArray& text)
{
    if (!Write(text))
        return false;
    WriteLog(text + "\r\n");
    return true;
}

bool CTcp::WriteEcho(const QByteArray& text)
{
    if (!Write(text))
        return false;
    if (mode_ == PortBoot) {
        WriteLog(text);
        return true;
    }
    if (mode_ != PortIsp && mode_ != PortAt)
        return true;
    char b = 0;
    qsizetype i = 0;
    for (int reads = 0; i < text.size() && reads < 510; ++reads) {
        byteSent_ = text[i];
        if (!ReadByte(b)) {
            fail(7, mode_ == PortIsp ? 16 : 13);
            return false;
        }
        if (b == text[i]) {
            LogByte(b == 27 ? '\r' : b);
            ++i;
            continue;
        }
        if (mode_ == PortIsp) {
            LogByte(b);
            WriteLog("--error--");
            fail(9, 18);
            while (ReadByte(b))
                LogByte(b);
            return false;
        }
        if (b == '\r' || b == '\n')
            continue;
        if (b == '*') {
            WriteLog("<*");
            while (ReadByte(b)) {
                LogByte(b);
                if (b == '\n')
                    break;
            }
            WriteLog(">");
            continue;
        }
        LogByte(b);
        fail(9, 15);
        return false;
    }
    return true;
}

bool CTcp::WriteCommand(const QByteArray& text, const std::function<bool()>& mayWrite)
{
    const qint64 h = processHundredths();
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "[%02i.%02i]", int((h / 100) % 100), int(h % 100));
    WriteLog(stamp);
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
            lastError_ = 10;
            return false;
        }
        WriteEcho("\r");
        BootPause(500);
    }
}
