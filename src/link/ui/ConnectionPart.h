#pragma once
// Connecting to the gateway and disconnecting, the keep-alive, the telnet text router, the gateway selection
// and the connection's line in the status bar: the main window's part of the link.
//
// Connect (ConnectToGateway) opens the link of CurrentConnection's type, meets the gateway's answer (the login
// prompt, or the boot loader's banner, which is reported and ends the connect), logs in, identifies the gateway
// (gatewayModel, the firmware warning), opens the communication log when "SaveLog" is on, shows the connection
// in the status bar, puts the menus, tool buttons and online topic images into the connected state and sends
// "AT&M0". Its failures are reported in message boxes. It works on CurrentConnection in place and changes
// nothing while the link is open; callers read its connected flag there and never store the copy it returns
// back into it: a live tool's worker may be reading the record meanwhile. A link lost while the connect talks
// to the gateway (the modem's call ended, the gateway's session ended) fails the connect with text 56; a modem's
// "NO CARRIER" read before the communication log opened is then logged as received, and nothing after it.
// The greeting is one whole reply that also ends with the line holding a boot loader's banner (IsBootModeAnswer),
// which has no end of its own.
//
// The keep-alive (tLoginTimer, every 2 s) sends "AT" once the link has been quiet for 91 whole seconds, unless
// the please-wait window is shown or a live tool works on the link, and disconnects when the gateway does not
// answer (or, on a modem line, answers "+++" or "NO CARRIER"); a session found ended goes the loss path below.
//
// A link that goes away (the serial port gone, the modem's call ended, the telnet connection dropped, the
// gateway's session ended: LinkSessionEnded) ends the connection as Disconnect does (linkLost), so that the
// window never shows a gateway it cannot reach and the next operation connects again.
#include "link/LinkState.h"

#include <QByteArray>
#include <QString>

class QMainWindow;
class QPlainTextEdit;
class QTimer;
class QWidget;

class ConnectionPart
{
public:
    QTimer* tLoginTimer = nullptr;
    // The folder in which the live tools propose their files: the gate file's folder, else the program's.
    QString toolFilesFolder;

    // Creates the keep-alive timer and puts the window into the disconnected state.
    void buildConnection(QMainWindow* host);

    // Connects (when not connected), then offers to load the whole configuration (text 53).
    void mConnectClick();
    void tbConnectClick() { mConnectClick(); }
    // Stops the live tools, closes the link by its type, closes the communication log and puts the menus,
    // buttons, status bar and topic images into the disconnected state.
    void mDisconnectClick();
    // The user's own Disconnect (the tool bar's and the menu's): the work it ends tells no communication error
    // (link/CommError.h).
    void tbDisconnectClick();
    // The link went away (LinkLost()): each running tool ends by its steps for the loss, then Disconnect
    // runs, and the user is told once (text 56) when a tool that reports failures was running, or when the
    // gateway's session ended and the work that met it has shown no box since (a poll, the keep-alive). Nothing
    // when not connected or the link is up.
    void linkLost();
    // The telnet connection dropped: with a route on at once (the tool waits for text), otherwise once the
    // work under way has returned.
    void telnetDropped();
    // The communication settings, modal.
    void mCommSettClick();

    // Panel 0 of the status bar: "<gateway> : [<port or host>] <connected text> Mesk X|Y", or
    // "<gateway> : <not connected text>". When connected and the window, tbLoadGate and tbDisconnect are
    // enabled, the gateway's description (ReadGatewayInfo) becomes the status text (text 51 when it fails)
    // and the model it names becomes gatewayModel (the pages laid out anew when it changed).
    void ShowConnectionInfo();
    // The keep-alive.
    void tLoginTimerTimer();
    // The telnet client's data event: the text goes to the link's reads unless a live tool's route takes it.
    void tcpDataAvailable(const QByteArray& text);
    // Hands text that has already passed the link's one place (LinkTextArrived) to the route that is on: the
    // received text a tool's start finds waiting, which must not be looked at or counted twice.
    void routeTcpText(const QByteArray& text);

    // Menus, tool buttons and online topic images of the connected or the disconnected program.
    void setConnectedState(bool connected);
    // Sets the live tools' default file names in folder.
    void setToolDefaultFiles(const QString& folder);

private:
    // linkLost's steps once the link is known gone (the telnet client said so, or LinkLost()).
    void endLostConnection();

    bool keepAliveRunning_ = false;
};

// See above. versionCheck: warn when the firmware is not one the program is made for. owner: the window the
// please-wait window disables. noAddressPrompt: the "unnamed" gateway on telnet is not asked for its address.
ConnectionRecord ConnectToGateway(bool versionCheck, QWidget* owner, bool noAddressPrompt);

// Connects as every page and tool does (ConnectToGateway with the main window as owner, the firmware warning
// only when asked for) and tells whether the link is up (CurrentConnection.Connected). A failed connect has
// reported itself.
bool connectForPageRun(bool warnFirmware = false);

// The gateway of that name from gtws.ini (the "unnamed" gateway for an empty name, "unnamed" or a name not in
// the list). Its gate file, when it exists, is read into GateConfig and the pages; otherwise the pages take
// their defaults. The name asked for goes to settings.ini ("gateway"), the entry's to the status bar. The caller stores
// the result into CurrentGateway.
GatewayEntry SelectGateway(const QString& name, GatewayEntry current);
// The "unnamed" gateway with the gate file "unnamed.ini" in the program folder (an address typed for it
// before is kept).
GatewayEntry SelectUnnamedGateway(GatewayEntry current);

// The status bar's connection text for gateway (no windows involved).
QString ConnectionInfoText(const GatewayEntry& gateway);

// Adds text the telnet router took for a live tool to that tool's view, line by line.
void appendRoutedText(QPlainTextEdit* view, const QByteArray& text);
