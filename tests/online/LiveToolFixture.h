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

// The modem line's own waits before each reply (1.5 s), after each login name (3 s) and after "ATI4" (3 s),
// shortened while it lives; the reads themselves still wait for the gateway's text. A fixture member, so that
// they come back after the fixture's TearDown has closed the link.
class ShortModemWaits
{
public:
    ShortModemWaits()
    {
        modemReplyWaitMs = 0;
        modemCredentialWaitMs = 0;
        modemIdentWaitMs = 0;
    }
    ~ShortModemWaits()
    {
        modemReplyWaitMs = saved_[0];
        modemCredentialWaitMs = saved_[1];
        modemIdentWaitMs = saved_[2];
    }
    ShortModemWaits(const ShortModemWaits&) = delete;
    ShortModemWaits& operator=(const ShortModemWaits&) = delete;

private:
    const int saved_[3] = {modemReplyWaitMs, modemCredentialWaitMs, modemIdentWaitMs};
};

class LiveToolTest : public ConnectTest
{
protected:
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
