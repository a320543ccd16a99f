#pragma once
// The connection state page: the state of one of the gateway's ports (COM, USB, GSM) from the "AT&U" table.
#include "texts/Labels.h"

class QLabel;
class QListWidget;
class QScrollArea;
class QWidget;

class ConnectionStatePage
{
public:
    QScrollArea* pConnection = nullptr;
    QLabel* lbSelect = nullptr;
    QListWidget* lbPort = nullptr;
    QLabel *lbShell = nullptr, *lbTelnet = nullptr, *lbTunel = nullptr, *lbUser = nullptr, *lbCon = nullptr;
    QLabel *lb1 = nullptr, *lb2 = nullptr, *lb3 = nullptr, *lb4 = nullptr, *lb5 = nullptr;

    void buildConnectionStatePage(QWidget* host);
    void setLabelsConnectionState(const Tlabels& t);
    void lbPortClick();

private:
    void clearConnectionState();
};
