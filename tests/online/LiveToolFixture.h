#pragma once
// The main window connected to the simulated gateway, for the live tools: helpers to wait for what the
// gateway or the tools do, in event-loop turns (the waits are the gateway's).
#include "link/ConnectFixture.h"
#include "link/ModemWaits.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

// The three links the simulated gateway offers.
enum class Link { Telnet, Serial, Modem };

inline const char* linkName(Link link)
{
    switch (link) {
    case Link::Telnet:
        return "Telnet";
    case Link::Serial:
        return "Serial";
    case Link::Modem:
        return "Modem";
    }
    return "";
}

class LiveToolTest : public ConnectTest
{
protected:
    // The modem line's own waits before each reply (1.5 s), after each login name (3 s) and after "ATI4" (3 s)
    // are shortened; the reads themselves still wait for the gateway's text.
    void SetUp() override
    {
        ConnectTest::SetUp();
        modemReplyWaitMs = 0;
        modemCredentialWaitMs = 0;
        modemIdentWaitMs = 0;
    }
    void TearDown() override
    {
        ConnectTest::TearDown();
        modemReplyWaitMs = kModemWaits[0];
        modemCredentialWaitMs = kModemWaits[1];
        modemIdentWaitMs = kModemWaits[2];
    }
    const int kModemWaits[3] = {modemReplyWaitMs, modemCredentialWaitMs, modemIdentWaitMs};

    // The gateway on link (the listed gateway "Sim" behind the modem) and the program started for it.
    void startOnLink(Link link, const gatewaysim::Config& cfg)
    {
        switch (link) {
        case Link::Telnet:
            ASSERT_NO_FATAL_FAILURE(startTelnetGateway(cfg));
            break;
        case Link::Serial:
            ASSERT_NO_FATAL_FAILURE(startSerialGateway(cfg));
            break;
        case Link::Modem:
            ASSERT_NO_FATAL_FAILURE(startListedModemGateway(cfg));
            break;
        }
    }

    // Connected on link to a gateway whose answers start delayMs late, with no box and no received line recorded.
    void connectLate(Link link, int delayMs)
    {
        ASSERT_NO_FATAL_FAILURE(startOnLink(link, gatewaysim::Config()));
        ASSERT_NO_FATAL_FAILURE(connectNow());
        gatewaysim::Faults late;
        late.replyDelayMs = delayMs;
        gateway->setFaults(late);
        dialogs().clearRecords();
        gateway->clearLog();
    }

    // Processes events until done() holds, at most boundMs; true when it held. Between two looks the thread
    // sleeps until an event comes; the gateway's thread changes what done() sees without one here, so a timer
    // wakes it for a look now and then.
    static bool waitUntil(const std::function<bool()>& done, int boundMs = 5000)
    {
        const qint64 end = QDateTime::currentMSecsSinceEpoch() + boundMs;
        QTimer look;
        look.start(kLookMs);
        while (!done()) {
            if (QDateTime::currentMSecsSinceEpoch() > end)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
        return true;
    }
    static constexpr int kLookMs = 5;

    bool gatewayGot(const QByteArray& line, int boundMs = 5000)
    {
        return waitUntil([&] { return gateway->receivedLines().contains(line); }, boundMs);
    }

    // Everything the gateway received, joined.
    QByteArray received() const { return gateway->receivedLines().join(); }

    // Empties a number field as a user does (all selected, Backspace); with leave, the field then loses the focus.
    static void emptySpinField(QSpinBox* box, bool leave)
    {
        auto* field = box->findChild<QLineEdit*>();
        ASSERT_TRUE(field);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        ASSERT_TRUE(box->text().isEmpty());
        if (leave) {
            QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
            QCoreApplication::sendEvent(box, &out);
        }
    }
};
