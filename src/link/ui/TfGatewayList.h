#pragma once
// The list of known gateways ("gtws.ini"): add, edit, remove one or all, select, connect. Shown without
// waiting; closing it enables the main window again. Every change goes to gtws.ini at once.
#include "texts/Labels.h"

#include <QDialog>

class QListWidget;
class QPushButton;

class TfGatewayList : public QDialog
{
    Q_OBJECT
public:
    explicit TfGatewayList(QWidget* parent = nullptr);

    QListWidget* lbGateways = nullptr;
    QPushButton* sbNew = nullptr;
    QPushButton* sbEdit = nullptr;
    QPushButton* sbRemove = nullptr;
    QPushButton* sbRemoveAll = nullptr;
    QPushButton* sbSelect = nullptr;
    QPushButton* sbConnect = nullptr;
    QPushButton* sbQuit = nullptr; // closes the list

    // Lists the gateways of gtws.ini, the current gateway selected when it is listed.
    void FormShow();
    void sbNewClick();
    void sbEditClick();
    void sbRemoveClick();
    void sbRemoveAllClick();
    // Makes the selected gateway the current one (SelectGateway) and closes the list.
    void sbSelectClick();
    // Selects the gateway, closes the list and connects.
    void sbConnectClick();
    void sbQuitClick();

    void setLabels(const Tlabels& labels);

protected:
    void showEvent(QShowEvent* event) override;
    // The close: the main window is enabled and given the focus, the list hidden.
    void done(int result) override;

private:
    QString selectedName() const;
    // Asks the entry in TfNewGateway; true when it was written. oldName: the entry's name before, empty for new.
    bool editEntry(const QString& oldName);
};
inline TfGatewayList* fGatewayList = nullptr;
