#pragma once
// Asks the user name and password of a gateway that is not in the list, at its login prompt.
#include "link/LinkState.h"
#include "texts/Labels.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TfLogin(QWidget* parent = nullptr);

    QLabel* lbUser = nullptr;
    QLineEdit* edUser = nullptr;
    QLabel* lbPass = nullptr;
    QLineEdit* edPassword = nullptr; // masked
    QPushButton* sbOk = nullptr;

    // Shows the window (title text 782) with the entry's names; OK stores what was typed into the entry.
    // False when the window was closed without OK.
    bool ask(GatewayEntry& entry);

    void setLabels(const Tlabels& labels);
};
inline TfLogin* fLogin = nullptr;
