#pragma once
// Asks the address, port, user name and password before a LAN connection to a gateway that is not in the list.
#include "link/LinkState.h"
#include "texts/Labels.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfInsertIp : public QDialog
{
    Q_OBJECT
public:
    explicit TfInsertIp(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr; // address
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr; // user name
    QLabel* Label3 = nullptr;
    QLineEdit* Edit3 = nullptr; // password, masked
    QLabel* Label4 = nullptr;
    QLineEdit* Edit4 = nullptr;     // port
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel

    // Shows the entry's address, port and names; OK (an address and a port from 1 to 65535 given) stores them
    // into the entry. False on Cancel, the entry untouched.
    bool ask(GatewayEntry& entry);
    void BitBtn1Click();

    void setLabels(const Tlabels& labels);
};
inline TfInsertIp* fInsertIp = nullptr;

inline constexpr int kAddressMissingText = 716;
