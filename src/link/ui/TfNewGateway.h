#pragma once
// The entry of one gateway of the list: name, address, port, user name, password, gate file and phone number.
// OK checks the entry (a name, not taken by another gateway; a port from 1 to 65535) and closes; Cancel keeps
// nothing.
#include "link/LinkState.h"
#include "texts/Labels.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;

class TfNewGateway : public QDialog
{
    Q_OBJECT
public:
    explicit TfNewGateway(QWidget* parent = nullptr);

    QLabel* lbName = nullptr;
    QLineEdit* edName = nullptr;
    QLabel* lbIp = nullptr;
    QLineEdit* edIp = nullptr;
    QLabel* lbPort = nullptr;
    QLineEdit* edPort = nullptr;
    QLabel* lbUser = nullptr;
    QLineEdit* edUser = nullptr;
    QLabel* lbPass = nullptr;
    QLineEdit* edPassword = nullptr; // masked
    QLabel* lbFile = nullptr;
    QLineEdit* edFile = nullptr;
    QPushButton* sbFile = nullptr;
    QLabel* lbPhone = nullptr;
    QLineEdit* edPhone = nullptr;
    QPushButton* sbOk = nullptr;
    QPushButton* sbCancel = nullptr;

    // Shows entry in the controls. takenNames: the names the entry may not take (the other gateways).
    void prepare(const GatewayEntry& entry, const QStringList& takenNames);
    // The entry as the controls hold it; an empty gate file becomes "<name>.ini" in the program folder.
    GatewayEntry entry() const;

    void sbOkClick();
    void sbFileClick();

    void setLabels1(const Tlabels& labels); // first piece
    void setLabels2(const Tlabels& labels); // second piece

private:
    QStringList takenNames_;
};
inline TfNewGateway* fNewGateway = nullptr;

// Messages of the gateway dialogs (numbers of the label table).
inline constexpr int kGatewayNameMissingText = 98;
inline constexpr int kGatewayNameTakenText = 99;
inline constexpr int kPortRangeText = 106;
inline constexpr int kCredentialsNotStorableText = 982;
// True when text is a port number from 1 to 65535.
bool IsValidPort(const QString& text);
