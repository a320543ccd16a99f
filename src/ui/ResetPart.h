#pragma once
// The two topics of the Reset group that act instead of showing a page: the gateway reset (topic 41) restarts
// the gateway, the factory reset (topic 42) empties the first ten rows of the LCR and autorouting tables,
// writes a default LCR row and restarts the gateway with its factory parameters. Both ask first, show the
// wait window TwReset with the main window disabled, wait for the gateway's "Init: OK" and log in again on
// the same link; every way out enables the main window and hides TwReset. Neither sets lbMain or currentTopic.
#include <QByteArray>

// The waits of the resets; tests shorten them. The marker waits are measured on the monotonic clock.
struct ResetTimings
{
    int gatewayMarkerMs = 15000; // the gateway reset's wait for "Init: OK"
    int factoryMarkerMs = 30000; // the factory reset's
    int pollMs = 100;            // between two reads of the link
    int settleMs = 2000;         // after the wait, before the login
    int modemHangUpMs = 2000;    // on a modem line: from the reset command to the Disconnect
};
inline ResetTimings resetTimings;

class ResetPart
{
public:
    // Sets the two topics' sections with the dispatcher.
    void buildResetTopics();

    void gatewayReset();
    void factoryReset();

private:
    bool startReset(int question);
    void endReset();
    // On a modem line: the hang-up and text 882 after the reset command, or the error box when the command
    // reached only the modem (the call had ended under it). False on the other links.
    bool afterResetCommandOnModem(const QByteArray& command);
    // Reads the link until the joined text holds "Init: OK" or waitMs have passed; true when it came.
    bool waitForRestart(int waitMs, QByteArray& received);
};
