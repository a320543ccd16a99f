#pragma once
// The login account page: the gateway's user name and password, sent on the serial port or modem line
// (src/online/GatewayClock.h builds the "X80" command and judges its reply).
#include "texts/Labels.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QWidget;

class LoginAccountPage
{
public:
    QScrollArea* pLogin = nullptr;
    QLabel* lbLoginUser = nullptr;
    QLabel* lbLoginPass = nullptr;
    QLabel* lbLoginPassVer = nullptr;
    QLineEdit* eLoginUser = nullptr;
    QLineEdit* eLoginPass = nullptr;
    QLineEdit* eLoginPassVer = nullptr;
    QPushButton* sbLoginSave = nullptr;
    QPushButton* sbLoginDisable = nullptr;

    void buildLoginAccountPage(QWidget* host);
    void setLabelsLoginAccount(const Tlabels& t);

    void sbLoginSaveClick();
    void sbLoginDisableClick();

private:
    // Sends command on the open serial or modem handle and reports the gateway's verdict.
    void sendAccount(const QByteArray& command);
};
