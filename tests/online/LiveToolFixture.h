#pragma once
// The main window connected to the simulated gateway, for the live tools: helpers to wait for what the
// gateway or the tools do, in event-loop turns (the waits are the gateway's).
#include "link/ConnectFixture.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <functional>

class LiveToolTest : public ConnectTest
{
protected:
    // Processes events until done() holds, at most boundMs; true when it held.
    static bool waitUntil(const std::function<bool()>& done, int boundMs = 5000)
    {
        const qint64 end = QDateTime::currentMSecsSinceEpoch() + boundMs;
        while (!done()) {
            if (QDateTime::currentMSecsSinceEpoch() > end)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
        }
        return true;
    }

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
