#pragma once
// Connecting to the gateway and disconnecting, the communication settings, the status line.

class ConnectionPart
{
public:
    void mConnectClick() {}
    void tbConnectClick() {}
    void mDisconnectClick() {}
    void tbDisconnectClick() {}
    void mCommSettClick() {}
    void ShowConnectionInfo() {}
};
